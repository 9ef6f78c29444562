#pragma once
// The diagnostics page and plots on Qt's devices: a printer, a PDF file
// (Letter, as valdex-cli prints; the window's paper rule below), an SVG drawing and a PNG image.
// Shared by the diagnostics window and valdex-cli.

#include "diagnostics/diagnostics.h"
#include "study/calibration_study.h"

#include <QByteArray>
#include <QPageSize>
#include <QSize>
#include <QString>

#include <optional>
#include <string>

class QPrinter;
class QPrinterInfo;

namespace valdex {

enum class ExportFormat { Pdf, Svg, Png };

// The size of the SVG and PNG plots unless asked otherwise, and its bounds.
inline constexpr int kDefaultPlotWidth = 1000;
inline constexpr int kDefaultPlotHeight = 900;
inline constexpr int kLeastPlotSide = 500; // below it the plots lose their texts
inline constexpr int kMostPlotSide = 10000;

// The format a file name's extension asks for, in any case; nothing for any
// other extension.
std::optional<ExportFormat> ExportFormatOf(const QString& path);

// The paper of the diagnostics page that the window prints and exports: the
// printer's page size, Letter when there is no printer or it names none.
QPageSize DiagnosticsPaper(const QPrinterInfo& printer);

// The diagnostics page as the printer gives it, in a PDF at 600 dots per inch.
QByteArray DiagnosticsPdf(const CalibrationStudy& study, const Diagnostics& diagnostics,
                          char decimalSeparator,
                          const QPageSize& paper = QPageSize(QPageSize::Letter));
// The two plots, `size` pixels at 96 dots per inch, on white.
QByteArray DiagnosticsSvg(const CalibrationStudy& study, const Diagnostics& diagnostics,
                          char decimalSeparator, QSize size);
QByteArray DiagnosticsPng(const CalibrationStudy& study, const Diagnostics& diagnostics,
                          char decimalSeparator, QSize size);

// Writes the file in one step: the target holds its old content or the new
// one, never a part (throws FileError, or AppError when drawing fails).
void ExportDiagnostics(const std::string& path, ExportFormat format, const CalibrationStudy& study,
                       const Diagnostics& diagnostics, char decimalSeparator,
                       QSize size = {kDefaultPlotWidth, kDefaultPlotHeight},
                       const QPageSize& paper = QPageSize(QPageSize::Letter));

// The diagnostics page on the printer the print dialog chose.
void PrintDiagnostics(QPrinter& printer, const CalibrationStudy& study,
                      const Diagnostics& diagnostics, char decimalSeparator);

} // namespace valdex
