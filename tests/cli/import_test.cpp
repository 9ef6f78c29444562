// "importar" with the real valdex-cli: tables as spreadsheets write them
// become the bundled example byte for byte, whose results are the worked
// example's; the published cadmium data come out with their published lack
// of fit; every refusal names the line and writes nothing.

#include "run_cli.h"

#include <gtest/gtest.h>

#include <regex>

namespace valdex {
namespace {

using namespace valdex::testing;

std::string Example() {
    return std::string(VALDEX_SOURCE_DIR) + "/ejemplos/curva-ejemplo.w8c";
}

// The general information of the bundled example.
const std::string kExampleTexts =
    " --metodo 'Método A' --analista Ana --fecha 01/02/2000 --propiedad Área --unidades mg";

std::string Import(const std::string& table, const std::string& study,
                   const std::string& more = kExampleTexts) {
    return "importar " + Quote(table) + " --salida " + Quote(study) + more;
}

TEST(ImportTest, SpreadsheetTablesOfTheWorkedExampleGiveTheBundledExample) {
    struct Case {
        const char* what;
        std::string table;
    };
    const Case cases[] = {
        {"header, commas, points", "\"x\",\"y\"\n1,2.1\n1,1.9\n1,2.0\n2,4.2\n2,3.9\n2,4.0\n3,6."
                                   "1\n3,5.8\n3,6.0\n4,8.3\n4,7.9\n"
                                   "4,8.1\n"},
        {"semicolons and decimal commas, no header",
         "1;2,1\n1;1,9\n1;2,0\n2;4,2\n2;3,9\n2;4,0\n3;6,1\n3;5,8\n3;6,0\n4;8,3\n4;7,9\n4;8,1\n"},
        {"tabs, CR LF, byte-order mark, blank and empty rows, spaces, trailing empty cells",
         "\xEF\xBB\xBF"
         "Cantidad (mg)\tÁrea\r\n1\t2.1\r\n\r\n1\t 1.9 \r\n1\t2.0\t\t\r\n\t\r\n2\t4.2\r\n"
         "2\t3.9\r\n2\t4.0\r\n3\t6.1\r\n3\t5.8\r\n3\t6.0\r\n4\t8.3\r\n4\t7.9\r\n4\t8.1"},
        {"levels interleaved, equal quantities written apart (1, 1.0, 1,0), quoted cells",
         "cantidad;respuesta\n1;2,1\n2;4,2\n1,0;1,9\n3;6,1\n\"2,0\";\"3,9\"\n4;8,3\n1.0;2,0\n2;4,"
         "0\n"
         "3;5,8\n3;6,0\n4;7,9\n4;8,1\n"},
    };
    const std::string expected = ReadText(Example());
    const std::string results =
        ReadText(std::string(VALDEX_TEST_DATA_DIR) + "/curva-ejemplo.resultados.txt");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder folder;
        const std::string table = folder.File("datos.csv");
        const std::string study = folder.File("estudio.w8c");
        WriteText(table, c.table);
        const CliRun run = RunValdexCli(Import(table, study));
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out, study + ": 4 niveles, 12 respuestas.\n");
        EXPECT_EQ(ReadText(study), expected);
        // The round trip: the imported study calculates as the worked example.
        const CliRun calculated = RunValdexCli("calcular " + Quote(study));
        EXPECT_EQ(calculated.status, 0) << calculated.err;
        EXPECT_EQ(calculated.out, results);
    }
}

// Numbers are stored with the user's decimal separator, so the study
// calculates where it was imported.
TEST(ImportTest, UnderADecimalCommaTheStudyKeepsCommas) {
    ASSERT_FALSE(SpanishLocaleFolder().empty()) << "localedef could not make es_ES.UTF-8";
    ScratchFolder folder;
    const std::string table = folder.File("datos.csv");
    const std::string study = folder.File("estudio.w8c");
    WriteText(table, "0.5;1.0\n0.5;1.2\n1.5;3.1\n1.5;2.9\n");
    const CliRun run =
        RunValdexCli(Import(table, study, " --tipo 'Ordenada al Origen'"), "es_ES.UTF-8");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadText(study),
              "\r\n\r\n\r\n\r\n\r\nOrdenada al Origen\r\n2\r\n0,5\r\n2\r\n1,5\r\n2\r\n4\r\n"
              "1,0\r\n1,2\r\n3,1\r\n2,9\r\n\r\n\r\n\r\n\r\n");
    const CliRun calculated = RunValdexCli("calcular " + Quote(study), "es_ES.UTF-8");
    EXPECT_EQ(calculated.status, 0) << calculated.err;
    // Slope (3.0 - 1.1) / (1.5 - 0.5) = 1.9.
    EXPECT_NE(calculated.out.find("PENDIENTE = 1,9\n"), std::string::npos) << calculated.out;
}

