#pragma once
// An editable string grid with a fixed heading row and column, addressed as
// the study window addresses it: column 0 and row 0 are the headings, data
// cells start at (1, 1). The heading row and column are the table's
// headers. Each key typed in a cell is announced before the cell editor
// inserts it, and every change of a cell's text is announced at once.
//
// Two Tab behaviours: in cell mode Tab moves from cell to cell, in leave
// mode it leaves the grid for the next control. The cell editor is open on
// the current cell whenever the grid has the focus.

#include "study/study_window_view.h"

#include <QPointer>
#include <QTableWidget>

#include <QLineEdit>

namespace valdex {

class StudyGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit StudyGrid(QWidget* parent = nullptr);

    GridMode Mode() const { return mode_; }
    void SetMode(GridMode mode);

    // Data cells from (1, 1); (0, 0) when there is none.
    GridCell CurrentCell() const;
    void SetCurrentCell(GridCell cell);

    // Column or row count of data cells (the headings not counted).
    void SetDataColumns(int count) { setColumnCount(count); }
    void SetDataRows(int count) { setRowCount(count); }

    // Cell text by grid coordinates; row 0 and column 0 are the headings.
    QString CellText(int column, int row) const;
    void SetCellText(int column, int row, const QString& text);
    // Column 0 is the heading column.
    void SetColumnWidthPixels(int column, int pixels);

    // Writes the open editor's text into its cell and closes it, so that a
    // redraw of the cells is not overwritten by a late commit; ReopenCellEditor
    // after the redraw.
    void CloseCellEditor();
    void ReopenCellEditor() { OpenEditorIfFocused(); }
    // The open cell editor, if any.
    QLineEdit* CellEditor() const { return editor_; }

signals:
    // A character key in a cell (Enter as '\r'), before it is inserted.
    void keyTyped(QChar key, GridCell current);
    // The text of a data cell changed by the user.
    void cellEdited(GridCell cell, const QString& text);
    // Ctrl+V with a block of several cells on the clipboard, at `at`.
    void blockPasted(GridCell at, const QString& text);
    // Ctrl+C on a selected block of data cells.
    void copyRequested(GridCell from, GridCell to);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    friend class StudyGridDelegate;
    void OpenEditorIfFocused();
    void OpenEditorLater();
    void EditorCreated(QLineEdit* editor, const QModelIndex& index);
    // Handles a key for the open editor; true when it is used up here.
    bool EditorKey(QWidget* editor, QKeyEvent* event);
    // Ctrl+V of a block and Ctrl+C of a selection; true when used up here.
    bool BlockKey(QKeyEvent* event);
    void LeaveGrid(bool forward);

    GridMode mode_ = GridMode::Cell;
    QPointer<QLineEdit> editor_;
    bool closingEditor_ = false;
    bool keepClosed_ = false;
    bool focusing_ = false;      // inside focusInEvent
    bool editorPending_ = false; // an OpenEditorLater is queued
};

} // namespace valdex
