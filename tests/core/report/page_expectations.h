#pragma once
// Expected page contents written as the layout tables give them (row,
// placement, text, font size), turned into device pixels with the recording
// canvas's metrics: row r at r * L with L = dpi / 6 (12 points), column k at
// 12 * k, centred at (W - width) / 2, right-aligned at W - width.

#include "../support/worked_example.h"
#include "recording_canvas.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace valdex::testing {

enum class At { Column, Centre, Right };

struct ExpectedText {
    int row;
    At at;
    int column; // for At::Column
    std::string text;
    int size;
    int page = 1;
    int x = -1; // a pixel position, where a column moved to clear the one before it
};

struct ExpectedRule {
    int row;
    int page = 1;
};

struct Device {
    int dpi;
    int width;
    int height;
};

// Letter paper with a quarter-inch margin all round.
inline constexpr Device k300Dpi{300, 2400, 3150};
inline constexpr Device k600Dpi{600, 4800, 6300};

inline ExpectedText Col(int row, int column, std::string text, int size) {
    return {row, At::Column, column, std::move(text), size};
}
inline ExpectedText Centre(int row, std::string text, int size) {
    return {row, At::Centre, 0, std::move(text), size};
}
inline ExpectedText Right(int row, std::string text, int size) {
    return {row, At::Right, 0, std::move(text), size};
}

inline void ExpectRules(const RecordingCanvas& canvas, const Device& device,
                        const std::vector<ExpectedRule>& rules) {
    const int lineUnit = device.dpi / 6;
    const std::vector<CanvasCall> lines = canvas.Lines();
    ASSERT_EQ(lines.size(), rules.size());
    for (std::size_t i = 0; i < rules.size(); ++i) {
        SCOPED_TRACE("rule " + std::to_string(i));
        EXPECT_EQ(lines[i].x, 0);
        EXPECT_EQ(lines[i].y, rules[i].row * lineUnit);
        EXPECT_EQ(lines[i].x2, device.width);
        EXPECT_EQ(lines[i].y2, rules[i].row * lineUnit);
        EXPECT_EQ(lines[i].page, rules[i].page);
    }
}

// Every text drawn, in drawing order, and every rule.
inline void ExpectPage(const RecordingCanvas& canvas, const Device& device,
                       const std::vector<ExpectedText>& texts,
                       const std::vector<ExpectedRule>& rules) {
    const int lineUnit = device.dpi / 6;
    const std::vector<CanvasCall> drawn = canvas.Texts();
    ASSERT_EQ(drawn.size(), texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const ExpectedText& e = texts[i];
        const int width = CodePoints(e.text) * canvas.CharWidth(e.size);
        int x = e.x >= 0 ? e.x : 12 * e.column;
        if (e.at == At::Centre) x = (device.width - width) / 2;
        if (e.at == At::Right) x = device.width - width;
        SCOPED_TRACE("text " + std::to_string(i) + " \"" + e.text + "\"");
        EXPECT_EQ(drawn[i].text, e.text);
        EXPECT_EQ(drawn[i].x, x);
        EXPECT_EQ(drawn[i].y, e.row * lineUnit);
        EXPECT_EQ(drawn[i].font, "ARIAL");
        EXPECT_EQ(drawn[i].size, e.size);
        EXPECT_EQ(drawn[i].pitch, FontPitch::Default);
        EXPECT_EQ(drawn[i].page, e.page);
    }
    ExpectRules(canvas, device, rules);
}

// The worked example with the heading of the responses column filled in.
inline CalibrationStudy PrintedExample(const std::string& type = "Regresión") {
    CalibrationStudy study = WorkedExample(type);
    study.ResponsesHeading = "Área";
    return study;
}

inline const std::vector<std::string>& ExampleResponses() {
    static const std::vector<std::string> responses{"2.1", "1.9", "2.0", "4.2", "3.9", "4.0",
                                                    "6.1", "5.8", "6.0", "8.3", "7.9", "8.1"};
    return responses;
}

