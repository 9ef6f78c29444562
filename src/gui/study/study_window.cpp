#include "study/study_window.h"

#include "app/context_help.h"
#include "app/dialog_service.h"
#include "app/hint.h"
#include "base/error_handler.h"
#include "study/study_grid.h"
#include "study/study_window_rules.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace valdex {

namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}
std::string ToUtf8(const QString& text) {
    return text.toStdString();
}

// The character a key types, as the key handlers receive it (Enter as
// kEnterKey); 0 for keys that type nothing.
char KeyCharacter(const QKeyEvent& event) {
    // Alt with a letter is an access key, not a character.
    if (event.modifiers() & Qt::AltModifier) return 0;
    if (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) return kEnterKey;
    if (event.key() == Qt::Key_Tab || event.key() == Qt::Key_Backtab) return 0;
    if (event.key() == Qt::Key_Backspace) return '\b';
    const QString text = event.text();
    if (text.isEmpty()) return 0;
    const char16_t code = text.front().unicode();
    // Only Enter matters to the rules; other characters pass as Latin-1.
    return code < 0x100 ? static_cast<char>(code) : '?';
}

char ToKey(QChar key) {
    const char16_t code = key.unicode();
    return code < 0x100 ? static_cast<char>(code) : '?';
}

// The letter after "&" in a caption, lower-case; null when there is none.
QChar AccessKey(const QString& caption) {
    const qsizetype amp = caption.indexOf(QLatin1Char('&'));
    return amp >= 0 && amp + 1 < caption.size() ? caption.at(amp + 1).toLower() : QChar();
}

QString WithoutAccessKey(QString caption) {
    caption.remove(QLatin1Char('&'));
    if (caption.endsWith(QLatin1Char(':'))) caption.chop(1);
    return caption;
}

} // namespace

StudyWindow::StudyWindow(DialogService& dialogs, StudyHost& host, QWidget* parent)
    : ChildWindow(parent), dialogs_(dialogs), host_(host) {
    setObjectName(QStringLiteral("Finforma"));
    setProperty(kHelpContextProperty, kHelpContext);
    // The study window has the plain dialog font, not the main window's bold one.
    QFont plain = font();
    plain.setBold(false);
    setFont(plain);

    auto* client = new QWidget(this);
    client->setProperty(kHelpContextProperty, kHelpContext);
    thojas_ = new QTabWidget(client);
    thojas_->setObjectName(QStringLiteral("Thojas"));
    thojas_->setAccessibleName(QStringLiteral("Estudio"));
    thojas_->tabBar()->setFocusPolicy(Qt::NoFocus);
    thojas_->tabBar()->installEventFilter(this);
    thojas_->addTab(BuildGeneralPage(), QStringLiteral("Información General"));
    thojas_->addTab(BuildLevelsPage(), QStringLiteral("Información de niveles"));
    thojas_->addTab(BuildDataPage(), QStringLiteral("Captura de Datos"));
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(thojas_);
    setWidget(client);
    resize(620, 440);

    // Ctrl+Tab belongs to the frame (it moves between child windows); the
    // pages turn with Ctrl+PgDown and Ctrl+PgUp, like a click on a tab.
    auto turn = [this](int step) {
        const int count = thojas_->count();
        if (LeaveForAnotherPage())
            thojas_->setCurrentIndex((thojas_->currentIndex() + step + count) % count);
    };
    auto* next = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageDown), client);
    next->setContext(Qt::WidgetWithChildrenShortcut);
    connect(next, &QShortcut::activated, this, [turn] { turn(1); });
    auto* previous = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageUp), client);
    previous->setContext(Qt::WidgetWithChildrenShortcut);
    connect(previous, &QShortcut::activated, this, [turn] { turn(-1); });

    rules_ = std::make_unique<StudyWindowRules>(*this, host_);
    connect(qApp, &QApplication::focusChanged, this, &StudyWindow::OnFocusChanged);
}

StudyWindow::~StudyWindow() {
    disconnect(qApp, &QApplication::focusChanged, this, &StudyWindow::OnFocusChanged);
}

// ----- Building -----

void StudyWindow::Register(Control control, QWidget* widget, int page) {
    controls_.insert(control, widget);
    controlOfWidget_.insert(widget, control);
    pageOf_.insert(control, page);
}

