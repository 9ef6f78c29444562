#include "report/print_options_wiring.h"

#include "app/main_window.h"
#include "study/study_window_rules.h"

namespace valdex {

PrintOptionsDialogs InstallPrintOptions(TMainForm& window) {
    auto currentStudy = [&window]() -> const CalibrationStudy* {
        const StudyWindowRules* study = window.Rules().Finforma();
        return study != nullptr ? &study->Study() : nullptr;
    };
    const char separator = window.Rules().DecimalSeparator();
    auto* lasser = new TFoprt1(&window, currentStudy, window, separator);
    auto* deskjet = new TFoprt(&window, currentStudy, window, separator);
    window.SetLasserOptionsHook([lasser] { lasser->ShowOptions(); });
    window.SetDeskjetOptionsHook([deskjet] { deskjet->ShowOptions(); });
    return {lasser, deskjet};
}

} // namespace valdex
