// What the calibration plot says besides its lines, from a study and a
// diagnostics the test adjusts: equal responses counted, the response
// Grubbs flags named, limits without a value or outside the axis stated in
// a note (no line, no legend entry), the caveats of the limits, a common
// factor on an axis, no "E" exponent nor ASCII minus in any number, and no
// character cut in two.

#include "../support/worked_example.h"
#include "plot_checks.h"
#include "plots/diagnostics_plots.h"
#include "plots/diagnostics_summary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <regex>

namespace valdex {
namespace {

using testing::CanvasCall;
using testing::RecordingCanvas;

bool ValidUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if (lead >= 0x80 && lead < 0xC2) return false;
        if (i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += length;
    }
    return true;
}

struct Case {
    const char* name;
    std::vector<std::string> responses; // three levels (1, 2, 3 mg) of three
    std::function<void(CalibrationStudy&, Diagnostics&)> adjust;
    std::vector<std::string> texts; // drawn, whole
    std::vector<std::string> absent;
    int limitLines;
    const char* onBoth = nullptr; // drawn on both plots
};

const std::vector<std::string> kEqual = {"2", "2", "2", "4", "4.1", "3.9", "6", "6", "6.2"};
const std::vector<std::string> kSpread = {"2.1", "1.9", "2", "4.2", "3.9", "4", "6.1", "5.8", "6"};

TEST(PlotNotesTest, WhatThePlotSays) {
    const Case cases[] = {
        {"equal responses counted, level means in the legend",
         kEqual,
         [](CalibrationStudy&, Diagnostics&) {},
         {"×3", "×2", "Media del nivel", "LD y LC"},
         {},
         2,
         "×3"},
        {"the response Grubbs flags",
         kSpread,
         [](CalibrationStudy&, Diagnostics& d) { d.levels[1].outlier = true; },
         {"posible atípico: nivel 2, réplica 1", "Posible atípico (Grubbs)"},
         {},
         2},
        {"two flagged responses",
         kSpread,
         [](CalibrationStudy&, Diagnostics& d) {
             d.levels[0].outlier = d.levels[2].outlier = true;
         },
         {"posibles atípicos: nivel 1, réplica 1; nivel 3, réplica 2"},
         {},
         2},
        {"limits that cannot be estimated",
         kSpread,
         [](CalibrationStudy&, Diagnostics& d) {
             d.study.LD = d.study.LC = std::nullopt;
             d.study.reason = "no estimable (s = 0)";
         },
         {"LD y LC: no estimable (s = 0)"},
         {"LD y LC", "LD", "LC"},
         0},
        {"a limit outside the axis",
         kSpread,
         [](CalibrationStudy&, Diagnostics& d) { d.study.LC = 27.99; },
         {"LC = 27.99 mg, fuera del gráfico", "LD"},
         {"LD y LC"},
         1},
        {"caveats of the limits",
         kSpread,
         [](CalibrationStudy&, Diagnostics& d) {
             d.limitCaveats = {"Límites calculados con una recta que no cumple: varianzas no "
                               "homogéneas (Cochran)."};
         },
         {"Límites calculados con una recta que no cumple: varianzas no homogéneas (Cochran)."},
         {},
         2},
        {"a common factor for large responses",
         {"2100000", "1900000", "2000000", "4200000", "3900000", "4000000", "6100000", "5800000",
          "6000000"},
         [](CalibrationStudy&, Diagnostics&) {},
         {"Área (×10⁶)"},
         {},
         2},
        {"texts made only of ñ",
         kSpread,
         [](CalibrationStudy& s, Diagnostics&) {
             s.MeasuredProperty = std::string(2 * 255, 'x');
             for (std::size_t i = 0; i < s.MeasuredProperty.size(); i += 2)
                 s.MeasuredProperty.replace(i, 2, "ñ");
             s.AddedQuantityUnits = s.MeasuredProperty;
         },
         {},
         {},
         -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CalibrationStudy study =
            testing::MakeStudy({{"1", "3"}, {"2", "3"}, {"3", "3"}}, c.responses);
        Diagnostics d = ComputeDiagnostics(study, {}, '.');
        c.adjust(study, d);
        RecordingCanvas canvas(300, 2550, 3300);
        const CanvasRect area{150, 150, 2100, 2700};
        const DiagnosticsPlots plots =
            DrawDiagnosticsPlots(canvas, MakePlotData(study, d), area, '.');
        ASSERT_TRUE(plots.calibration.drawn);
        testing::ExpectInside(canvas, area, {plots.calibration.frame, plots.residuals.frame});
        std::vector<std::string> texts;
        for (const CanvasCall& call : canvas.Texts()) {
            texts.push_back(call.text);
            EXPECT_TRUE(ValidUtf8(call.text)) << call.text;
            EXPECT_FALSE(std::regex_search(call.text, std::regex("[0-9]E|-[0-9]"))) << call.text;
        }
        const auto drawn = [&](const std::string& t, bool whole) {
            return std::any_of(texts.begin(), texts.end(), [&](const std::string& text) {
                return whole ? text == t : text.find(t) != std::string::npos;
            });
        };
        for (const std::string& t : c.texts)
            EXPECT_TRUE(drawn(t, false)) << t;
        // The page's summary names the flagged responses in the same words.
        std::string summary;
        for (const std::string& line : DiagnosticsSummaryLines(d, '.'))
            summary += line + "\n";
        for (const std::string& t : c.texts)
            if (t.rfind("posible", 0) == 0) {
                EXPECT_NE(summary.find(t), std::string::npos) << summary;
            }
        for (const std::string& t : c.absent)
            EXPECT_FALSE(drawn(t, true)) << t;
        if (c.onBoth != nullptr) {
            EXPECT_EQ(std::count(texts.begin(), texts.end(), c.onBoth), 2);
        }
        if (c.limitLines < 0) continue;
        int limits = 0;
        for (const CanvasCall& line : canvas.Polylines())
            limits += line.pen.style == kLimitStyle && line.clip == plots.calibration.frame;
        EXPECT_EQ(limits, c.limitLines);
    }
}

// The intervals of a and b under the plot, against a published example.
TEST(PlotNotesTest, IntervalsOfTheLineAsPublished) {
    std::ifstream in(std::string(VALDEX_SOURCE_DIR) +
                     "/tests/core/plots/data/miller_fluorescence.csv");
    std::string line;
    std::getline(in, line); // "x","y"
    CalibrationData data;
    while (std::getline(in, line)) {
        const std::size_t comma = line.find(',');
        data.levels.push_back(
            {std::stod(line.substr(0, comma)), {std::stod(line.substr(comma + 1))}});
    }
    ASSERT_EQ(data.levels.size(), 7u);
    const PlotData plot = MakePlotData(CalibrationStudy::MakeNew(), ComputeDiagnostics(data, {}));
    ASSERT_TRUE(plot.aInterval && plot.bInterval && plot.s && plot.r2);
    EXPECT_NEAR(*plot.s, 0.4329, 1e-4); // the book rounds its sums
    EXPECT_NEAR((plot.bInterval->low + plot.bInterval->high) / 2, 1.93, 5e-3);
    EXPECT_NEAR((plot.bInterval->high - plot.bInterval->low) / 2, 0.11, 5e-3);
    EXPECT_NEAR((plot.aInterval->low + plot.aInterval->high) / 2, 1.52, 5e-3);
    EXPECT_NEAR((plot.aInterval->high - plot.aInterval->low) / 2, 0.76, 5e-3);
    EXPECT_NEAR(std::sqrt(*plot.r2), 0.9989, 5e-5);
}

} // namespace
} // namespace valdex
