#pragma once
// The page canvas on a Qt paged device: a printer (QPrinter) or a PDF file
// (QPdfWriter); or, for one page only, on any paint device (a window, an
// image, an SVG generator). The page is measured on the device as it is
// drawn, but the drawing reaches the device only when the job ends, so an
// aborted job leaves nothing on any printer or file.

#include "report/page_canvas.h"
#include "report/plain_text.h"

#include <QByteArray>
#include <QFont>
#include <QPageSize>
#include <QPolygonF>
#include <QRectF>
#include <QString>

#include <deque>
#include <functional>
#include <string>
#include <vector>

class QPaintDevice;
class QPagedPaintDevice;
class QPainter;

namespace valdex {

inline constexpr const char* kPrinterNotValid = "La impresora seleccionada no es válida";
inline constexpr const char* kPrintNotFinished = "No se pudo terminar la impresión";

class QtPageCanvas : public PageCanvas {
public:
    explicit QtPageCanvas(QPagedPaintDevice& device);
    // A device of one page: a further page fails the job at its end.
    explicit QtPageCanvas(QPaintDevice& device);

    // Throws AppError(kPrinterNotValid) for a printer that cannot print.
    void BeginDoc() override;
    // Draws the recorded pages on the device; throws AppError when the
    // device refuses them.
    void EndDoc() override;
    void Abort() override;
    void NewPage() override;

    void SetFont(const std::string& name, int pointSize, FontPitch pitch) override;
    // The point size at the device's vertical resolution, rounded: 100 pixels
    // for 12 points at 600 dots per inch.
    int FontHeight() const override;
    int FontPointSize() const override;
    int TextWidth(const std::string& text) const override;
    void TextOut(int x, int y, const std::string& text) override;
    void DrawLine(int x1, int y1, int x2, int y2) override;
    int PageWidth() const override;
    int PageHeight() const override;
    void DrawStyledLine(CanvasPoint from, CanvasPoint to, const LinePen& pen) override;
    void DrawPolyline(const std::vector<CanvasPoint>& points, const LinePen& pen) override;
    void DrawRectangle(const CanvasRect& rect, const LinePen& pen,
                       std::optional<CanvasColour> fill) override;
    void DrawMarker(CanvasPoint centre, MarkerShape shape, double size,
                    CanvasColour colour) override;
    void SetClip(const CanvasRect& rect) override;
    void ClearClip() override;

    // The family the selected font resolves to on this system.
    QString FontFamilyInUse() const;
    const QFont& Font() const { return font_; }
    bool Aborted() const { return aborted_; }
    int Pages() const { return pages_; }

    // The family that draws a font name: "ARIAL" is drawn with Liberation
    // Sans, whose metrics are Arial's.
    static QString DeviceFamily(const std::string& name);

private:
    // What a shape or a clip draws, kept apart from the texts, which are
    // most of a long report.
    struct ShapeData {
        // An open polyline (a line is one of two points), a rectangle, or a
        // marker; a clip: the rectangle.
        enum ShapeKind { Polyline, Rectangle, Marker } shape = Polyline;
        QPolygonF points;
        QRectF rect;
        LinePen pen;
        std::optional<CanvasColour> fill;
        MarkerShape marker = MarkerShape::Circle;
        double size = 0;
    };
    struct Operation {
        enum Kind { Text, Line, NewPage, Shape, Clip, Unclip };
        Kind kind;
        int font = 0; // in fonts_
        int x = 0, y = 0, x2 = 0, y2 = 0;
        int shape = -1; // in shapes_, for a shape or a clip
        QString text;
        bool plain = false; // a plain text on a paged device
    };

    static void DrawDeviceLine(QPainter& painter, const Operation& op);
    static void DrawShape(QPainter& painter, const ShapeData& shape);
    void Forget(); // the operations recorded
    // Whether the text is measured and drawn as plain (see plain_).
    bool Plain(const QString& text) const;
    Operation& Add(Operation::Kind kind);
    ShapeData& AddShape(Operation::Kind kind);

    QPaintDevice& device_;
    QPagedPaintDevice* paged_ = nullptr; // null for a device of one page
    QFont font_;
    std::deque<Operation> operations_; // never moved as it grows
    std::vector<ShapeData> shapes_;
    std::vector<QFont> fonts_; // the fonts of the operations, the last one current
    // Plain texts on a printer or a PDF are measured and drawn without
    // shaping; any other text, or device, goes through Qt's layout.
    mutable PlainTextLayout plain_;
    // The text measured last, which is most often the next one drawn.
    mutable std::string measured_;
    mutable QString measuredText_;
    mutable bool measuredPlain_ = false;
    bool aborted_ = false;
    int pages_ = 0;
};

// One job drawn by `draw` into a PDF in memory: Letter paper at 600 dots per
// inch with the quarter-inch margin of a laser printer's printable area, as
// valdex-cli and the exports write their pages. Empty when the job aborted.
QByteArray LetterPdf(const QString& title, const std::function<void(PageCanvas&)>& draw);
// The same on another paper.
QByteArray PagePdf(const QString& title, const QPageSize& paper,
                   const std::function<void(PageCanvas&)>& draw);

} // namespace valdex
