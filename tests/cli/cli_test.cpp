// Runs the real valdex-cli on study files and checks its output streams and
// exit status.

#include "../core/support/worked_example.h"
#include "calc/calibration.h"
#include "files/study_file.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace valdex {
namespace {

namespace fs = std::filesystem;

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

std::string Data(const std::string& name) {
    return std::string(VALDEX_TEST_DATA_DIR) + "/" + name;
}

std::string Example() {
    return std::string(VALDEX_SOURCE_DIR) + "/ejemplos/curva-ejemplo.w8c";
}

RunResult RunCli(const std::string& args) {
    const fs::path dir =
        fs::temp_directory_path() / ("valdex-cli-test-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string command = "LC_ALL=C " + std::string(VALDEX_BIN_DIR) + "/valdex-cli " + args +
                                " >" + (dir / "out").string() + " 2>" + (dir / "err").string();
    const int raw = std::system(command.c_str());
    RunResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = ReadAll(dir / "out");
    result.err = ReadAll(dir / "err");
    fs::remove_all(dir);
    return result;
}

TEST(CliTest, TheBundledExampleIsWhatOurWriterWrites) {
    EXPECT_EQ(ReadAll(Example()), SerializeStudy(testing::WorkedExample()));
}

TEST(CliTest, CalculateAndReportPrintTheWindowsLines) {
    struct Case {
        std::string args;
        std::string expectedFile;
    };
    const Case cases[] = {
        {"calcular " + Example(), "curva-ejemplo.resultados.txt"},
        {"informe " + Example(), "curva-ejemplo.informe.txt"},
    };
    for (const Case& c : cases) {
        const RunResult r = RunCli(c.args);
        EXPECT_EQ(r.status, 0) << c.args;
        EXPECT_EQ(r.err, "") << c.args;
        EXPECT_EQ(r.out, ReadAll(Data(c.expectedFile))) << c.args;
    }
}

TEST(CliTest, SeveralFilesEachUnderItsHeading) {
    const RunResult r =
        RunCli("calcular " + Example() + " " + Data("dos-puntos.w8c") + " " + Example());
    EXPECT_EQ(r.status, 1);
    const std::string results = ReadAll(Data("curva-ejemplo.resultados.txt"));
    EXPECT_EQ(r.out, "==> " + Example() + " <==\n" + results + "==> " + Data("dos-puntos.w8c") +
                         " <==\n==> " + Example() + " <==\n" + results);
    EXPECT_EQ(r.err, "Invalid floating point operation.\n");
}

TEST(CliTest, FailuresGoToStandardErrorWithStatusOne) {
    struct Case {
        std::string args;
        std::string err;
        std::size_t outLines; // lines the window would hold
    };
    const Case cases[] = {
        {"calcular " + Data("dos-puntos.w8c"), "Invalid floating point operation.\n", 0},
        // The report keeps its study part: 17 + 2 levels + 1 + heading + 2 data lines.
        {"informe " + Data("dos-puntos.w8c"), "Invalid floating point operation.\n", 23},
        {"calcular " + Data("un-nivel.w8c"), "Datos fuera de rango, 2-10 Número de Niveles\n", 0},
        {"informe " + Data("un-nivel.w8c"), "Datos fuera de rango, 2-10 Número de Niveles\n", 0},
        {"calcular " + Data("replica-no-entera.w8c"), "'2.5' is not a valid integer value.\n", 0},
        {"calcular " + Data("once-niveles.w8c"),
         "El archivo \"once-niveles.w8c\" tiene un número de niveles fuera de rango (1-10) en la "
         "línea 7.\n",
         0},
        {"calcular " + Data("no-existe.w8c"), "File not found.\n", 0},
        {"calcular --json " + Data("dos-puntos.w8c"), "Invalid floating point operation.\n", 0},
    };
    for (const Case& c : cases) {
        const RunResult r = RunCli(c.args);
        EXPECT_EQ(r.status, 1) << c.args;
        EXPECT_EQ(r.err, c.err) << c.args;
        EXPECT_EQ(static_cast<std::size_t>(std::count(r.out.begin(), r.out.end(), '\n')),
                  c.outLines)
            << c.args;
    }
}

TEST(CliTest, UsageErrorsExitWithTwo) {
    for (const std::string args : {"", "calcular", "informe", "sumar x.w8c", "calcular --xml a.w8c",
                                   "informe a.w8c b.w8c"}) {
        const RunResult r = RunCli(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(r.out, "") << args;
        EXPECT_NE(r.err.find("Uso"), std::string::npos) << args;
    }
}

TEST(CliTest, JsonCarriesNumbersThatReadBackAndTheirTexts) {
    const RunResult r = RunCli("calcular --json " + Example() + " " + Example());
    ASSERT_EQ(r.status, 0);
    std::istringstream lines(r.out);
    std::string line;
    int objects = 0;
    CalibrationCalculator calculator;
    CalibrationResult expected;
    calculator.ComputeCalibration(testing::WorkedExample(), expected);
    while (std::getline(lines, line)) {
        ++objects;
        EXPECT_EQ(line.front(), '{');
        EXPECT_NE(line.find("\"tipo\":\"Regresión\""), std::string::npos);
        EXPECT_NE(line.find("\"unidades\":\"mg\""), std::string::npos);
        EXPECT_NE(line.find("\"N\":12"), std::string::npos);
        EXPECT_NE(line.find("\"t\":2.2281,"), std::string::npos);
        EXPECT_NE(line.find("\"LC\":\"0.723565\""), std::string::npos);
        const std::string key = "\"Slope\":";
        const std::size_t at = line.find(key);
        ASSERT_NE(at, std::string::npos);
        EXPECT_EQ(std::strtod(line.c_str() + at + key.size(), nullptr), expected.Slope);
    }
    EXPECT_EQ(objects, 2);
}

} // namespace
} // namespace valdex
