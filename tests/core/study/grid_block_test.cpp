#include "study/grid_block.h"

#include <gtest/gtest.h>

namespace valdex {
namespace {

using Rows = std::vector<std::vector<std::string>>;

TEST(GridBlockTest, SpreadsheetTextsBecomeCellsAndBack) {
    struct Case {
        std::string text;
        Rows rows;
        std::string formatted;
    };
    const Case cases[] = {
        {"1\t2\t3\n3\t3\t3\n", {{"1", "2", "3"}, {"3", "3", "3"}}, "1\t2\t3\n3\t3\t3\n"},
        // CR LF from Windows spreadsheets, no line end after the last row.
        {"0,5\t1,5\r\n2\t2", {{"0,5", "1,5"}, {"2", "2"}}, "0,5\t1,5\n2\t2\n"},
        // Blank cells stay empty texts, short rows stay short.
        {"1\t\t3\n\n4\n", {{"1", "", "3"}, {""}, {"4"}}, "1\t\t3\n\n4\n"},
        {"2.1", {{"2.1"}}, "2.1\n"},
    };
    for (const Case& c : cases) {
        const GridBlock block = ParseGridBlock(c.text);
        EXPECT_EQ(block.rows, c.rows) << c.text;
        EXPECT_EQ(FormatGridBlock(block), c.formatted) << c.text;
    }
    EXPECT_EQ(ParseGridBlock("1\t\t3\n\n4\n").Columns(), 3);
    EXPECT_FALSE(IsMultiCellText("2,5"));
    EXPECT_FALSE(IsMultiCellText("2,5\r\n"));
    EXPECT_TRUE(IsMultiCellText("2\t5"));
    EXPECT_TRUE(IsMultiCellText("2\n5\n"));
}

} // namespace
} // namespace valdex