QLineEdit* StudyWindow::AddField(Control control, const char* objectName, const QString& label,
                                 QWidget* page) {
    auto* caption = new QLabel(label, page);
    auto* edit = new QLineEdit(page);
    edit->setObjectName(QString::fromLatin1(objectName));
    edit->setMaxLength(MaxTextLength(control));
    edit->setAccessibleName(WithoutAccessKey(label));
    caption->setBuddy(edit);
    accessKeys_.insert(AccessKey(label), edit);
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textEdited, this,
            [this, control](const QString& text) { FieldEdited(control, text); });
    page->layout()->addWidget(caption);
    page->layout()->addWidget(edit);
    Register(control, edit, kGeneralPage);
    return edit;
}

QWidget* StudyWindow::BuildGeneralPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet1"));
    auto* layout = new QVBoxLayout(page);
    layout->setSpacing(3);
    AddField(Control::esistema, "esistema", QStringLiteral("Nombre del &método:"), page);
    AddField(Control::eanalista, "eanalista", QStringLiteral("Nombre del A&nalista:"), page);
    AddField(Control::efecha, "efecha", QStringLiteral("&Fecha:"), page);
    AddField(Control::epmedida, "epmedida", QStringLiteral("Nombre de la &propiedad medida"), page);
    AddField(Control::ecanad, "ecanad", QStringLiteral("&Unidades de la cantidad adicionada:"),
             page);

    auto* caption = new QLabel(QStringLiteral("Cur&va de Calibración"), page);
    combo_ = new QComboBox(page);
    combo_->setObjectName(QStringLiteral("ComboBox1"));
    combo_->setEditable(true);
    combo_->setInsertPolicy(QComboBox::NoInsert);
    combo_->setCompleter(nullptr);
    combo_->addItems({QStringLiteral("Regresión"), QStringLiteral("Ordenada al Origen")});
    combo_->setCurrentIndex(-1);
    combo_->setEditText(QString());
    combo_->setAccessibleName(QStringLiteral("Curva de Calibración"));
    caption->setBuddy(combo_);
    accessKeys_.insert(AccessKey(caption->text()), combo_);
    connect(combo_, &QComboBox::editTextChanged, this, &StudyWindow::ComboTextChanged);
    layout->addWidget(caption);
    layout->addWidget(combo_);
    layout->addStretch();
    Register(Control::ComboBox1, combo_, kGeneralPage);
    return page;
}

QWidget* StudyWindow::BuildLevelsPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet2"));
    auto* caption = new QLabel(QStringLiteral("Número de niveles de cantidad adicionada:"), page);
    auto* enivel = new QLineEdit(page);
    enivel->setObjectName(QStringLiteral("enivel"));
    enivel->setMaxLength(MaxTextLength(Control::enivel));
    enivel->setFixedWidth(40);
    enivel->setAccessibleName(WithoutAccessKey(caption->text()));
    caption->setBuddy(enivel);
    enivel->installEventFilter(this);
    connect(enivel, &QLineEdit::textEdited, this,
            [this](const QString& text) { FieldEdited(Control::enivel, text); });

    auto* bnivel = new QPushButton(QStringLiteral("Aceptar niveles"), page);
    bnivel->setObjectName(QStringLiteral("bnivel"));
    bnivel->setAccessibleName(QStringLiteral("Aceptar niveles"));
    bnivel->setAutoDefault(false);
    connect(bnivel, &QPushButton::clicked, this,
            [this] { Forward([this] { rules_->bnivelClick(); }); });

    stgnivel_ = new StudyGrid(page);
    stgnivel_->setObjectName(QStringLiteral("stgnivel"));
    stgnivel_->setAccessibleName(QStringLiteral("Niveles de cantidad adicionada"));
    stgnivel_->setRowCount(2);
    stgnivel_->setColumnCount(3);
    stgnivel_->horizontalHeader()->setDefaultSectionSize(90);
    stgnivel_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    stgnivel_->verticalHeader()->setMinimumWidth(110);
    connect(stgnivel_, &StudyGrid::keyTyped, this, &StudyWindow::LevelKeyTyped);
    ConnectBlocks(stgnivel_, Grid::stgnivel);
    connect(stgnivel_, &StudyGrid::cellEdited, this, [this](GridCell cell, const QString& text) {
        if (!redrawing_)
            Forward([&] { rules_->LevelCellEdited(cell.column, cell.row, ToUtf8(text)); });
    });

    auto* botonr = new QPushButton(QStringLiteral("Aceptar replicas por nivel"), page);
    botonr->setObjectName(QStringLiteral("botonr"));
    botonr->setAccessibleName(QStringLiteral("Aceptar replicas por nivel"));
    botonr->setAutoDefault(false);
    connect(botonr, &QPushButton::clicked, this,
            [this] { Forward([this] { rules_->botonrClick(); }); });

    auto* row = new QHBoxLayout;
    row->addWidget(caption);
    row->addWidget(enivel);
    row->addWidget(bnivel);
    row->addStretch();
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(row);
    layout->addWidget(stgnivel_, 1);
    layout->addWidget(botonr, 0, Qt::AlignLeft);

    Register(Control::enivel, enivel, kLevelsPage);
    Register(Control::bnivel, bnivel, kLevelsPage);
    Register(Control::stgnivel, stgnivel_, kLevelsPage);
    Register(Control::botonr, botonr, kLevelsPage);
    return page;
}

