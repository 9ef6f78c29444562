// What the two designs share: the levels table in further blocks, the data
// table over further pages, N = 0 and the aborted job.

#include "../support/expect_throw.h"
#include "base/app_error.h"
#include "page_expectations.h"
#include "report/deskjet_report.h"
#include "report/laser_report.h"

#include <gtest/gtest.h>

#include <memory>

namespace valdex {
namespace {

using namespace valdex::testing;

// A consistent study of `levels` levels with `replicates` responses each.
CalibrationStudy Study(int levels, int replicates) {
    std::vector<std::pair<std::string, std::string>> cells;
    std::vector<std::string> responses;
    for (int i = 1; i <= levels; ++i) {
        cells.emplace_back(std::to_string(i), std::to_string(replicates));
        for (int j = 1; j <= replicates; ++j)
            responses.push_back(std::to_string(i * 2 + j % 3));
    }
    CalibrationStudy study = MakeStudy(cells, responses);
    study.ResponsesHeading = "Área";
    return study;
}

// The rows at which one grid column of a table was drawn, page by page.
struct Placed {
    int page;
    int x;
    int y;
    std::string text;
};

// The texts at one x, below `firstY` on the first page (above it stands the
// levels table), leaving out the sheet numbers and the method name of
// further sheets.
std::vector<Placed> AtX(const RecordingCanvas& canvas, int x, int firstY) {
    std::vector<Placed> out;
    for (const CanvasCall& call : canvas.Texts())
        if (call.x == x && (call.page > 1 || call.y >= firstY) &&
            call.text.rfind("Página ", 0) != 0 && call.text.rfind("Nombre del Método", 0) != 0)
            out.push_back({call.page, call.x, call.y, call.text});
    return out;
}

std::unique_ptr<PrintedReport> Design(bool laser) {
    if (laser) return std::make_unique<LaserReport>();
    return std::make_unique<DeskjetReport>();
}

// A page of one sheet has neither sheet numbers nor a repeated method
// name. On a page of n > 1 sheets, each sheet's footer row carries
// "Página i de n" at the design's left column (Lasser 45, Deskjet 2), in
// the body font, and each further sheet has "Nombre del Método: " and the
// method name on the row under its header's rule (Lasser 6, Deskjet 9).
void ExpectSheetMarks(const RecordingCanvas& canvas, bool laser, int sheets,
                      const std::vector<std::pair<int, int>>& footers, int lineUnit = 100) {
    std::vector<std::pair<int, int>> numbers, methods; // sheet, row
    for (const CanvasCall& call : canvas.Texts()) {
        if (call.text.rfind("Página ", 0) == 0) {
            EXPECT_EQ(call.text,
                      "Página " + std::to_string(call.page) + " de " + std::to_string(sheets));
            EXPECT_EQ(call.x, laser ? 540 : 24);
            EXPECT_EQ(call.size, laser ? 10 : 11);
            numbers.emplace_back(call.page, call.y / lineUnit);
        }
        if (call.text == "Nombre del Método: Método A" && call.page > 1) {
            EXPECT_EQ(call.x, laser ? 540 : 24);
            EXPECT_EQ(call.size, laser ? 10 : 11);
            methods.emplace_back(call.page, call.y / lineUnit);
        }
    }
    if (sheets == 1) {
        EXPECT_TRUE(numbers.empty());
    } else {
        EXPECT_EQ(numbers, footers);
    }
    std::vector<std::pair<int, int>> expectedMethods;
    for (int sheet = 2; sheet <= sheets; ++sheet)
        expectedMethods.emplace_back(sheet, laser ? 6 : 9);
    EXPECT_EQ(methods, expectedMethods);
}

// Lasser: rows 25 to 57 take grid rows 0 to 32, so 32 responses fit and the
// 33rd goes on a second page under the repeated heading row (row 7).
// Deskjet at 63 rows a page: the rule must stay on the page, so the data
// may reach row 54; 22 responses fit, the 23rd goes on under the heading at
// row 10.
// Every sheet of a page that takes more than one carries "Página i de n" at
// the left of its footer row.
TEST(PrintedPagesTest, DataTableGoesOnOverFurtherPages) {
    struct Case {
        bool laser;
        int levels, replicates;
        int pages;
        int labelX, responseX;
        int lastRowFirstPage;
        int headingRowNext;
        std::vector<ExpectedRule> rules;
        std::vector<std::pair<int, int>> footers; // page, row
    };
    const Case cases[] = {
        {true, 4, 8, 1, 660, 1560, 57, 0, {{5, 1}, {59, 1}}, {{1, 58}}},
        {true, 3, 11, 2, 660, 1560, 57, 7, {{5, 1}, {59, 1}, {5, 2}, {59, 2}}, {{1, 58}, {2, 58}}},
        {true,
         10,
         9,
         3,
         660,
         1560,
         57,
         7,
         {{5, 1}, {59, 1}, {5, 2}, {59, 2}, {5, 3}, {59, 3}},
         {{1, 58}, {2, 58}, {3, 58}}},
        // At 600 dpi the Deskjet labels (20 characters of 45 px from x 24)
        // reach past the response column (444 px): the responses stand two
        // blanks after them.
        {false, 2, 11, 1, 24, 1014, 54, 0, {{8, 1}, {62, 1}}, {{1, 61}}},
        {false, 23, 1, 2, 24, 1014, 54, 10, {{8, 1}, {62, 1}, {8, 2}, {19, 2}}, {{1, 61}, {2, 18}}},
    };
    for (const Case& c : cases) {
        const int n = c.levels * c.replicates;
        SCOPED_TRACE((c.laser ? "Lasser N=" : "Deskjet N=") + std::to_string(n));
        CalibrationStudy study = Study(c.levels, c.replicates);
        // The laser path has no level check; many levels would need further
        // blocks, which are tested below, so keep them out of the way.
        RecordingCanvas canvas(600, 4800 * 4, 6300);
        Design(c.laser)->PrintGeneralPage(canvas, study);

        std::vector<CanvasCall::Kind> events{CanvasCall::Begin};
        for (int p = 1; p < c.pages; ++p)
            events.push_back(CanvasCall::NewPage);
        events.push_back(CanvasCall::End);
        EXPECT_EQ(canvas.JobEvents(), events);

        // Every response printed once, in order, under the heading on each page.
        const int firstY = (c.laser ? 25 : 32) * 100;
        const std::vector<Placed> labels = AtX(canvas, c.labelX, firstY);
        const std::vector<Placed> responses = AtX(canvas, c.responseX, firstY);
        std::vector<std::string> printed;
        int page = 0;
        int expectedY = 0;
        for (const Placed& p : responses) {
            if (p.page != page) {
                page = p.page;
                EXPECT_EQ(p.text, "Área");
                EXPECT_EQ(p.y, page == 1 ? firstY : c.headingRowNext * 100);
                expectedY = p.y + 100;
                continue;
            }
            EXPECT_EQ(p.y, expectedY);
            expectedY += 100;
            if (page == 1) {
                EXPECT_LE(p.y, c.lastRowFirstPage * 100);
            }
            printed.push_back(p.text);
        }
        EXPECT_EQ(page, c.pages);
        ASSERT_EQ(static_cast<int>(printed.size()), n);
        for (int r = 1; r <= n; ++r)
            EXPECT_EQ(printed[r - 1], study.ResponseCell(1, r));
        ASSERT_EQ(labels.size(), responses.size());
        for (std::size_t i = 0; i < labels.size(); ++i)
            EXPECT_EQ(labels[i].y, responses[i].y);

        // Each page has the header, the footer and its rule.
        ExpectRules(canvas, {600, 4800 * 4, 6300}, c.rules);
        std::vector<std::pair<int, int>> footers;
        for (const CanvasCall& call : canvas.Texts())
            if (call.text == "VALDEX v.w. 3.1") footers.emplace_back(call.page, call.y / 100);
        EXPECT_EQ(footers, c.footers);
        for (int p = 1; p <= c.pages; ++p) {
            int headers = 0;
            for (const CanvasCall& call : canvas.Texts())
                if (call.page == p && call.text == "Desarrollo" && call.size == 12) ++headers;
            EXPECT_EQ(headers, 1) << "page " << p;
        }
        ExpectSheetMarks(canvas, c.laser, c.pages, c.footers);
    }
}

// Ten levels: at 600 dpi the Lasser levels reach past 4800 pixels from the
// sixth level on (column 385 is 4620 px, and "Nivel 6" is 287 px wide), so
// levels 6 to 10 go in a second block at rows 23 to 25 and the data start at
// row 28. At 600 dpi the Deskjet columns (35 units of 12 px) are narrower
// than their texts, so each level stands two blanks (90 px) after the column
// before it ("Replicación >>" ends at 654, each "Nivel n" is 315 px wide) and
// all ten still fit; at 300 dpi (2400 px) they stand
// at their columns and break after level 5.
TEST(PrintedPagesTest, LevelsTableGoesOnInFurtherBlocks) {
    struct Case {
        bool laser;
        Device device;
        std::vector<std::vector<int>> blocks;
        int firstRow, firstColumn, step;
        int dataRow;
        std::vector<int> movedX; // pixel positions of the level columns that moved
    };
    const Case cases[] = {
        {true, k600Dpi, {{1, 2, 3, 4, 5}, {6, 7, 8, 9, 10}}, 20, 55, 55, 28, {}},
        {true, k300Dpi, {{1, 2}, {3, 4}, {5, 6}, {7, 8}, {9, 10}}, 20, 55, 55, 37, {}},
        {false,
         k600Dpi,
         {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
         27,
         2,
         35,
         32,
         {744, 1149, 1554, 1959, 2364, 2769, 3174, 3579, 3984, 4389}},
        {false, k300Dpi, {{1, 2, 3, 4, 5}, {6, 7, 8, 9, 10}}, 27, 2, 35, 35, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.laser ? "Lasser " : "Deskjet ") + std::to_string(c.device.dpi));
        CalibrationStudy study = Study(10, 1);
        RecordingCanvas canvas(c.device.dpi, c.device.width, c.device.height);
        Design(c.laser)->PrintGeneralPage(canvas, study);

        // The levels table: the texts after the level count line.
        std::vector<CanvasCall> texts = canvas.Texts();
        std::size_t first = 0;
        while (texts[first].text.find("Número de niveles") == std::string::npos)
            ++first;
        first += 2;
        std::vector<ExpectedText> expected;
        std::vector<std::vector<int>> blocks = c.blocks;
        int row = c.firstRow;
        for (const std::vector<int>& block : blocks) {
            const char* captions[] = {"", "Valor >>", "Replicación >>"};
            for (int r = 0; r < 3; ++r)
                expected.push_back(Col(row + r, c.firstColumn, captions[r], 0));
            int slot = 1;
            for (int level : block) {
                const int column = c.firstColumn + c.step * slot;
                const std::size_t at = expected.size();
                expected.push_back(Col(row, column, "Nivel " + std::to_string(level), 0));
                expected.push_back(Col(row + 1, column, std::to_string(level), 0));
                expected.push_back(Col(row + 2, column, "1", 0));
                if (!c.movedX.empty())
                    for (std::size_t i = at; i < expected.size(); ++i)
                        expected[i].x = c.movedX.at(slot - 1);
                ++slot;
            }
            row += 3;
        }
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const CanvasCall& drawn = texts.at(first + i);
            SCOPED_TRACE(expected[i].text);
            EXPECT_EQ(drawn.text, expected[i].text);
            EXPECT_EQ(drawn.x, expected[i].x >= 0 ? expected[i].x : 12 * expected[i].column);
            EXPECT_EQ(drawn.y, expected[i].row * c.device.dpi / 6);
            EXPECT_LE(drawn.x + canvas.TextWidth(drawn.text), c.device.width);
        }
        // The data table follows the last block.
        const CanvasCall& heading = texts.at(first + expected.size());
        EXPECT_EQ(heading.y, c.dataRow * c.device.dpi / 6);
        EXPECT_EQ(heading.text, "");
        if (!c.laser) {
            // The Deskjet footer follows the data: seven rows below the last.
            EXPECT_EQ(texts.back().text, "VALDEX v.w. 3.1");
            EXPECT_EQ(texts.back().y, (c.dataRow + 10 + 7) * c.device.dpi / 6);
        }
    }
}

// Level values wider than half the page put every level in a block of its
// own. Ten such blocks on a Deskjet page 1 used to push the data table and
// the footer that follows it below the bottom of the sheet (footer row 68 of
// 63 at 600 dpi); now the blocks and the data table go on on further
// sheets, and every sheet ends with its footer and rule on the page. The
// Lasser page, which has no level check, does the same with forty levels.
TEST(PrintedPagesTest, NothingIsDrawnBelowThePrintableArea) {
    struct Case {
        const char* name;
        bool laser;
        Device device;
        int levels, replicates;
        int sheets;
    };
    const Case cases[] = {
        {"Deskjet, Letter at 600 dpi", false, k600Dpi, 10, 3, 2},
        {"Deskjet, Letter at 300 dpi", false, k300Dpi, 10, 3, 2},
        // 46 rows: three levels on sheet 1, the other seven, the heading and
        // four responses on sheet 2, the other 26 responses on sheet 3.
        {"Deskjet, an A5 page", false, {600, 3300, 4650}, 10, 3, 3},
        {"Deskjet, ten levels of one response", false, k600Dpi, 10, 1, 2},
        // Twelve levels on sheet 1, seventeen on sheet 2, eleven, the heading
        // and 15 responses on sheet 3, the other 25 on sheet 4.
        {"Lasser, forty levels at 300 dpi", true, k300Dpi, 40, 1, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CalibrationStudy study = Study(c.levels, c.replicates);
        for (int i = 0; i < c.levels; ++i)
            study.Levels[i].AddedQuantity = std::to_string(i + 1) + std::string(120, '0');
        const Device& d = c.device;
        RecordingCanvas canvas(d.dpi, d.width, d.height);
        Design(c.laser)->PrintGeneralPage(canvas, study);

        std::vector<CanvasCall::Kind> events{CanvasCall::Begin};
        for (int p = 1; p < c.sheets; ++p)
            events.push_back(CanvasCall::NewPage);
        events.push_back(CanvasCall::End);
        EXPECT_EQ(canvas.JobEvents(), events);

        const int lineUnit = d.dpi / 6;
        for (const CanvasCall& call : canvas.Texts()) {
            EXPECT_GE(call.y, 0) << call.text;
            EXPECT_LE(call.y + lineUnit, d.height) << call.text << " on sheet " << call.page;
        }
        for (const CanvasCall& line : canvas.Lines())
            EXPECT_LT(line.y, d.height) << "rule on sheet " << line.page;

        // Each sheet: one footer, its rule on the row after it (Lasser) or
        // the one after that (Deskjet), and the header's rule.
        std::vector<std::pair<int, int>> footers; // sheet, row
        for (const CanvasCall& call : canvas.Texts())
            if (call.text == "VALDEX v.w. 3.1") footers.emplace_back(call.page, call.y / lineUnit);
        ASSERT_EQ(static_cast<int>(footers.size()), c.sheets);
        std::vector<ExpectedRule> rules;
        for (const auto& [sheet, row] : footers) {
            EXPECT_EQ(sheet, static_cast<int>(rules.size() / 2 + 1));
            rules.push_back({c.laser ? 5 : 8, sheet});
            rules.push_back({row + 1, sheet});
        }
        ExpectRules(canvas, d, rules);
        ExpectSheetMarks(canvas, c.laser, c.sheets, footers, lineUnit);

        // Every level and every response printed exactly once.
        for (int level = 1; level <= c.levels; ++level) {
            int headings = 0;
            for (const CanvasCall& call : canvas.Texts())
                if (call.text == LevelHeading(level)) ++headings;
            EXPECT_EQ(headings, 1) << "level " << level;
        }
        for (int row = 1; row <= c.levels * c.replicates; ++row) {
            int labels = 0;
            for (const CanvasCall& call : canvas.Texts())
                if (call.text == study.ResponseCell(0, row)) ++labels;
            EXPECT_EQ(labels, 1) << study.ResponseCell(0, row);
        }
    }
}

// A page narrower than two level columns still gets one level per block, so
// the table ends.
TEST(PrintedPagesTest, EveryBlockHoldsAtLeastOneLevel) {
    RecordingCanvas canvas(600, 1700, 6300);
    LaserReport report;
    report.PrintGeneralPage(canvas, Study(3, 1));
    int headings = 0;
    for (const CanvasCall& call : canvas.Texts())
        if (call.text.rfind("Nivel ", 0) == 0 && call.text.find(',') == std::string::npos) {
            EXPECT_EQ(call.x, 1320);
            EXPECT_EQ(call.y, (20 + 3 * headings++) * 100);
        }
    EXPECT_EQ(headings, 3);
}

// N = 0: the data table is the grid's heading row alone.
TEST(PrintedPagesTest, NoResponses) {
    struct Case {
        bool laser;
        const char* levelCount;
        int dataRow, footerRow, ruleRow;
        int levelTexts; // texts of the levels table
    };
    const Case cases[] = {
        {true, "2", 25, 58, 59, 9},  {false, "2", 32, 39, 40, 9}, {true, "0", 25, 58, 59, 3},
        {false, "0", 32, 39, 40, 3}, {true, "-1", 25, 58, 59, 0}, {false, "-1", 32, 39, 40, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.laser ? "Lasser " : "Deskjet ") + c.levelCount);
        CalibrationStudy study = MakeStudy({{"1", "0"}, {"2", "0"}}, {});
        study.ResponsesHeading = "Área";
        study.LevelCount = c.levelCount;
        RecordingCanvas canvas(600, 4800, 6300);
        Design(c.laser)->PrintGeneralPage(canvas, study);
        const std::vector<CanvasCall> texts = canvas.Texts();
        ASSERT_GE(texts.size(), 3u);
        // Heading cells of both columns, then the footer.
        EXPECT_EQ(texts[texts.size() - 3].text, "");
        EXPECT_EQ(texts[texts.size() - 3].y, c.dataRow * 100);
        EXPECT_EQ(texts[texts.size() - 2].text, "Área");
        EXPECT_EQ(texts[texts.size() - 2].y, c.dataRow * 100);
        EXPECT_EQ(texts.back().text, "VALDEX v.w. 3.1");
        EXPECT_EQ(texts.back().y, c.footerRow * 100);
        EXPECT_EQ(canvas.Lines().back().y, c.ruleRow * 100);
        // Header (2), top of the page (12 or 11 lines), levels, data (2), footer.
        EXPECT_EQ(texts.size(), 13u + c.levelTexts + 3);
    }
}

// A count that is not a whole number stops page 1 where it is converted:
// the job is aborted, so no partial page comes out, and the error goes on.
TEST(PrintedPagesTest, IntegerFailureAbortsTheJob) {
    struct Case {
        const char* name;
        const char* levelCount;
        int badLevel; // level whose replicate count is spoiled, 0 for none
        const char* badCount;
        const char* message;
    };
    const Case cases[] = {
        {"level count", "x", 0, "", "'x' is not a valid integer value"},
        {"decimal level count", "4.0", 0, "", "'4.0' is not a valid integer value"},
        {"replicate count", "4", 3, "2.5", "'2.5' is not a valid integer value"},
        {"empty replicate count", "4", 2, "", "'' is not a valid integer value"},
        // Lasser has no level check: more levels typed than the grid has.
        {"level beyond the grid", "5", 0, "", "'' is not a valid integer value"},
    };
    for (bool laser : {true, false}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(laser ? "Lasser " : "Deskjet ") + c.name);
            CalibrationStudy study = PrintedExample();
            study.LevelCount = c.levelCount;
            if (c.badLevel) study.Levels[c.badLevel - 1].ReplicateCount = c.badCount;
            RecordingCanvas canvas(600, 4800, 6300);
            EXPECT_THROW_MSG(Design(laser)->PrintGeneralPage(canvas, study), ConversionError,
                             c.message);
            EXPECT_EQ(canvas.JobEvents(),
                      (std::vector<CanvasCall::Kind>{CanvasCall::Begin, CanvasCall::Abort}));
            // Nothing of the data table nor the footer was drawn.
            for (const CanvasCall& call : canvas.Texts()) {
                EXPECT_EQ(call.text.find("Replica "), std::string::npos);
                EXPECT_NE(call.text, "VALDEX v.w. 3.1");
            }
        }
    }
}

