// valdex-cli diagnostico and interpolar with weights and blanks: the real
// binary on the published data, its JSON keys and its refusals.

#include "diagnostics/diagnostics.h"
#include "diagnostics/weighting.h"
#include "files/study_file.h"
#include "run_cli.h"

#include <gtest/gtest.h>

namespace valdex {
namespace {

using testing::CliRun;
using testing::Quote;
using testing::RunValdexCli;
using testing::ScratchFolder;
using testing::WriteText;

std::string Data(const std::string& name) {
    return std::string(VALDEX_TEST_DATA_DIR) + "/" + name;
}

double Number(const std::string& json, const std::string& key, std::size_t from = 0) {
    const std::size_t at = json.find("\"" + key + "\":", from);
    EXPECT_NE(at, std::string::npos) << key;
    return at == std::string::npos ? 0 : std::strtod(json.c_str() + at + key.size() + 3, nullptr);
}

// The cadmium study imported by valdex-cli itself.
std::string Cadmium(const ScratchFolder& scratch) {
    const std::string study = scratch.File("cadmio.w8c");
    const CliRun r = RunValdexCli("importar " + Quote(Data("cadmium_epa1997.csv")) + " --salida " +
                                  Quote(study));
    EXPECT_EQ(r.status, 0) << r.err;
    return study;
}

TEST(WeightingCliTest, JsonCarriesTheWeightTheRecommendationAndTheBlankMethod) {
    ScratchFolder scratch;
    const std::string study = Cadmium(scratch);
    const CliRun plain = RunValdexCli("diagnostico " + Quote(study) + " --json");
    const CliRun r = RunValdexCli("diagnostico " + Quote(study) + " --ponderacion funcion --json");
    ASSERT_EQ(r.status, 0) << r.err;
    // The ordinary keys come first and unchanged.
    const std::size_t added = plain.out.find(",\"prueba_F_extremos\"");
    ASSERT_NE(added, std::string::npos);
    EXPECT_EQ(r.out.substr(0, added), plain.out.substr(0, added));
    EXPECT_NE(r.out.find("\"ponderacion\":\"funcion\""), std::string::npos);
    EXPECT_NE(r.out.find("\"recomendacion_peso\":{\"ponderar\":true,\"alfas\":{\"F_extremos\":0.01,"
                         "\"cochran\":0.05,\"bartlett\":0.05},\"orden\":[{\"peso\":\"funcion\"}"),
              std::string::npos);
    EXPECT_NE(r.out.find("\"varianzas_no_homogeneas\":true"), std::string::npos);
    EXPECT_NEAR(Number(r.out, "F", r.out.find("prueba_F_extremos")), 47.33, 0.01);
    // The weighted line's limits and the blank level's, as the core gives them.
    const std::size_t weighted = r.out.find("\"recta_ponderada\"");
    ASSERT_NE(weighted, std::string::npos);
    EXPECT_NEAR(Number(r.out, "LD", r.out.find("\"limites\"", weighted)), 2.87862, 5e-6);
    EXPECT_NEAR(Number(r.out, "LD", r.out.find("\"metodo_blanco\"")), 1.65157, 5e-6);
    EXPECT_NE(plain.out.find("\"ponderacion\":\"ninguna\""), std::string::npos);
    EXPECT_EQ(plain.out.find("\"recta_ponderada\""), std::string::npos);
}

TEST(WeightingCliTest, OptionsAndTheirRefusals) {
    ScratchFolder scratch;
    const std::string study = Cadmium(scratch);
    const std::string blanks = scratch.File("blancos.txt");
    WriteText(blanks, "2003\n1901\n\n2212\n1976\n2279\n1853\n2165\n2108\n2368\n1943\n");
    const std::string bad = scratch.File("malos.txt");
    WriteText(bad, "2003\n19x01\n");
    struct Case {
        std::string args, locale;
        int status;
        std::string expected; // in the output or the error stream
    };
    const std::string din = Quote(Data("din32645.w8c"));
    for (const Case& c : std::vector<Case>{
             {"diagnostico " + din + " --blancos " + Quote(blanks), "C", 0,
              "Blancos: n_L = 10 (dados)"},
             {"diagnostico " + din + " --pesos 1,2 ", "C", 0, "Se dieron 2 pesos para 10 niveles"},
             {"diagnostico " + Quote(study) + " --ponderacion 1/x", "C", 0,
              "El peso 1/x no está definido en el nivel 1 (x = 0"},
             {"diagnostico " + Quote(study) + " --pesos '1;0,5;0,25;0,1;0,05'", "es_ES.UTF-8", 0,
              "RECTA PONDERADA (PESO explicitos)"},
             {"interpolar " + Quote(study) + " 60 --ponderacion 1/s2 --peso-muestra 0,3",
              "es_ES.UTF-8", 0, "Peso usado: 1/s2."},
             {"diagnostico " + Quote(study) + " --ponderacion 1/z", "C", 2,
              "Ponderación desconocida: 1/z"},
             {"diagnostico " + Quote(study) + " --pesos 1,-2", "C", 2,
              "El peso «-2» de --pesos no es un número finito y positivo."},
             {"diagnostico " + Quote(study) + " --ponderacion 1/x --pesos 1", "C", 2,
              "se dan una sola vez"},
             {"diagnostico " + Quote(study) + " --blancos " + Quote(bad), "C", 2,
              "malos.txt: línea 2: la respuesta del blanco no es un número: 19x01"},
             {"diagnostico " + Quote(study) + " --blancos " + Quote(scratch.File("no")), "C", 2,
              "no: File not found."},
             {"interpolar " + Quote(study) + " 60 --peso-muestra 0", "C", 2,
              "El valor de --peso-muestra no es un número finito y positivo: 0"},
         }) {
        SCOPED_TRACE(c.args);
        const CliRun r = RunValdexCli(c.args, c.locale);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_NE((r.out + r.err).find(c.expected), std::string::npos) << r.out << r.err;
    }
}

TEST(WeightingCliTest, WeightedReadingIsTheCoresReading) {
    ScratchFolder scratch;
    const std::string study = Cadmium(scratch);
    const CliRun r =
        RunValdexCli("interpolar " + Quote(study) + " 30 31 --ponderacion funcion --json");
    ASSERT_EQ(r.status, 0) << r.err;
    const SampleReading core =
        ReadWeightedSample(ReadStudyFile(study), WeightScheme::VarianceFunction, {}, {30, 31}, 0.05,
                           std::nullopt, '.');
    ASSERT_TRUE(core.x && core.upper) << core.reason;
    EXPECT_DOUBLE_EQ(Number(r.out, "x"), *core.x);
    EXPECT_DOUBLE_EQ(Number(r.out, "limite_superior"), *core.upper);
    EXPECT_NE(r.out.find("\"ponderacion\":\"funcion\""), std::string::npos);
}

} // namespace
} // namespace valdex
