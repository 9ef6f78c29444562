// Runs "valdex-cli imprimir" and reads the PDF back with poppler-utils:
// every text must stand where the page layout puts it. At 600 dots per inch
// the line unit is 100 pixels (12 points), the column unit 12 pixels
// (1.44 points), and the printable area starts a quarter inch (18 points)
// from the top-left corner of a Letter page; it is 576 points wide.

#include "../core/support/worked_example.h"
#include "files/study_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace valdex {
namespace {

namespace fs = std::filesystem;

constexpr double kMargin = 18;     // points
constexpr double kPrintable = 576; // points
constexpr double kRow = 12;        // points per row
constexpr double kColumn = 1.44;   // points per column
constexpr double kTolerance = 0.5; // points

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

// A scratch folder of its own for each test.
class PrintCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("valdex-print-test-" + std::to_string(getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    struct Run {
        int status = -1;
        std::string out, err;
    };

    Run Shell(const std::string& command) {
        const std::string full =
            command + " >" + (dir_ / "out").string() + " 2>" + (dir_ / "err").string();
        const int raw = std::system(full.c_str());
        Run run;
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.out = Slurp(dir_ / "out");
        run.err = Slurp(dir_ / "err");
        return run;
    }

    Run Print(const std::string& args) {
        return Shell("LC_ALL=C " + std::string(VALDEX_BIN_DIR) + "/valdex-cli imprimir " + args);
    }

    std::string Write(const CalibrationStudy& study, const std::string& name) {
        const std::string path = (dir_ / name).string();
        WriteStudyFile(study, path);
        return path;
    }

    std::string Pdf(const std::string& name = "pagina.pdf") { return (dir_ / name).string(); }

    fs::path dir_;
};

std::string Example() {
    return std::string(VALDEX_SOURCE_DIR) + "/ejemplos/curva-ejemplo.w8c";
}

struct Word {
    int page;
    double xMin, yMin, xMax;
    std::string text;
};

std::string Unescape(std::string text) {
    const std::pair<const char*, const char*> entities[] = {
        {"&quot;", "\""}, {"&lt;", "<"}, {"&gt;", ">"}, {"&apos;", "'"}, {"&amp;", "&"}};
    for (const auto& [entity, plain] : entities) {
        for (std::size_t at = text.find(entity); at != std::string::npos;
             at = text.find(entity, at + 1))
            text.replace(at, std::string(entity).size(), plain);
    }
    return text;
}

// The words of every page, as pdftotext -bbox places them (points).
std::vector<Word> ReadWords(const std::string& html) {
    std::vector<Word> words;
    const std::regex pageTag("<page ");
    const std::regex wordTag("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" "
                             "yMax=\"[0-9.]+\">([^<]*)</word>");
    int page = 0;
    std::istringstream lines(html);
    std::string line;
    std::smatch m;
    while (std::getline(lines, line)) {
        if (std::regex_search(line, pageTag)) ++page;
        if (std::regex_search(line, m, wordTag))
            words.push_back(
                {page, std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), Unescape(m[4])});
    }
    return words;
}

enum class At { Column, Centre, Right };

struct Placed {
    int row;
    At at;
    int column;
    std::string text;
    int page = 1;
};

std::vector<std::string> Split(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> parts;
    for (std::string part; in >> part;)
        parts.push_back(part);
    return parts;
}

// Finds the text's words, side by side on its row, and checks where it starts
// (column), where its middle is (centred) or where it ends (right-aligned).
::testing::AssertionResult Found(const std::vector<Word>& words, const Placed& e) {
    const double y = kMargin + e.row * kRow;
    std::vector<Word> row;
    for (const Word& w : words)
        if (w.page == e.page && std::fabs(w.yMin - y) < kTolerance) row.push_back(w);
    std::sort(row.begin(), row.end(), [](const Word& a, const Word& b) { return a.xMin < b.xMin; });
    const std::vector<std::string> parts = Split(e.text);
    std::string misplaced;
    for (std::size_t i = 0; i + parts.size() <= row.size(); ++i) {
        bool same = true;
        for (std::size_t k = 0; k < parts.size() && same; ++k)
            same = row[i + k].text == parts[k];
        if (!same) continue;
        const double left = row[i].xMin - kMargin;
        const double right = row[i + parts.size() - 1].xMax - kMargin;
        bool placed = false;
        switch (e.at) {
        case At::Column:
            placed = std::fabs(left - e.column * kColumn) < kTolerance;
            break;
        case At::Centre:
            placed = std::fabs(left - (kPrintable - right)) < 2 * kTolerance;
            break;
        case At::Right:
            placed = std::fabs(right - kPrintable) < kTolerance;
            break;
        }
        if (placed) return ::testing::AssertionSuccess();
        misplaced += " " + std::to_string(left) + "-" + std::to_string(right);
    }
    if (!misplaced.empty())
        return ::testing::AssertionFailure()
               << "\"" << e.text << "\" on row " << e.row << " only at" << misplaced;
    std::string seen;
    for (const Word& w : row)
        seen += " [" + w.text + "]";
    return ::testing::AssertionFailure() << "\"" << e.text << "\" not found on row " << e.row
                                         << " of page " << e.page << "; the row holds" << seen;
}

// Words on the same line of a page never cover one another.
::testing::AssertionResult NoWordsOverlap(std::vector<Word> words) {
    std::sort(words.begin(), words.end(), [](const Word& a, const Word& b) {
        return std::tie(a.page, a.yMin, a.xMin) < std::tie(b.page, b.yMin, b.xMin);
    });
    for (std::size_t i = 1; i < words.size(); ++i) {
        const Word& a = words[i - 1];
        const Word& b = words[i];
        if (a.page == b.page && std::fabs(a.yMin - b.yMin) < 1 && a.xMax > b.xMin + 0.01)
            return ::testing::AssertionFailure()
                   << "\"" << a.text << "\" covers \"" << b.text << "\" on page " << a.page;
    }
    return ::testing::AssertionSuccess();
}

Placed C(int row, int column, std::string text) {
    return {row, At::Column, column, std::move(text)};
}
Placed M(int row, std::string text) {
    return {row, At::Centre, 0, std::move(text)};
}
Placed R(int row, std::string text) {
    return {row, At::Right, 0, std::move(text)};
}

TEST_F(PrintCommandTest, PagesOfTheWorkedExampleStandWhereTheLayoutPutsThem) {
    struct Case {
        const char* design;
        const char* page;
        std::vector<Placed> texts;
    };
    const Case cases[] = {
        {"lasser",
         "1",
         {M(3, "Desarrollo"),
          M(4, "Límite de Detección y Cuantificación del Sistema"),
          M(7, "Información General"),
          C(8, 45, "Variabilidad : Curva de Calibración \"Regresión\""),
          C(9, 45, "Nombre del Método: Método A"),
          C(10, 45, "Nombre del Analista: Ana"),
          C(11, 45, "Fecha: 01/02/2000"),
          C(12, 45, "Unidades de la cantidad adicionada:"),
          C(13, 45, "mg"),
          C(14, 45, "Nombre de la propiedad medida:"),
          C(15, 45, "Área"),
          C(17, 45, "Número de niveles de cantidad adicionada:"),
          C(21, 55, "Valor >>"),
          C(22, 55, "Replicación >>"),
          C(21, 110, "1"),
          C(21, 165, "2"),
          C(21, 220, "3"),
          C(21, 275, "4"),
          C(22, 275, "3"),
          C(26, 55, "Nivel 1 , Replica 1"),
          C(26, 130, "2.1"),
          C(37, 55, "Nivel 4 , Replica 3"),
          C(37, 130, "8.1"),
          R(58, "VALDEX v.w. 3.1")}},
        {"lasser",
         "2",
         {M(3, "Desarrollo"),
          M(11, "Variabilidad : Curva de Calibración con Respecto a \"Regresión\""),
          C(15, 45, "Pendiente = 2.0233333"),
          C(16, 45, "Límite Superior del Intervalo de Confianza = 2.107557"),
          C(19, 45, "Ordenada al Origen = -0.0333333"),
          C(25, 45, "Coeficiente de Determinación = 0.99652183"),
          C(27, 45, "Límite de Detección \"Regresión\" = 0.238776 mg"),
          C(28, 45, "Límite de Cuantificación \"Regresión\" = 0.723565 mg"),
          C(45, 45, "Nombre del método: Método A"), C(49, 45, "Fecha: 01/02/2000"),
          R(58, "VALDEX v.w. 3.1")}},
        {"deskjet",
         "1",
         {M(6, "Desarrollo"), M(7, "LÍMITE DE DETECCIÓN Y CUANTIFICACIÓN DEL SISTEMA"),
          M(10, "INFORMACIÓN GENERAL"), C(12, 2, "VARIABILIDAD Regresión"),
          C(14, 2, "Nombre del Método: Método A"), C(20, 2, "Área"),
          C(24, 2, "Número de niveles de cantidad adicionada:"), C(25, 2, "4"),
          C(28, 2, "Valor >>"), C(33, 2, "Nivel 1 , Replica 1"), R(51, "VALDEX v.w. 3.1")}},
        {"deskjet",
         "2",
         {M(7, "LÍMITE DE DETECCIÓN Y CUANTIFICACIÓN DEL SISTEMA"),
          M(11, "Variabilidad con respecto a Regresión"), C(15, 2, "PENDIENTE = 2.0233333"),
          C(21, 2,
            "LÍMITE INFERIOR DEL INTERVALO DE CONFIANZA DE LA ORDENADA AL ORIGEN = -0.263989"),
          C(25, 2, "COEFICIENTE DE DETERMINACIÓN = 0.99652183"),
          C(26, 2, "LÍMITE DE DETECCIÓN \"Regresión\" = 0.238776 mg"),
          C(27, 2, "LÍMITE DE CUANTIFICACIÓN \"Regresión\" = 0.723565 mg"),
          R(36, "VALDEX v.w. 3.1")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.design) + " " + c.page);
        const std::string pdf = Pdf();
        const Run run =
            Print(Example() + " --diseno " + c.design + " --pagina " + c.page + " --pdf " + pdf);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out, "");

        const Run info = Shell("pdfinfo " + pdf);
        EXPECT_NE(info.out.find("Pages:           1\n"), std::string::npos) << info.out;
        EXPECT_NE(info.out.find("612 x 792 pts (letter)"), std::string::npos) << info.out;
        // "ARIAL" is drawn with Liberation Sans, Arial's metrics, and nothing else.
        const Run fonts = Shell("pdffonts " + pdf);
        EXPECT_NE(fonts.out.find("LiberationSans "), std::string::npos) << fonts.out;
        EXPECT_EQ(std::count(fonts.out.begin(), fonts.out.end(), '\n'), 3) << fonts.out;

        const Run text = Shell("pdftotext -bbox " + pdf + " -");
        ASSERT_EQ(text.status, 0);
        const std::vector<Word> words = ReadWords(text.out);
        for (const Placed& placed : c.texts)
            EXPECT_TRUE(Found(words, placed));
        // At 600 dpi the column unit is narrow; columns that would overlap
        // move right, so every word on a line stays readable.
        EXPECT_TRUE(NoWordsOverlap(words));
    }
}