// A failure of the printer in the middle of a page abandons the job too.
TEST(PrintedPagesTest, PrinterFailureAbortsTheJob) {
    class FailingCanvas : public RecordingCanvas {
    public:
        using RecordingCanvas::RecordingCanvas;
        void DrawLine(int x1, int y1, int x2, int y2) override {
            if (y1 > 1000) throw AppError("I/O error 28");
            RecordingCanvas::DrawLine(x1, y1, x2, y2);
        }
    };
    for (bool laser : {true, false}) {
        for (ReportPage page : {ReportPage::General, ReportPage::Results}) {
            FailingCanvas canvas(600, 4800, 6300);
            EXPECT_THROW(Design(laser)->PrintPage(page, canvas, PrintedExample()), AppError);
            EXPECT_EQ(canvas.JobEvents(),
                      (std::vector<CanvasCall::Kind>{CanvasCall::Begin, CanvasCall::Abort}));
        }
    }
}

// (W - width) / 2 truncates toward zero: with W = 101 and "Desarrollo" 500
// pixels wide the line starts at -199, not -200.
// A centred text wider than the page does not run off it: it ends in "…"
// and is centred as it is shown.
TEST(PrintedPagesTest, CentredTextWiderThanThePage) {
    RecordingCanvas canvas(600, 101, 6300);
    LaserReport report;
    report.PrintGeneralPage(canvas, PrintedExample());
    EXPECT_EQ(canvas.Texts()[0].text, "D…");
    EXPECT_GE(canvas.Texts()[0].x, 0);
    EXPECT_EQ(canvas.Lines()[0].x2, 101);
}

} // namespace
} // namespace valdex
