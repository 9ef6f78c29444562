#include "study/study_grid.h"

#include "study/grid_block.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyledItemDelegate>

namespace valdex {

// Cell editors that report every change and every key to their grid.
class StudyGridDelegate : public QStyledItemDelegate {
public:
    explicit StudyGridDelegate(StudyGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        auto* editor = new QLineEdit(parent);
        editor->setFrame(false);
        // The grid's own context menu shows through the editor.
        editor->setContextMenuPolicy(Qt::NoContextMenu);
        grid_->EditorCreated(editor, index);
        return editor;
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && object->isWidgetType() &&
            grid_->EditorKey(static_cast<QWidget*>(object), static_cast<QKeyEvent*>(event)))
            return true;
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    StudyGrid* grid_;
};

namespace {

// The character a key types, as the key handlers receive it; null for keys
// that type nothing (arrows, Tab, function keys).
QChar TypedCharacter(const QKeyEvent& event) {
    if (event.modifiers() & Qt::AltModifier) return {};
    if (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) return QChar('\r');
    if (event.key() == Qt::Key_Tab || event.key() == Qt::Key_Backtab) return {};
    if (event.key() == Qt::Key_Backspace) return QChar('\b');
    if (event.key() == Qt::Key_Escape) return QChar(0x1B);
    const QString text = event.text();
    return text.isEmpty() ? QChar() : text.front();
}

} // namespace

StudyGrid::StudyGrid(QWidget* parent) : QTableWidget(parent) {
    setItemDelegate(new StudyGridDelegate(this));
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                    QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    // A block can be selected for copying (Shift with the arrows or a click).
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setCornerButtonEnabled(false);
    setTabKeyNavigation(true);
    setShowGrid(true);
    horizontalHeader()->setSectionsClickable(false);
    verticalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setHighlightSections(false);
    verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(24);
}

void StudyGrid::SetMode(GridMode mode) {
    mode_ = mode;
    setTabKeyNavigation(mode == GridMode::Cell);
}

GridCell StudyGrid::CurrentCell() const {
    const QModelIndex index = currentIndex();
    if (!index.isValid()) return {};
    return {index.column() + 1, index.row() + 1};
}

void StudyGrid::SetCurrentCell(GridCell cell) {
    if (cell.column >= 1 && cell.row >= 1 && cell.column <= columnCount() && cell.row <= rowCount())
        setCurrentCell(cell.row - 1, cell.column - 1);
}

QString StudyGrid::CellText(int column, int row) const {
    const QTableWidgetItem* item = nullptr;
    if (row == 0 && column >= 1)
        item = horizontalHeaderItem(column - 1);
    else if (column == 0 && row >= 1)
        item = verticalHeaderItem(row - 1);
    else if (row >= 1 && column >= 1)
        item = this->item(row - 1, column - 1);
    return item ? item->text() : QString();
}

void StudyGrid::SetCellText(int column, int row, const QString& text) {
    if (row == 0 && column >= 1 && column <= columnCount())
        setHorizontalHeaderItem(column - 1, new QTableWidgetItem(text));
    else if (column == 0 && row >= 1 && row <= rowCount())
        setVerticalHeaderItem(row - 1, new QTableWidgetItem(text));
    else if (row >= 1 && column >= 1 && row <= rowCount() && column <= columnCount()) {
        if (QTableWidgetItem* existing = item(row - 1, column - 1))
            existing->setText(text);
        else
            setItem(row - 1, column - 1, new QTableWidgetItem(text));
    }
}

void StudyGrid::SetColumnWidthPixels(int column, int pixels) {
    if (column == 0)
        verticalHeader()->setFixedWidth(pixels);
    else
        setColumnWidth(column - 1, pixels);
}

void StudyGrid::CloseCellEditor() {
    if (!editor_) return;
    QLineEdit* editor = editor_;
    keepClosed_ = true;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    keepClosed_ = false;
}

void StudyGrid::OpenEditorIfFocused() {
    if (closingEditor_ || !hasFocus() || state() == QAbstractItemView::EditingState) return;
    const QModelIndex index = currentIndex();
    if (index.isValid()) edit(index);
}

// The editor opens once the focus change that brought the focus here is
// over: opening it inside that change would move the focus again while the
// rules may already have sent it elsewhere (a failed entry check).
void StudyGrid::OpenEditorLater() {
    if (editorPending_) return;
    editorPending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            editorPending_ = false;
            if (isVisible()) OpenEditorIfFocused();
        },
        Qt::QueuedConnection);
}

