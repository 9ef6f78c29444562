// valdex-cli validacion, read back with pdftotext (-layout for the texts,
// -bbox for where every word stands) and pdfinfo: sections, verdicts, the
// study's SHA-256 against sha256sum, "Página i de n" on every page, every
// word inside the page's margins, the sign-off block at its places.

#include "files/study_file.h"
#include "run_cli.h"
#include "validation/signoff_block.h"

#include "../core/validation/validation_studies.h"

#include <gtest/gtest.h>

#include <chrono>
#include <regex>

namespace valdex::testing {
namespace {

struct Word {
    int page = 0;
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0; // points from the top-left corner
    std::string text;
};

struct Pdf {
    std::vector<std::string> pages; // pdftotext -layout, one text per page
    std::vector<Word> words;
    double width = 0, height = 0;
    std::string meta;
};

std::string Shell(const std::string& command) {
    ScratchFolder scratch;
    std::system((command + " >" + scratch.File("out") + " 2>/dev/null").c_str());
    return ReadText(scratch.File("out"));
}

Pdf ReadPdf(const std::string& path) {
    Pdf pdf;
    std::string text = Shell("pdftotext -layout " + Quote(path) + " -");
    for (std::size_t at; (at = text.find('\f')) != std::string::npos; text.erase(0, at + 1))
        pdf.pages.push_back(text.substr(0, at));
    const std::regex page("<page width=\"([0-9.]+)\" height=\"([0-9.]+)\"");
    const std::regex word("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" "
                          "yMax=\"([0-9.]+)\">([^<]*)</word>");
    std::istringstream lines(Shell("pdftotext -bbox " + Quote(path) + " -"));
    std::string line;
    std::smatch m;
    int pages = 0;
    while (std::getline(lines, line)) {
        if (std::regex_search(line, m, page)) {
            ++pages;
            pdf.width = std::stod(m[1]);
            pdf.height = std::stod(m[2]);
        } else if (std::regex_search(line, m, word)) {
            pdf.words.push_back(
                {pages, std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), std::stod(m[4]), m[5]});
        }
    }
    pdf.meta = Shell("pdfinfo -meta " + Quote(path));
    return pdf;
}

std::string Sha256Sum(const std::string& path) {
    return Shell("sha256sum " + Quote(path)).substr(0, 64);
}

// What every report must hold, whatever the study.
void CheckReport(const Pdf& pdf, const std::string& study) {
    ASSERT_FALSE(pdf.pages.empty());
    const std::string sha = Sha256Sum(study);
    std::string all;
    const int n = static_cast<int>(pdf.pages.size());
    for (int i = 0; i < n; ++i) {
        all += pdf.pages[i];
        EXPECT_NE(pdf.pages[i].find("Página " + std::to_string(i + 1) + " de " + std::to_string(n)),
                  std::string::npos)
            << "page " << i + 1;
        EXPECT_NE(pdf.pages[i].find("SHA-256 " + sha.substr(0, 16)), std::string::npos);
        EXPECT_NE(pdf.pages[i].find("VALDEX v.w. 3.1"), std::string::npos);
    }
    for (const char* section :
         {"1. Identificación", "2. Datos", "3. Regresión", "4. Linealidad",
          "5. Varianzas y normalidad", "6. Límites de detección y cuantificación", "7. Evaluación",
          "8. Firmas", "Elaboró", "Revisó", "Aprobó"})
        EXPECT_NE(all.find(section), std::string::npos) << section;
    EXPECT_NE(all.find(sha), std::string::npos) << "the whole digest";
    EXPECT_NE(pdf.meta.find("<valdex:EstudioSHA256>" + sha + "</valdex:EstudioSHA256>"),
              std::string::npos);
    EXPECT_TRUE(std::regex_search(all, std::regex("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d[+-]"
                                                  "\\d\\d:\\d\\d")));
    for (const Word& w : pdf.words) {
        EXPECT_TRUE(w.x0 >= kReportMargin - 0.5 && w.x1 <= pdf.width - kReportMargin + 0.5 &&
                    w.y0 >= kReportMargin - 0.5 && w.y1 <= pdf.height - kReportMargin + 0.5)
            << "page " << w.page << ": " << w.text << " at " << w.x0 << "," << w.y0;
    }
    // The sign-off block: the meanings in their title areas; on the last
    // page nothing but the block's own words where the block stands, and
    // each stamp area blank.
    for (SignatureMeaning meaning : kSignatureMeanings) {
        const SignOffBox box = SignOffBoxFor(meaning, pdf.width, pdf.height);
        const auto inside = [&](const Word& w, const PdfRect& r) {
            const double top = pdf.height - r.y - r.height, bottom = pdf.height - r.y;
            return w.x0 < r.x + r.width && w.x1 > r.x && w.y0 < bottom && w.y1 > top;
        };
        bool titled = false;
        for (const Word& w : pdf.words) {
            if (w.page != n) continue;
            if (w.text == MeaningText(meaning)) titled = titled || inside(w, box.title);
            EXPECT_FALSE(inside(w, box.stamp)) << w.text << " in the stamp area";
            if (inside(w, box.box)) {
                EXPECT_TRUE(w.text == MeaningText(meaning) || w.text == "Nombre:" ||
                            w.text == "Firma:" || w.text == "Fecha:")
                    << w.text << " inside the sign-off block";
            }
        }
        EXPECT_TRUE(titled) << MeaningText(meaning);
    }
}

std::string EvaluationPage(const Pdf& pdf) {
    std::string text;
    for (const std::string& page : pdf.pages)
        if (page.find("7. Evaluación") != std::string::npos || !text.empty()) text += page;
    return text.substr(text.find("7. Evaluación"));
}

// Every run of blanks and line ends as one blank.
std::string Flat(const std::string& text) {
    return std::regex_replace(text, std::regex("\\s+"), " ");
}

std::vector<std::string> Cut(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);)
        parts.push_back(part.substr(part.find_first_not_of(' ')));
    return parts;
}

