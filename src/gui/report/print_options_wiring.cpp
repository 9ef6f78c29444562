#include "report/print_options_wiring.h"

#include "app/main_window.h"
#include "study/study_window_rules.h"

namespace valdex {

PrintOptionsDialogs InstallPrintOptions(MainWindow& window) {
    auto currentStudy = [&window]() -> const CalibrationStudy* {
        const StudyWindowRules* study = window.Rules().Finforma();
        return study != nullptr ? &study->Study() : nullptr;
    };
    const char separator = window.Rules().DecimalSeparator();
    auto* laser = new LaserOptionsDialog(&window, currentStudy, window, separator);
    auto* deskjet = new DeskjetOptionsDialog(&window, currentStudy, window, separator);
    window.SetLaserOptionsHook([laser] { laser->ShowOptions(); });
    window.SetDeskjetOptionsHook([deskjet] { deskjet->ShowOptions(); });
    return {laser, deskjet};
}

} // namespace valdex