QWidget* StudyWindow::BuildDataPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet3"));
    auto* heading = new QLabel(QStringLiteral("Captura de Datos"), page);
    heading->setObjectName(QStringLiteral("Label8"));
    QFont bigger = heading->font();
    bigger.setBold(true);
    bigger.setPointSize(bigger.pointSize() + 2);
    heading->setFont(bigger);

    stgdatos_ = new StudyGrid(page);
    stgdatos_->setObjectName(QStringLiteral("stgdatos"));
    stgdatos_->setAccessibleName(QStringLiteral("Captura de Datos"));
    const Hint hint = SplitHint(QStringLiteral("opciones botón derecho"));
    stgdatos_->setToolTip(hint.shortPart);
    stgdatos_->setStatusTip(hint.longPart);
    stgdatos_->setColumnCount(1);
    stgdatos_->setRowCount(9);
    stgdatos_->setColumnWidth(0, 130);
    heading->setBuddy(stgdatos_);
    connect(stgdatos_, &StudyGrid::keyTyped, this, &StudyWindow::DataKeyTyped);
    ConnectBlocks(stgdatos_, Grid::stgdatos);
    connect(stgdatos_, &StudyGrid::cellEdited, this, [this](GridCell cell, const QString& text) {
        if (!redrawing_) Forward([&] { rules_->ResponseCellEdited(cell.row, ToUtf8(text)); });
    });

    pmenu_ = new QMenu(this);
    pmenu_->setObjectName(QStringLiteral("pmenu"));
    pmnudunet_ = pmenu_->addAction(QStringLiteral("&Detección y Cuantificación"));
    pmnudunet_->setObjectName(QStringLiteral("pmnudunet"));
    const Hint itemHint =
        SplitHint(QStringLiteral("Cálculos|Límite de detección y cuantificación del sistema"));
    pmnudunet_->setStatusTip(itemHint.longPart);
    pmnudunet_->setProperty(kHelpContextProperty, 11);
    pmnudunet_->setEnabled(false);
    connect(pmnudunet_, &QAction::triggered, this,
            [this] { Forward([this] { rules_->pmnudunetClick(); }); });
    stgdatos_->setContextMenuPolicy(Qt::CustomContextMenu);
    pmenu_->setAccessibleName(QStringLiteral("Opciones de Captura de Datos"));
    connect(stgdatos_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { ShowDataMenu(pos); });

    // A button of the design that has no action and is never shown.
    auto* botonok = new QPushButton(QStringLiteral("OK"), page);
    botonok->setObjectName(QStringLiteral("botonok"));
    botonok->setVisible(false);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(heading);
    layout->addWidget(stgdatos_, 1);
    Register(Control::stgdatos, stgdatos_, kDataPage);
    return page;
}

void StudyWindow::ConnectBlocks(StudyGrid* grid, valdex::Grid which) {
    connect(grid, &StudyGrid::blockPasted, this, [this, which](GridCell at, const QString& text) {
        Forward([&] { rules_->PasteBlock(which, at, ToUtf8(text)); });
    });
    connect(grid, &StudyGrid::copyRequested, this, [this, which](GridCell from, GridCell to) {
        Forward([&] {
            QGuiApplication::clipboard()->setText(FromUtf8(rules_->CopyBlock(which, from, to)));
        });
    });
}

void StudyWindow::ShowDataMenu(QPoint viewportPos) {
    pmenu_->popup(stgdatos_->viewport()->mapToGlobal(viewportPos));
    if (pmnudunet_->isEnabled()) pmenu_->setActiveAction(pmnudunet_);
}

QWidget* StudyWindow::ControlWidget(Control control) const {
    return controls_.value(control);
}

StudyGrid* StudyWindow::Grid(valdex::Grid grid) const {
    return grid == Grid::stgnivel ? stgnivel_ : stgdatos_;
}