// The rule at row 59 of the laser page, seen in the page rendered at 600
// dots per inch: one pixel high, across the printable width.
TEST_F(PrintCommandTest, RulesCrossThePrintableWidth) {
    const std::string pdf = Pdf();
    ASSERT_EQ(Print(Example() + " --diseno lasser --pagina 2 --pdf " + pdf).status, 0);
    const std::string image = (dir_ / "page").string();
    ASSERT_EQ(
        Shell("pdftoppm -r 600 -gray -aaVector no -x 0 -y 6030 -W 5100 -H 40 " + pdf + " " + image)
            .status,
        0);
    // Row 59: 5900 pixels below the printable top, which is 150 pixels down;
    // the strip starts at 6030, below the footer's baseline, so the rule lies
    // on its 20th line.
    std::string pgm = Slurp(image + "-1.pgm");
    ASSERT_FALSE(pgm.empty());
    // Skip the header "P5\n5100 40\n255\n".
    const std::size_t header = pgm.find("255\n") + 4;
    auto dark = [&](int x, int y) {
        return static_cast<unsigned char>(pgm[header + static_cast<std::size_t>(y) * 5100 + x]) <
               128;
    };
    int ruleLine = -1;
    for (int y = 0; y < 40 && ruleLine < 0; ++y)
        if (dark(2550, y)) ruleLine = y;
    ASSERT_GE(ruleLine, 0);
    EXPECT_NEAR(ruleLine, 20, 1);
    EXPECT_FALSE(dark(2550, ruleLine + 2));
    // From the printable left edge (150) to its right edge (4950), no further.
    EXPECT_TRUE(dark(152, ruleLine));
    EXPECT_TRUE(dark(4947, ruleLine));
    EXPECT_FALSE(dark(140, ruleLine));
    EXPECT_FALSE(dark(4960, ruleLine));
}