TEST(ValidationReportTest, StudiesGetTheirVerdicts) {
    ScratchFolder folder;
    const auto studies = ValidationStudies();
    for (const auto& row : ReadTable("../../../cli/data/validation_cases.txt")) {
        SCOPED_TRACE(row[0]);
        std::string study = std::string(VALDEX_SOURCE_DIR) + "/ejemplos/curva-ejemplo.w8c";
        if (row[0] != "@ejemplo") {
            study = folder.File(row[0] + ".w8c");
            WriteStudyFile(studies.at(row[0]), study);
        }
        const std::string pdf = folder.File(row[0] + ".pdf");
        const CliRun run = RunValdexCli("validacion " + Quote(study) + " --pdf " + Quote(pdf) +
                                        " --criterios " + Quote(row[1]) + " " + row[2]);
        ASSERT_EQ(run.status, 0) << run.err;
        const Pdf read = ReadPdf(pdf);
        CheckReport(read, study);
        // A4 is 595 × 842 points in the PDF writer's MediaBox.
        EXPECT_NEAR(read.width, row[2].find("a4") != std::string::npos ? 595 : 612, 0.5);
        const std::string evaluation = EvaluationPage(read);
        for (const std::string& expected : Cut(row[3], ';')) {
            const std::string title = expected.substr(0, expected.find('='));
            const std::string verdict = expected.substr(expected.find('=') + 1);
            std::smatch m;
            const std::regex line("\\n *" + std::regex_replace(title, std::regex("[()]"), "\\$&") +
                                  "  .*\\s(Cumple|No cumple|No evaluable \\()");
            ASSERT_TRUE(std::regex_search(evaluation, m, line)) << title << "\n" << evaluation;
            EXPECT_EQ(m[1], verdict) << title;
        }
        EXPECT_NE(evaluation.find(row[4]), std::string::npos) << row[4];
        std::string all;
        for (const std::string& page : read.pages)
            all += page;
        all = Flat(all);
        if (row.size() > 5) {
            for (const std::string& expected : Cut(row[5], ';'))
                EXPECT_NE(all.find(expected), std::string::npos) << expected;
        }
        // The report states what diagnostico prints for the same study and weight.
        std::smatch weight, m;
        const std::string options =
            std::regex_search(row[2], weight, std::regex("--(ponderacion|pesos) \\S+"))
                ? weight[0].str()
                : "";
        const CliRun diag = RunValdexCli("diagnostico " + Quote(study) + " " + options);
        ASSERT_EQ(diag.status, 0) << diag.err;
        // The variances' heading, past the other tests' F.
        const std::string tail = diag.out.substr(diag.out.find("NIVELES EXTREMOS"));
        for (const char* value : {"F = (\\S+) \\(gl", "W = ([^,]+), p"}) {
            if (!std::regex_search(tail, m, std::regex(value))) continue; // not computed
            const std::string stated = std::string(value).substr(0, 4) + m[1].str();
            EXPECT_NE(all.find(stated), std::string::npos) << stated;
        }
        const std::string heading = "\nPONDERACIÓN\n";
        std::string advice = diag.out.substr(diag.out.find(heading) + heading.size());
        advice = advice.substr(0, std::min(advice.find('\n'), advice.find(". ")));
        EXPECT_NE(all.find("Ponderación: " + advice), std::string::npos) << advice;
    }
}

