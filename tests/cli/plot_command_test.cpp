// Runs "valdex-cli grafico" and reads its files back: in the PDF (read with
// pdftotext -bbox, in points) the axis titles, "LD" and "LC" stand where the
// calibration plot's own tick labels put them; the SVG holds one circle per
// point; the PNG has the size asked for; a failure leaves an earlier file
// as it was.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace valdex {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

std::string Example() {
    return std::string(VALDEX_SOURCE_DIR) + "/ejemplos/curva-ejemplo.w8c";
}

struct Word {
    double xMin, yMin, xMax, yMax;
    std::string text;
    double Middle() const { return (xMin + xMax) / 2; }
};

std::vector<Word> ReadWords(const std::string& html) {
    std::vector<Word> words;
    const std::regex wordTag("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" "
                             "yMax=\"([0-9.]+)\">([^<]*)</word>");
    for (auto it = std::sregex_iterator(html.begin(), html.end(), wordTag);
         it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        words.push_back({std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), std::stod(m[4]), m[5]});
    }
    return words;
}

class PlotCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("valdex-plot-test-" + std::to_string(getpid()) + "-" +
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

    Run Plot(const std::string& args) {
        return Shell("LC_ALL=C " + std::string(VALDEX_BIN_DIR) + "/valdex-cli grafico " + args);
    }

    std::string File(const std::string& name) const { return (dir_ / name).string(); }

    fs::path dir_;
};

// The calibration plot is the upper one: its x-axis title is the first
// "Cantidad" of the page, its tick labels the numbers on the line above it.
TEST_F(PlotCommandTest, PdfPlacesTitlesAndLimits) {
    const std::string pdf = File("diagnostico.pdf");
    const Run run = Plot(Example() + " --pdf " + pdf);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const Run text = Shell("pdftotext -bbox " + pdf + " " + File("palabras.html"));
    ASSERT_EQ(text.status, 0) << text.err;
    const std::vector<Word> words = ReadWords(Slurp(File("palabras.html")));
    auto first = [&](const std::string& text) -> std::optional<Word> {
        for (const Word& w : words)
            if (w.text == text) return w;
        return std::nullopt;
    };
    const std::optional<Word> xTitle = first("Cantidad");
    ASSERT_TRUE(xTitle);
    // The x-axis title reads "Cantidad adicionada (mg)" on its line.
    std::string titleLine;
    for (const Word& w : words)
        if (std::fabs(w.yMin - xTitle->yMin) < 0.5 && w.xMin >= xTitle->xMin &&
            w.xMin < xTitle->xMin + 200)
            titleLine += (titleLine.empty() ? "" : " ") + w.text;
    EXPECT_EQ(titleLine, "Cantidad adicionada (mg)");

    // The tick labels of the x axis, just above the title.
    std::optional<Word> one, four;
    double tickLine = 0;
    for (const Word& w : words) {
        if (w.yMax > xTitle->yMin || w.yMin < xTitle->yMin - 14) continue;
        tickLine = w.yMin;
        if (w.text == "1") one = w;
        if (w.text == "4") four = w;
    }
    ASSERT_TRUE(one && four);
    const double perUnit = (four->Middle() - one->Middle()) / 3;
    auto at = [&](double x) { return one->Middle() + (x - 1) * perUnit; };
    // "LD" and "LC" two points right of their lines, inside the plot.
    const std::optional<Word> ld = first("LD"), lc = first("LC");
    const std::optional<Word> yTitle = first("Área");
    ASSERT_TRUE(ld && lc && yTitle);
    EXPECT_NEAR(ld->xMin, at(0.238776) + 2, 1.0);
    EXPECT_NEAR(lc->xMin, at(0.723565) + 2, 1.0);
    for (const Word* label : {&*ld, &*lc}) {
        EXPECT_GT(label->yMin, yTitle->yMax);
        EXPECT_LT(label->yMax, tickLine);
    }
    // The measured property heads the y axis, at the left of the plot and
    // above it; the x title is centred under the axis.
    EXPECT_LT(yTitle->xMin, at(0.238776));
    EXPECT_LT(yTitle->yMax, ld->yMin);
    std::optional<Word> titleEnd;
    for (const Word& w : words)
        if (w.text == "(mg)" && std::fabs(w.yMin - xTitle->yMin) < 0.5) titleEnd = w;
    ASSERT_TRUE(titleEnd);
    const double frameMiddle = (at(0.238776) + four->Middle()) / 2;
    EXPECT_NEAR((xTitle->xMin + titleEnd->xMax) / 2, frameMiddle, 25);
    // The Lasser header and footer, and the summary.
    for (const char* expected : {"Desarrollo", "VALDEX", "Falta", "Bartlett:"})
        EXPECT_TRUE(first(expected)) << expected;
}

