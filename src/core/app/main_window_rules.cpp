#include "app/main_window_rules.h"

#include "base/app_error.h"
#include "base/app_texts.h"
#include "calc/results_text.h"
#include "diagnostics/diagnostics.h"
#include "files/study_file.h"
#include "report/report_text.h"
#include "study/level_check.h"
#include "study/study_window_rules.h"

#include <utility>

namespace valdex {

namespace {

// The wait cursor while a file is read or written; the normal one comes
// back however the command ends.
class WaitCursor {
public:
    explicit WaitCursor(MainWindowView& view) : view_(view) { view_.SetWaitCursor(true); }
    ~WaitCursor() { view_.SetWaitCursor(false); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    MainWindowView& view_;
};

} // namespace

MainWindowRules::MainWindowRules(MainWindowView& view, char decimalSeparator)
    : view_(view), separator_(decimalSeparator), saveFileName_(kNewStudyCaption),
      calculator_(decimalSeparator) {}

void MainWindowRules::Start() {
    states_.Apply(CommandEvent::Start);
    SetEstado("");
    PublishStates();
}

void MainWindowRules::PublishStates() {
    view_.ShowCommandStates(states_);
}

void MainWindowRules::SetEstado(const std::string& text) {
    estado_ = text;
    view_.SetEstado(estado_);
    // The study window sets the mark for a user's edit, and only then: an
    // edit can be saved at once (Guardar stayed off after Abrir until the
    // calculation type changed).
    if (finforma_ && text == kModifiedMark) ApplyCommandEvent(CommandEvent::StudyEdited);
}

void MainWindowRules::ApplyCommandEvent(CommandEvent event) {
    states_.Apply(event);
    PublishStates();
}

void MainWindowRules::ShowErrorBox(const std::string& text) {
    view_.ShowErrorBox(text);
}

void MainWindowRules::ShowUnexpectedError(const std::string& text) {
    view_.ShowUnexpectedError(text);
}

// ----- Files -----

void MainWindowRules::FileNew() {
    RunCommand(view_, [&] {
        StudyWindowRules& window = view_.CreateStudyWindow(*this);
        finforma_ = &window;
        window.FormCreate();
        SetEstado("");
        ApplyCommandEvent(CommandEvent::New);
        audit_.Created();
    });
}

void MainWindowRules::FileOpen() {
    std::optional<std::string> path;
    RunCommand(view_, [&] { path = view_.AskOpenFileName(openFileName_); });
    if (!path) return;
    openFileName_ = *path;
    OpenStudy(*path);
}

bool MainWindowRules::OpenStudy(const std::string& path) {
    return OpenStudyFile(path, false);
}

bool MainWindowRules::OpenNamedStudy(const std::string& path) {
    return OpenStudyFile(path, true);
}

bool MainWindowRules::OpenStudyFile(const std::string& path, bool nameInError) {
    if (!states_.IsEnabled(Command::FileOpenItem)) return false;
    bool opened = false;
    RunCommand(view_, [&] {
        WaitCursor wait(view_);
        // Read and checked completely before a window exists: a refused file
        // leaves the windows, the command states and the save name as they were.
        CalibrationStudy study;
        try {
            study = ReadStudyFile(path);
        } catch (const AppError& error) {
            if (!nameInError) throw;
            // No dialog showed the name: the box says which file it was.
            throw AppError("No se pudo abrir \"" + path + "\": " + error.what());
        }
        StudyWindowRules& window = view_.CreateStudyWindow(*this);
        finforma_ = &window;
        window.FormCreate();
        window.LoadStudy(std::move(study));
        window.SetCaption(path);
        saveFileName_ = path;
        ApplyCommandEvent(CommandEvent::Open);
        opened = true;
        audit_.Opened(path);
    });
    return opened;
}

bool MainWindowRules::PassesLevelCheck() {
    const LevelCheck check = CheckLevelCount(finforma_->Study());
    if (check.LevelCheckFailed) finforma_->ReportLevelCheckFailure(check.message);
    return !check.LevelCheckFailed;
}

void MainWindowRules::WriteCurrent(const std::string& path) {
    const bool saveAs = path != saveFileName_ || finforma_->Caption() == kNewStudyCaption;
    const StudyAudit::Before before = audit_.BeforeSave(path, view_);
    WaitCursor wait(view_);
    WriteStudyFile(finforma_->Study(), path);
    SetEstado("");
    audit_.Saved(path, before, saveAs);
}

bool MainWindowRules::SaveCurrent() {
    if (!finforma_ || !PassesLevelCheck()) return false;
    if (finforma_->Caption() == kNewStudyCaption) {
        saveFileName_ = kNewStudyCaption;
        return SaveCurrentAs();
    }
    WriteCurrent(saveFileName_);
    return true;
}

bool MainWindowRules::SaveCurrentAs() {
    if (!finforma_ || !PassesLevelCheck()) return false;
    std::optional<std::string> path = view_.AskSaveFileName(saveFileName_);
    if (!path) return false;
    // The name and the caption follow only a completed write: after a failed
    // one, Guardar must not write to a file the caption does not name.
    WriteCurrent(*path);
    saveFileName_ = *path;
    finforma_->SetCaption(*path);
    return true;
}

bool MainWindowRules::FileSave() {
    bool saved = false;
    RunCommand(view_, [&] { saved = SaveCurrent(); });
    return saved;
}

bool MainWindowRules::FileSaveAs() {
    bool saved = false;
    RunCommand(view_, [&] { saved = SaveCurrentAs(); });
    return saved;
}

// ----- Calculation, report, printing -----

void MainWindowRules::mnudunetClick() {
    RunCommand(view_, [&] {
        if (!finforma_ || !PassesLevelCheck()) return;
        const CalibrationStudy& study = finforma_->Study();
        calculator_.ComputeCalibration(study, result_);
        view_.CreateResultsWindow(
            ResultsLines(result_, study.CalculationType, study.AddedQuantityUnits, separator_));
    });
}

void MainWindowRules::mnuinformeClick() {
    RunCommand(view_, [&] {
        if (!finforma_ || !PassesLevelCheck()) return;
        const ReportText report = BuildReport(finforma_->Study(), calculator_, result_);
        // The window keeps what was written before a fault; the error box
        // follows it.
        view_.CreateReportWindow(report.lines);
        if (!report.error.empty()) view_.ShowErrorBox(ErrorBoxText(report.error));
    });
}

void MainWindowRules::mnudiagnosticoClick() {
    RunCommand(view_, [&] {
        if (!finforma_ || !PassesLevelCheck()) return;
        DiagnosticsWindowContent content;
        content.caption = kDiagnosticsCaptionPrefix + finforma_->Caption();
        content.study = finforma_->Study();
        content.diagnostics = ComputeDiagnostics(content.study, DiagnosticOptions{}, separator_);
        content.decimalSeparator = separator_;
        view_.CreateDiagnosticsWindow(content);
    });
}

void MainWindowRules::mnuvalidacionClick() {
    RunCommand(view_, [&] {
        if (!finforma_ || !PassesLevelCheck()) return;
        if (finforma_->Caption() == kNewStudyCaption || estado_ == kModifiedMark) {
            view_.ShowErrorBox(kValidationNeedsSavedStudy);
            return;
        }
        view_.ShowValidationReport(finforma_->Caption());
    });
}

void MainWindowRules::FilePrint() {
    RunCommand(view_, [&] {
        if (!finforma_ || !PassesLevelCheck()) return;
        view_.ShowDeskjetOptions();
    });
}

void MainWindowRules::PrintLasserClick() {
    RunCommand(view_, [&] { view_.ShowLaserOptions(); });
}

// ----- Windows -----

void MainWindowRules::mnucloseClick() {
    // The closing window's own handlers apply the command states.
    RunCommand(view_, [&] { view_.CloseActiveChildWindow(); });
}

void MainWindowRules::WindowTile() {
    RunCommand(view_, [&] { view_.TileChildWindows(); });
}

void MainWindowRules::WindowCascade() {
    RunCommand(view_, [&] { view_.CascadeChildWindows(); });
}

void MainWindowRules::FileExit() {
    RunCommand(view_, [&] { view_.CloseMainWindow(); });
}

bool MainWindowRules::FormCloseQuery() {
    return !finforma_ || finforma_->FormCloseQuery();
}

void MainWindowRules::StudyWindowClosed(StudyWindowRules& window) {
    if (&window == finforma_) finforma_ = nullptr;
    states_.Apply(CommandEvent::StudyWindowClosed);
    if (view_.ChildWindowCount() == 1) states_.Apply(CommandEvent::LastChildWindowClosed);
    PublishStates();
}

void MainWindowRules::ChildWindowClosing() {
    if (view_.ChildWindowCount() == 1) {
        states_.Apply(CommandEvent::LastChildWindowClosed);
        PublishStates();
    }
}

} // namespace valdex
