#pragma once
// The diagnostics window's weight selector: the weights offered, the one the
// diagnostics recommend marked (never chosen for the user), and the
// diagnostics computed again under the weight the user picks.

#include "app/main_window_view.h"

#include <string>
#include <vector>

namespace valdex {

struct WeightChoice {
    WeightScheme scheme = WeightScheme::None;
    std::string label; // "1/s2", "funcion (recomendado)", "1/x (no calculable)"
};

// In a fixed order: ninguna, 1/x, 1/x2, 1/y, 1/y2, 1/s2, funcion.
std::vector<WeightChoice> WeightChoices(const Diagnostics& diagnostics);

// The diagnostics of the content's study again, with `scheme` as the weight
// and the other options as they were.
void ChooseWeight(DiagnosticsWindowContent& content, WeightScheme scheme);

} // namespace valdex
