#pragma once
// The sign-off block of the validation report: one box for each meaning of a
// signature ("Elaboró", "Revisó", "Aprobó"), side by side at the foot of the
// report's last page. The report draws the boxes with their "Nombre",
// "Firma" and "Fecha" lines and leaves each box's stamp area blank; signing
// a report draws the signer's printed name, the UTC date and time and the
// meaning into the stamp area of its box, as an incremental update of the
// PDF. Both sides take the places from here, so they always agree.
//
// The report also names the study in its XMP metadata, so that a signed
// report can be checked against the study file without reading its pages:
//   <valdex:Estudio>file name</valdex:Estudio>
//   <valdex:EstudioSHA256>64 lower-case hex digits</valdex:EstudioSHA256>
// (namespace xmlns:valdex="https://valdex.invalid/ns/informe/1.0/").

#include <array>
#include <optional>
#include <string>

namespace valdex {

enum class SignatureMeaning { Elaboro = 0, Reviso = 1, Aprobo = 2 };

inline constexpr std::array<SignatureMeaning, 3> kSignatureMeanings{
    SignatureMeaning::Elaboro, SignatureMeaning::Reviso, SignatureMeaning::Aprobo};

inline constexpr const char* kXmpNamespace = "https://valdex.invalid/ns/informe/1.0/";
inline constexpr const char* kXmpStudyName = "valdex:Estudio";
inline constexpr const char* kXmpStudySha256 = "valdex:EstudioSHA256";

// "Elaboró", "Revisó", "Aprobó" (UTF-8).
std::string MeaningText(SignatureMeaning meaning);
// The meaning whose text is given (exactly, accents included), or nothing.
std::optional<SignatureMeaning> ParseMeaning(const std::string& text);

// A rectangle in PDF user space: points (1/72 in), origin at the page's
// lower-left corner, y upwards.
struct PdfRect {
    double x = 0, y = 0, width = 0, height = 0;
};

struct SignOffBox {
    PdfRect box;   // the whole box: title, stamp area, the three lines
    PdfRect title; // the meaning, at the top of the box
    PdfRect stamp; // left blank by the report; the signer draws here
    PdfRect lines; // "Nombre: ____", "Firma: ____", "Fecha: ____"
};

// Height reserved above the page's bottom margin for the whole block, so the
// report keeps it clear of any other text on the last page.
inline constexpr double kSignOffBlockHeight = 170;
// The page margin that every page of the report keeps on each side.
inline constexpr double kReportMargin = 54;
// The footer's height inside the bottom margin area (the block stands above it).
inline constexpr double kReportFooterHeight = 28;

// The box of a meaning on a page of the given size (points, from the PDF's
// MediaBox: 612 × 792 for Letter, 595.28 × 841.89 for A4).
SignOffBox SignOffBoxFor(SignatureMeaning meaning, double pageWidth, double pageHeight);

} // namespace valdex