// 40 responses: the laser data table holds 32 on page 1 and goes on on a
// second page, which repeats the header, the heading row and the footer.
TEST_F(PrintCommandTest, LongDataTableGoesOnOnASecondPage) {
    std::vector<std::pair<std::string, std::string>> levels;
    std::vector<std::string> responses;
    for (int i = 1; i <= 4; ++i) {
        levels.emplace_back(std::to_string(i), "10");
        for (int j = 1; j <= 10; ++j)
            responses.push_back(std::to_string(i * 2) + "." + std::to_string(j % 10));
    }
    const std::string study = Write(testing::MakeStudy(levels, responses), "larga.w8c");
    const std::string pdf = Pdf();
    const Run run = Print(study + " --diseno lasser --pagina 1 --pdf " + pdf);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(Shell("pdfinfo " + pdf).out.find("Pages:           2\n"), std::string::npos);
    const std::vector<Word> words = ReadWords(Shell("pdftotext -bbox " + pdf + " -").out);
    const Placed expected[] = {
        C(57, 55, "Nivel 4 , Replica 2"),
        {3, At::Centre, 0, "Desarrollo", 2},
        {8, At::Column, 55, "Nivel 4 , Replica 3", 2},
        {8, At::Column, 130, "8.3", 2},
        {15, At::Column, 55, "Nivel 4 , Replica 10", 2},
        R(58, "VALDEX v.w. 3.1"),
        {58, At::Right, 0, "VALDEX v.w. 3.1", 2},
    };
    for (const Placed& placed : expected)
        EXPECT_TRUE(Found(words, placed));
}

