#include "validation/report_pages.h"

#include "plots/diagnostics_plots.h"
#include "plots/spread_plots.h"
#include "report/page_layout.h"

#include <algorithm>
#include <cmath>

namespace valdex {

namespace {

constexpr int kHeaderPoints = 8;
constexpr int kTitlePoints = 10;
constexpr int kHeadingPoints = 11;
constexpr int kBodyPoints = 9;
constexpr int kTablePoints = 8;
constexpr int kFooterPoints = 7;
constexpr double kHeaderHeight = 44;           // points, from the top margin
constexpr double kCellPad = 3;                 // points, on each side of a table cell
constexpr int kCellLines = 6;                  // the most lines of one table cell
constexpr int kParagraphLines = 40;            // the most lines of one paragraph
constexpr double kCalibrationPlotHeight = 250; // points
constexpr double kResidualPlotHeight = 180;    // points
constexpr double kSpreadPlotsHeight = 220;     // the normal probability plot beside s and CV %
constexpr const char* kEllipsis = "…";

bool Continuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// The byte offsets where the text's characters start, and its end.
std::vector<std::size_t> CharacterStarts(const std::string& text) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!Continuation(static_cast<unsigned char>(text[i]))) starts.push_back(i);
    starts.push_back(text.size());
    return starts;
}

// The longest beginning of the text (whole characters) that, with `suffix`,
// is no wider than the width.
std::size_t FittingPrefix(const PageCanvas& canvas, const std::string& text, int width,
                          const std::string& suffix) {
    const std::vector<std::size_t> starts = CharacterStarts(text);
    std::size_t low = 0, high = starts.size() - 1; // counts of characters
    while (low < high) {
        const std::size_t mid = (low + high + 1) / 2;
        if (canvas.TextWidth(text.substr(0, starts[mid]) + suffix) <= width)
            low = mid;
        else
            high = mid - 1;
    }
    return starts[low];
}

struct Op {
    enum Kind { Text, Rule, Box, CalibrationPlot, ResidualPlot, SpreadPlots } kind = Text;
    int points = kBodyPoints;
    int x = 0, y = 0, x2 = 0;
    std::string text;
    CanvasRect rect;
};

class Layout {
public:
    Layout(PageCanvas& canvas, const ReportDocument& document, const PageGeometry& geometry)
        : canvas_(canvas), doc_(document), g_(geometry) {
        const double k = g_.pixelsPerPoint;
        const double left = std::max(0.0, (kReportMargin - g_.printableLeft) * k);
        const double top = std::max(0.0, (kReportMargin - g_.printableTop) * k);
        const double right = std::min<double>(
            canvas.PageWidth(), (g_.pageWidth - kReportMargin - g_.printableLeft) * k);
        const double bottom = std::min<double>(
            canvas.PageHeight(), (g_.pageHeight - kReportMargin - g_.printableTop) * k);
        body_ = {left, top, right - left, bottom - top};
        footerTop_ = static_cast<int>(bottom - kReportFooterHeight * k);
        bodyTop_ = static_cast<int>(top + kHeaderHeight * k);
        bodyBottom_ = footerTop_ - Pt(4);
        signOffTop_ = static_cast<int>((g_.pageHeight - kReportMargin - kReportFooterHeight -
                                        kSignOffBlockHeight - g_.printableTop) *
                                       k);
    }

    ReportPagesLayout Run() {
        NewPage();
        for (const ReportBlock& block : doc_.blocks)
            Place(block);
        PlaceSignOff();
        ReportPagesLayout result;
        result.pages = static_cast<int>(pages_.size());
        result.body = body_;
        for (SignatureMeaning meaning : kSignatureMeanings)
            result.signOffBoxes.push_back(
                ToCanvas(SignOffBoxFor(meaning, g_.pageWidth, g_.pageHeight).box, g_));
        Draw();
        return result;
    }

private:
    int Pt(double points) const {
        return static_cast<int>(std::lround(points * g_.pixelsPerPoint));
    }
    int Left() const { return static_cast<int>(std::ceil(body_.left)); }
    int Width() const { return static_cast<int>(std::floor(body_.width)); }
    int LineHeight(int points) const { return Pt(points * 1.3); }
    void Font(int points) { canvas_.SetFont(kReportFont, points, FontPitch::Default); }

