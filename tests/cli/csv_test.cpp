// "calcular --csv" with the real valdex-cli: the header, one row per study
// with the worked example's published results written as the results window
// writes them, the column separator that goes with the decimal separator,
// quoting, failing files and usage errors.

#include "../core/support/worked_example.h"
#include "files/study_file.h"
#include "run_cli.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace valdex {
namespace {

using namespace valdex::testing;

const std::string kHeader = "archivo,tipo,unidades,N,t,Slope,SlopeCIUpper,SlopeCILower,Intercept,"
                            "InterceptCIUpper,InterceptCILower,RegressionSD,CV,R2,InterceptSD,LD,"
                            "LC,error\n";

// The worked example's values from the slope to r², then s_a; t for 10
// degrees of freedom.
const std::string kStatistics = "12,2.2281,2.0233333,2.107557,1.9391097,-0.0333333,0.197323,"
                                "-0.263989,0.146401,2.91346,0.99652183,0.103521";

// The worked example with its decimal points made commas.
CalibrationStudy WithDecimalCommas(CalibrationStudy study) {
    for (ResponseRow& row : study.Responses)
        std::replace(row.Response.begin(), row.Response.end(), '.', ',');
    return study;
}

std::string Commas(std::string text) {
    std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

TEST(CalculateCsvTest, OneRowPerStudyWithTheResultsTextsNumbers) {
    ScratchFolder folder;
    const std::string regression = folder.File("regresion.w8c");
    const std::string intercept = folder.File("ordenada.w8c");
    const std::string quoted = folder.File("con, coma \"y comillas\".w8c");
    WriteStudyFile(WorkedExample("Regresión"), regression);
    WriteStudyFile(WorkedExample("Ordenada al Origen"), intercept);
    WriteStudyFile(WorkedExample("Regresión"), quoted);

    const CliRun run = RunValdexCli("calcular --csv " + Quote(regression) + " " + Quote(intercept) +
                                    " " + Quote(quoted));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    const std::string quotedField = "\"" + folder.File("con, coma \"\"y comillas\"\".w8c") + "\"";
    EXPECT_EQ(run.out,
              kHeader +                                                                          //
                  regression + ",Regresión,mg," + kStatistics + ",0.238776,0.723565,\n" +        //
                  intercept + ",Ordenada al Origen,mg," + kStatistics + ",0.16884,0.511638,\n" + //
                  quotedField + ",Regresión,mg," + kStatistics + ",0.238776,0.723565,\n");
}

TEST(CalculateCsvTest, ADecimalCommaGoesWithSemicolons) {
    ASSERT_FALSE(SpanishLocaleFolder().empty()) << "localedef could not make es_ES.UTF-8";
    ScratchFolder folder;
    const std::string study = folder.File("coma.w8c");
    WriteStudyFile(WithDecimalCommas(WorkedExample("Ordenada al Origen")), study);
    const CliRun run = RunValdexCli("calcular --csv " + Quote(study), "es_ES.UTF-8");
    EXPECT_EQ(run.status, 0) << run.err;
    std::string header = kHeader;
    std::replace(header.begin(), header.end(), ',', ';');
    std::string values = kStatistics + ",0.16884,0.511638";
    std::replace(values.begin(), values.end(), ',', ';');
    EXPECT_EQ(run.out, header + study + ";Ordenada al Origen;mg;" + Commas(values) + ";\n");
}

// A failing study gives a row with its file and the message in the last
// column, the message on the error stream, and exit status 1; the others go on.
TEST(CalculateCsvTest, AFailingStudyGivesItsRowWithTheMessage) {
    ScratchFolder folder;
    const std::string good = folder.File("bueno.w8c");
    WriteStudyFile(WorkedExample(), good);
    CalibrationStudy faulty = WorkedExample();
    faulty.Responses[3].Response = "4.2x";
    const std::string bad = folder.File("malo.w8c");
    WriteStudyFile(faulty, bad);
    const std::string missing = folder.File("falta.w8c");
    const std::string oneLevel = std::string(VALDEX_TEST_DATA_DIR) + "/un-nivel.w8c";

    const CliRun run = RunValdexCli("calcular --csv " + Quote(missing) + " " + Quote(bad) + " " +
                                    Quote(oneLevel) + " " + Quote(good));
    EXPECT_EQ(run.status, 1);
    const std::string empty(16, ',');
    EXPECT_EQ(run.out, kHeader +                                    //
                           missing + empty + ",File not found.\n" + //
                           bad + empty + ",'4.2x' is not a valid floating point value.\n" +
                           oneLevel + empty +
                           ",\"Datos fuera de rango, 2-10 Número de Niveles\"\n" + good +
                           ",Regresión,mg," + kStatistics + ",0.238776,0.723565,\n");
    for (const std::string& file : {missing, bad, oneLevel})
        EXPECT_NE(run.err.find(file + ": "), std::string::npos) << run.err;
}

TEST(CalculateCsvTest, UsageErrors) {
    for (const std::string args :
         {"calcular --csv", "calcular --csv --json x.w8c", "calcular --csv --otra x.w8c"}) {
        const CliRun run = RunValdexCli(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_EQ(run.out, "") << args;
        EXPECT_NE(run.err.find("Uso: valdex-cli calcular --csv"), std::string::npos) << args;
    }
}

} // namespace
} // namespace valdex
