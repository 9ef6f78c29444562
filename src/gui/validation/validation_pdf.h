#pragma once
// The validation report on Qt's paged devices: a PDF file in memory (Letter
// or A4 at 600 dots per inch, the study named in its XMP metadata) or the
// printer of a print preview, with the page size that printer has.

#include "report/page_canvas.h"
#include "validation/report_content.h"
#include "validation/report_pages.h"

#include <QByteArray>

class QPagedPaintDevice;

namespace valdex {

enum class ReportPaper { Letter, A4 };

// Where the device's printable area lies on its sheet.
PageGeometry GeometryOf(const QPagedPaintDevice& device);

// The report drawn on the device. Throws AppError when the device fails.
ReportPagesLayout PrintValidationReportOn(QPagedPaintDevice& device,
                                          const ReportDocument& document);

// The whole PDF; throws AppError when it cannot be drawn.
QByteArray ValidationReportPdf(const ValidationReport& report, const FileIdentity& file,
                               const std::string& reportTime, ReportPaper paper);

} // namespace valdex