    void NewPage() {
        pages_.emplace_back();
        y_ = bodyTop_;
    }
    // Room for `height` more pixels on this page, else a new page.
    void Need(int height) {
        if (y_ + height > bodyBottom_ && y_ > bodyTop_) NewPage();
    }
    void Text(int points, int x, const std::string& text) {
        pages_.back().push_back({Op::Text, points, x, y_, 0, text, {}});
    }
    void Rule(int x, int x2, int y) { pages_.back().push_back({Op::Rule, 0, x, y, x2, {}, {}}); }

    void Place(const ReportBlock& block) {
        switch (block.kind) {
        case ReportBlock::Kind::Heading: {
            Font(kHeadingPoints);
            // A heading keeps two lines of what follows with it.
            Need(LineHeight(kHeadingPoints) + Pt(6) + 3 * LineHeight(kBodyPoints));
            y_ += Pt(6);
            Text(kHeadingPoints, Left(), ElideToWidth(canvas_, block.text, Width()));
            y_ += LineHeight(kHeadingPoints);
            break;
        }
        case ReportBlock::Kind::Paragraph: {
            Font(kBodyPoints);
            for (const std::string& line :
                 WrapToWidth(canvas_, block.text, Width(), kParagraphLines)) {
                Need(LineHeight(kBodyPoints));
                Text(kBodyPoints, Left(), line);
                y_ += LineHeight(kBodyPoints);
            }
            y_ += Pt(3);
            break;
        }
        case ReportBlock::Kind::Table:
            PlaceTable(block);
            break;
        case ReportBlock::Kind::CalibrationPlot:
        case ReportBlock::Kind::ResidualPlot:
        case ReportBlock::Kind::SpreadPlots: {
            const bool calibration = block.kind == ReportBlock::Kind::CalibrationPlot;
            const bool spread = block.kind == ReportBlock::Kind::SpreadPlots;
            const int height = Pt(calibration ? kCalibrationPlotHeight
                                  : spread    ? kSpreadPlotsHeight
                                              : kResidualPlotHeight);
            Need(height + Pt(6));
            y_ += Pt(3);
            Op op;
            op.kind = calibration ? Op::CalibrationPlot
                      : spread    ? Op::SpreadPlots
                                  : Op::ResidualPlot;
            op.rect = {static_cast<double>(Left()), static_cast<double>(y_),
                       static_cast<double>(Width()), static_cast<double>(height)};
            pages_.back().push_back(op);
            y_ += height + Pt(3);
            break;
        }
        }
    }

    std::vector<int> ColumnStarts(const ReportBlock& block) const {
        double total = 0;
        for (double w : block.widths)
            total += w;
        std::vector<int> starts;
        double at = 0;
        for (double w : block.widths) {
            starts.push_back(Left() + static_cast<int>(Width() * at / total));
            at += w;
        }
        starts.push_back(Left() + Width());
        return starts;
    }

    // One row: each cell wrapped in its column; the row's height is its
    // tallest cell's.
    void PlaceRow(const std::vector<std::string>& cells, const std::vector<int>& starts,
                  bool header, const ReportBlock& block) {
        Font(kTablePoints);
        std::vector<std::vector<std::string>> lines;
        std::size_t most = 1;
        for (std::size_t c = 0; c + 1 < starts.size(); ++c) {
            const int width = starts[c + 1] - starts[c] - 2 * Pt(kCellPad);
            lines.push_back(WrapToWidth(canvas_, c < cells.size() ? cells[c] : "",
                                        std::max(1, width), kCellLines));
            most = std::max(most, lines.back().size());
        }
        const int height = static_cast<int>(most) * LineHeight(kTablePoints) + Pt(2);
        if (y_ + height > bodyBottom_ && y_ > bodyTop_) {
            NewPage();
            if (!header) PlaceRow(block.header, starts, true, block);
        }
        const int rowTop = y_;
        for (std::size_t c = 0; c < lines.size(); ++c) {
            y_ = rowTop + Pt(1);
            for (const std::string& line : lines[c]) {
                Text(kTablePoints, starts[c] + Pt(kCellPad), line);
                y_ += LineHeight(kTablePoints);
            }
        }
        y_ = rowTop + height;
        if (header) Rule(Left(), Left() + Width(), y_ - Pt(1));
    }

