#pragma once
// The level-count check that Save, Save as, Deskjet printing, the calculation
// and the report run before they act on a study.

#include "study/calibration_study.h"

#include <string>

namespace valdex {

inline constexpr const char* kNoLevelCount = "Falta capturar el número de niveles.";
inline constexpr const char* kOutOfRangeCheck = "Datos fuera de rango, 2-10 Número de Niveles";
inline constexpr const char* kLevelColumnsMismatch =
    "El número de celdas de captura para los niveles, no coincide con el número de niveles "
    "especificado.";

struct LevelCheck {
    bool LevelCheckFailed = false;
    std::string message; // the box's text when it failed
};

// A level count that is not a whole number throws ConversionError (the
// command ends through the general error handler; nothing is selected).
LevelCheck CheckLevelCount(const CalibrationStudy& study);

} // namespace valdex
