#pragma once
// The validation report as a sequence of blocks (headings, paragraphs,
// tables, plots) with the texts of its header and footer; the pages lay them
// out, and the sign-off block closes the last page.

#include "plots/plot_data.h"

#include <string>
#include <vector>

namespace valdex {

inline constexpr const char* kValidationReportTitle =
    "Informe de validación: límites de detección y cuantificación";

struct ReportBlock {
    enum class Kind { Heading, Paragraph, Table, CalibrationPlot, ResidualPlot, SpreadPlots };
    Kind kind = Kind::Paragraph;
    std::string text; // heading or paragraph
    // Table: the heading row (repeated on every page the table reaches), the
    // columns' shares of the width, and the rows.
    std::vector<std::string> header;
    std::vector<double> widths;
    std::vector<std::vector<std::string>> rows;
};

struct ReportFrame {
    std::string laboratory;
    std::string method;
    std::string fileName;
    std::string sha256; // the whole digest; the footer shows its first 16 digits
    std::string dateTime;
    std::string version; // "VALDEX v.w. 3.1"
};

struct ReportDocument {
    ReportFrame frame;
    std::vector<ReportBlock> blocks;
    std::string signOffHeading; // above the sign-off block on the last page
    PlotData plot;              // what the two plot blocks draw
    char decimalSeparator = '.';

    void Heading(std::string text) {
        blocks.push_back({ReportBlock::Kind::Heading, std::move(text), {}, {}, {}});
    }
    void Paragraph(std::string text) {
        blocks.push_back({ReportBlock::Kind::Paragraph, std::move(text), {}, {}, {}});
    }
    void Table(std::vector<std::string> header, std::vector<double> widths,
               std::vector<std::vector<std::string>> rows) {
        blocks.push_back(
            {ReportBlock::Kind::Table, {}, std::move(header), std::move(widths), std::move(rows)});
    }
    void Plot(ReportBlock::Kind kind) { blocks.push_back({kind, {}, {}, {}, {}}); }
};

} // namespace valdex