TEST_F(PlotCommandTest, SvgHoldsOneCirclePerPoint) {
    struct Case {
        std::string size;
        std::string viewBox;
        int cvMarkers; // the CV % plot's four levels and its legend, when it has room
    };
    for (const Case& c :
         {Case{"", "0 0 1000 900", 5}, Case{" --ancho 1600 --alto 600", "0 0 1600 600", 0}}) {
        SCOPED_TRACE(c.viewBox);
        const std::string svg = File("graficos.svg");
        const Run run = Plot(Example() + " --svg " + svg + c.size);
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string text = Slurp(svg);
        EXPECT_EQ(text.rfind("<?xml", 0), 0u);
        EXPECT_NE(text.find("</svg>"), std::string::npos);
        EXPECT_NE(text.find("viewBox=\"" + c.viewBox + "\""), std::string::npos);
        const std::regex circle("<circle ");
        const auto circles = std::distance(std::sregex_iterator(text.begin(), text.end(), circle),
                                           std::sregex_iterator());
        // Twelve responses in the calibration, residual and normal plots, the
        // four levels' s, and a marker in each legend.
        EXPECT_EQ(circles, 12 + 12 + 12 + 4 + 4 + c.cvMarkers);
        for (const char* label : {">LD<", ">LC<", ">Cantidad adicionada (mg)<", ">Área<"})
            EXPECT_NE(text.find(label), std::string::npos) << label;
    }
}

// Every size grafico accepts, from its least side up, gives both plots
// whole: titles, ticks of both axes, legends and the equation's lines.
TEST_F(PlotCommandTest, EveryAcceptedSizeGivesACompletePicture) {
    const std::string texts[] = {">Curva de calibración<",
                                 ">Residuos estandarizados<",
                                 ">Recta<",
                                 ">Media del nivel<",
                                 ">LD y LC<",
                                 ">±2<",
                                 ">−2<",
                                 ">y = 2.0233333·x − 0.0333333<",
                                 ">s(y/x) = 0.146401; r² = 0.9965; N = 12<",
                                 ">LD = 0.238776 mg; LC = 0.723565 mg<",
                                 ">3.5<"};
    for (const char* size : {"500 --alto 500", "749 --alto 500", "500 --alto 10000",
                             "10000 --alto 500", "2000 --alto 600"}) {
        SCOPED_TRACE(size);
        const std::string svg = File("graficos.svg");
        const Run run = Plot(Example() + " --svg " + svg + " --ancho " + size);
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string text = Slurp(svg);
        for (const std::string& expected : texts)
            EXPECT_NE(text.find(expected), std::string::npos) << expected;
        // Ticks on the axes of both plots: "2" on the calibration plot's y
        // axis, on the residual plot's y axis and on both x axes.
        std::size_t twos = 0;
        for (std::size_t at = text.find(">2<"); at != std::string::npos;
             at = text.find(">2<", at + 1))
            ++twos;
        EXPECT_GE(twos, 4u);
    }
}

TEST_F(PlotCommandTest, PngOfTheSizeAskedFor) {
    struct Case {
        std::string args;
        unsigned width, height;
    };
    for (const Case& c : {Case{"", 1000, 900}, Case{" --alto 520 --ancho 640", 640, 520},
                          Case{" --alto 500 --ancho 500", 500, 500}}) {
        const std::string png = File("graficos.png");
        const Run run = Plot(Example() + " --png " + png + c.args);
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string bytes = Slurp(png);
        ASSERT_GT(bytes.size(), 24u);
        EXPECT_EQ(bytes.substr(1, 3), "PNG");
        auto be = [&](std::size_t at) {
            unsigned value = 0;
            for (std::size_t i = 0; i < 4; ++i)
                value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
            return value;
        };
        EXPECT_EQ(be(16), c.width);
        EXPECT_EQ(be(20), c.height);
    }
}

TEST_F(PlotCommandTest, UsageErrors) {
    const std::string out = File("x.svg");
    const std::pair<std::string, std::string> cases[] = {
        {"", "Falta el archivo del estudio."},
        {Example(), "Falta la salida: --pdf, --svg o --png."},
        {Example() + " --svg", "Falta el valor de --svg."},
        {Example() + " --svg " + out + " --png " + out, "Indique una sola salida"},
        {Example() + " --pdf " + out + " --ancho 800", "--ancho y --alto valen solo"},
        {Example() + " --svg " + out + " --ancho 50", "El valor de --ancho debe ser"},
        {Example() + " --png " + out + " --alto 499", "El valor de --alto debe ser"},
        {Example() + " --svg " + out + " --alfa 0.5", "El valor de alfa debe ser mayor que 0"},
        {Example() + " --svg " + out + " --m 1.5", "El valor de --m no es un número entero"},
        {Example() + " --svg " + out + " --k", "Falta el valor de --k."},
        {Example() + " --svg " + out + " --alto 1,5", "El valor de --alto debe ser"},
        {Example() + " --svg " + out + " --alto 700 --alto 800", "--alto aparece más de una vez."},
        {Example() + " --svg " + out + " --color rojo", "Opción desconocida: --color"},
        {Example() + " " + Example() + " --svg " + out, "Indique un solo archivo de estudio."},
        {Example() + " --svg \"\"", "Falta el nombre del archivo de --svg."},
        {Example() + " --svg " + out + " --ponderacion 1/z", "Ponderación desconocida: 1/z"},
        {Example() + " --svg " + out + " --ponderacion 1/x --pesos 1,2",
         "--ponderacion y --pesos se dan una sola vez"},
        {Example() + " --svg " + out + " --pesos 1,-2", "El peso"},
        {Example() + " --svg " + out + " --blancos " + File("no-existe.csv"),
         "valdex-cli: " + File("no-existe.csv")},
    };
    for (const auto& [args, message] : cases) {
        SCOPED_TRACE(args);
        const Run run = Plot(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err.rfind(message, 0), 0u) << run.err;
        EXPECT_NE(run.err.find("Uso: valdex-cli grafico"), std::string::npos);
        EXPECT_FALSE(fs::exists(out));
    }
}

