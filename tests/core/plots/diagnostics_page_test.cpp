// The printed diagnostics: two numbered pages, each with the Lasser header
// and footer at their rows and the identification; on the first the plots
// of the line and the summary under them down to the row above the footer,
// on the second the plots of the residuals' distribution and the spread;
// and the summary's sentences, checked on the EPA cadmium calibration
// (EnvStats anovaPE: F = 0.982 with 3 and 30 degrees of freedom, p = 0.4144).

#include "../diagnostics/diagnostics_test_support.h"
#include "../report/page_expectations.h"
#include "plot_checks.h"
#include "plots/diagnostics_page.h"
#include "plots/diagnostics_summary.h"

#include <gtest/gtest.h>

namespace valdex {
namespace {

using namespace valdex::testing;

// The text drawn last with these words: the page's own lines come after the
// plots, whose notes may say the same (the caveats of the limits).
const CanvasCall* FindText(const RecordingCanvas& canvas, const std::string& text) {
    const CanvasCall* found = nullptr;
    for (const CanvasCall& call : canvas.Calls())
        if (call.kind == CanvasCall::Text && call.text == text) found = &call;
    return found;
}

bool StartsWith(const std::string& text, const std::string& start) {
    return text.compare(0, start.size(), start) == 0;
}

TEST(DiagnosticsPageTest, TwoPagesInTheLaserDesign) {
    for (const Device& device : {k300Dpi, k600Dpi}) {
        SCOPED_TRACE(device.dpi);
        const int L = device.dpi / 6;
        RecordingCanvas canvas(device.dpi, device.width, device.height);
        const CalibrationStudy study = PrintedExample();
        const DiagnosticsPageLayout page =
            PrintDiagnosticsPage(canvas, study, ComputeDiagnostics(study, {}, '.'), '.');
        EXPECT_EQ(canvas.JobEvents(),
                  (std::vector<CanvasCall::Kind>{CanvasCall::Begin, CanvasCall::NewPage,
                                                 CanvasCall::End}));
        std::size_t secondPage = 0;
        while (canvas.Calls()[secondPage].kind != CanvasCall::NewPage)
            ++secondPage;
        // Both pages count each text of the header, the identification and
        // the footer once, and each its own number; these are the second's.
        for (const char* each : {"Desarrollo", "Diagnóstico de la Curva de Calibración",
                                 "Nombre del método: Método A", "VALDEX v.w. 3.1"}) {
            int onFirst = 0, onSecond = 0;
            for (std::size_t i = 0; i < canvas.Calls().size(); ++i)
                if (canvas.Calls()[i].kind == CanvasCall::Text && canvas.Calls()[i].text == each)
                    ++(i < secondPage ? onFirst : onSecond);
            EXPECT_EQ(onFirst, 1) << each;
            EXPECT_EQ(onSecond, 1) << each;
        }
        ASSERT_NE(FindText(canvas, "Página 1 de 2"), nullptr);
        EXPECT_EQ(FindText(canvas, "Página 1 de 2") - canvas.Calls().data() <
                      static_cast<std::ptrdiff_t>(secondPage),
                  true);

        // Header, identification and footer as the Lasser pages place them.
        const ExpectedText fixed[] = {
            Centre(3, "Desarrollo", 12),
            Centre(4, "Límite de Detección y Cuantificación del Sistema", 12),
            Centre(7, "Diagnóstico de la Curva de Calibración", 10),
            Col(8, 45, "Nombre del método: Método A", 10),
            Col(9, 45, "Nombre del Analista: Ana, Fecha: 01/02/2000", 10),
            Right(58, "VALDEX v.w. 3.1", 10),
            Col(58, 45, "Página 2 de 2", 10),
        };
        for (const ExpectedText& e : fixed) {
            SCOPED_TRACE(e.text);
            const CanvasCall* text = FindText(canvas, e.text);
            ASSERT_NE(text, nullptr);
            const int width = CodePoints(e.text) * canvas.CharWidth(e.size);
            const int x = e.at == At::Centre  ? (device.width - width) / 2
                          : e.at == At::Right ? device.width - width
                                              : 12 * e.column;
            EXPECT_EQ(text->x, x);
            EXPECT_EQ(text->y, e.row * L);
            EXPECT_EQ(text->size, e.size);
        }
        ExpectRules(canvas, device, {{5}, {59}, {5, 2}, {59, 2}});

        // The summary ends on the row above the footer, each line within the
        // width between the two margins of column 45.
        ASSERT_FALSE(page.summary.empty());
        EXPECT_EQ(page.summaryRow + static_cast<int>(page.summary.size()) - 1, 57);
        for (std::size_t i = 0; i < page.summary.size(); ++i) {
            const CanvasCall* line = FindText(canvas, page.summary[i]);
            if (page.summary[i].empty()) continue;
            ASSERT_NE(line, nullptr) << page.summary[i];
            EXPECT_EQ(line->x, 540);
            EXPECT_EQ(line->y, (page.summaryRow + static_cast<int>(i)) * L);
            EXPECT_LE(CodePoints(line->text) * canvas.CharWidth(10), device.width - 2 * 540);
        }
        // Every significance level and m in one sentence, then the line.
        const std::vector<std::string> sentences =
            DiagnosticsSummaryLines(ComputeDiagnostics(study, {}, '.'), '.');
        EXPECT_EQ(sentences.at(0), "Significación: bandas 95 %; pruebas α = 0.05; Mandel α = "
                                   "0.01; límites α = 0.01, β = 0.01; m = 1.");
        EXPECT_TRUE(StartsWith(sentences.at(1), "Recta: y = 2.0233333·x − 0.0333333"));

        // The plots between the identification and the summary.
        EXPECT_EQ(page.plotsArea.top, 10 * L);
        EXPECT_EQ(page.plotsArea.Bottom(), (page.summaryRow - 1) * L);
        EXPECT_EQ(page.plotsArea.left, 540);
        EXPECT_EQ(page.plotsArea.Right(), device.width - 540);
        ASSERT_TRUE(page.plots.calibration.drawn);
        ASSERT_TRUE(page.plots.residuals.drawn);
        // Stacked on the portrait page, the calibration plot above.
        EXPECT_LT(page.plots.calibration.frame.Bottom(), page.plots.residuals.frame.top);
        std::size_t first = 0;
        while (canvas.Calls()[first].kind != CanvasCall::Text ||
               canvas.Calls()[first].text != "Curva de calibración")
            ++first;
        std::size_t last = first;
        while (canvas.Calls()[last].text != page.summary[0])
            ++last;
        RecordingCanvas plotsOnly(device.dpi, device.width, device.height);
        for (std::size_t i = first; i < last; ++i) {
            const CanvasCall& call = canvas.Calls()[i];
            if (call.kind == CanvasCall::Text) {
                plotsOnly.SetFont(call.font, call.size, call.pitch);
                plotsOnly.TextOut(call.x, call.y, call.text);
            }
        }
        ExpectInside(plotsOnly, page.plotsArea, {});
        ExpectInside(
            canvas, {0, 0, static_cast<double>(device.width), static_cast<double>(device.height)},
            {page.plots.calibration.frame, page.plots.residuals.frame, page.spread.normal.frame,
             page.spread.spread.sd.frame, page.spread.spread.cv.frame});

        // The second page: the normal probability plot over the spread of the
        // levels, from the identification down to the row above the footer.
        EXPECT_EQ(page.spreadArea.top, 10 * L);
        EXPECT_EQ(page.spreadArea.Bottom(), 57 * L);
        ASSERT_TRUE(page.spread.normal.drawn);
        ASSERT_TRUE(page.spread.spread.sd.drawn);
        EXPECT_LT(page.spread.normal.frame.Bottom(), page.spread.spread.sd.frame.top);
        EXPECT_GE(page.spread.normal.frame.top, page.spreadArea.top);
        EXPECT_LE(page.spread.spread.sd.frame.Bottom(), page.spreadArea.Bottom());
    }
}

TEST(DiagnosticsPageTest, WrapsAtBlanks) {
    RecordingCanvas canvas(600, 4800, 6300);
    canvas.SetFont("ARIAL", 10, FontPitch::Default); // 41 pixels a character
    const std::vector<std::string> wrapped = WrapLines(
        canvas, {"uno dos tres cuatro", "", "cincocincocinco seis", "ññññññññññ"}, 41 * 8);
    // A word wider than the line is cut between whole characters.
    EXPECT_EQ(wrapped, (std::vector<std::string>{"uno dos", "tres", "cuatro", "", "cincocin",
                                                 "cocinco", "seis", "ññññññññ", "ññ"}));
}

TEST(DiagnosticsSummaryTest, LackOfFitOfTheCadmiumCalibration) {
    Diagnostics d = ComputeDiagnostics(ReadCsv("cadmium_epa1997.csv"), DiagnosticOptions{});
    d.units = "µg/L";
    const std::vector<std::string> lines = DiagnosticsSummaryLines(d, '.');
    const auto line = [&](const std::string& start) {
        for (const std::string& l : lines)
            if (StartsWith(l, start)) return l;
        return std::string();
    };
    const std::string lof = line("Falta de ajuste (α = 0.05): F = 0.98");
    ASSERT_FALSE(lof.empty()) << ::testing::PrintToString(lines);
    EXPECT_NE(lof.find("gl = 3 y 30"), std::string::npos) << lof;
    EXPECT_NE(lof.find("p = 0.414"), std::string::npos) << lof;
    EXPECT_NE(lof.find(": sin falta de ajuste significativa."), std::string::npos) << lof;
    EXPECT_TRUE(StartsWith(line("Cochran"), "Cochran: C = "));
    EXPECT_TRUE(StartsWith(line("Bartlett"), "Bartlett: χ² = "));
    EXPECT_TRUE(StartsWith(line("Mandel"), "Mandel (α = 0.01): PG = "));
    EXPECT_NE(line("ICH").find(" µg/L"), std::string::npos);

    // With a comma as separator, and a design that allows no lack of fit.
    Diagnostics two = ComputeDiagnostics(Levels({{1, {1.0, 1.1}}, {2, {2.0, 2.1}}}), {});
    const std::vector<std::string> comma = DiagnosticsSummaryLines(two, ',');
    bool refused = false;
    for (const std::string& l : comma) {
        refused = refused || StartsWith(l, "Falta de ajuste (α = 0,05): no calculado. La falta de "
                                           "ajuste necesita al menos 3 niveles distintos.");
        EXPECT_EQ(l.find("nan"), std::string::npos) << l;
        EXPECT_EQ(l.find("inf"), std::string::npos) << l;
    }
    EXPECT_TRUE(refused) << ::testing::PrintToString(comma);
}

TEST(DiagnosticsSummaryTest, ResidualsBeyondTwoAreNamed) {
    CalibrationData data;
    for (int x = 1; x <= 10; ++x)
        data.levels.push_back({static_cast<double>(x), {2.0 * x, 2.0 * x + 0.01, 2.0 * x - 0.01}});
    data.levels[6].responses[1] += 1.0;
    const std::vector<std::string> lines =
        DiagnosticsSummaryLines(ComputeDiagnostics(data, {}), '.');
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "Residuos estandarizados fuera de ±2: 1 (nivel 7, réplica 2)."),
              lines.end())
        << ::testing::PrintToString(lines);
}

// A summary too long for the page keeps the plots their rows, and the last
// line it keeps ends in "…": the lines that give way are not lost silently.
TEST(DiagnosticsPageTest, SummaryTooLongEndsVisibly) {
    RecordingCanvas canvas(600, 4800, 6300);
    const CalibrationStudy study = PrintedExample();
    Diagnostics d = ComputeDiagnostics(study, {}, '.');
    d.limitCaveats.assign(40, "Límites calculados con una recta que no cumple.");
    const DiagnosticsPageLayout page = PrintDiagnosticsPage(canvas, study, d, '.');
    ASSERT_EQ(page.summary.size(), 57u - 10u - 24u);
    EXPECT_TRUE(page.summary.back().ends_with("…")) << page.summary.back();
    EXPECT_TRUE(page.plots.calibration.drawn);
}

} // namespace
} // namespace valdex