// ----- StudyWindowView -----

void StudyWindow::ShowMessage(const std::string& text) {
    dialogs_.ShowMessage(FromUtf8(text));
}

bool StudyWindow::AskYesNo(const std::string& text, const std::string& caption) {
    return dialogs_.AskYesNo(FromUtf8(text), FromUtf8(caption));
}

void StudyWindow::SwitchPage(int page) {
    if (thojas_->currentIndex() == page) return;
    const bool wasSwitching = switchingPage_;
    switchingPage_ = true;
    thojas_->setCurrentIndex(page);
    switchingPage_ = wasSwitching;
}

void StudyWindow::SelectPage(int page) {
    SwitchPage(page);
    // Keep the toolkit's focus on the rules' control when it is on this page.
    const std::optional<Control> active = rules_->ActiveControl();
    if (active && pageOf_.value(*active) == page && !controls_.value(*active)->hasFocus())
        controls_.value(*active)->setFocus(Qt::OtherFocusReason);
}

void StudyWindow::SetFocus(Control control) {
    // A control on a page that is not shown cannot hold the focus: its page
    // comes first.
    SwitchPage(pageOf_.value(control));
    if (rules_->ActiveControl() == control)
        controls_.value(control)->setFocus(Qt::OtherFocusReason);
}

void StudyWindow::SetGridMode(valdex::Grid grid, GridMode mode) {
    Grid(grid)->SetMode(mode);
}

void StudyWindow::SetCurrentCell(valdex::Grid grid, GridCell cell) {
    Grid(grid)->SetCurrentCell(cell);
}

void StudyWindow::SetColumnWidth(valdex::Grid grid, int column, int pixels) {
    Grid(grid)->SetColumnWidthPixels(column, pixels);
}

void StudyWindow::ShowStudy(const CalibrationStudy& study, StudyPart part) {
    const bool wasRedrawing = redrawing_;
    redrawing_ = true;
    auto setText = [this](Control control, const std::string& text) {
        auto* edit = static_cast<QLineEdit*>(controls_.value(control));
        if (edit->text() != FromUtf8(text)) edit->setText(FromUtf8(text));
    };
    if (part == StudyPart::All) {
        setText(Control::esistema, study.MethodName);
        setText(Control::eanalista, study.AnalystName);
        setText(Control::efecha, study.StudyDate);
        setText(Control::epmedida, study.MeasuredProperty);
        setText(Control::ecanad, study.AddedQuantityUnits);
        setText(Control::enivel, study.LevelCount);
        if (combo_->currentText() != FromUtf8(study.CalculationType))
            combo_->setEditText(FromUtf8(study.CalculationType));
    }
    if (part == StudyPart::All || part == StudyPart::LevelsGrid) {
        const GridCell current = stgnivel_->CurrentCell();
        stgnivel_->CloseCellEditor();
        stgnivel_->SetDataColumns(study.LevelColumns());
        for (int column = 0; column <= study.LevelColumns(); ++column)
            for (int row = 0; row <= 2; ++row)
                if (column > 0 || row > 0)
                    stgnivel_->SetCellText(column, row, FromUtf8(study.LevelCell(column, row)));
        stgnivel_->SetCurrentCell(current);
        stgnivel_->ReopenCellEditor();
    }
    if (part == StudyPart::All || part == StudyPart::ResponsesGrid) {
        const GridCell current = stgdatos_->CurrentCell();
        stgdatos_->CloseCellEditor();
        stgdatos_->SetDataRows(study.ResponseRows());
        stgdatos_->SetCellText(1, 0, FromUtf8(study.ResponseCell(1, 0)));
        for (int row = 1; row <= study.ResponseRows(); ++row) {
            stgdatos_->SetCellText(0, row, FromUtf8(study.ResponseCell(0, row)));
            stgdatos_->SetCellText(1, row, FromUtf8(study.ResponseCell(1, row)));
        }
        stgdatos_->SetCurrentCell(current);
        stgdatos_->ReopenCellEditor();
    }
    redrawing_ = wasRedrawing;
}

void StudyWindow::SetCaption(const std::string& caption) {
    setWindowTitle(FromUtf8(caption));
    setAccessibleName(FromUtf8(caption));
}

// ----- Closing -----

bool StudyWindow::FormCloseQuery() {
    bool allowed = true;
    if (!RunCommand(host_, [&] { allowed = rules_->FormCloseQuery(); })) return false;
    return allowed;
}

