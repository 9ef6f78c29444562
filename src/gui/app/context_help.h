#pragma once
// F1 anywhere in the application: the highlighted menu item's help context,
// otherwise the context of the window holding the focus (a widget property
// "helpContext"), otherwise the contents.

#include <QObject>

class QMenu;

namespace valdex {

class HelpViewer;

inline constexpr const char* kHelpContextProperty = "helpContext";

class ContextHelp : public QObject {
    Q_OBJECT
public:
    explicit ContextHelp(HelpViewer& viewer, QObject* parent = nullptr)
        : QObject(parent), viewer_(viewer) {}

    // The context that F1 would show for an event sent to `receiver`.
    static int ContextFor(QObject* receiver);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    HelpViewer& viewer_;
};

} // namespace valdex
