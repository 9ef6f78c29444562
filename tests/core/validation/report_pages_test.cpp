#include "validation/report_pages.h"

#include "../report/recording_canvas.h"
#include "validation_studies.h"

#include <gtest/gtest.h>

namespace valdex {
namespace {

using testing::ReadTable;

// Every character is half an em wide: 5 pixels at 10 points and 72 dpi.
constexpr int kCharWidth = 5;

TEST(ReportPagesTest, TextsWrapAndElideBetweenCharacters) {
    testing::RecordingCanvas canvas(72, 600, 800);
    canvas.SetFont("ARIAL", 10, FontPitch::Default);
    ASSERT_EQ(canvas.TextWidth("ab"), 2 * kCharWidth);
    for (const auto& row : ReadTable("wrap_cases.txt")) {
        const std::vector<std::string> lines =
            WrapToWidth(canvas, row[0], std::stoi(row[1]) * kCharWidth, std::stoi(row[2]));
        std::string joined;
        for (const std::string& line : lines) {
            joined += (joined.empty() ? "" : " / ") + line;
            EXPECT_LE(canvas.TextWidth(line), std::stoi(row[1]) * kCharWidth) << line;
        }
        EXPECT_EQ(joined, row[3]) << row[0];
    }
}

} // namespace
} // namespace valdex
