#pragma once
// What every child window of the main window shares: it is freed when it
// closes, and its closing runs while it still counts among the children
// (the main window's rules count them to find the last one).

#include <QMdiSubWindow>

namespace valdex {

class ChildWindow : public QMdiSubWindow {
    Q_OBJECT
public:
    explicit ChildWindow(QWidget* parent = nullptr);

signals:
    // A results or report window is closing (the default FormClose).
    void closing(ChildWindow* window);

protected:
    // False keeps the window open. The default lets it close.
    virtual bool FormCloseQuery() { return true; }
    // The closing is certain; the window is still a child.
    virtual void FormClose() { emit closing(this); }
    void closeEvent(QCloseEvent* event) override;
    bool IsClosed() const { return closed_; }

private:
    bool closed_ = false; // a second close of a closing window does nothing more
};

} // namespace valdex
