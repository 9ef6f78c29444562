#pragma once
// The page canvas on a Qt paged device: a printer (QPrinter) or a PDF file
// (QPdfWriter). The page is measured on the device as it is drawn, but the
// drawing reaches the device only when the job ends, so an aborted job
// leaves nothing on any printer or file.

#include "report/page_canvas.h"

#include <QFont>
#include <QString>

#include <vector>

class QPagedPaintDevice;
class QPainter;

namespace valdex {

inline constexpr const char* kPrinterNotValid = "La impresora seleccionada no es válida";
inline constexpr const char* kPrintNotFinished = "No se pudo terminar la impresión";

class QtPageCanvas : public PageCanvas {
public:
    explicit QtPageCanvas(QPagedPaintDevice& device);

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

    // The family the selected font resolves to on this system.
    QString FontFamilyInUse() const;
    const QFont& Font() const { return font_; }
    bool Aborted() const { return aborted_; }
    int Pages() const { return pages_; }

    // The family that draws a font name: "ARIAL" is drawn with Liberation
    // Sans, whose metrics are Arial's.
    static QString DeviceFamily(const std::string& name);

private:
    struct Operation {
        enum Kind { Text, Line, NewPage };
        Operation(Kind k, const QFont& f) : kind(k), font(f) {}
        Kind kind;
        QFont font;
        int x = 0, y = 0, x2 = 0, y2 = 0;
        QString text;
    };

    static void DrawDeviceLine(QPainter& painter, const Operation& op);

    QPagedPaintDevice& device_;
    QFont font_;
    std::vector<Operation> operations_;
    bool aborted_ = false;
    int pages_ = 0;
};

} // namespace valdex
