// Runs the real valdex-cli "diagnostico" and "interpolar" on study files and
// checks their output streams and exit status.

#include "../core/support/worked_example.h"
#include "diagnostics/diagnostics_text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
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

RunResult RunCli(const std::string& args) {
    const fs::path dir =
        fs::temp_directory_path() / ("valdex-diagnostico-test-" + std::to_string(getpid()));
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

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The number after "key": in a JSON text (the first occurrence after `from`).
double JsonNumber(const std::string& json, const std::string& key, std::size_t from = 0) {
    const std::string quoted = "\"" + key + "\":";
    const std::size_t at = json.find(quoted, from);
    EXPECT_NE(at, std::string::npos) << key;
    return at == std::string::npos ? 0 : std::strtod(json.c_str() + at + quoted.size(), nullptr);
}

// The top-level keys of a one-line JSON object, in order.
std::vector<std::string> TopLevelKeys(const std::string& json) {
    std::vector<std::string> keys;
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < json.size(); ++i) {
        const char c = json[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
            continue;
        }
        if (c == '"') {
            if (depth == 1 && (json[i - 1] == '{' || json[i - 1] == ',')) {
                const std::size_t end = json.find('"', i + 1);
                keys.push_back(json.substr(i + 1, end - i - 1));
            }
            inString = true;
        } else if (c == '{' || c == '[') {
            ++depth;
        } else if (c == '}' || c == ']') {
            --depth;
        }
    }
    return keys;
}

TEST(DiagnosticsCliTest, TextIsTheCoresText) {
    const RunResult r = RunCli("diagnostico " + Example());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    const std::vector<std::string> expected =
        DiagnosticsLines(ComputeDiagnostics(testing::WorkedExample(), {}, '.'), '.');
    EXPECT_EQ(Lines(r.out), expected);
    // The results window's limits, as published for the worked example.
    EXPECT_NE(r.out.find("ICH, s(y/x)  LD = 0.238776"), std::string::npos);
}

TEST(DiagnosticsCliTest, JsonHasTheKeysAndTheNumbers) {
    const RunResult r =
        RunCli("diagnostico --json --alfa 0.05 --beta 0.05 --m 2 --k 10 " + Example());
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 1u);
    const std::string& json = lines[0];
    EXPECT_EQ(TopLevelKeys(json),
              (std::vector<std::string>{
                  "archivo", "N", "niveles", "residuos", "falta_de_ajuste", "cochran", "bartlett",
                  "mandel", "limites", "parametros", "recta", "prueba_F_extremos", "shapiro_wilk",
                  "ponderacion", "candidatos_peso", "recomendacion_peso", "intervalos_limites"}));
    EXPECT_NE(json.find("\"N\":12,"), std::string::npos);
    EXPECT_NE(json.find("\"parametros\":{\"alfa\":0.05,\"beta\":0.05,\"m\":2,\"k\":10}"),
              std::string::npos);
    for (const char* key : {"\"x\":1,\"n\":3,\"media\":2,\"s\":",
                            "\"x_calc\":",
                            "\"recuperacion\":",
                            "\"grubbs_G\":",
                            "\"grubbs_critico\":",
                            "\"residuo\":",
                            "\"estandarizado\":",
                            "\"SS_LOF\":",
                            "\"SS_PE\":",
                            "\"gl_LOF\":2",
                            "\"gl_PE\":8",
                            "\"F_critico\":",
                            "\"C\":",
                            "\"C_critico\":",
                            "\"chi2\":",
                            "\"gl\":3",
                            "\"s2\":",
                            "\"PG\":",
                            "\"ich_syx\":{\"LD\":",
                            "\"ich_sa\":{\"LD\":",
                            "\"din32645\":{\"x_NG\":",
                            "\"x_EG\":",
                            "\"x_BG\":",
                            "\"hubaux_vos\":{\"y_C\":",
                            "\"x_C\":",
                            "\"x_D\":"})
        EXPECT_NE(json.find(key), std::string::npos) << key;
    EXPECT_EQ(json.find("motivo"), std::string::npos);
    EXPECT_NEAR(JsonNumber(json, "LD", json.find("ich_syx")), 0.238776, 5e-7);
    EXPECT_NEAR(JsonNumber(json, "LC", json.find("ich_sa")), 0.511638, 5e-7);
    const std::regex notANumber("\\b(nan|inf|infinity|null)\\b", std::regex::icase);
    EXPECT_FALSE(std::regex_search(json, notANumber));
}

