#include "plots/diagnostics_page.h"

#include "base/app_error.h"
#include "plots/diagnostics_summary.h"
#include "report/laser_report.h"

#include <algorithm>

namespace valdex {

namespace {

constexpr int kBodyFontSize = 10;
constexpr int kLeftColumn = 45;
constexpr int kTitleRow = 7;
constexpr int kMethodRow = 8;
constexpr int kAnalystRow = 9;
constexpr int kPlotsFirstRow = 10;
// The plots keep at least this many rows when the summary is long; the
// summary's last lines then give way.
constexpr int kLeastPlotRows = 24;

} // namespace

namespace {

// The word in pieces no wider than `width`, cut between whole characters;
// each piece holds at least one character.
std::vector<std::string> WordPieces(const PageCanvas& canvas, const std::string& word, int width) {
    std::vector<std::string> pieces;
    std::string rest = word;
    while (canvas.TextWidth(rest) > width) {
        std::string piece = Elided(rest, [&](const std::string& t) {
            return canvas.TextWidth(t) - canvas.TextWidth("…") <= width;
        });
        piece = piece.size() > 3 && piece.ends_with("…") ? piece.substr(0, piece.size() - 3) : "";
        if (piece.empty()) { // not even one character fits: it stands alone
            std::size_t end = 1;
            while (end < rest.size() && (static_cast<unsigned char>(rest[end]) & 0xC0) == 0x80)
                ++end;
            piece = rest.substr(0, end);
        }
        pieces.push_back(piece);
        rest = rest.substr(piece.size());
        if (rest.empty()) return pieces;
    }
    pieces.push_back(rest);
    return pieces;
}

} // namespace

std::vector<std::string> WrapLines(const PageCanvas& canvas, const std::vector<std::string>& lines,
                                   int width) {
    std::vector<std::string> wrapped;
    for (const std::string& line : lines) {
        std::string current;
        std::size_t start = 0;
        while (start <= line.size()) {
            std::size_t end = line.find(' ', start);
            if (end == std::string::npos) end = line.size();
            const std::string word = line.substr(start, end - start);
            const std::string joined = current.empty() ? word : current + " " + word;
            if (canvas.TextWidth(joined) <= width) {
                current = joined;
            } else {
                if (!current.empty()) wrapped.push_back(current);
                // A word wider than the line goes on over as many lines as it takes.
                std::vector<std::string> pieces = WordPieces(canvas, word, width);
                current = pieces.back();
                pieces.pop_back();
                wrapped.insert(wrapped.end(), pieces.begin(), pieces.end());
            }
            start = end + 1;
        }
        wrapped.push_back(current);
    }
    return wrapped;
}

namespace {

constexpr int kPages = 2;

// The title and the study's identification that each page begins with.
void DrawIdentification(PageWriter& writer, const CalibrationStudy& study) {
    writer.Centred(kTitleRow, kDiagnosticsPageTitle);
    writer.AtColumn(kMethodRow, kLeftColumn, "Nombre del método: " + study.MethodName);
    writer.AtColumn(kAnalystRow, kLeftColumn,
                    "Nombre del Analista: " + study.AnalystName + ", Fecha: " + study.StudyDate);
}

void DrawFooter(LaserReport& report, PageCanvas& canvas, PageWriter& writer, int page) {
    SelectReportFont(canvas, kBodyFontSize);
    writer.AtColumn(LaserReport::FooterRow(), kLeftColumn, SheetNumber(page, kPages));
    report.LaserPageFooter(canvas);
}

} // namespace

DiagnosticsPageLayout PrintDiagnosticsPage(PageCanvas& canvas, const CalibrationStudy& study,
                                           const Diagnostics& diagnostics, char sep) {
    LaserReport report(sep);
    report.LaserPageSetup(canvas);
    DiagnosticsPageLayout page;
    page.units = report.Units();
    RunJobBody(canvas, [&] {
        SelectReportFont(canvas, kBodyFontSize);
        PageWriter writer(canvas, page.units);
        DrawIdentification(writer, study);

        const int left = writer.ColumnX(kLeftColumn);
        const int width = std::max(1, page.units.PageWidth - 2 * left);
        std::vector<std::string> sentences = DiagnosticsSummaryLines(diagnostics, sep);
        for (std::string& sentence : sentences)
            sentence = DisplayText(sentence);
        page.summary = WrapLines(canvas, sentences, width);
        const int lastRow = LaserReport::LastBodyRow();
        const int mostLines = lastRow - kPlotsFirstRow - kLeastPlotRows;
        if (static_cast<int>(page.summary.size()) > mostLines && mostLines > 0) {
            // The lines that give way are not lost silently: the last one
            // kept ends in "…".
            page.summary.resize(mostLines);
            std::string& last = page.summary.back();
            const int x = writer.ColumnX(kLeftColumn);
            last = Elided(last + " …", [&](const std::string& t) {
                return x + canvas.TextWidth(t) <= page.units.PageWidth;
            });
            if (!last.ends_with("…")) last += "…";
        }
        page.summaryRow = lastRow - static_cast<int>(page.summary.size()) + 1;

        const double unit = page.units.LineUnit;
        const PlotData data = MakePlotData(study, diagnostics);
        page.plotsArea = {static_cast<double>(left), kPlotsFirstRow * unit,
                          static_cast<double>(width),
                          (page.summaryRow - 1 - kPlotsFirstRow) * unit};
        page.plots = DrawDiagnosticsPlots(canvas, data, page.plotsArea, sep);

        SelectReportFont(canvas, kBodyFontSize);
        for (std::size_t i = 0; i < page.summary.size(); ++i)
            writer.AtColumn(page.summaryRow + static_cast<int>(i), kLeftColumn, page.summary[i]);
        DrawFooter(report, canvas, writer, 1);

        report.LaserNextPage(canvas);
        SelectReportFont(canvas, kBodyFontSize);
        DrawIdentification(writer, study);
        page.spreadArea = {static_cast<double>(left), kPlotsFirstRow * unit,
                           static_cast<double>(width), (lastRow - kPlotsFirstRow) * unit};
        page.spread = DrawResidualSpreadPlots(canvas, data, page.spreadArea, sep);
        DrawFooter(report, canvas, writer, 2);
    });
    return page;
}

} // namespace valdex
