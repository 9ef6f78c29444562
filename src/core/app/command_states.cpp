#include "app/command_states.h"

namespace valdex {

namespace {

constexpr std::size_t Index(Command command) {
    return static_cast<std::size_t>(command);
}

} // namespace

const char* CommandName(Command command) {
    static constexpr std::array<const char*, kCommandCount> kNames = {
        "FileNewItem",       "spdnuevo",         "FileOpenItem",   "spdabrir",
        "mnuclose",          "spdclose",         "FileSaveItem",   "spdguardar",
        "FileSaveAsItem",    "FilePrintItem",    "PrintLasser",    "PrintDeskjet",
        "spdprint",          "spdprint1",        "WindowTileItem", "spdmosaico",
        "WindowCascadeItem", "spdcascada",       "mnudunet",       "mnuinforme",
        "mnudiagnostico",    "mnuvalidacion",    "pmnudunet",      "mnucalculos",
        "FileMenu",          "FileExitItem",     "spdexit",        "WindowMenu",
        "HelpMenu",          "HelpContentsItem", "HelpSearchItem", "HelpHowToUseItem",
        "HelpAboutItem",     "spdcontenido",
    };
    return kNames[Index(command)];
}

const std::array<Command, kCommandCount>& AllCommands() {
    static const std::array<Command, kCommandCount> all = [] {
        std::array<Command, kCommandCount> commands{};
        for (std::size_t i = 0; i < kCommandCount; ++i)
            commands[i] = static_cast<Command>(i);
        return commands;
    }();
    return all;
}

bool IsCommandVisible(Command command) {
    return command != Command::mnuinforme && command != Command::HelpHowToUseItem;
}

const std::vector<Command>& GroupMembers(CommandGroup group) {
    using C = Command;
    static const std::vector<Command> kNew = {C::FileNewItem, C::spdnuevo};
    static const std::vector<Command> kOpen = {C::FileOpenItem, C::spdabrir};
    static const std::vector<Command> kClose = {C::mnuclose, C::spdclose};
    static const std::vector<Command> kSave = {C::FileSaveItem, C::spdguardar};
    static const std::vector<Command> kSaveAs = {C::FileSaveAsItem};
    static const std::vector<Command> kPrint = {C::FilePrintItem, C::PrintLasser, C::PrintDeskjet,
                                                C::spdprint, C::spdprint1};
    static const std::vector<Command> kTile = {C::WindowTileItem, C::spdmosaico};
    static const std::vector<Command> kCascade = {C::WindowCascadeItem, C::spdcascada};
    static const std::vector<Command> kCalculate = {C::mnudunet, C::mnuinforme, C::mnudiagnostico,
                                                    C::mnuvalidacion, C::pmnudunet};
    static const std::vector<Command> kCalculationsMenu = {C::mnucalculos};
    switch (group) {
    case CommandGroup::New:
        return kNew;
    case CommandGroup::Open:
        return kOpen;
    case CommandGroup::Close:
        return kClose;
    case CommandGroup::Save:
        return kSave;
    case CommandGroup::SaveAs:
        return kSaveAs;
    case CommandGroup::Print:
        return kPrint;
    case CommandGroup::Tile:
        return kTile;
    case CommandGroup::Cascade:
        return kCascade;
    case CommandGroup::Calculate:
        return kCalculate;
    case CommandGroup::CalculationsMenu:
        return kCalculationsMenu;
    }
    return kNew;
}

CommandStates::CommandStates() {
    Apply(CommandEvent::Start);
}

bool CommandStates::IsEnabled(Command command) const {
    return enabled_[Index(command)];
}

void CommandStates::Set(Command command, bool enabled) {
    enabled_[Index(command)] = enabled;
}

void CommandStates::SetGroup(CommandGroup group, bool enabled) {
    for (Command command : GroupMembers(group))
        Set(command, enabled);
}

void CommandStates::Apply(CommandEvent event) {
    using G = CommandGroup;
    switch (event) {
    case CommandEvent::Start:
        enabled_.fill(false);
        SetGroup(G::New, true);
        // Open is usable from the start, as once the last window has closed:
        // a study can be opened without first creating one.
        SetGroup(G::Open, true);
        // The never-switched commands in their design states; the Window and
        // Help menus stay disabled, and with them their items' shortcuts.
        for (Command command :
             {Command::FileMenu, Command::FileExitItem, Command::spdexit, Command::HelpContentsItem,
              Command::HelpSearchItem, Command::HelpHowToUseItem, Command::HelpAboutItem})
            Set(command, true);
        break;
    case CommandEvent::New:
        SetGroup(G::New, false);
        SetGroup(G::Open, false);
        SetGroup(G::Save, false);
        SetGroup(G::SaveAs, false);
        SetGroup(G::Tile, true);
        SetGroup(G::Cascade, true);
        Set(Command::pmnudunet, false);
        break;
    case CommandEvent::Open:
        SetGroup(G::New, false);
        SetGroup(G::Open, false);
        SetGroup(G::Close, true);
        SetGroup(G::Save, false);
        SetGroup(G::SaveAs, false);
        SetGroup(G::Print, true);
        SetGroup(G::Tile, true);
        SetGroup(G::Cascade, true);
        Set(Command::pmnudunet, false);
        break;
    case CommandEvent::CalculationTypeChanged:
    case CommandEvent::StudyEdited:
        SetGroup(G::Save, true);
        SetGroup(G::SaveAs, true);
        break;
    case CommandEvent::DataPageEntered:
        SetGroup(G::Print, true);
        SetGroup(G::Calculate, true);
        SetGroup(G::CalculationsMenu, true);
        break;
    case CommandEvent::DataKeyTyped:
        SetGroup(G::Calculate, true);
        SetGroup(G::CalculationsMenu, true);
        break;
    case CommandEvent::StudyWindowClosed:
        SetGroup(G::New, true);
        SetGroup(G::Close, false);
        SetGroup(G::Save, false);
        SetGroup(G::SaveAs, false);
        SetGroup(G::Print, false);
        SetGroup(G::Tile, false);
        SetGroup(G::Cascade, false);
        SetGroup(G::Calculate, false);
        break;
    case CommandEvent::LastChildWindowClosed:
        SetGroup(G::New, true);
        SetGroup(G::Open, true);
        SetGroup(G::Close, false);
        SetGroup(G::Save, false);
        SetGroup(G::SaveAs, false);
        Set(Command::FilePrintItem, false);
        Set(Command::spdprint, false);
        SetGroup(G::Tile, false);
        SetGroup(G::Cascade, false);
        break;
    }
}

} // namespace valdex
