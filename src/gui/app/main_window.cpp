#include "app/main_window.h"

#include "app/about_box.h"
#include "app/context_help.h"
#include "app/help_viewer.h"
#include "app/qt_dialog_service.h"
#include "app/speed_bar.h"
#include "app/status_panels.h"
#include "app/text_area.h"
#include "base/app_texts.h"
#include "base/number_conversion.h"
#include "calc/results_window.h"
#include "diagnostics/diagnostics_window.h"
#include "records/audit_recorder.h"
#include "report/report_window.h"
#include "study/study_window.h"
#include "validation/validation_report_dialog.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QPointer>
#include <QStatusTipEvent>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace valdex {

MainWindow::MainWindow(std::unique_ptr<DialogService> dialogs, QWidget* parent)
    : QMainWindow(parent), dialogs_(std::move(dialogs)), rules_(*this, LocaleDecimalSeparator()) {
    if (!dialogs_) dialogs_ = std::make_unique<QtDialogService>(this);
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QString::fromUtf8(kMainWindowCaption));
    setAccessibleName(QString::fromUtf8(kMainWindowCaption));
    QFont bold(QStringLiteral("Liberation Sans"), 8, QFont::Bold);
    bold.setStyleHint(QFont::SansSerif);
    setFont(bold);

    actions_ = BuildMainMenu(*menuBar());
    menuBar()->setObjectName(QStringLiteral("MainMenu"));

    auto* client = new QWidget(this);
    speedBar_ = new SpeedBar(client);
    mdi_ = new QMdiArea(client);
    mdi_->setObjectName(QStringLiteral("ClientArea"));
    mdi_->setAccessibleName(QStringLiteral("Ventanas del programa"));
    mdi_->setBackground(QColor(128, 128, 128));
    panels_ = new StatusPanels(client);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(speedBar_);
    layout->addWidget(mdi_, 1);
    layout->addWidget(panels_);
    setCentralWidget(client);

    help_ = new HelpViewer(this);
    contextHelp_ = new ContextHelp(*help_, this);
    qApp->installEventFilter(contextHelp_);

    ConnectCommands();
    rules_.Start();
}

MainWindow::~MainWindow() {
    qApp->removeEventFilter(contextHelp_);
    // The child windows talk to the rules and dialogs, which go before the
    // widgets do.
    qDeleteAll(mdi_->subWindowList());
}

QLabel* MainWindow::StatusLine() const {
    return panels_->StatusLine();
}
QLabel* MainWindow::estado() const {
    return panels_->estado();
}

QToolButton* MainWindow::ToolButton(Command command) const {
    return speedBar_->Button(QString::fromLatin1(CommandName(command)));
}

template <class Handler> void MainWindow::RunSafely(Handler&& handler) {
    RunCommand(*this, std::forward<Handler>(handler));
}

void MainWindow::Connect(Command command, std::function<void()> handler) {
    auto run = [this, handler] { RunSafely(handler); };
    if (QAction* action = actions_.value(command))
        connect(action, &QAction::triggered, this, run);
    else if (QToolButton* button = ToolButton(command))
        connect(button, &QToolButton::clicked, this, run);
}

void MainWindow::ConnectCommands() {
    using C = Command;
    auto both = [this](C item, C button, std::function<void()> handler) {
        Connect(item, handler);
        Connect(button, handler);
    };
    both(C::FileNewItem, C::spdnuevo, [this] { rules_.FileNew(); });
    both(C::FileOpenItem, C::spdabrir, [this] { rules_.FileOpen(); });
    both(C::FileSaveItem, C::spdguardar, [this] { rules_.FileSave(); });
    Connect(C::FileSaveAsItem, [this] { rules_.FileSaveAs(); });
    both(C::mnuclose, C::spdclose, [this] { rules_.mnucloseClick(); });
    both(C::PrintLasser, C::spdprint, [this] { rules_.PrintLasserClick(); });
    both(C::PrintDeskjet, C::spdprint1, [this] { rules_.FilePrint(); });
    both(C::FileExitItem, C::spdexit, [this] { rules_.FileExit(); });
    Connect(C::mnudunet, [this] { rules_.mnudunetClick(); });
    Connect(C::mnuinforme, [this] { rules_.mnuinformeClick(); });
    Connect(C::mnudiagnostico, [this] { rules_.mnudiagnosticoClick(); });
    Connect(C::mnuvalidacion, [this] { rules_.mnuvalidacionClick(); });
    both(C::WindowTileItem, C::spdmosaico, [this] { rules_.WindowTile(); });
    both(C::WindowCascadeItem, C::spdcascada, [this] { rules_.WindowCascade(); });
    both(C::HelpContentsItem, C::spdcontenido, [this] { HelpContents(); });
    Connect(C::HelpSearchItem, [this] { HelpSearch(); });
    Connect(C::HelpHowToUseItem, [this] { HelpHowToUse(); });
    Connect(C::HelpAboutItem, [this] { HelpAbout(); });
}

