#pragma once
// What the main window's rules need of the toolkit. The Qt main window
// implements it; a test drives the rules with a fake.

#include "app/command_states.h"
#include "base/error_handler.h"
#include "diagnostics/diagnostics.h"
#include "study/calibration_study.h"

#include <optional>
#include <string>
#include <vector>

namespace valdex {

class StudyHost;
class StudyWindowRules;

inline constexpr const char* kDiagnosticsCaptionPrefix = "Diagnóstico: ";
inline constexpr const char* kValidationNeedsSavedStudy =
    "Guarde el estudio antes de preparar el informe de validación: el informe identifica el "
    "archivo guardado.";

// What a diagnostics window shows: a snapshot of the study and its
// diagnostics, taken when the command ran; the window depends on nothing
// after it is filled.
struct DiagnosticsWindowContent {
    std::string caption; // "Diagnóstico: " and the study window's caption
    CalibrationStudy study;
    Diagnostics diagnostics;
    char decimalSeparator = '.';
};

class MainWindowView : public ErrorBox {
public:
    // Creates a study window (caption "Nuevo") whose rules talk to `host`,
    // makes it the active child and returns its rules, owned by the window.
    // The caller runs FormCreate. The window lives until it closes (its
    // rules' FormClose tells the host).
    virtual StudyWindowRules& CreateStudyWindow(StudyHost& host) = 0;
    // A results window ("Límite de detección y cuantificación del sistema")
    // and a report window ("Informe"), each filled with `lines`.
    virtual void CreateResultsWindow(const std::vector<std::string>& lines) = 0;
    virtual void CreateReportWindow(const std::vector<std::string>& lines) = 0;
    // A diagnostics window with its plots, tests, sample field and buttons.
    virtual void CreateDiagnosticsWindow(const DiagnosticsWindowContent& content) = 0;

    // Child windows of every kind, the closing one included while it closes.
    virtual int ChildWindowCount() const = 0;
    // Closes the active child window the way its close box does.
    virtual void CloseActiveChildWindow() = 0;
    virtual void TileChildWindows() = 0;
    virtual void CascadeChildWindows() = 0;
    // Closes the main window, which ends the program if it agrees
    // (MainWindowRules::FormCloseQuery).
    virtual void CloseMainWindow() = 0;

    // The open dialog ("Abrir Documento") and the save dialog ("Guardar
    // como"), both with the filter kStudyFileFilter and the default extension
    // "w8c"; the save dialog asks before overwriting. `initialName` is the
    // name the dialog proposes. Empty when the user cancels; otherwise the
    // chosen file's full path.
    virtual std::optional<std::string> AskOpenFileName(const std::string& initialName) = 0;
    virtual std::optional<std::string> AskSaveFileName(const std::string& initialName) = 0;

    virtual void SetWaitCursor(bool waiting) = 0;
    // The status panel `estado`.
    virtual void SetEstado(const std::string& text) = 0;
    // Enable or disable every command (and the current study window's popup
    // item) as `states` says.
    virtual void ShowCommandStates(const CommandStates& states) = 0;

    // The print options dialogs, shown not modally: "Lasser" without any
    // check, "Deskjet" after the level-count check passed.
    virtual void ShowLaserOptions() = 0;
    // The validation report's dialog for the study file at `path`.
    virtual void ShowValidationReport(const std::string& path) = 0;
    virtual void ShowDeskjetOptions() = 0;

    // A short text from the user (the reason for a change); empty when the
    // user cancels.
    virtual std::optional<std::string> AskReason(const std::string& /*question*/) {
        return std::nullopt;
    }
};

} // namespace valdex
