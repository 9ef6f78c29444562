#include "app/child_window.h"

#include "app/valdex_picture.h"

#include <QCloseEvent>

namespace valdex {

ChildWindow::ChildWindow(QWidget* parent) : QMdiSubWindow(parent) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(ValdexIcon());
}

void ChildWindow::closeEvent(QCloseEvent* event) {
    if (closed_) return;
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    // The base removes the window from the frame's list of children, so the
    // closing is announced first.
    closed_ = true;
    FormClose();
    QMdiSubWindow::closeEvent(event);
}

} // namespace valdex