TEST(ValidationReportTest, LongTextsStayInsideTheMargins) {
    ScratchFolder folder;
    CalibrationStudy study = ValidationStudies().at("buena");
    std::string words, solid;
    while (words.size() < 255)
        words += "Validación ";
    words.resize(255);
    for (int i = 0; solid.size() < 255; ++i)
        solid += static_cast<char>('a' + i % 26);
    study.MethodName = words;
    study.AnalystName = solid;
    study.MeasuredProperty = words;
    study.AddedQuantityUnits = solid.substr(0, 40);
    // A name with XML's markup and a byte that is no UTF-8.
    const std::string path =
        folder.File(std::string(150, 'x') + "-estudio-&<\xff-de-validación-muy-largo.w8c");
    WriteStudyFile(study, path);
    const std::string pdf = folder.File("largo.pdf");
    // Under a decimal comma every number of the report takes it.
    const std::string locale = SpanishLocaleFolder().empty() ? "C" : "es_ES.UTF-8";
    const CliRun run = RunValdexCli("validacion " + Quote(path) + " --pdf " + Quote(pdf) +
                                        " --laboratorio " + Quote(words + words),
                                    locale);
    ASSERT_EQ(run.status, 0) << run.err;
    const Pdf read = ReadPdf(pdf);
    CheckReport(read, path);
    if (locale != "C") {
        std::string all;
        for (const std::string& page : read.pages)
            all += page;
        for (const char* text : {"LD = 3,3·s(y/x)/b", "r² ≥ 0,98", "α = 0,05"})
            EXPECT_NE(all.find(text), std::string::npos) << text;
    }
    // The header's method is cut with "…"; the identification wraps it whole.
    EXPECT_NE(read.pages[0].find("…"), std::string::npos);
    EXPECT_NE(read.pages[0].find(solid.substr(200, 20)), std::string::npos);
    // The XMP packet stays well-formed XML.
    WriteText(folder.File("meta.xml"), read.meta);
    EXPECT_EQ(std::system(("xmllint --noout " + Quote(folder.File("meta.xml"))).c_str()), 0)
        << read.meta;
    EXPECT_NE(read.meta.find("-estudio-&amp;&lt;\xEF\xBF\xBD-de-validación"), std::string::npos);
}

