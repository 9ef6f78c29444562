#include "validation/validation_pdf.h"

#include "base/app_error.h"
#include "report/qt_page_canvas.h"

#include <QBuffer>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

namespace valdex {

PageGeometry GeometryOf(const QPagedPaintDevice& device) {
    const QPageLayout layout = device.pageLayout();
    const QRectF sheet = layout.fullRectPoints();
    const QRectF printable = layout.paintRectPoints();
    PageGeometry geometry;
    geometry.pageWidth = sheet.width();
    geometry.pageHeight = sheet.height();
    geometry.printableLeft = printable.left();
    geometry.printableTop = printable.top();
    geometry.pixelsPerPoint = device.logicalDpiY() / 72.0;
    return geometry;
}

ReportPagesLayout PrintValidationReportOn(QPagedPaintDevice& device,
                                          const ReportDocument& document) {
    QtPageCanvas canvas(device);
    return PrintValidationReport(canvas, document, GeometryOf(device));
}

QByteArray ValidationReportPdf(const ValidationReport& report, const FileIdentity& file,
                               const std::string& reportTime, ReportPaper paper) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(600);
    writer.setPageLayout(
        QPageLayout(QPageSize(paper == ReportPaper::A4 ? QPageSize::A4 : QPageSize::Letter),
                    QPageLayout::Portrait, QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch));
    writer.setCreator(QString::fromStdString(ProgramVersionText()));
    writer.setTitle(QString::fromUtf8(kValidationReportTitle));
    writer.setDocumentXmpMetadata(QByteArray::fromStdString(ValidationReportXmp(file, reportTime)));
    PrintValidationReportOn(writer, report.document);
    buffer.close();
    if (bytes.isEmpty()) throw AppError(kPrintNotFinished);
    return bytes;
}

} // namespace valdex
