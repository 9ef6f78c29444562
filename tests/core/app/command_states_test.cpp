#include "app/command_states.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace valdex {
namespace {

constexpr CommandGroup kGroups[] = {
    CommandGroup::New,       CommandGroup::Open,
    CommandGroup::Close,     CommandGroup::Save,
    CommandGroup::SaveAs,    CommandGroup::Print,
    CommandGroup::Tile,      CommandGroup::Cascade,
    CommandGroup::Calculate, CommandGroup::CalculationsMenu,
};

bool IsSwitchable(Command command) {
    for (CommandGroup group : kGroups)
        for (Command member : GroupMembers(group))
            if (member == command) return true;
    return false;
}

CommandStates AllSwitchable(bool enabled) {
    CommandStates states;
    for (CommandGroup group : kGroups)
        states.SetGroup(group, enabled);
    return states;
}

// One row of the state table: per group, '+' on, '-' off, '.' unchanged.
struct Row {
    CommandEvent event;
    const char* name;
    std::string groups; // New Open Close Save SaveAs Print Tile Cascade Calculate CalcMenu
};

const Row kTable[] = {
    {CommandEvent::New, "New", "--.--.++.."},
    {CommandEvent::Open, "Open", "--+--+++.."},
    {CommandEvent::CalculationTypeChanged, "CalculationTypeChanged", "...++....."},
    {CommandEvent::StudyEdited, "StudyEdited", "...++....."},
    {CommandEvent::DataPageEntered, "DataPageEntered", ".....+..++"},
    {CommandEvent::DataKeyTyped, "DataKeyTyped", "........++"},
    {CommandEvent::StudyWindowClosed, "StudyWindowClosed", "+.-------."},
    {CommandEvent::LastChildWindowClosed, "LastChildWindowClosed", "++---p--.."},
};

// The exceptions to switching whole groups.
bool Expected(const Row& row, std::size_t group, Command command, bool before) {
    // A new study window's popup item starts disabled.
    if ((row.event == CommandEvent::New || row.event == CommandEvent::Open) &&
        command == Command::pmnudunet)
        return false;
    switch (row.groups[group]) {
    case '+':
        return true;
    case '-':
        return false;
    case 'p': // only the two Print members still on when the last window closes
        return command == Command::FilePrintItem || command == Command::spdprint ? false : before;
    default:
        return before;
    }
}

TEST(CommandStatesTest, EveryRowOfTheTable) {
    for (const Row& row : kTable) {
        for (bool start : {false, true}) {
            SCOPED_TRACE(std::string(row.name) + (start ? " from all on" : " from all off"));
            const CommandStates before = AllSwitchable(start);
            CommandStates after = before;
            after.Apply(row.event);
            for (std::size_t g = 0; g < std::size(kGroups); ++g) {
                for (Command command : GroupMembers(kGroups[g])) {
                    SCOPED_TRACE(CommandName(command));
                    EXPECT_EQ(after.IsEnabled(command),
                              Expected(row, g, command, before.IsEnabled(command)));
                }
            }
            for (Command command : AllCommands()) {
                if (!IsSwitchable(command)) {
                    EXPECT_EQ(after.IsEnabled(command), before.IsEnabled(command))
                        << CommandName(command);
                }
            }
        }
    }
}

TEST(CommandStatesTest, DesignStates) {
    CommandStates states = AllSwitchable(true);
    states.Apply(CommandEvent::Start);
    EXPECT_EQ(states, CommandStates());
    const Command enabled[] = {
        Command::FileNewItem,      Command::spdnuevo,         Command::FileOpenItem,
        Command::spdabrir,         Command::FileMenu,         Command::FileExitItem,
        Command::spdexit,          Command::HelpContentsItem, Command::HelpSearchItem,
        Command::HelpHowToUseItem, Command::HelpAboutItem};
    for (Command command : AllCommands()) {
        bool expected = false;
        for (Command on : enabled)
            expected = expected || on == command;
        EXPECT_EQ(states.IsEnabled(command), expected) << CommandName(command);
    }
}

TEST(CommandStatesTest, StudyWindowClosingLastGivesTheSameInEitherOrder) {
    CommandStates open;
    open.Apply(CommandEvent::Open);
    open.Apply(CommandEvent::CalculationTypeChanged);
    open.Apply(CommandEvent::DataPageEntered);
    CommandStates first = open, second = open;
    first.Apply(CommandEvent::StudyWindowClosed);
    first.Apply(CommandEvent::LastChildWindowClosed);
    second.Apply(CommandEvent::LastChildWindowClosed);
    second.Apply(CommandEvent::StudyWindowClosed);
    EXPECT_EQ(first, second);
    // No document: New and Open only; the Cálculos menu keeps its state.
    for (Command command : {Command::FileNewItem, Command::spdnuevo, Command::FileOpenItem,
                            Command::spdabrir, Command::mnucalculos})
        EXPECT_TRUE(first.IsEnabled(command)) << CommandName(command);
    for (Command command :
         {Command::mnuclose, Command::FileSaveItem, Command::FilePrintItem, Command::PrintLasser,
          Command::spdprint1, Command::spdmosaico, Command::mnudunet, Command::pmnudunet})
        EXPECT_FALSE(first.IsEnabled(command)) << CommandName(command);
}

// "Diagnóstico de la calibración" is on exactly when "Detección y
// Cuantificación" is, after any sequence of the table's events.
TEST(CommandStatesTest, DiagnosticsFollowsTheCalculation) {
    const CommandEvent events[] = {CommandEvent::New,
                                   CommandEvent::DataPageEntered,
                                   CommandEvent::DataKeyTyped,
                                   CommandEvent::StudyWindowClosed,
                                   CommandEvent::Open,
                                   CommandEvent::DataKeyTyped,
                                   CommandEvent::CalculationTypeChanged,
                                   CommandEvent::LastChildWindowClosed,
                                   CommandEvent::StudyWindowClosed,
                                   CommandEvent::Start};
    EXPECT_EQ(CommandName(Command::mnudiagnostico), std::string("mnudiagnostico"));
    EXPECT_TRUE(IsCommandVisible(Command::mnudiagnostico));
    const std::vector<Command>& calculate = GroupMembers(CommandGroup::Calculate);
    EXPECT_NE(std::find(calculate.begin(), calculate.end(), Command::mnudiagnostico),
              calculate.end());
    CommandStates states;
    EXPECT_FALSE(states.IsEnabled(Command::mnudiagnostico));
    for (CommandEvent event : events) {
        states.Apply(event);
        EXPECT_EQ(states.IsEnabled(Command::mnudiagnostico), states.IsEnabled(Command::mnudunet))
            << static_cast<int>(event);
    }
}

// Every command has its own name, the one its Qt object carries.
TEST(CommandStatesTest, NamesAreDistinct) {
    std::set<std::string> names;
    for (Command command : AllCommands())
        EXPECT_TRUE(names.insert(CommandName(command)).second) << CommandName(command);
}

} // namespace
} // namespace valdex