TEST(ValidationReportTest, HundredResponsesTableGoesOnWithItsHeading) {
    ScratchFolder folder;
    std::string levels, responses;
    for (int i = 1; i <= 10; ++i) {
        levels += std::to_string(i) + ":10 ";
        for (int j = 0; j < 10; ++j)
            responses += std::to_string(2.0 * i + 0.01 * (j - 4.5)) + " ";
    }
    const std::string path = folder.File("cien.w8c");
    WriteStudyFile(StudyFromRow({"cien", levels, responses}), path);
    const std::string pdf = folder.File("cien.pdf");
    const auto start = std::chrono::steady_clock::now();
    const CliRun run = RunValdexCli("validacion " + Quote(path) + " --pdf " + Quote(pdf));
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_LT(seconds, 0.5);
    const Pdf read = ReadPdf(pdf);
    CheckReport(read, path);
    int headed = 0;
    for (const std::string& page : read.pages)
        if (page.find("Residuo estandarizado") != std::string::npos) ++headed;
    EXPECT_GE(headed, 2) << "the residuals table repeats its heading on the next page";
}

// --laboratorio, else the per-user settings file, else a plain statement.
TEST(ValidationReportTest, LaboratoryFromOptionElseSettings) {
    ScratchFolder folder;
    const std::string config = folder.File("config");
    fs::create_directories(config + "/VALDEX");
    const std::string study = std::string(VALDEX_SOURCE_DIR) + "/ejemplos/curva-ejemplo.w8c";
    const struct {
        std::string settings, option, expected;
    } cases[] = {
        {"[informe]\nlaboratorio=Laboratorio de ajustes\n", "", "Laboratorio de ajustes"},
        {"[informe]\nlaboratorio=Laboratorio de ajustes\n", "--laboratorio 'Del comando'",
         "Del comando"},
        {"", "", "Laboratorio no indicado"},
    };
    for (const auto& c : cases) {
        WriteText(config + "/VALDEX/valdex.ini", c.settings);
        const std::string pdf = folder.File("lab.pdf");
        const std::string command = "XDG_CONFIG_HOME=" + Quote(config) + " LC_ALL=C " +
                                    std::string(VALDEX_BIN_DIR) + "/valdex-cli validacion " +
                                    Quote(study) + " --pdf " + Quote(pdf) + " " + c.option;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        const Pdf read = ReadPdf(pdf);
        EXPECT_EQ(read.pages[0].rfind(c.expected, 0), 0u) << read.pages[0].substr(0, 80);
    }
}

TEST(ValidationReportTest, RefusalsWriteNothing) {
    ScratchFolder folder;
    const std::string study = std::string(VALDEX_SOURCE_DIR) + "/ejemplos/curva-ejemplo.w8c";
    const std::string pdf = folder.File("no.pdf");
    const std::string bad = ValidationDataPath("clave_desconocida.ini");
    const struct {
        std::string args;
        int status;
        std::string message;
    } cases[] = {
        {"--criterios " + Quote(bad), 1, bad + ", línea 5: clave «umbral»"},
        {"--criterios 'ICH Q9'", 1, "ICH Q9: no se pudo abrir el archivo de criterios"},
        {"--ponderacion 1/z", 2, "Ponderación desconocida: 1/z"},
        {"--ponderacion 1/x --pesos 1,2", 2, "--ponderacion y --pesos se dan una sola vez"},
        {"--pesos 1,-2", 2, "El peso «-2» de --pesos no es un número finito y positivo."},
        {"--alfa 0.7", 2, "alfa"},
        {"--papel legal", 2, "--papel"},
    };
    for (const auto& c : cases) {
        const CliRun run =
            RunValdexCli("validacion " + Quote(study) + " --pdf " + Quote(pdf) + " " + c.args);
        EXPECT_EQ(run.status, c.status) << c.args;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_FALSE(fs::exists(pdf)) << c.args;
    }
}

} // namespace
} // namespace valdex::testing
