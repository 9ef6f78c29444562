#pragma once
// The main window's menu bar: its menus and items in design order, each
// action named after its command, with its access key, shortcut, help
// context and hint (the long part as status tip).

#include "app/command_states.h"

#include <QHash>

class QAction;
class QMenuBar;

namespace valdex {

// Every menu and item of the bar by command; a menu by its menu action.
using MenuActions = QHash<Command, QAction*>;

MenuActions BuildMainMenu(QMenuBar& bar);

} // namespace valdex
