#pragma once
// The main window (the design's TMainForm): the multiple-document frame with its menu,
// toolbar and status panels. It draws the command states and child windows
// that its rules (MainWindowRules) decide, and forwards every command to
// them.

#include "app/dialog_service.h"
#include "app/main_menu.h"
#include "app/main_window_rules.h"
#include "app/main_window_view.h"
#include "study/study_window.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>

class QLabel;
class QMdiArea;
class QToolButton;

namespace valdex {

class ChildWindow;
class ContextHelp;

class HelpViewer;
class SpeedBar;
class StatusPanels;

class MainWindow : public QMainWindow, public MainWindowView {
    Q_OBJECT
public:
    // Without a dialog service the window uses the Qt message boxes and file
    // dialogs.
    explicit MainWindow(std::unique_ptr<DialogService> dialogs = nullptr,
                        QWidget* parent = nullptr);
    ~MainWindow() override;

    MainWindowRules& Rules() { return rules_; }
    DialogService& Dialogs() { return *dialogs_; }
    QMdiArea* MdiArea() const { return mdi_; }
    QLabel* StatusLine() const;
    QLabel* estado() const;
    // The menu action or toolbar button of a command (null for pmnudunet).
    QAction* MenuAction(Command command) const { return actions_.value(command); }
    QToolButton* ToolButton(Command command) const;
    // The current study window; null once it has closed.
    StudyWindow* Finforma() const { return rules_.Finforma() ? finforma_.data() : nullptr; }
    HelpViewer& Help() { return *help_; }

    // The print options dialogs belong to the printing module, which
    // connects them here. Lasser is shown without any check, Deskjet after
    // the level-count check has passed.
    using PrintOptionsHook = std::function<void()>;
    void SetLaserOptionsHook(PrintOptionsHook hook) { laserHook_ = std::move(hook); }
    void SetDeskjetOptionsHook(PrintOptionsHook hook) { deskjetHook_ = std::move(hook); }

    // The help commands of the "A&yuda" menu and the toolbar's book.
    void HelpContents();
    void HelpSearch();
    void HelpHowToUse();
    void HelpAbout();

    // MainWindowView
    StudyWindowRules& CreateStudyWindow(StudyHost& host) override;
    void CreateResultsWindow(const std::vector<std::string>& lines) override;
    void CreateReportWindow(const std::vector<std::string>& lines) override;
    void CreateDiagnosticsWindow(const DiagnosticsWindowContent& content) override;
    int ChildWindowCount() const override;
    void CloseActiveChildWindow() override;
    void TileChildWindows() override;
    void CascadeChildWindows() override;
    void CloseMainWindow() override;
    std::optional<std::string> AskOpenFileName(const std::string& initialName) override;
    std::optional<std::string> AskSaveFileName(const std::string& initialName) override;
    std::optional<std::string> AskReason(const std::string& question) override;
    void SetWaitCursor(bool waiting) override;
    void SetEstado(const std::string& text) override;
    void ShowCommandStates(const CommandStates& states) override;
    void ShowLaserOptions() override;
    void ShowDeskjetOptions() override;
    void ShowValidationReport(const std::string& path) override;
    void ShowErrorBox(const std::string& text) override;
    void ShowUnexpectedError(const std::string& text) override;

signals:
    // FormActivate: the main window became the active window.
    void activated();

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void ConnectCommands();
    void Connect(Command command, std::function<void()> handler);
    void AddChild(ChildWindow* window);
    // The offset between two windows of a cascade.
    int CascadeStep() const;
    // One cascade step lower and to the right of `place`, back to the top-left
    // past half the frame, as Cascada arranges the windows.
    QPoint CascadeAfter(QPoint place) const;
    // Moves a new window off the place of any other, one cascade step at a time.
    void CascadeFromOthers(QMdiSubWindow* window);
    template <class Handler> void RunSafely(Handler&& handler);

    std::unique_ptr<DialogService> dialogs_;
    MainWindowRules rules_;
    QMdiArea* mdi_ = nullptr;
    SpeedBar* speedBar_ = nullptr;
    StatusPanels* panels_ = nullptr;
    MenuActions actions_;
    QPointer<StudyWindow> finforma_;
    HelpViewer* help_ = nullptr;
    ContextHelp* contextHelp_ = nullptr;
    PrintOptionsHook laserHook_;
    PrintOptionsHook deskjetHook_;
    int waitCursors_ = 0;
};

} // namespace valdex
