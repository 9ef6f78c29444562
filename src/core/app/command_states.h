#pragma once
// The enabled state of every menu item, toolbar button and popup item that
// the main window switches. Commands change state only in fixed groups at
// fixed events; a window never switches a single item of a group by itself.

#include <array>
#include <cstddef>
#include <vector>

namespace valdex {

// One value per menu item, toolbar button or popup item, named as the
// window's objects are named. The switchable ones come first; the ones after
// `FileMenu` keep their design state for the whole run.
enum class Command {
    FileNewItem,
    spdnuevo,
    FileOpenItem,
    spdabrir,
    mnuclose,
    spdclose,
    FileSaveItem,
    spdguardar,
    FileSaveAsItem,
    FilePrintItem,
    PrintLasser,
    PrintDeskjet,
    spdprint,
    spdprint1,
    WindowTileItem,
    spdmosaico,
    WindowCascadeItem,
    spdcascada,
    mnudunet,
    mnuinforme,
    mnudiagnostico, // "Diagnóstico de la calibración", switched with mnudunet
    mnuvalidacion,  // "Informe de validación…", switched with mnudunet
    pmnudunet,      // the popup item of the current study window's responses grid
    mnucalculos,
    // Never switched.
    FileMenu,
    FileExitItem,
    spdexit,
    WindowMenu,
    HelpMenu,
    HelpContentsItem,
    HelpSearchItem,
    HelpHowToUseItem,
    HelpAboutItem,
    spdcontenido,
};

inline constexpr std::size_t kCommandCount = static_cast<std::size_t>(Command::spdcontenido) + 1;

// The object name, as the Qt side names its actions and buttons ("spdnuevo").
const char* CommandName(Command command);

// Every command, in declaration order.
const std::array<Command, kCommandCount>& AllCommands();

// "&Informe" and "Como &usar  la ayuda" stay hidden for the whole run.
bool IsCommandVisible(Command command);

enum class CommandGroup {
    New,              // FileNewItem, spdnuevo
    Open,             // FileOpenItem, spdabrir
    Close,            // mnuclose, spdclose
    Save,             // FileSaveItem, spdguardar
    SaveAs,           // FileSaveAsItem
    Print,            // FilePrintItem, PrintLasser, PrintDeskjet, spdprint, spdprint1
    Tile,             // WindowTileItem, spdmosaico
    Cascade,          // WindowCascadeItem, spdcascada
    Calculate,        // mnudunet, mnuinforme, mnudiagnostico, mnuvalidacion, pmnudunet
    CalculationsMenu, // mnucalculos
};

const std::vector<Command>& GroupMembers(CommandGroup group);

enum class CommandEvent {
    Start,                  // design states
    New,                    // a study window created by Nuevo
    Open,                   // a study window filled from a file by Abrir
    CalculationTypeChanged, // the text of the calculation-type box changed
    StudyEdited,            // a user's edit set the modified mark
    DataPageEntered,        // responses grid laid out with consistent levels
    DataKeyTyped,           // a character key in the responses grid
    StudyWindowClosed,      // the study window closed, by any path
    LastChildWindowClosed,  // the last child window of any kind closed
};

// A value: copy it, compare it, apply events to it.
class CommandStates {
public:
    // The design states (the Start event).
    CommandStates();

    bool IsEnabled(Command command) const;
    void Set(Command command, bool enabled);
    void SetGroup(CommandGroup group, bool enabled);

    // Applies one row of the state table. New and Open also disable
    // `pmnudunet`, because each new study window's popup item starts
    // disabled. When the last child window closes only `FilePrintItem` and
    // `spdprint` of the Print group are switched (the others went off with
    // the study window).
    void Apply(CommandEvent event);

    bool operator==(const CommandStates&) const = default;

private:
    std::array<bool, kCommandCount> enabled_{};
};

} // namespace valdex