// The options of the diagnostics reach the page, which states them in one line.
TEST_F(PlotCommandTest, DiagnosticOptionsOnThePage) {
    const std::string pdf = File("opciones.pdf");
    const Run run = Plot(Example() + " --pdf " + pdf + " --alfa 0.05 --beta 0.1 --m 3 --k 2");
    ASSERT_EQ(run.status, 0) << run.err;
    const Run text = Shell("pdftotext -layout " + pdf + " -");
    EXPECT_NE(text.out.find("Significación: bandas 95 %; pruebas α = 0.05; Mandel α = 0.01; "
                            "límites α = 0.05, β = 0.1; m = 3.\n"),
              std::string::npos)
        << text.out;
    EXPECT_NE(text.out.find("DIN 32645 (α = 0.05, β = 0.1, k = 2)"), std::string::npos);
}

// A weight chosen reaches every plot of the picture: the weighted line and
// its σ₀-based limits ("LD (σ₀)", σ₀ drawn in a run of its own), its weighted residuals, and the
// plots of the residuals' distribution and the levels' spread; a weight that cannot be used says
// why, and the picture keeps the ordinary line.
TEST_F(PlotCommandTest, WeightInThePicture) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases{
        {"",
         {">Residuos estandarizados<", ">Probabilidad normal de los residuos<",
          ">Desviación estándar por nivel<", ">CV % por nivel<", ">Shapiro–Wilk: W = "}},
        {"--ponderacion funcion",
         {">Ponderación: funcion<", ">Residuos ponderados<", ">LD (<",
          ">Recta ponderada (funcion)<"}},
        {"--pesos 1,2,3,4", {">Ponderación: explicitos<", ">Residuos ponderados<"}},
        {"--pesos 1,2", {">ponderación explicitos no aplicada: ", ">Residuos estandarizados<"}},
    };
    for (const auto& [option, texts] : cases) {
        SCOPED_TRACE(option);
        const std::string svg = File("ponderada.svg");
        const Run run = Plot(Example() + " --svg " + svg + " " + option);
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string text = Slurp(svg);
        for (const std::string& t : texts)
            EXPECT_NE(text.find(t), std::string::npos) << t;
    }
}

// Nothing is written unless all of it can be: an earlier file stays whole.
TEST_F(PlotCommandTest, FailuresLeaveAnEarlierFileAlone) {
    const std::string target = File("graficos.pdf");
    std::ofstream(target) << "antes";
    const std::string oneLevel = std::string(VALDEX_SOURCE_DIR) + "/tests/cli/data/un-nivel.w8c";
    const std::pair<std::string, std::string> cases[] = {
        {File("no-existe.w8c"), "valdex-cli: " + File("no-existe.w8c") + ": File not found.\n"},
        {oneLevel, "valdex-cli: " + oneLevel + ": Datos fuera de rango, 2-10 Número de Niveles\n"},
        {File(std::string(300, 'n') + ".w8c"),
         "valdex-cli: " + File(std::string(300, 'n') + ".w8c") + ": I/O error 36.\n"},
    };
    for (const auto& [study, message] : cases) {
        SCOPED_TRACE(study);
        const Run run = Plot(study + " --pdf " + target);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, message);
        EXPECT_EQ(Slurp(target), "antes");
    }
    const Run missingFolder = Plot(Example() + " --png " + File("no-existe/graficos.png"));
    EXPECT_EQ(missingFolder.status, 1);
    EXPECT_EQ(
        missingFolder.err.rfind("valdex-cli: " + File("no-existe/graficos.png") + " (salida): ", 0),
        0u)
        << missingFolder.err;
    EXPECT_FALSE(fs::exists(File("no-existe")));
    // No temporary file stays behind.
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir_))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"err", "graficos.pdf", "out"}));
}

} // namespace
} // namespace valdex
