#pragma once
// The laboratory's name that heads the validation report: the one setting of
// the program, in a per-user INI file of the user's configuration folder
// ($XDG_CONFIG_HOME/VALDEX/valdex.ini, key informe/laboratorio). Only the
// validation report reads it; the report's dialog sets it.

#include <string>

namespace valdex {

// Empty when none was set.
std::string StoredLaboratoryName();
// Throws AppError when the settings file cannot be written.
void StoreLaboratoryName(const std::string& name);

// What the report prints when no laboratory is named.
inline constexpr const char* kNoLaboratory = "Laboratorio no indicado";

} // namespace valdex