    void PlaceTable(const ReportBlock& block) {
        const std::vector<int> starts = ColumnStarts(block);
        Need(3 * LineHeight(kTablePoints));
        if (!block.header.empty()) PlaceRow(block.header, starts, true, block);
        for (const std::vector<std::string>& row : block.rows)
            PlaceRow(row, starts, false, block);
        y_ += Pt(4);
    }

    void PlaceSignOff() {
        Font(kHeadingPoints);
        const int height = Pt(6) + LineHeight(kHeadingPoints);
        if (y_ + height > signOffTop_) NewPage();
        y_ += Pt(6);
        Text(kHeadingPoints, Left(), ElideToWidth(canvas_, doc_.signOffHeading, Width()));
        for (SignatureMeaning meaning : kSignatureMeanings) {
            const SignOffBox box = SignOffBoxFor(meaning, g_.pageWidth, g_.pageHeight);
            Op outline;
            outline.kind = Op::Box;
            outline.rect = ToCanvas(box.box, g_);
            pages_.back().push_back(outline);
            Font(kBodyPoints);
            const CanvasRect title = ToCanvas(box.title, g_);
            const std::string text = MeaningText(meaning);
            y_ = static_cast<int>(title.top + Pt(3));
            Text(kBodyPoints,
                 static_cast<int>(title.left + (title.width - canvas_.TextWidth(text)) / 2), text);
            const CanvasRect lines = ToCanvas(box.lines, g_);
            const char* labels[] = {"Nombre:", "Firma:", "Fecha:"};
            const int row = static_cast<int>(lines.height / 3);
            for (int i = 0; i < 3; ++i) {
                y_ = static_cast<int>(lines.top) + i * row + Pt(4);
                const int x = static_cast<int>(lines.left);
                Text(kBodyPoints, x, labels[i]);
                const int ruleY = y_ + LineHeight(kBodyPoints) - Pt(2);
                Rule(x + canvas_.TextWidth(labels[i]) + Pt(4),
                     static_cast<int>(lines.left + lines.width), ruleY);
            }
        }
    }

    void DrawFrame(int index) {
        const int n = static_cast<int>(pages_.size());
        const int left = Left(), width = Width();
        Font(kHeaderPoints);
        const int top = static_cast<int>(body_.top);
        canvas_.TextOut(left, top, ElideToWidth(canvas_, doc_.frame.laboratory, width));
        Font(kTitlePoints);
        const std::string title = ElideToWidth(canvas_, kValidationReportTitle, width);
        canvas_.TextOut(left + (width - canvas_.TextWidth(title)) / 2,
                        top + LineHeight(kHeaderPoints), title);
        Font(kHeaderPoints);
        canvas_.TextOut(left, top + LineHeight(kHeaderPoints) + LineHeight(kTitlePoints),
                        ElideToWidth(canvas_, "Método: " + doc_.frame.method, width));
        const int headerRule = bodyTop_ - Pt(4);
        canvas_.DrawLine(left, headerRule, left + width, headerRule);

        canvas_.DrawLine(left, footerTop_, left + width, footerTop_);
        Font(kFooterPoints);
        const std::string digest =
            " · SHA-256 " +
            doc_.frame.sha256.substr(0, std::min<std::size_t>(16, doc_.frame.sha256.size()));
        const std::string label = "Archivo: ";
        const int nameWidth = width - canvas_.TextWidth(label + digest);
        canvas_.TextOut(left, footerTop_ + Pt(3),
                        label + ElideToWidth(canvas_, doc_.frame.fileName, nameWidth) + digest);
        const int second = footerTop_ + Pt(3) + LineHeight(kFooterPoints);
        const std::string page = "Página " + std::to_string(index + 1) + " de " + std::to_string(n);
        canvas_.TextOut(left, second, page);
        const std::string right =
            ElideToWidth(canvas_, doc_.frame.dateTime + " · " + doc_.frame.version,
                         width - canvas_.TextWidth(page) - Pt(12));
        canvas_.TextOut(left + width - canvas_.TextWidth(right), second, right);
    }