// The cadmium data (Gibbons et al. 1997; EnvStats' EPA.97.cadmium.111.df):
// 5 levels of 7 replicates; published lack of fit F = 0.982 with 3 and 30
// degrees of freedom, p = 0.4144.
TEST(ImportTest, PublishedCadmiumDataKeepTheirLackOfFit) {
    ScratchFolder folder;
    const std::string table = std::string(VALDEX_TEST_DATA_DIR) + "/cadmium_epa1997.csv";
    const std::string study = folder.File("cadmio.w8c");
    const CliRun run = RunValdexCli(Import(table, study, " --unidades ng/L"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, study + ": 5 niveles, 35 respuestas.\n");
    const CliRun diagnosed = RunValdexCli("diagnostico --json " + Quote(study));
    ASSERT_EQ(diagnosed.status, 0) << diagnosed.err;
    std::smatch lof;
    ASSERT_TRUE(std::regex_search(diagnosed.out, lof, std::regex(R"("falta_de_ajuste":\{[^}]*)")))
        << diagnosed.out;
    const std::string text = lof.str();
    std::smatch f, p;
    EXPECT_NE(text.find("\"gl_LOF\":3"), std::string::npos) << text;
    EXPECT_NE(text.find("\"gl_PE\":30"), std::string::npos) << text;
    ASSERT_TRUE(std::regex_search(text, f, std::regex(R"("F":([0-9.eE+-]+))"))) << text;
    ASSERT_TRUE(std::regex_search(text, p, std::regex(R"("p":([0-9.eE+-]+))"))) << text;
    EXPECT_NEAR(std::stod(f[1]), 0.982, 0.0005);
    EXPECT_NEAR(std::stod(p[1]), 0.4144, 0.00005);
}

TEST(ImportTest, RefusedTablesNameTheLineAndWriteNothing) {
    std::string elevenLevels;
    for (int level = 1; level <= 11; ++level)
        elevenLevels += std::to_string(level) + ";" + std::to_string(2 * level) + "\n";
    struct Case {
        std::string table;
        std::string message; // after "<table>"
    };
    const Case cases[] = {
        {"1;2\n2;abc\n", ", línea 2: la respuesta \"abc\" no es un número.\n"},
        {"x;y\n1;2\nfoo;3\n", ", línea 3: la cantidad adicionada \"foo\" no es un número.\n"},
        {"1;2\n\n2;\n", ", línea 3: la respuesta \"\" no es un número.\n"},
        {"1;2\n1.234,5;2\n", ", línea 2: la cantidad adicionada \"1.234,5\" no es un número.\n"},
        {"1;2\n2;1e999\n", ", línea 2: la respuesta \"1e999\" no es un número.\n"},
        {"1;2;3\n", ", línea 1: se esperaban dos columnas (cantidad adicionada y respuesta) "
                    "separadas por \";\" y hay 3.\n"},
        {"1,5,2\n2,5,3\n", ", línea 1: se esperaban dos columnas (cantidad adicionada y "
                           "respuesta) separadas por \",\" y hay 3.\n"},
        {"1\t2\n2\n", ", línea 2: se esperaban dos columnas (cantidad adicionada y respuesta) "
                      "separadas por tabulador y hay 1.\n"},
        {"Cantidad;1\n", ", línea 1: la cantidad adicionada \"Cantidad\" no es un número.\n"},
        {elevenLevels, ", línea 11: la cantidad 11 sería el nivel 11; un estudio admite como "
                       "máximo 10 niveles.\n"},
        {"1;2\n1;3\n", ": todas las mediciones son de la cantidad 1; un estudio necesita de 2 a 10 "
                       "niveles.\n"},
        {"x;y\n\n", ": no hay mediciones.\n"},
        {"", ": no hay mediciones.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        ScratchFolder folder;
        const std::string table = folder.File("datos.csv");
        const std::string study = folder.File("estudio.w8c");
        WriteText(table, c.table);
        const CliRun run = RunValdexCli(Import(table, study));
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "valdex-cli: " + table + c.message);
        EXPECT_FALSE(fs::exists(study));
    }
}

TEST(ImportTest, FilesThatCannotBeReadOrWritten) {
    ScratchFolder folder;
    const std::string table = folder.File("datos.csv");
    WriteText(table, "1;2\n2;4\n");
    const std::string study = folder.File("estudio.w8c");

    CliRun run = RunValdexCli(Import(folder.File("falta.csv"), study));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "valdex-cli: " + folder.File("falta.csv") + ": File not found.\n");

    // A text the study file's code page cannot hold: nothing is written.
    run = RunValdexCli(Import(table, study, " --metodo 'Plomo → ICP'"));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "valdex-cli: " + study +
                           ": El campo \"Nombre del método\" tiene un carácter que no se puede "
                           "guardar en el archivo.\n");
    EXPECT_FALSE(fs::exists(study));

    // An existing study is replaced only when asked.
    WriteText(study, "anterior");
    run = RunValdexCli(Import(table, study));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "valdex-cli: " + study + ": ya existe; no se reemplaza sin --reemplazar.\n");
    EXPECT_EQ(ReadText(study), "anterior");
    run = RunValdexCli(Import(table, study, " --reemplazar"));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadText(study).substr(0, 19), "\r\n\r\n\r\n\r\n\r\nRegresi\xf3n");
}

TEST(ImportTest, UsageErrors) {
    struct Case {
        std::string args;
        std::string message;
    };
    const Case cases[] = {
        {"importar", "Falta el archivo de datos."},
        {"importar d.csv", "Falta --salida ESTUDIO.w8c."},
        {"importar d.csv --salida", "Falta el valor de --salida."},
        {"importar d.csv --salida e.w8c --tipo Lineal",
         "El tipo de cálculo debe ser \"Regresión\" o \"Ordenada al Origen\"."},
        {"importar d.csv --salida e.w8c --niveles 3", "Opción desconocida: --niveles."},
        {"importar d.csv otro.csv --salida e.w8c", "Sobra el argumento otro.csv."},
    };
    for (const Case& c : cases) {
        const CliRun run = RunValdexCli(c.args);
        EXPECT_EQ(run.status, 2) << c.args;
        EXPECT_EQ(run.err.substr(0, run.err.find('\n')), c.message) << c.args;
        EXPECT_NE(run.err.find("Uso: valdex-cli importar"), std::string::npos) << c.args;
    }
}

} // namespace
} // namespace valdex
