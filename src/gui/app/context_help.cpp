#include "app/context_help.h"

#include "app/help_viewer.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

namespace valdex {

namespace {

int ActionContext(const QAction* action) {
    return action ? action->property(kHelpContextProperty).toInt() : 0;
}

} // namespace

int ContextHelp::ContextFor(QObject* receiver) {
    if (auto* menu = qobject_cast<QMenu*>(receiver)) {
        // An item without a context of its own (Lasser, Deskjet) takes its menu's.
        if (int context = ActionContext(menu->activeAction())) return context;
        return ActionContext(menu->menuAction());
    }
    if (auto* bar = qobject_cast<QMenuBar*>(receiver))
        if (int context = ActionContext(bar->activeAction())) return context;
    QWidget* widget = QApplication::focusWidget();
    if (!widget) widget = qobject_cast<QWidget*>(receiver);
    for (; widget; widget = widget->parentWidget())
        if (int context = widget->property(kHelpContextProperty).toInt()) return context;
    return 0;
}

bool ContextHelp::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 &&
        watched->isWidgetType()) {
        viewer_.ShowTopic(ContextFor(watched));
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace valdex
