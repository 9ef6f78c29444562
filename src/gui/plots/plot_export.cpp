#include "plots/plot_export.h"

#include "base/app_error.h"
#include "files/file_io.h"
#include "plots/diagnostics_page.h"
#include "plots/diagnostics_plots.h"
#include "plots/spread_plots.h"
#include "report/qt_page_canvas.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSvgGenerator>

namespace valdex {

namespace {

constexpr int kScreenResolution = 96;
constexpr const char* kImageNotWritten = "No se pudo generar la imagen de los gráficos.";
const QString kDocumentTitle = QStringLiteral("Diagnóstico de la calibración");

// Every plot over the whole device, on white.
void DrawPlotsOn(QPaintDevice& device, const CalibrationStudy& study, const Diagnostics& d,
                 char sep, QSize size, bool paintBackground) {
    QtPageCanvas canvas(device);
    canvas.BeginDoc();
    const CanvasRect area{0, 0, static_cast<double>(size.width()),
                          static_cast<double>(size.height())};
    if (paintBackground)
        canvas.DrawRectangle(area, {LineStyle::Solid, 1, kCanvasWhite}, kCanvasWhite);
    DrawAllDiagnosticsPlots(canvas, MakePlotData(study, d), area, sep);
    canvas.EndDoc();
}

} // namespace

std::optional<ExportFormat> ExportFormatOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("pdf")) return ExportFormat::Pdf;
    if (suffix == QLatin1String("svg")) return ExportFormat::Svg;
    if (suffix == QLatin1String("png")) return ExportFormat::Png;
    return std::nullopt;
}

QPageSize DiagnosticsPaper(const QPrinterInfo& printer) {
    const QPageSize size = printer.isNull() ? QPageSize() : printer.defaultPageSize();
    return size.isValid() ? size : QPageSize(QPageSize::Letter);
}

QByteArray DiagnosticsPdf(const CalibrationStudy& study, const Diagnostics& d, char sep,
                          const QPageSize& paper) {
    return PagePdf(kDocumentTitle, paper,
                   [&](PageCanvas& canvas) { PrintDiagnosticsPage(canvas, study, d, sep); });
}

QByteArray DiagnosticsSvg(const CalibrationStudy& study, const Diagnostics& d, char sep,
                          QSize size) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setResolution(kScreenResolution);
    generator.setTitle(kDocumentTitle);
    generator.setDescription(QStringLiteral("VALDEX v.w. 3.1"));
    DrawPlotsOn(generator, study, d, sep, size, true);
    return bytes;
}

QByteArray DiagnosticsPng(const CalibrationStudy& study, const Diagnostics& d, char sep,
                          QSize size) {
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull()) throw AppError(kImageNotWritten);
    // 96 dots per inch: the points of the plots' texts and pens.
    const int dotsPerMeter = static_cast<int>(kScreenResolution / 0.0254 + 0.5);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    DrawPlotsOn(image, study, d, sep, size, false);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) throw AppError(kImageNotWritten);
    return bytes;
}

void ExportDiagnostics(const std::string& path, ExportFormat format, const CalibrationStudy& study,
                       const Diagnostics& d, char sep, QSize size, const QPageSize& paper) {
    QByteArray bytes;
    switch (format) {
    case ExportFormat::Pdf:
        bytes = DiagnosticsPdf(study, d, sep, paper);
        break;
    case ExportFormat::Svg:
        bytes = DiagnosticsSvg(study, d, sep, size);
        break;
    case ExportFormat::Png:
        bytes = DiagnosticsPng(study, d, sep, size);
        break;
    }
    // Drawn completely before the file is touched.
    ReplaceFileContent(path,
                       std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void PrintDiagnostics(QPrinter& printer, const CalibrationStudy& study, const Diagnostics& d,
                      char sep) {
    QtPageCanvas canvas(printer);
    PrintDiagnosticsPage(canvas, study, d, sep);
}

} // namespace valdex
