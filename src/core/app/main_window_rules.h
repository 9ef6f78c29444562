#pragma once
// The main window's commands, free of any toolkit: New, Open, Save, Save as,
// Close, Exit, the calculation, the report, the print checks, and the command
// states as child windows open and close. Every command runs inside the
// general error handler (error box through the view). Other parts reach the
// current study window through Finforma().
//
// How a toolkit main window drives it:
// - After building its widgets: Start().
// - Menu items and toolbar buttons call the command of the same name:
//   FileNewItem/spdnuevo -> FileNew, FileOpenItem/spdabrir -> FileOpen,
//   FileSaveItem/spdguardar -> FileSave, FileSaveAsItem -> FileSaveAs,
//   mnuclose/spdclose -> mnucloseClick, PrintLasser/spdprint ->
//   PrintLasserClick, PrintDeskjet/spdprint1 -> FilePrint, mnudunet ->
//   mnudunetClick, mnuinforme -> mnuinformeClick, mnudiagnostico ->
//   mnudiagnosticoClick, WindowTileItem/spdmosaico
//   -> WindowTile, WindowCascadeItem/spdcascada -> WindowCascade,
//   FileExitItem/spdexit -> FileExit.
// - The main window's close event: FormCloseQuery(); when it agrees, close
//   the child windows (each study window's FormCloseQuery then finds nothing
//   to ask) and end.
// - A study window's close event: its rules' FormCloseQuery(), then, when
//   closing, its FormClose() (which calls StudyWindowClosed here).
// - A results, report or diagnostics window's close event:
//   ChildWindowClosing() while it still counts among the child windows.

#include "app/command_states.h"
#include "app/main_window_view.h"
#include "app/study_audit.h"
#include "calc/calibration.h"
#include "study/study_window_view.h"

#include <string>

namespace valdex {

class StudyWindowRules;

class MainWindowRules : public StudyHost {
public:
    MainWindowRules(MainWindowView& view, char decimalSeparator);

    MainWindowRules(const MainWindowRules&) = delete;
    MainWindowRules& operator=(const MainWindowRules&) = delete;

    // The audit trail that the study commands write to (none: nothing recorded).
    void SetAuditRecorder(AuditRecorder* recorder) { audit_.SetRecorder(recorder); }
    AuditRecorder* AuditRecorderInUse() const { return audit_.Recorder(); }

    // Design command states and an empty `estado`, shown on the view.
    void Start();

    // Nuevo: a new study window, `estado` emptied, states of the event New.
    void FileNew();
    // Abrir: the open dialog, then OpenStudy with the chosen path.
    void FileOpen();
    // Opens `path` as Abrir does once its dialog has answered: the file read
    // with the validating reader before any window is made, so a refused file
    // changes nothing (no window, the same command states, the same save
    // name) but the error box. Does not touch `estado` nor what the open
    // dialog proposes. Does nothing while Abrir is disabled (a study window is
    // open). True when the study window holds the file.
    bool OpenStudy(const std::string& path);
    // OpenStudy for a file named on the command line, which no dialog has
    // shown: the error box begins with "No se pudo abrir "<path>": ".
    bool OpenNamedStudy(const std::string& path);
    // Guardar: level check; a study captioned "Nuevo" goes through Save as
    // (the dialog proposing "Nuevo"); otherwise written to the save name
    // without a dialog. True only when the study has been written; a failed
    // write leaves the earlier file intact and `estado` as it was.
    bool FileSave();
    // Guardar como: level check, the save dialog, the write; the caption and
    // the save name become the chosen path. True only when written.
    bool FileSaveAs();
    void mnucloseClick();
    // Detección y Cuantificación: level check, calculation into the shared
    // result, a results window with its lines.
    void mnudunetClick();
    // Informe: level check, a report window; on a fault the window keeps the
    // lines written before it and the error box follows.
    void mnuinformeClick();
    // Diagnóstico de la calibración: level check, the diagnostics of the
    // study as it stands, a diagnostics window with them. A study that cannot
    // be read (a text that is not a number) ends in the error box, no window.
    void mnudiagnosticoClick();
    // Informe de validación: level check; the report identifies the study's
    // file, so a study never saved, or changed since, is refused with a
    // message; otherwise the report's dialog on that file.
    void mnuvalidacionClick();
    // Deskjet: level check, then its options dialog.
    void FilePrint();
    // Lasser: its options dialog, no check.
    void PrintLasserClick();
    void WindowTile();
    void WindowCascade();
    void FileExit();

    // The main window is about to close: the study window, if any, answers
    // its save question first. False (the program goes on) when the user
    // answered Yes and the study was not written.
    bool FormCloseQuery();
    // A results, report or diagnostics window is closing, still counted as a
    // child.
    void ChildWindowClosing();

    // The current study window (Finforma); null when none is open.
    StudyWindowRules* Finforma() const { return finforma_; }
    const CommandStates& States() const { return states_; }
    const std::string& SaveFileName() const { return saveFileName_; }
    // The result shared by the calculation and the report.
    const CalibrationResult& Result() const { return result_; }

    // StudyHost
    std::string Estado() const override { return estado_; }
    // "Modificado" from the study window (a user's edit) also enables
    // Guardar and Guardar como.
    void SetEstado(const std::string& text) override;
    void CalculationTypeChanged() override {
        ApplyCommandEvent(CommandEvent::CalculationTypeChanged);
    }
    void DataPageEntered() override { ApplyCommandEvent(CommandEvent::DataPageEntered); }
    void DataKeyTyped() override { ApplyCommandEvent(CommandEvent::DataKeyTyped); }
    void RunCalculation() override { mnudunetClick(); }
    bool SaveStudy() override { return FileSave(); }
    void StudyWindowClosed(StudyWindowRules& window) override;
    void ChangesDiscarded() override { audit_.Discarded(saveFileName_); }
    void ShowErrorBox(const std::string& text) override;
    void ShowUnexpectedError(const std::string& text) override;
    char DecimalSeparator() const override { return separator_; }

private:
    bool OpenStudyFile(const std::string& path, bool nameInError);
    void ApplyCommandEvent(CommandEvent event);
    bool PassesLevelCheck();
    bool SaveCurrent();
    bool SaveCurrentAs();
    void WriteCurrent(const std::string& path);
    void PublishStates();

    MainWindowView& view_;
    char separator_;
    CommandStates states_;
    std::string estado_;
    StudyWindowRules* finforma_ = nullptr;
    std::string saveFileName_; // the save dialog's file name
    std::string openFileName_; // what the open dialog last returned
    CalibrationCalculator calculator_;
    CalibrationResult result_;
    StudyAudit audit_;
};

} // namespace valdex
