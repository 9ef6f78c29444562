#pragma once
// The study window's own messages, each shown in an OK box captioned with the
// application title. The level-count check's messages are in
// study/level_check.h; the window's range message differs from the check's
// ("número de niveles" in lower case here).

#include <string>

namespace valdex {

inline constexpr const char* kSelectionMissing = "Falta hacer su selección";
inline constexpr const char* kNotANumber = "El valor de captura no es un valor numérico.";
inline constexpr const char* kOutOfRangeWindow = "Datos fuera de rango, 2-10 número de niveles";
inline constexpr const char* kLevelCellMissing = "Falta capturar algún dato";
inline constexpr const char* kLevelCellNotNumber = "Algún dato no es un valor numérico.";

// "Falta capturar el valor del nivel 2"
std::string LevelValueMissing(int level);
// "Falta capturar la replica del nivel 2"
std::string LevelReplicateMissing(int level);
// "Falta capturar el 3 º dato ."
std::string ResponseMissing(int row);
// "El dato 4 no es un valor numérico."
std::string ResponseNotNumber(int row);

// Laying out the responses needs whole, non-negative replicate counts.
// "La replicación del nivel 2 no es un número entero."
std::string ReplicateNotWhole(int level);
// "La replicación del nivel 2 es negativa."
std::string ReplicateNegative(int level);
// "El número total de replicas no puede ser mayor que 100000."
std::string TooManyResponses(int limit);

// A pasted block that does not fit from the chosen cell:
// "El bloque pegado no cabe en la tabla de niveles: tiene 3 filas y 5
// columnas, y desde la celda elegida caben 2 filas y 4 columnas."
std::string BlockDoesNotFit(const char* gridName, int rows, int columns, int fitRows,
                            int fitColumns);

} // namespace valdex
