// Runs the real valdex-cli on study files and checks its output streams and
// exit status.

#include "../core/files/study_file_test_support.h"
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
#include <unistd.h>

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

// Runs valdex-cli with its output streams in files; `limits` are shell
// commands run first (ulimit), `output` replaces the file of standard output.
RunResult RunCli(const std::string& args, const std::string& limits = "",
                 const std::string& output = "") {
    const fs::path dir =
        fs::temp_directory_path() / ("valdex-cli-test-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string command =
        limits + " LC_ALL=C " + std::string(VALDEX_BIN_DIR) + "/valdex-cli " + args + " >" +
        (output.empty() ? (dir / "out").string() : output) + " 2>" + (dir / "err").string();
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
    EXPECT_EQ(r.err,
              "valdex-cli: " + Data("dos-puntos.w8c") + ": Invalid floating point operation.\n");
}

TEST(CliTest, FailuresGoToStandardErrorWithStatusOne) {
    struct Case {
        std::string args;
        std::string err;
        std::size_t outLines; // lines the window would hold
    };
    // Every message names the file as it was given.
    const auto about = [](const std::string& file, const std::string& message) {
        return "valdex-cli: " + file + ": " + message + "\n";
    };
    const std::string twoPoints = Data("dos-puntos.w8c");
    const std::string oneLevel = Data("un-nivel.w8c");
    const Case cases[] = {
        {"calcular " + twoPoints, about(twoPoints, "Invalid floating point operation."), 0},
        // The report keeps its study part: 17 + 2 levels + 1 + heading + 2 data lines.
        {"informe " + twoPoints, about(twoPoints, "Invalid floating point operation."), 23},
        {"calcular " + oneLevel, about(oneLevel, "Datos fuera de rango, 2-10 Número de Niveles"),
         0},
        {"informe " + oneLevel, about(oneLevel, "Datos fuera de rango, 2-10 Número de Niveles"), 0},
        {"calcular " + Data("replica-no-entera.w8c"),
         about(Data("replica-no-entera.w8c"), "'2.5' is not a valid integer value."), 0},
        {"calcular " + Data("once-niveles.w8c"),
         about(Data("once-niveles.w8c"),
               "El archivo \"once-niveles.w8c\" tiene un número de niveles fuera de rango (1-10) "
               "en la línea 7."),
         0},
        {"calcular " + Data("no-existe.w8c"), about(Data("no-existe.w8c"), "File not found."), 0},
        {"informe no-existe.w8c", about("no-existe.w8c", "File not found."), 0},
        // JSON for scripts: the failure as an object on standard output too.
        {"calcular --json " + twoPoints, about(twoPoints, "Invalid floating point operation."), 1},
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

std::string About(const std::string& file, const std::string& message) {
    return "valdex-cli: " + file + ": " + message + "\n";
}

std::size_t LineCount(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// Two replicate counts whose sum is below the smallest int: no subcommand may
// turn them into billions of lines. CPU time and output size are capped, so
// a fault shows as a killed run, not as a full disk.
TEST(CliTest, NegativeReplicateCountsEndAtOnce) {
    testing::TempFolder folder;
    const std::string file = folder.File("negativas.w8c");
    testing::WriteBytes(
        file, "Metodo A\r\nAnalista Eva\r\n01/02/2000\r\nAreas\r\nmg\r\nRegresi\xF3n\r\n2\r\n"
              "1\r\n-1500000000\r\n2\r\n-1500000000\r\n0\r\n\r\n\r\n");
    ASSERT_EQ(fs::file_size(file), 100u);
    const std::string negative = About(file, "La replicación del nivel 1 es negativa.");
    const std::string pdf = folder.File("pagina.pdf");
    const struct {
        std::string Args;
        int Status;
        std::string Err;
        std::size_t OutLines;
    } cases[] = {
        // The study part, the levels, an empty line and the heading; no data rows.
        {"informe " + file, 1, negative, 21},
        {"calcular " + file, 1, negative, 0},
        {"calcular --json " + file, 1, negative, 1},
        {"imprimir " + file + " --diseno lasser --pagina 1 --pdf " + pdf, 0, "", 0},
        {"imprimir " + file + " --diseno deskjet --pagina 1 --pdf " + pdf, 0, "", 0},
        {"imprimir " + file + " --diseno deskjet --pagina 2 --pdf " + pdf, 1, negative, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Args);
        const RunResult r = RunCli(c.Args, "ulimit -t 20; ulimit -f 20000;");
        EXPECT_EQ(r.status, c.Status);
        EXPECT_EQ(r.err, c.Err);
        EXPECT_EQ(LineCount(r.out), c.OutLines);
    }
}

// A 2 GB file is refused before it is read, at once.
TEST(CliTest, AFileLargerThanAnyStudyIsRefusedUnread) {
    testing::TempFolder folder;
    const std::string file = folder.File("grande.w8c");
    testing::WriteBytes(file, "");
    ASSERT_EQ(::truncate(file.c_str(), 2'147'483'648LL), 0);
    const RunResult r = RunCli("informe " + file, "ulimit -t 5;");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, About(file, "El archivo \"grande.w8c\" ocupa más de 51407196 bytes, más que "
                                 "cualquier archivo de estudio; no se lee."));
    EXPECT_EQ(r.out, "");
}

TEST(CliTest, JsonGivesEveryFileAnObject) {
    testing::TempFolder folder;
    const std::string other = folder.File("lineal.w8c");
    WriteStudyFile(testing::WorkedExample("Lineal"), other);
    const std::string missing = folder.File("no-existe.w8c");
    const RunResult r = RunCli("calcular --json " + missing + " " + Example() + " " +
                               Data("un-nivel.w8c") + " " + other);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              About(missing, "File not found.") +
                  About(Data("un-nivel.w8c"), "Datos fuera de rango, 2-10 Número de Niveles"));
    std::istringstream lines(r.out);
    std::vector<std::string> objects;
    for (std::string line; std::getline(lines, line);)
        objects.push_back(line);
    ASSERT_EQ(objects.size(), 4u);
    EXPECT_EQ(objects[0], "{\"archivo\":\"" + missing + "\",\"error\":\"File not found.\"}");
    EXPECT_NE(objects[1].find("\"LD\":0.238776"), std::string::npos) << objects[1];
    EXPECT_EQ(objects[1].find("aviso"), std::string::npos);
    EXPECT_EQ(objects[2], "{\"archivo\":\"" + Data("un-nivel.w8c") +
                              "\",\"error\":\"Datos fuera de rango, 2-10 Número de Niveles\"}");
    // A calculation type that is neither of the two has no limits.
    const std::string& unknown = objects[3];
    EXPECT_NE(unknown.find("\"tipo\":\"Lineal\""), std::string::npos);
    EXPECT_NE(unknown.find("\"LD\":null,\"LC\":null}"), std::string::npos) << unknown;
    EXPECT_EQ(unknown.find("\"LD\":0"), std::string::npos) << unknown;
    EXPECT_NE(unknown.find("\"Slope\":2.0233333"), std::string::npos) << unknown;
    EXPECT_NE(unknown.find(",\"aviso\":\"El tipo de cálculo \\\"Lineal\\\" no es \\\"Regresión\\\" "
                           "ni \\\"Ordenada al Origen\\\": LD y LC no se calculan.\"}"),
              std::string::npos)
        << unknown;
}

TEST(CliTest, TextsThatLookLikeUtf8AreWarnedAboutInEverySubcommand) {
    const std::string file = Data("ejemplo-utf8.w8c");
    const std::string warning =
        About(file, "aviso: el texto \"MÃ©todo A\" parece UTF-8 leído como Windows-1252; los "
                    "archivos de estudio se guardan en Windows-1252.");
    testing::TempFolder folder;
    for (const std::string& args :
         {"calcular " + file, "calcular --json " + file, "informe " + file,
          "imprimir " + file + " --diseno lasser --pagina 1 --pdf " + folder.File("p.pdf")}) {
        SCOPED_TRACE(args);
        const RunResult r = RunCli(args);
        // "RegresiÃ³n" is no known calculation type either.
        EXPECT_EQ(r.err, warning);
    }
    // A study written in the code page gets none.
    EXPECT_EQ(RunCli("calcular " + Example()).err, "");
}

TEST(CliTest, AnOutputThatCannotBeWrittenIsAFailure) {
    for (const std::string& args : {"calcular " + Example(), "calcular --json " + Example(),
                                    "informe " + Example(), std::string("ayuda")}) {
        SCOPED_TRACE(args);
        const RunResult r = RunCli(args, "", "/dev/full");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "valdex-cli: no se pudo escribir la salida estándar.\n");
    }
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define VALDEX_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define VALDEX_SANITIZED 1
#endif
#endif

// Running out of memory ends the study with a message naming it, not with
// an abort. The address space is capped below what the largest study file
// needs (a sanitizer reserves far more than any cap at start, so not there).
TEST(CliTest, RunningOutOfMemoryIsAMessageNotAnAbort) {
#ifdef VALDEX_SANITIZED
    GTEST_SKIP() << "the sanitizers reserve more address space than the cap";
#else
    testing::TempFolder folder;
    const std::string file = folder.File("grande.w8c");
    const std::string longest(kMaxFileValueLength, '7');
    std::string bytes;
    bytes.reserve(kMaxStudyFileBytes);
    for (int i = 0; i < 6; ++i)
        bytes += longest + "\r\n";
    bytes += "10\r\n";
    for (int i = 0; i < kMaxFileLevels; ++i)
        bytes += longest + "\r\n10000\r\n";
    bytes += "100000\r\n";
    for (int i = 0; i < 2 * kMaxFileResponses; ++i)
        bytes += longest + "\r\n";
    testing::WriteBytes(file, bytes);
    // Under 100 MB of address space the 51 MB file and its texts cannot
    // both be held (calcular loads no Qt, so little else takes room).
    const RunResult r = RunCli("calcular " + file, "ulimit -v 100000;");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, About(file, "No hay memoria suficiente para el estudio."));
    // Among small studies worked on by several threads: the others are
    // calculated.
    std::string many;
    for (int i = 0; i < 100; ++i) {
        const std::string small = folder.File("pequeño" + std::to_string(i) + ".w8c");
        WriteStudyFile(testing::WorkedExample(), small);
        many += " " + (i == 70 ? file : small);
    }
    const RunResult batch = RunCli("calcular" + many, "ulimit -v 100000;");
    EXPECT_EQ(batch.status, 1);
    EXPECT_EQ(batch.err, About(file, "No hay memoria suficiente para el estudio."));
    std::size_t calculated = 0;
    for (std::size_t at = 0; (at = batch.out.find("PENDIENTE =", at)) != std::string::npos; ++at)
        ++calculated;
    EXPECT_EQ(calculated, 99u);
#endif
}

} // namespace
} // namespace valdex