// ----- Help -----

void MainWindow::HelpContents() {
    help_->ShowTopic(0);
}
void MainWindow::HelpSearch() {
    help_->ShowTopic(0);
}
void MainWindow::HelpHowToUse() {
    help_->ShowTopic(30);
}

void MainWindow::HelpAbout() {
    auto* box = new AboutBox(this);
    box->show();
}

// ----- Events -----

bool MainWindow::event(QEvent* event) {
    // ShowHint: the long hint of the item or button under the pointer.
    if (event->type() == QEvent::StatusTip) {
        panels_->StatusLine()->setText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) emit activated();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    bool agreed = false;
    RunSafely([&] { agreed = rules_.FormCloseQuery(); });
    if (!agreed) {
        event->ignore();
        return;
    }
    for (QMdiSubWindow* child : mdi_->subWindowList())
        if (!child->close()) {
            event->ignore();
            return;
        }
    help_->close();
    QMainWindow::closeEvent(event);
}

// ----- MainWindowView -----

void MainWindow::AddChild(ChildWindow* window) {
    mdi_->addSubWindow(window);
    connect(window, &ChildWindow::closing, this,
            [this] { RunSafely([this] { rules_.ChildWindowClosing(); }); });
    window->show();
    mdi_->setActiveSubWindow(window);
}

StudyWindowRules& MainWindow::CreateStudyWindow(StudyHost& host) {
    auto* window = new StudyWindow(*dialogs_, host);
    finforma_ = window;
    mdi_->addSubWindow(window);
    window->show();
    mdi_->setActiveSubWindow(window);
    return window->Rules();
}

void MainWindow::CreateResultsWindow(const std::vector<std::string>& lines) {
    auto* window = new ResultsWindow;
    window->SetLines(ToLines(lines));
    AddChild(window);
    // Centred in the frame, at its design size.
    const QSize area = mdi_->viewport()->size();
    window->move(std::max(0, (area.width() - window->width()) / 2),
                 std::max(0, (area.height() - window->height()) / 2));
}

void MainWindow::CreateReportWindow(const std::vector<std::string>& lines) {
    auto* window = new ReportWindow;
    window->SetLines(ToLines(lines));
    // Sized as a new child window of the frame is: three quarters of it.
    const QSize area = mdi_->viewport()->size();
    window->resize(std::max(400, area.width() * 3 / 4), std::max(300, area.height() * 3 / 4));
    AddChild(window);
    CascadeFromOthers(window);
}

void MainWindow::CreateDiagnosticsWindow(const DiagnosticsWindowContent& content) {
    // The newest diagnostics window already open: the new one cascades from it.
    QPointer<QMdiSubWindow> previous;
    for (QMdiSubWindow* child : mdi_->subWindowList(QMdiArea::CreationOrder))
        if (qobject_cast<DiagnosticsWindow*>(child)) previous = child;
    auto* window = new DiagnosticsWindow(content, *dialogs_, *this);
    // Printing and exporting go into the audit trail, with the study.
    if (AuditRecorder* recorder = rules_.AuditRecorderInUse()) {
        const auto record = [this, recorder](const char* event, const char* command,
                                             const QString& file) {
            nlohmann::json details = {{"programa", "valdex"}, {"comando", command}};
            const std::string study = rules_.SaveFileName();
            details["estudio"] = QFileInfo(QString::fromStdString(study)).isFile()
                                     ? FileDetails(study)
                                     : nlohmann::json(study);
            if (!file.isEmpty()) details["archivos_escritos"] = {FileDetails(file.toStdString())};
            recorder->Record(event, details);
        };
        connect(window, &DiagnosticsWindow::printed, this,
                [record] { record(audit_event::kPrinted, "imprimir diagnóstico", {}); });
        connect(window, &DiagnosticsWindow::exported, this, [record](const QString& file) {
            record(audit_event::kExported, "exportar diagnóstico", file);
        });
    }
    // Three quarters of the frame, as a report window.
    const QSize area = mdi_->viewport()->size();
    window->resize(std::max(560, area.width() * 3 / 4), std::max(520, area.height() * 3 / 4));
    AddChild(window);
    if (previous) window->move(CascadeAfter(previous->pos()));
    CascadeFromOthers(window);
}

QPoint MainWindow::CascadeAfter(QPoint place) const {
    // One step lower and to the right, back to the top past half the frame.
    const QRect area = mdi_->viewport()->rect();
    place += QPoint(CascadeStep(), CascadeStep());
    if (place.y() > area.height() / 2 || place.x() > area.width() / 2) place = QPoint(0, 0);
    return place;
}