// The levels grid of the worked example, in blocks: each block lists the
// grid columns it holds after the caption column.
// `movedX`, where given, holds the pixel positions of the level columns of a
// single block that had to move right to clear the column before them.
inline void AppendLevels(std::vector<ExpectedText>& out,
                         const std::vector<std::vector<int>>& blocks, int firstRow, int firstColumn,
                         int step, int size, const std::vector<int>& movedX = {}) {
    int row = firstRow;
    for (const std::vector<int>& block : blocks) {
        out.push_back(Col(row, firstColumn, "", size));
        out.push_back(Col(row + 1, firstColumn, "Valor >>", size));
        out.push_back(Col(row + 2, firstColumn, "Replicación >>", size));
        int slot = 1;
        for (int level : block) {
            const int column = firstColumn + step * slot;
            const std::size_t at = out.size();
            out.push_back(Col(row, column, "Nivel " + std::to_string(level), size));
            out.push_back(Col(row + 1, column, std::to_string(level), size));
            out.push_back(Col(row + 2, column, "3", size));
            if (!movedX.empty())
                for (std::size_t i = at; i < out.size(); ++i)
                    out[i].x = movedX.at(slot - 1);
            ++slot;
        }
        row += 3;
    }
}

// The data grid of the worked example, rows first ... last, on one page.
inline void AppendData(std::vector<ExpectedText>& out, int firstRow, int labelColumn,
                       int responseColumn, int size, int movedResponseX = -1) {
    std::vector<std::string> labels{""}, responses{"Área"};
    for (int i = 0; i < 12; ++i) {
        labels.push_back(ResponseLabel(i / 3 + 1, i % 3 + 1));
        responses.push_back(ExampleResponses()[i]);
    }
    for (std::size_t i = 0; i < labels.size(); ++i)
        out.push_back(Col(firstRow + static_cast<int>(i), labelColumn, labels[i], size));
    for (std::size_t i = 0; i < responses.size(); ++i) {
        out.push_back(Col(firstRow + static_cast<int>(i), responseColumn, responses[i], size));
        out.back().x = movedResponseX;
    }
}

// A text worked out by hand: the `index`-th text drawn stands at (x, y).
struct Spot {
    Device device;
    std::size_t index; // in drawing order
    int x, y;
};

inline void ExpectSpot(const RecordingCanvas& canvas, const Spot& spot) {
    const CanvasCall text = canvas.Texts().at(spot.index);
    SCOPED_TRACE(text.text);
    EXPECT_EQ(text.x, spot.x);
    EXPECT_EQ(text.y, spot.y);
}

// A calculation type printed on the results page, and what it shows of the
// worked example: the intercept's deviation, and the limits (ld, lc).
struct ResultsCase {
    const char* type;
    bool interceptSD;
    bool limits;
    const char* ld;
    const char* lc;
};

// The result rows of the worked example in one design's wording.
struct ResultRowTexts {
    std::array<std::string, 9> statistics; // rows 15-17, 19-21 and 23-25
    std::string interceptSD;               // row 27
    std::string detection;                 // before the quoted type and the limit
    std::string quantification;
};

// Rows 15 to 25 at `column`, the intercept's deviation on row 27 where the
// case has it, then the two limits `limitsBelow` rows under the last of
// those. Returns that last row (25 or 27).
inline int AppendResultRows(std::vector<ExpectedText>& out, const ResultRowTexts& texts,
                            const ResultsCase& c, int column, int size, int limitsBelow) {
    const int rows[] = {15, 16, 17, 19, 20, 21, 23, 24, 25};
    for (std::size_t i = 0; i < texts.statistics.size(); ++i)
        out.push_back(Col(rows[i], column, texts.statistics[i], size));
    const int last = c.interceptSD ? 27 : 25;
    if (c.interceptSD) out.push_back(Col(27, column, texts.interceptSD, size));
    if (c.limits) {
        const std::string quoted = std::string("\"") + c.type + "\" = ";
        out.push_back(
            Col(last + limitsBelow, column, texts.detection + quoted + c.ld + " mg", size));
        out.push_back(Col(last + limitsBelow + 1, column,
                          texts.quantification + quoted + c.lc + " mg", size));
    }
    return last;
}

} // namespace valdex::testing
