#include "study/grid_block.h"

#include <algorithm>

namespace valdex {

int GridBlock::Columns() const {
    std::size_t widest = 0;
    for (const auto& row : rows)
        widest = std::max(widest, row.size());
    return static_cast<int>(widest);
}

GridBlock ParseGridBlock(std::string_view text) {
    GridBlock block;
    if (text.ends_with("\r\n"))
        text.remove_suffix(2);
    else if (text.ends_with('\n'))
        text.remove_suffix(1);
    while (true) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r')) line.remove_suffix(1);
        std::vector<std::string> cells;
        while (true) {
            const std::size_t tab = line.find('\t');
            cells.emplace_back(line.substr(0, tab));
            if (tab == std::string_view::npos) break;
            line.remove_prefix(tab + 1);
        }
        block.rows.push_back(std::move(cells));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return block;
}

std::string FormatGridBlock(const GridBlock& block) {
    std::string text;
    for (const auto& row : block.rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i > 0) text += '\t';
            text += row[i];
        }
        text += '\n';
    }
    return text;
}

bool IsMultiCellText(std::string_view text) {
    if (text.ends_with("\r\n"))
        text.remove_suffix(2);
    else if (text.ends_with('\n'))
        text.remove_suffix(1);
    return text.find_first_of("\t\n") != std::string_view::npos;
}

} // namespace valdex
