#include "app/sample_field.h"

#include "base/app_error.h"
#include "base/number_conversion.h"
#include "diagnostics/diagnostics_text.h"
#include "diagnostics/sample_reading.h"
#include "diagnostics/weighting.h"
#include "diagnostics/weighting_text.h"

#include <algorithm>

namespace valdex {

std::vector<double> SampleResponses(const std::string& text, char sep) {
    std::vector<double> responses;
    std::size_t at = 0;
    const char* const blanks = " \t\r\n";
    while ((at = text.find_first_not_of(blanks, at)) != std::string::npos) {
        const std::size_t end = std::min(text.find_first_of(blanks, at), text.size());
        // A number beyond a double's range is refused as not a number.
        responses.push_back(static_cast<double>(ToDecimal(text.substr(at, end - at), sep)));
        at = end;
    }
    if (responses.empty()) throw AppError(kNoSampleResponses);
    return responses;
}

std::vector<std::string> InterpolateSample(const DiagnosticsWindowContent& content,
                                           const std::string& text) {
    const char sep = content.decimalSeparator;
    const std::vector<double> responses = SampleResponses(text, sep);
    const DiagnosticOptions& options = content.diagnostics.options;
    if (options.weighting == WeightScheme::None)
        return SampleLines(ReadSample(content.study, responses, kSampleAlpha, sep), sep);
    // Off the weighted line the user chose, against its limits.
    std::vector<std::string> lines =
        SampleLines(ReadWeightedSample(content.study, options.weighting, options.levelWeights,
                                       responses, kSampleAlpha, std::nullopt, sep),
                    sep);
    lines.pop_back(); // the ordinary line's formula; the weighted one follows
    for (std::string& line : WeightedSampleLines(options.weighting, sep))
        lines.push_back(std::move(line));
    return lines;
}

} // namespace valdex
