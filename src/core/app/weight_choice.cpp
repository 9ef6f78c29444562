#include "app/weight_choice.h"

#include "diagnostics/weighting.h"

namespace valdex {

std::vector<WeightChoice> WeightChoices(const Diagnostics& d) {
    const WeightRecommendation& r = d.weightRecommendation;
    std::vector<WeightChoice> choices;
    for (const WeightCandidate& c : d.weightCandidates) {
        std::string label = WeightName(c.scheme);
        if (!c.reason.empty())
            label += " (no calculable)";
        else if (r.weight && !r.ranked.empty() && r.ranked.front() == c.scheme)
            label += " (recomendado)";
        choices.push_back({c.scheme, label});
    }
    return choices;
}

void ChooseWeight(DiagnosticsWindowContent& content, WeightScheme scheme) {
    DiagnosticOptions options = content.diagnostics.options;
    options.weighting = scheme;
    content.diagnostics = ComputeDiagnostics(content.study, options, content.decimalSeparator);
}

} // namespace valdex