    void Draw() {
        for (std::size_t p = 0; p < pages_.size(); ++p) {
            if (p > 0) canvas_.NewPage();
            DrawFrame(static_cast<int>(p));
            for (const Op& op : pages_[p]) {
                switch (op.kind) {
                case Op::Text:
                    Font(op.points);
                    canvas_.TextOut(op.x, op.y, op.text);
                    break;
                case Op::Rule:
                    canvas_.DrawLine(op.x, op.y, op.x2, op.y);
                    break;
                case Op::Box:
                    canvas_.DrawRectangle(op.rect, LinePen{}, std::nullopt);
                    break;
                case Op::CalibrationPlot:
                    DrawCalibrationPlot(canvas_, doc_.plot, op.rect, doc_.decimalSeparator);
                    break;
                case Op::ResidualPlot: {
                    const std::optional<Interval> x = SharedXData(doc_.plot);
                    if (x) DrawResidualPlot(canvas_, doc_.plot, *x, op.rect, doc_.decimalSeparator);
                    break;
                }
                case Op::SpreadPlots:
                    DrawResidualSpreadPlots(canvas_, doc_.plot, op.rect, doc_.decimalSeparator);
                    break;
                }
            }
        }
    }

    PageCanvas& canvas_;
    const ReportDocument& doc_;
    const PageGeometry& g_;
    CanvasRect body_;
    int bodyTop_ = 0, bodyBottom_ = 0, footerTop_ = 0, signOffTop_ = 0;
    int y_ = 0;
    std::vector<std::vector<Op>> pages_;
};

} // namespace

CanvasRect ToCanvas(const PdfRect& rect, const PageGeometry& g) {
    const double k = g.pixelsPerPoint;
    return {(rect.x - g.printableLeft) * k,
            (g.pageHeight - (rect.y + rect.height) - g.printableTop) * k, rect.width * k,
            rect.height * k};
}

ReportPagesLayout PrintValidationReport(PageCanvas& canvas, const ReportDocument& document,
                                        const PageGeometry& geometry) {
    canvas.BeginDoc();
    ReportPagesLayout layout;
    RunJobBody(canvas, [&] { layout = Layout(canvas, document, geometry).Run(); });
    return layout;
}

std::string ElideToWidth(const PageCanvas& canvas, const std::string& raw, int width) {
    // One line: control characters (a line feed in a laboratory's name)
    // become blanks.
    std::string text = raw;
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    if (canvas.TextWidth(text) <= width) return text;
    return text.substr(0, FittingPrefix(canvas, text, width, kEllipsis)) + kEllipsis;
}

std::vector<std::string> WrapToWidth(const PageCanvas& canvas, const std::string& text, int width,
                                     int maxLines) {
    std::vector<std::string> lines;
    std::string rest = text;
    for (char& c : rest)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    while (true) {
        if (static_cast<int>(lines.size()) + 1 == maxLines || canvas.TextWidth(rest) <= width) {
            lines.push_back(ElideToWidth(canvas, rest, width));
            return lines;
        }
        std::size_t cut = FittingPrefix(canvas, rest, width, "");
        const std::size_t blank = rest.rfind(' ', cut);
        if (blank != std::string::npos && blank > 0 && blank <= cut) cut = blank;
        if (cut == 0) cut = CharacterStarts(rest)[1]; // not even one character fits
        lines.push_back(rest.substr(0, cut));
        rest = rest.substr(cut);
        if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
    }
}

} // namespace valdex