TEST(DiagnosticsCliTest, JsonGoesOnPastFailingFiles) {
    const RunResult r = RunCli("diagnostico --json " + Data("un-nivel.w8c") + " " + Example() +
                               " " + Data("no-existe.w8c") + " " + Data("dos-puntos.w8c"));
    EXPECT_EQ(r.status, 1);
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "{\"archivo\":\"" + Data("un-nivel.w8c") +
                            "\",\"error\":\"Datos fuera de rango, 2-10 Número de Niveles\"}");
    EXPECT_EQ(TopLevelKeys(lines[1]).size(), 17u);
    EXPECT_EQ(lines[2],
              "{\"archivo\":\"" + Data("no-existe.w8c") + "\",\"error\":\"File not found.\"}");
    // Two points: no s(y/x), so every limit says why; the residuals are there.
    EXPECT_NE(lines[3].find("\"residuo\":0"), std::string::npos);
    EXPECT_NE(lines[3].find("\"ich_syx\":{\"motivo\":\"Con 2 puntos"), std::string::npos);
    EXPECT_EQ(r.err, "valdex-cli: " + Data("un-nivel.w8c") +
                         ": Datos fuera de rango, 2-10 Número de Niveles\nvaldex-cli: " +
                         Data("no-existe.w8c") + ": File not found.\n");
}

