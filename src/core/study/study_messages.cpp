#include "study/study_messages.h"

namespace valdex {

std::string LevelValueMissing(int level) {
    return "Falta capturar el valor del nivel " + std::to_string(level);
}

std::string LevelReplicateMissing(int level) {
    return "Falta capturar la replica del nivel " + std::to_string(level);
}

std::string ResponseMissing(int row) {
    return "Falta capturar el " + std::to_string(row) + " º dato .";
}

std::string ResponseNotNumber(int row) {
    return "El dato " + std::to_string(row) + " no es un valor numérico.";
}

std::string ReplicateNotWhole(int level) {
    return "La replicación del nivel " + std::to_string(level) + " no es un número entero.";
}

std::string ReplicateNegative(int level) {
    return "La replicación del nivel " + std::to_string(level) + " es negativa.";
}

std::string TooManyResponses(int limit) {
    return "El número total de replicas no puede ser mayor que " + std::to_string(limit) + ".";
}

namespace {
std::string Count(int n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}
} // namespace

std::string BlockDoesNotFit(const char* gridName, int rows, int columns, int fitRows,
                            int fitColumns) {
    return std::string("El bloque pegado no cabe en ") + gridName + ": tiene " +
           Count(rows, "fila", "filas") + " y " + Count(columns, "columna", "columnas") +
           ", y desde la celda elegida caben " + Count(fitRows, "fila", "filas") + " y " +
           Count(fitColumns, "columna", "columnas") + ".";
}

} // namespace valdex