void StudyWindow::FormClose() {
    RunCommand(host_, [this] { rules_->FormClose(); });
}

// ----- Forwarding -----

template <class Handler> bool StudyWindow::Forward(Handler&& handler) {
    if (!Live()) return false;
    return RunCommand(host_, std::forward<Handler>(handler));
}

void StudyWindow::FieldKeyPress(Control control, char key) {
    Forward([&] { rules_->KeyPress(control, key); });
}

void StudyWindow::FieldEdited(Control control, const QString& text) {
    if (!redrawing_) Forward([&] { rules_->FieldEdited(control, ToUtf8(text)); });
}

void StudyWindow::ComboTextChanged(const QString& text) {
    if (redrawing_) return;
    Forward([&] { rules_->ComboBox1Change(ToUtf8(text)); });
}

void StudyWindow::LevelKeyTyped(QChar key, GridCell current) {
    Forward([&] { rules_->KeyPress(Control::stgnivel, ToKey(key), current); });
}

void StudyWindow::DataKeyTyped(QChar key, GridCell current) {
    Forward([&] { rules_->KeyPress(Control::stgdatos, ToKey(key), current); });
}

QWidget* StudyWindow::AccessKeyTarget(const QKeyEvent& event) const {
    if (event.modifiers() != Qt::AltModifier || event.text().isEmpty()) return nullptr;
    QWidget* target = accessKeys_.value(event.text().front().toLower());
    return target && target->isVisibleTo(this) ? target : nullptr;
}

bool StudyWindow::eventFilter(QObject* watched, QEvent* event) {
    // The access keys of this window's labels come before the menu bar's
    // (Alt+V is "Cur&va de Calibración" here, not the disabled "&Ventana").
    if (event->type() == QEvent::ShortcutOverride &&
        AccessKeyTarget(*static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (QWidget* target = AccessKeyTarget(*key)) {
            target->setFocus(Qt::ShortcutFocusReason);
            return true;
        }
        // The context menu key and Shift+F10 open the responses grid's menu
        // at its current cell, as a right click does.
        if ((key->key() == Qt::Key_Menu ||
             (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier)) &&
            ControlOf(static_cast<QWidget*>(watched)) == Control::stgdatos) {
            ShowDataMenu(stgdatos_->visualRect(stgdatos_->currentIndex()).center());
            return true;
        }
        // Enter on a focused button presses it, as Space does.
        if (auto* button = qobject_cast<QPushButton*>(watched);
            button && controlOfWidget_.contains(button) &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
            (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            button->click();
            return true;
        }
        const auto it = controlOfWidget_.constFind(static_cast<QWidget*>(watched));
        if (it != controlOfWidget_.constEnd())
            if (const char key = KeyCharacter(*static_cast<QKeyEvent*>(event)))
                FieldKeyPress(it.value(), key);
        return false;
    }
    if (watched == thojas_->tabBar() && event->type() == QEvent::MouseButtonPress) {
        const auto* press = static_cast<QMouseEvent*>(event);
        const int tab = thojas_->tabBar()->tabAt(press->position().toPoint());
        if (press->button() == Qt::LeftButton && tab >= 0 && tab != thojas_->currentIndex())
            return !LeaveForAnotherPage();
    }
    return ChildWindow::eventFilter(watched, event);
}

// ----- Focus -----

std::optional<Control> StudyWindow::ControlOf(QWidget* widget) const {
    for (; widget && widget != this; widget = widget->parentWidget()) {
        const auto it = controlOfWidget_.constFind(widget);
        if (it != controlOfWidget_.constEnd()) return it.value();
    }
    return std::nullopt;
}

// The rules decide what a focus move means; the window only reports the
// user's moves. Its own moves (SetFocus) come back here naming the control
// the rules already hold, which does nothing.
void StudyWindow::OnFocusChanged(QWidget*, QWidget* now) {
    if (!Live() || !now || !isAncestorOf(now)) return;
    // Every widget that holds the focus here sees the access keys first.
    now->installEventFilter(this);
    if (switchingPage_) return;
    const std::optional<Control> control = ControlOf(now);
    if (!notebookEntered_) {
        notebookEntered_ = true;
        Forward([&] { rules_->NotebookEntered(control); });
        return;
    }
    if (control) Forward([&] { rules_->FocusMoved(control); });
}

bool StudyWindow::LeaveForAnotherPage() {
    bool stood = true;
    if (!Forward([&] { stood = rules_->LeavePage(); })) return false;
    return stood;
}

} // namespace valdex