TEST(DiagnosticsCliTest, SeveralFilesInTextUnderTheirHeadings) {
    const RunResult r = RunCli("diagnostico " + Example() + " " + Data("replica-no-entera.w8c"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.rfind("==> " + Example() + " <==\n", 0), 0u);
    EXPECT_NE(r.out.find("==> " + Data("replica-no-entera.w8c") + " <==\n"), std::string::npos);
    EXPECT_EQ(r.err, "valdex-cli: " + Data("replica-no-entera.w8c") +
                         ": '2.5' is not a valid integer value.\n");
}

TEST(DiagnosticsCliTest, InterpolateAsChemCalPublishes) {
    // chemCal, din32645: a response of 3500 read with a 99 % half-width of 0.07434.
    const RunResult r = RunCli("interpolar " + Data("din32645.w8c") + " 3500 --alfa 0.01 --json");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(
        TopLevelKeys(r.out),
        (std::vector<std::string>{"archivo", "x", "limite_inferior", "limite_superior", "veredicto",
                                  "extrapolacion", "m", "media_y0", "alfa", "error_estandar_x",
                                  "unidades", "intervalo_de_trabajo", "limites", "ponderacion"}));
    const double half =
        (JsonNumber(r.out, "limite_superior") - JsonNumber(r.out, "limite_inferior")) / 2;
    EXPECT_NEAR(half, 0.07434, 0.000005);
    EXPECT_NE(r.out.find("\"veredicto\":\"LD ≤ x < LC\""), std::string::npos);
}

TEST(DiagnosticsCliTest, InterpolateText) {
    const RunResult r = RunCli("interpolar " + Example() + " 4 4.1");
    EXPECT_EQ(r.status, 0);
    const std::vector<std::string> lines = Lines(r.out);
    EXPECT_EQ(lines, SampleLines(ReadSample(testing::WorkedExample(), {4, 4.1}, 0.05, '.'), '.'));
    EXPECT_NE(r.out.find("Veredicto: ≥ LC"), std::string::npos);
    // A negative response is a value, not an option.
    EXPECT_NE(RunCli("interpolar " + Example() + " -0.5 --json").out.find("\"veredicto\":\"< LD\""),
              std::string::npos);
}

// The worked example's published numbers and the textbook critical values
// (Cochran k = 4, n = 3: 0.7679; χ²(0.95; 3) = 7.815; F(0.99; 1, 9) = 10.56),
// each under the object and key a laboratory system reads.
TEST(DiagnosticsCliTest, JsonForALaboratorySystem) {
    const std::string diagnostics = RunCli("diagnostico --json " + Example()).out;
    const std::string reading = RunCli("interpolar --json " + Example() + " 10 10.2").out;
    struct Case {
        const std::string& json;
        const char* object;
        const char* key;
        double value, tolerance;
    };
    const Case cases[] = {
        {diagnostics, "recta", "a", -0.0333333, 5e-7},
        {diagnostics, "recta", "b", 2.0233333, 5e-8},
        {diagnostics, "recta", "s_yx", 0.146401, 5e-7},
        {diagnostics, "recta", "s_a", 0.103521, 5e-7},
        {diagnostics, "recta", "r2", 0.99652183, 5e-9},
        {diagnostics, "recta", "media_x", 2.5, 0},
        {diagnostics, "recta", "Q_x", 15, 1e-12},
        {diagnostics, "cochran", "C_critico", 0.7679, 5e-5},
        {diagnostics, "cochran", "k", 4, 0},
        {diagnostics, "cochran", "n", 3, 0},
        {diagnostics, "bartlett", "chi2_critico", 7.815, 5e-4},
        {diagnostics, "mandel", "F_critico", 10.56, 5e-3},
        {diagnostics, "mandel", "gl1", 1, 0},
        {diagnostics, "mandel", "gl2", 9, 0},
        {diagnostics, "mandel", "alfa", 0.01, 0},
        {diagnostics, "falta_de_ajuste", "alfa", 0.05, 0},
        {diagnostics, "\"nivel\":4,\"replica\":3", "y", 8.1, 0},
        {diagnostics, "estudio", "LC", 0.723565, 5e-7},
        // m = 2 responses of mean 10.1: x = (10.1 + 0.0333333)/2.0233333.
        {reading, "archivo", "m", 2, 0},
        {reading, "archivo", "media_y0", 10.1, 1e-12},
        {reading, "archivo", "x", 5.00824, 5e-5},
        {reading, "archivo", "alfa", 0.05, 0},
        {reading, "intervalo_de_trabajo", "x_min", 1, 0},
        {reading, "intervalo_de_trabajo", "x_max", 4, 0},
        {reading, "limites", "LD", 0.238776, 5e-7},
    };
    for (const Case& c : cases) {
        const std::size_t at = c.json.find(c.object);
        ASSERT_NE(at, std::string::npos) << c.object;
        EXPECT_NEAR(JsonNumber(c.json, c.key, at), c.value, c.tolerance)
            << c.object << "." << c.key;
    }
    for (const char* text :
         {"\"significativa\":false,\"alfa\":0.05", "\"grubbs_atipico\":false,\"grubbs_alfa\":0.05",
          "\"p_cota\":true", "\"advertencias\":[\"LC por debajo del patrón más bajo"})
        EXPECT_NE(diagnostics.find(text), std::string::npos) << text;
    // The standard error of x is the half-width over t(10; 0.975) = 2.2281.
    const double half =
        (JsonNumber(reading, "limite_superior") - JsonNumber(reading, "limite_inferior")) / 2;
    EXPECT_NEAR(JsonNumber(reading, "error_estandar_x") * 2.2281, half, 1e-4);
    for (const char* text :
         {"\"veredicto\":\"fuera del intervalo de calibración (1–4 mg): extrapolación\"",
          "\"extrapolacion\":true", "\"unidades\":\"mg\"", "\"tipo\":\"Regresión\""})
        EXPECT_NE(reading.find(text), std::string::npos) << text;
}

// A decreasing calibration and points exactly on a line, through the real
// program: positive limits; limits that cannot be estimated are left out.
TEST(DiagnosticsCliTest, DecreasingAndExactStudies) {
    const struct {
        std::string args, present, absent;
    } cases[] = {
        {"calcular " + Data("decreciente.w8c"),
         "LÍMITE DE DETECCIÓN \"Regresión\" = 0.238776 mg\nLÍMITE DE CUANTIFICACIÓN \"Regresión\" "
         "= 0.723565 mg\n",
         "= -0.2"},
        {"calcular --json " + Data("decreciente.w8c"), "\"Slope\":-2.02", "\"LD\":-"},
        {"interpolar " + Data("decreciente.w8c") + " -4",
         "Veredicto: ≥ LC (LD = 0.238776, LC = 0.723565 mg", "LD = -"},
        {"diagnostico --json " + Data("decreciente.w8c"), "\"ich_syx\":{\"LD\":0.2387", "\"LD\":-"},
        {"diagnostico --json " + Data("recta-exacta.w8c"),
         "\"ich_syx\":{\"motivo\":\"no estimable (s = 0)\"}", "\"LD\":0"},
    };
    for (const auto& c : cases) {
        const RunResult r = RunCli(c.args);
        EXPECT_EQ(r.status, 0) << c.args << r.err;
        EXPECT_NE(r.out.find(c.present), std::string::npos) << c.args << "\n" << r.out;
        EXPECT_EQ(r.out.find(c.absent), std::string::npos) << c.args;
    }
}

TEST(DiagnosticsCliTest, FailuresAndUsage) {
    struct Case {
        std::string args;
        int status;
        std::string err;
        std::string out;
    };
    const Case cases[] = {
        {"interpolar " + Data("un-nivel.w8c") + " 3", 1,
         "valdex-cli: " + Data("un-nivel.w8c") + ": Datos fuera de rango, 2-10 Número de Niveles\n",
         ""},
        {"interpolar " + Data("no-existe.w8c") + " 3 --json", 1,
         "valdex-cli: " + Data("no-existe.w8c") + ": File not found.\n",
         "{\"archivo\":\"" + Data("no-existe.w8c") + "\",\"error\":\"File not found.\"}\n"},
        {"diagnostico", 2,
         "Uso: valdex-cli diagnostico ARCHIVO.w8c... [--alfa A] [--beta B] [--m M] [--k K] "
         "[--json]\n",
         ""},
        {"diagnostico --alfa 0.5 a.w8c", 2,
         "El valor de alfa debe ser mayor que 0 y menor que 0.5.\nUso: valdex-cli diagnostico "
         "ARCHIVO.w8c... [--alfa A] [--beta B] [--m M] [--k K] [--json]\n",
         ""},
        {"diagnostico --m 2.5 a.w8c", 2, "El valor de --m no es un número entero: 2.5\n", ""},
        {"diagnostico --k a.w8c", 2, "El valor de --k no es un número: a.w8c\n", ""},
        {"diagnostico a.w8c --beta", 2, "Falta el valor de --beta.\n", ""},
        {"diagnostico --xml a.w8c", 2, "Opción desconocida: --xml\n", ""},
        {"interpolar " + Example(), 2,
         "Uso: valdex-cli interpolar ARCHIVO.w8c Y1 [Y2 ...] [--alfa A] [--json]\n", ""},
        {"interpolar " + Example() + " 3x5", 2, "La respuesta de la muestra no es un número: 3x5\n",
         ""},
        {"interpolar " + Example() + " 3 --m 2", 2, "Opción desconocida: --m\n", ""},
    };
    for (const Case& c : cases) {
        const RunResult r = RunCli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_EQ(r.err.substr(0, c.err.size()), c.err) << c.args;
        EXPECT_EQ(r.out, c.out) << c.args;
    }
}

} // namespace
} // namespace valdex
