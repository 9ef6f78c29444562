#pragma once
// Fixed texts of the application shell.

namespace valdex {

// Caption of every message box and error box that has no caption of its own.
inline constexpr const char* kApplicationTitle = "Límite de Detección y Cuantificación del Sistema";
inline constexpr const char* kMainWindowCaption =
    "Límite de Detección y Cuantificación del Sistema (Curva de Calibración)";

// The modified mark in the status panel `estado`.
inline constexpr const char* kModifiedMark = "Modificado";

// Caption of a study window that was never saved or loaded, and the first
// name the save dialog proposes.
inline constexpr const char* kNewStudyCaption = "Nuevo";

// The save question of a closing study window (Yes/No, question icon).
inline constexpr const char* kSaveQuestionText =
    "Se realizaron cambios!\nQuiere guardar su información?";
inline constexpr const char* kSaveQuestionCaption = "Guardar archivo?";

// The two file dialogs.
inline constexpr const char* kOpenDialogTitle = "Abrir Documento";
inline constexpr const char* kSaveDialogTitle = "Guardar como";
inline constexpr const char* kStudyFileFilter = "Valdex v.w. 3.0 (*.w8c)";
inline constexpr const char* kStudyFileExtension = "w8c";

} // namespace valdex
