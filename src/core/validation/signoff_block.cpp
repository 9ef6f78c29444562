#include "validation/signoff_block.h"

namespace valdex {

std::string MeaningText(SignatureMeaning meaning) {
    switch (meaning) {
    case SignatureMeaning::Elaboro:
        return "Elaboró";
    case SignatureMeaning::Reviso:
        return "Revisó";
    case SignatureMeaning::Aprobo:
        return "Aprobó";
    }
    return {};
}

std::optional<SignatureMeaning> ParseMeaning(const std::string& text) {
    for (SignatureMeaning meaning : kSignatureMeanings)
        if (MeaningText(meaning) == text) return meaning;
    return std::nullopt;
}

SignOffBox SignOffBoxFor(SignatureMeaning meaning, double pageWidth, double /*pageHeight*/) {
    constexpr double gap = 12;
    const double width = (pageWidth - 2 * kReportMargin - 2 * gap) / 3;
    const double bottom = kReportMargin + kReportFooterHeight;
    const int index = static_cast<int>(meaning);
    SignOffBox box;
    box.box = {kReportMargin + index * (width + gap), bottom, width, kSignOffBlockHeight - 10};
    const PdfRect& b = box.box;
    constexpr double titleHeight = 18, linesHeight = 54, pad = 4;
    box.title = {b.x + pad, b.y + b.height - titleHeight, b.width - 2 * pad, titleHeight};
    box.lines = {b.x + pad, b.y + pad, b.width - 2 * pad, linesHeight};
    const double stampBottom = box.lines.y + box.lines.height + pad;
    box.stamp = {b.x + pad, stampBottom, b.width - 2 * pad, box.title.y - pad - stampBottom};
    return box;
}

} // namespace valdex
