#pragma once
// A block of cells as spreadsheets put it on the clipboard: one line a row,
// cells separated by tabs. Cells are texts, kept exactly as they come (a
// blank cell is an empty text).

#include <string>
#include <string_view>
#include <vector>

namespace valdex {

struct GridBlock {
    std::vector<std::vector<std::string>> rows; // rows of cells; rows may be short
    int Rows() const { return static_cast<int>(rows.size()); }
    int Columns() const;
};

// CR LF and LF both end a row; one line end after the last row is not a row.
GridBlock ParseGridBlock(std::string_view text);
// The same format back: tabs between cells, LF after each row.
std::string FormatGridBlock(const GridBlock& block);
// True when the text is a block of more than one cell (has a tab or a line
// end inside it), so pasting it fills several cells instead of one.
bool IsMultiCellText(std::string_view text);

} // namespace valdex
