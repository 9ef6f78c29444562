// Texts of 255 characters (as long as a study file keeps them) on paper:
// every word of every sheet of the printed pages, in both designs, and of
// the diagnostics page stands inside the printable area, as pdftotext -bbox
// reads the PDF back (Letter, a quarter inch of margin: 18 to 594 points
// across, 18 to 774 down). Control characters reach no page raw.

#include "../core/support/worked_example.h"
#include "files/study_file.h"
#include "run_cli.h"

#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <sstream>

namespace valdex {
namespace {

using testing::CliRun;
using testing::Quote;
using testing::RunValdexCli;
using testing::ScratchFolder;

constexpr double kLeft = 18, kRight = 594, kTop = 18, kBottom = 774, kSlack = 0.5;

struct Box {
    double xMin, yMin, xMax, yMax;
    std::string text;
};

std::vector<Box> Words(const std::string& html) {
    std::vector<Box> words;
    const std::regex word("<word xMin=\"([0-9.-]+)\" yMin=\"([0-9.-]+)\" xMax=\"([0-9.-]+)\" "
                          "yMax=\"([0-9.-]+)\">([^<]*)</word>");
    for (auto it = std::sregex_iterator(html.begin(), html.end(), word);
         it != std::sregex_iterator(); ++it)
        words.push_back({std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3]),
                         std::stod((*it)[4]), (*it)[5]});
    return words;
}

std::string PageText(const std::string& pdf, const ScratchFolder& scratch, bool boxes) {
    const std::string out = scratch.File("texto");
    const std::string command =
        std::string("pdftotext ") + (boxes ? "-bbox " : "") + Quote(pdf) + " " + Quote(out);
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return testing::ReadText(out);
}

// Four levels of ten: page 1 of the laser design goes on on a second sheet.
CalibrationStudy LongStudy() {
    std::vector<std::pair<std::string, std::string>> levels;
    std::vector<std::string> responses;
    for (int i = 1; i <= 4; ++i) {
        levels.emplace_back(std::to_string(i), "10");
        for (int j = 1; j <= 10; ++j)
            responses.push_back(std::to_string(i * 2) + "." + std::to_string(j % 10));
    }
    return testing::MakeStudy(levels, responses);
}

// 255 characters: the widest letter, or a number written with 255 digits.
const std::string kLongText(255, 'W');
const std::string kLongNumber = "2." + std::string(253, '0');

struct Field {
    const char* name;
    std::function<void(CalibrationStudy&)> lengthen;
};

const Field kFields[] = {
    {"método", [](CalibrationStudy& s) { s.MethodName = kLongText; }},
    {"analista", [](CalibrationStudy& s) { s.AnalystName = kLongText; }},
    {"fecha", [](CalibrationStudy& s) { s.StudyDate = kLongText; }},
    {"unidades", [](CalibrationStudy& s) { s.AddedQuantityUnits = kLongText; }},
    {"propiedad", [](CalibrationStudy& s) { s.MeasuredProperty = kLongText; }},
    {"cantidad",
     [](CalibrationStudy& s) { s.Levels[0].AddedQuantity = "1." + std::string(253, '0'); }},
    {"réplica", [](CalibrationStudy& s) { s.Responses[3].Response = kLongNumber; }},
};

TEST(LongTextsTest, EveryWordInsideThePrintableArea) {
    const std::pair<std::string, std::string> outputs[] = {
        {"imprimir", " --diseno lasser --pagina 1"},
        {"imprimir", " --diseno lasser --pagina 2"},
        {"imprimir", " --diseno deskjet --pagina 1"},
        {"imprimir", " --diseno deskjet --pagina 2"},
        {"grafico", ""}};
    for (const Field& field : kFields) {
        for (const auto& [verb, options] : outputs) {
            SCOPED_TRACE(std::string(field.name) + ", " + verb + options);
            ScratchFolder scratch;
            CalibrationStudy study = LongStudy();
            field.lengthen(study);
            const std::string file = scratch.File("larga.w8c"), pdf = scratch.File("p.pdf");
            WriteStudyFile(study, file);
            const CliRun run =
                RunValdexCli(verb + " " + Quote(file) + options + " --pdf " + Quote(pdf));
            ASSERT_EQ(run.status, 0) << run.err;
            const std::vector<Box> words = Words(PageText(pdf, scratch, true));
            ASSERT_GT(words.size(), 20u);
            bool elided = false, shown = false;
            for (const Box& w : words) {
                EXPECT_TRUE(w.xMin >= kLeft - kSlack && w.xMax <= kRight + kSlack &&
                            w.yMin >= kTop - kSlack && w.yMax <= kBottom + kSlack)
                    << w.text << " at " << w.xMin << "–" << w.xMax << ", " << w.yMin;
                elided = elided || w.text.find("…") != std::string::npos;
                shown = shown || w.text.find("WWWWWWWWWW") != std::string::npos ||
                        w.text.find("0000000000") != std::string::npos;
            }
            // What does not fit is cut visibly, or goes on over further lines.
            EXPECT_TRUE(elided || !shown || verb == "grafico");
        }
    }
}

// A control character typed into a study text is shown escaped, on the
// printed pages, the diagnostics page and in the report, never drawn raw.
TEST(LongTextsTest, ControlCharactersShownEscaped) {
    ScratchFolder scratch;
    CalibrationStudy study = LongStudy();
    study.MethodName = std::string("M\x01todo\x7F") + "B";
    const std::string file = scratch.File("control.w8c"), pdf = scratch.File("p.pdf");
    WriteStudyFile(study, file);
    for (const std::string command :
         {"imprimir --diseno lasser --pagina 2 --pdf", "imprimir --diseno deskjet --pagina 1 --pdf",
          "grafico --pdf"}) {
        SCOPED_TRACE(command);
        const std::string verb = command.substr(0, command.find(' '));
        const CliRun run =
            RunValdexCli(verb + " " + Quote(file) + command.substr(verb.size()) + " " + Quote(pdf));
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string text = PageText(pdf, scratch, false);
        EXPECT_NE(text.find("M\\x01todo\\x7FB"), std::string::npos) << text;
        EXPECT_EQ(text.find('\x01'), std::string::npos);
    }
    const CliRun report = RunValdexCli("informe " + Quote(file));
    ASSERT_EQ(report.status, 0) << report.err;
    EXPECT_NE(report.out.find("Nombre del Método: M\\x01todo\\x7FB\n"), std::string::npos);
    EXPECT_EQ(report.out.find('\x01'), std::string::npos);
}

} // namespace
} // namespace valdex
