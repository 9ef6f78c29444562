#pragma once
// The validation report's pages on any page canvas: a header (laboratory,
// title, method) and a footer ("Página i de n", the study file's name and the
// first 16 hex digits of its SHA-256, the report's date and time, the
// program's version) on every page; the blocks in between, each text wrapped
// or cut with "…" (never inside a UTF-8 character) so that nothing leaves the
// page's margins; tables going on over pages with their heading row
// repeated; the sign-off block at the places of signoff_block.h on the last
// page, which keeps that part clear of anything else.

#include "report/page_canvas.h"
#include "validation/report_document.h"
#include "validation/signoff_block.h"

#include <string>
#include <vector>

namespace valdex {

// Where the canvas's printable area lies on the paper.
struct PageGeometry {
    double pageWidth = 612;                       // points, the whole sheet (the PDF's MediaBox)
    double pageHeight = 792;                      // points
    double printableLeft = 18, printableTop = 18; // the printable area's corner, points
    double pixelsPerPoint = 600.0 / 72;           // the device's resolution / 72
};

// A rectangle of the sheet (PDF user space) on the canvas.
CanvasRect ToCanvas(const PdfRect& rect, const PageGeometry& geometry);

struct ReportPagesLayout {
    int pages = 0;
    CanvasRect body;                      // the area inside the margins
    std::vector<CanvasRect> signOffBoxes; // Elaboró, Revisó, Aprobó on the last page
};

// Begins the job, draws every page and ends it; a failure aborts the job and
// propagates.
ReportPagesLayout PrintValidationReport(PageCanvas& canvas, const ReportDocument& document,
                                        const PageGeometry& geometry);

// Text fitting, in the canvas's selected font. Both cut only between UTF-8
// characters.
// The text, or its longest beginning followed by "…" that fits the width.
std::string ElideToWidth(const PageCanvas& canvas, const std::string& text, int width);
// Lines no wider than the width: cut at blanks, a word wider than the width
// cut between characters; beyond maxLines the last kept line ends in "…".
std::vector<std::string> WrapToWidth(const PageCanvas& canvas, const std::string& text, int width,
                                     int maxLines);

} // namespace valdex