void StudyGrid::focusInEvent(QFocusEvent* event) {
    focusing_ = true;
    QTableWidget::focusInEvent(event);
    if (!currentIndex().isValid() && rowCount() > 0 && columnCount() > 0) setCurrentCell(0, 0);
    focusing_ = false;
    OpenEditorLater();
}

void StudyGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableWidget::currentChanged(current, previous);
    if (focusing_)
        OpenEditorLater();
    else
        OpenEditorIfFocused();
}

void StudyGrid::keyPressEvent(QKeyEvent* event) {
    // Keys that reach the grid itself (no editor open) type into a new
    // editor, which announces them; Tab in leave mode leaves.
    if (mode_ == GridMode::Leave &&
        (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab)) {
        LeaveGrid(event->key() == Qt::Key_Tab && !(event->modifiers() & Qt::ShiftModifier));
        return;
    }
    if (BlockKey(event)) return;
    QTableWidget::keyPressEvent(event);
}

void StudyGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    if (editor == editor_) editor_ = nullptr;
    // Moving to the next cell opens its editor once, after the old one is gone.
    const bool wasClosing = closingEditor_;
    closingEditor_ = true;
    QTableWidget::closeEditor(editor, hint);
    closingEditor_ = wasClosing;
    if (!keepClosed_) OpenEditorIfFocused();
}

void StudyGrid::EditorCreated(QLineEdit* editor, const QModelIndex& index) {
    editor_ = editor;
    const GridCell cell{index.column() + 1, index.row() + 1};
    connect(editor, &QLineEdit::textEdited, this,
            [this, cell](const QString& text) { emit cellEdited(cell, text); });
}

bool StudyGrid::BlockKey(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste)) {
        const QString text = QGuiApplication::clipboard()->text();
        if (!IsMultiCellText(text.toStdString())) return false; // one cell: the editor's
        const GridCell at = CurrentCell();
        CloseCellEditor();
        emit blockPasted(at, text);
        return true;
    }
    if (event->matches(QKeySequence::Copy)) {
        const QList<QTableWidgetSelectionRange> ranges = selectedRanges();
        if (ranges.size() != 1 || ranges[0].rowCount() * ranges[0].columnCount() < 2) return false;
        const QTableWidgetSelectionRange& range = ranges[0];
        emit copyRequested({range.leftColumn() + 1, range.topRow() + 1},
                           {range.rightColumn() + 1, range.bottomRow() + 1});
        return true;
    }
    return false;
}

bool StudyGrid::EditorKey(QWidget* editor, QKeyEvent* event) {
    if (BlockKey(event)) return true;
    const QChar typed = TypedCharacter(*event);
    if (!typed.isNull()) {
        const GridCell current = CurrentCell();
        emit keyTyped(typed, current);
        // Enter types nothing into a cell; Escape would undo what the study
        // already holds.
        return typed == QChar('\r') || typed == QChar(0x1B);
    }
    const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    if (tab && mode_ == GridMode::Leave && editor == editor_) {
        CloseCellEditor();
        LeaveGrid(event->key() == Qt::Key_Tab && !(event->modifiers() & Qt::ShiftModifier));
        return true;
    }
    return false;
}

void StudyGrid::LeaveGrid(bool forward) {
    // Skip the table's own cell navigation and move to the next control.
    QWidget::focusNextPrevChild(forward);
}

} // namespace valdex