int MainWindow::CascadeStep() const {
    return style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this) + 4;
}

void MainWindow::CascadeFromOthers(QMdiSubWindow* window) {
    // A window of the same size would open exactly over one already there.
    QPoint place = window->pos();
    for (int tries = 0; tries < 64; ++tries) {
        bool taken = false;
        for (QMdiSubWindow* other : mdi_->subWindowList())
            taken = taken || (other != window && other->pos() == place);
        if (!taken) break;
        place = CascadeAfter(place);
    }
    window->move(place);
}

int MainWindow::ChildWindowCount() const {
    return static_cast<int>(mdi_->subWindowList().size());
}

void MainWindow::CloseActiveChildWindow() {
    if (QMdiSubWindow* active = mdi_->currentSubWindow()) active->close();
}

void MainWindow::TileChildWindows() {
    // One above the other, each as wide as the frame.
    const QList<QMdiSubWindow*> children = mdi_->subWindowList();
    if (children.isEmpty()) return;
    const QRect area = mdi_->viewport()->rect();
    const int height = area.height() / static_cast<int>(children.size());
    int top = 0;
    for (QMdiSubWindow* child : children) {
        child->showNormal();
        child->setGeometry(0, top, area.width(), height);
        top += height;
    }
}

void MainWindow::CascadeChildWindows() {
    // Overlapping, each one title bar lower and to the right, all of one
    // size: three quarters of the frame.
    const QList<QMdiSubWindow*> children = mdi_->subWindowList();
    const QRect area = mdi_->viewport()->rect();
    const int step = CascadeStep();
    const QSize standard(area.width() * 3 / 4, area.height() * 3 / 4);
    int offset = 0;
    for (QMdiSubWindow* child : children) {
        child->showNormal();
        const QSize size = standard.boundedTo(area.size() - QSize(offset, offset));
        child->setGeometry(QRect(QPoint(offset, offset), size));
        child->raise();
        offset += step;
        if (offset > area.height() / 2) offset = 0;
    }
    if (!children.isEmpty()) mdi_->setActiveSubWindow(children.constLast());
}

void MainWindow::CloseMainWindow() {
    close();
}

std::optional<std::string> MainWindow::AskOpenFileName(const std::string& initialName) {
    const std::optional<QString> name =
        dialogs_->AskOpenFileName(QString::fromStdString(initialName));
    if (!name) return std::nullopt;
    return name->toStdString();
}

std::optional<std::string> MainWindow::AskSaveFileName(const std::string& initialName) {
    const std::optional<QString> name =
        dialogs_->AskSaveFileName(QString::fromStdString(initialName));
    if (!name) return std::nullopt;
    return name->toStdString();
}

std::optional<std::string> MainWindow::AskReason(const std::string& question) {
    const auto reason = dialogs_->AskText(QString::fromStdString(question),
                                          QStringLiteral("Motivo del cambio"), false);
    if (!reason) return std::nullopt;
    return reason->toStdString();
}

void MainWindow::SetWaitCursor(bool waiting) {
    if (waiting) {
        ++waitCursors_;
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (waitCursors_ > 0) {
        --waitCursors_;
        QApplication::restoreOverrideCursor();
    }
}

void MainWindow::SetEstado(const std::string& text) {
    panels_->estado()->setText(QString::fromStdString(text));
}

void MainWindow::ShowCommandStates(const CommandStates& states) {
    for (Command command : AllCommands()) {
        const bool enabled = states.IsEnabled(command);
        if (QAction* action = actions_.value(command)) action->setEnabled(enabled);
        if (QToolButton* button = ToolButton(command)) button->setEnabled(enabled);
    }
    if (finforma_) finforma_->pmnudunet()->setEnabled(states.IsEnabled(Command::pmnudunet));
}

void MainWindow::ShowLaserOptions() {
    if (laserHook_)
        laserHook_();
    else
        dialogs_->ShowMessage(QStringLiteral("La impresión no está disponible."));
}

void MainWindow::ShowDeskjetOptions() {
    if (deskjetHook_)
        deskjetHook_();
    else
        dialogs_->ShowMessage(QStringLiteral("La impresión no está disponible."));
}

void MainWindow::ShowUnexpectedError(const std::string& text) {
    dialogs_->ShowUnexpectedError(QString::fromStdString(text));
}

void MainWindow::ShowErrorBox(const std::string& text) {
    dialogs_->ShowError(QString::fromStdString(text));
}

void MainWindow::ShowValidationReport(const std::string& path) {
    // Window-modal and not waited for: the tests press its buttons.
    auto* dialog = new ValidationReportDialog(path, *dialogs_, rules_.DecimalSeparator(), this,
                                              rules_.AuditRecorderInUse());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

} // namespace valdex