TEST_F(PrintCommandTest, FailuresWriteNoFile) {
    CalibrationStudy badResponse = testing::WorkedExample();
    badResponse.Responses[5].Response = "abc";
    const std::string bad = Write(badResponse, "respuesta.w8c");
    const std::string twoPoints = std::string(VALDEX_SOURCE_DIR) + "/tests/cli/data/dos-puntos.w8c";
    const std::string oneLevel = std::string(VALDEX_SOURCE_DIR) + "/tests/cli/data/un-nivel.w8c";
    struct Case {
        std::string args;
        int status;
        std::string err;
    };
    const std::string usage = "Uso: valdex-cli imprimir ARCHIVO.w8c --diseno lasser|deskjet "
                              "--pagina 1|2 --pdf SALIDA.pdf\n";
    const auto about = [](const std::string& file, const std::string& message) {
        return "valdex-cli: " + file + ": " + message + "\n";
    };
    const Case cases[] = {
        {bad + " --diseno lasser --pagina 2", 2, usage},
        {bad + " --diseno laser --pagina 2 --pdf X", 2, usage},
        {bad + " --diseno deskjet --pagina 3 --pdf X", 2, usage},
        {bad + " --diseno deskjet --pagina 1 --pagina 2 --pdf X", 2, usage},
        {"--diseno deskjet --pagina 1 --pdf X", 2, usage},
        {bad + " " + bad + " --diseno deskjet --pagina 1 --pdf X", 2, usage},
        {bad + " --diseno lasser --pagina 2 --pdf X", 1,
         about(bad, "'abc' is not a valid floating point value.")},
        {bad + " --diseno deskjet --pagina 2 --pdf X", 1,
         about(bad, "'abc' is not a valid floating point value.")},
        {twoPoints + " --diseno lasser --pagina 2 --pdf X", 1,
         about(twoPoints, "Invalid floating point operation.")},
        // The Deskjet command checks the level count first; the Lasser one does not.
        {oneLevel + " --diseno deskjet --pagina 1 --pdf X", 1,
         about(oneLevel, "Datos fuera de rango, 2-10 Número de Niveles")},
        {(dir_ / "no-existe.w8c").string() + " --diseno lasser --pagina 1 --pdf X", 1,
         about((dir_ / "no-existe.w8c").string(), "File not found.")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        // An earlier file of the same name stays as it was.
        const std::string pdf = Pdf();
        std::ofstream(pdf) << "anterior";
        std::string args = c.args;
        if (args.size() > 2 && args.substr(args.size() - 2) == " X")
            args.replace(args.size() - 1, 1, pdf);
        const Run run = Print(args);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(Slurp(pdf), "anterior");
    }
    // Page 1 of that study prints: the laser path has no level check.
    const std::string pdf = Pdf("lasser.pdf");
    EXPECT_EQ(Print(oneLevel + " --diseno lasser --pagina 1 --pdf " + pdf).status, 0);
    EXPECT_EQ(Slurp(pdf).substr(0, 5), "%PDF-");
}

// The rules seen as a screen shows the page (anti-aliased, at the PDF's own
// 600 dots per inch): each is one row of black pixels across the printable
// width, with white rows above and below it, not a faint grey strip.
TEST_F(PrintCommandTest, RulesAreOneBlackPixelRow) {
    struct Case {
        const char* design;
        std::vector<int> rows;
    };
    const Case cases[] = {{"deskjet", {8, 52}}, {"lasser", {5, 59}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.design);
        const std::string pdf = Pdf();
        ASSERT_EQ(Print(Example() + " --diseno " + c.design + " --pagina 1 --pdf " + pdf).status,
                  0);
        const std::string image = (dir_ / "page").string();
        ASSERT_EQ(Shell("pdftoppm -r 600 -gray " + pdf + " " + image).status, 0);
        const std::string pgm = Slurp(image + "-1.pgm");
        ASSERT_EQ(pgm.rfind("P5\n5100 6600\n255\n", 0), 0u);
        const std::size_t header = std::string("P5\n5100 6600\n255\n").size();
        auto grey = [&](int x, int y) {
            return static_cast<int>(static_cast<unsigned char>(
                pgm.at(header + static_cast<std::size_t>(y) * 5100 + x)));
        };
        for (int row : c.rows) {
            const int y = 150 + row * 100;
            int notBlack = 0;
            for (int x = 150; x < 4950; ++x)
                if (grey(x, y) > 32) ++notBlack;
            EXPECT_EQ(notBlack, 0) << "row " << row << ", the middle pixel " << grey(2550, y);
            for (int x = 150; x < 1000; ++x) {
                EXPECT_EQ(grey(x, y - 1), 255) << "row " << row;
                EXPECT_EQ(grey(x, y + 1), 255) << "row " << row;
            }
            EXPECT_EQ(grey(149, y), 255);
            EXPECT_EQ(grey(4950, y), 255);
        }
    }
}

// Ten level values too wide to share a block: the Deskjet page 1 runs to two
// sheets. Levels 1 to 9 fill sheet 1 down to row 53, its footer at row 60
// and its rule at 61, all on the page (63 rows); sheet 2 repeats the header
// and the method name (row 9), then level 10 (rows 10 to 12), the data
// (heading row 15, responses 16 to 45) and its own footer at row 52. Both footer rows say "Página i
// de 2".
TEST_F(PrintCommandTest, WideLevelsGoOnOnANumberedSecondSheet) {
    std::vector<std::pair<std::string, std::string>> levels;
    std::vector<std::string> responses;
    for (int i = 1; i <= 10; ++i) {
        levels.emplace_back(std::to_string(i) + std::string(60, '0'), "3");
        for (int j = 1; j <= 3; ++j)
            responses.push_back(std::to_string(i * 2) + "." + std::to_string(j));
    }
    const std::string study = Write(testing::MakeStudy(levels, responses), "anchos.w8c");
    const std::string pdf = Pdf();
    const Run run = Print(study + " --diseno deskjet --pagina 1 --pdf " + pdf);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(Shell("pdfinfo " + pdf).out.find("Pages:           2\n"), std::string::npos);
    const std::vector<Word> words = ReadWords(Shell("pdftotext -bbox " + pdf + " -").out);
    const Placed expected[] = {
        C(52, 2, "Valor >>"),
        C(60, 2, "Página 1 de 2"),
        R(60, "VALDEX v.w. 3.1"),
        {6, At::Centre, 0, "Desarrollo", 2},
        {9, At::Column, 2, "Nombre del Método: Método A", 2},
        {12, At::Column, 2, "Replicación >>", 2},
        {16, At::Column, 2, "Nivel 1 , Replica 1", 2},
        {45, At::Column, 2, "Nivel 10 , Replica 3", 2},
        {52, At::Column, 2, "Página 2 de 2", 2},
        {52, At::Right, 0, "VALDEX v.w. 3.1", 2},
    };
    for (const Placed& placed : expected)
        EXPECT_TRUE(Found(words, placed));
    for (const Word& word : words)
        EXPECT_LE(word.yMin, kMargin + 62 * kRow + kTolerance) << word.text;
    EXPECT_TRUE(NoWordsOverlap(words));
}

// The output is never the study itself, nor anything but a regular file;
// a missing output folder is told as the output's.
TEST_F(PrintCommandTest, OutputsThatAreRefused) {
    const std::string study = Write(testing::WorkedExample(), "estudio.w8c");
    const std::string before = Slurp(study);
    fs::create_symlink("estudio.w8c", dir_ / "enlace.pdf");
    fs::create_hard_link(study, dir_ / "duro.pdf");
    const std::string viaLink = (dir_ / "enlace.pdf").string();
    const std::string viaHardLink = (dir_ / "duro.pdf").string();
    const std::string sameByAnotherPath = (dir_ / "." / "estudio.w8c").string();
    const std::string noFolder = (dir_ / "no-hay" / "p.pdf").string();
    const auto output = [](const std::string& pdf, const std::string& message) {
        return "valdex-cli: " + pdf + " (salida): " + message + "\n";
    };
    const auto itself = [&](const std::string& pdf) {
        return output(pdf, "Es el archivo de estudio " + study + "; no se reemplaza.");
    };
    const struct {
        std::string Pdf;
        std::string Err;
    } cases[] = {
        {study, itself(study)},
        {sameByAnotherPath, itself(sameByAnotherPath)},
        {viaLink, itself(viaLink)},
        {viaHardLink, itself(viaHardLink)},
        {noFolder, output(noFolder, "File not found.")},
        {"/dev/null",
         output("/dev/null",
                "No se reemplaza \"/dev/null\": no es un archivo común, es un dispositivo.")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Pdf);
        const Run run = Print(study + " --diseno lasser --pagina 1 --pdf " + c.Pdf);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, c.Err);
        EXPECT_EQ(Slurp(study), before);
    }
    struct stat null {};
    ASSERT_EQ(::stat("/dev/null", &null), 0);
    EXPECT_TRUE(S_ISCHR(null.st_mode));
    EXPECT_TRUE(fs::is_symlink(viaLink));
}

} // namespace
} // namespace valdex
