// Designs at the edge of what the diagnostics can do: each diagnostic either
// gives finite numbers or says why, and none stops the others.

#include "../support/worked_example.h"
#include "base/app_error.h"
#include "diagnostics/diagnostics.h"
#include "diagnostics/diagnostics_text.h"
#include "diagnostics/sample_reading.h"
#include "diagnostics_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <iostream>
#include <regex>

namespace valdex {
namespace {

using testing::Levels;
using testing::ReadCsv;

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A missing statistic always comes with its reason.
void ExpectEachGapExplained(const Diagnostics& d, const std::string& name) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(d.lackOfFit.F || !d.lackOfFit.reason.empty());
    EXPECT_TRUE(d.cochran.C || !d.cochran.reason.empty());
    EXPECT_TRUE(d.bartlett.chi2 || !d.bartlett.reason.empty());
    EXPECT_TRUE(d.mandel.PG || !d.mandel.reason.empty());
    EXPECT_TRUE((d.ichSyx.LD && d.ichSyx.LC) || !d.ichSyx.reason.empty());
    EXPECT_TRUE((d.ichSa.LD && d.ichSa.LC) || !d.ichSa.reason.empty());
    EXPECT_TRUE((d.din.xNG && d.din.xEG && d.din.xBG) || !d.din.reason.empty());
    EXPECT_TRUE((d.hubauxVos.xC && d.hubauxVos.xD) || !d.hubauxVos.reason.empty());
    for (const LevelDiagnostics& l : d.levels)
        EXPECT_TRUE((l.mean && l.sd && l.xCalc && l.recovery && l.grubbsG) || !l.reason.empty());
    for (const ResidualRow& r : d.residuals)
        EXPECT_TRUE((r.residual && r.standardized) || !d.residualReason.empty());
    // "inferior" is Spanish; a lone "inf" or "nan" is a number gone wrong.
    const std::regex notANumber("\\b(nan|inf|infinity)\\b", std::regex::icase);
    for (const std::string& line : DiagnosticsLines(d, ','))
        EXPECT_FALSE(std::regex_search(line, notANumber)) << line;
}

TEST(DiagnosticsEdgeTest, EveryDesignGivesNumbersOrReasons) {
    struct Case {
        std::string name;
        CalibrationData data;
    };
    const Case cases[] = {
        {"dos niveles", Levels({{1, {1.0, 1.2, 0.9}}, {2, {2.1, 1.9, 2.0}}})},
        {"una réplica", Levels({{1, {1.1}}, {2, {2.3}}, {3, {2.9}}, {4, {4.2}}})},
        {"respuestas iguales", Levels({{1, {5, 5}}, {2, {5, 5}}, {3, {5, 5}}, {4, {5, 5}}})},
        {"x = 0", Levels({{0, {0.1, 0.2}}, {1, {1.0, 1.1}}, {2, {2.2, 2.0}}})},
        {"pendiente negativa", Levels({{1, {9.1, 8.8}}, {2, {7.0, 7.2}}, {3, {5.1, 4.9}}})},
        {"N = 2", Levels({{1, {1}}, {2, {3}}})},
        {"N = 1", Levels({{1, {1}}, {2, {}}})},
        {"sin respuestas", Levels({{1, {}}, {2, {}}})},
        {"misma x", Levels({{1, {1, 2}}, {1, {3, 4}}})},
        {"recta exacta", Levels({{1, {2, 2}}, {2, {4, 4}}, {3, {6, 6}}, {4, {8, 8}}})},
        {"parábola exacta", Levels({{1, {1}}, {2, {4}}, {3, {9}}, {4, {16}}, {5, {25}}})},
        {"valores enormes",
         Levels({{1e300, {1e300, -1e300}}, {-1e300, {1e300, 1.7e308}}, {0, {-1.7e308, 3}}})},
        {"valores diminutos", Levels({{1e-300, {1e-310, 2e-310}}, {2e-300, {3e-310, 5e-310}}})},
        {"nivel vacío", Levels({{1, {1, 1.1}}, {2, {}}, {3, {3.1, 2.9}}})},
    };
    for (const Case& c : cases)
        ExpectEachGapExplained(ComputeDiagnostics(c.data, {}), c.name);
}

TEST(DiagnosticsEdgeTest, TwoLevels) {
    const Diagnostics d =
        ComputeDiagnostics(Levels({{1, {1.00, 1.02, 0.99}}, {2, {2.01, 1.99, 2.00}}}), {});
    EXPECT_TRUE(Has(d.lackOfFit.reason, "3 niveles"));
    EXPECT_TRUE(Has(d.mandel.reason, "4 niveles"));
    EXPECT_TRUE(d.cochran.C && d.bartlett.chi2);
    EXPECT_TRUE(d.din.xNG && d.din.xBG && d.hubauxVos.xD);
    EXPECT_EQ(d.levels[0].grubbsCritical.has_value(), true);

    // Scatter this large against two levels leaves x_BG without solution.
    const Diagnostics wide =
        ComputeDiagnostics(Levels({{1, {1.0, 1.2, 0.9}}, {2, {2.1, 1.9, 2.0}}}), {});
    EXPECT_TRUE(wide.din.xNG);
    EXPECT_FALSE(wide.din.xBG);
    EXPECT_TRUE(Has(wide.din.reason, "x_BG no tiene solución"));
}

TEST(DiagnosticsEdgeTest, OneReplicateEverywhere) {
    const Diagnostics d =
        ComputeDiagnostics(Levels({{1, {1.1}}, {2, {2.3}}, {3, {2.9}}, {4, {4.2}}}), {});
    EXPECT_FALSE(d.lackOfFit.F);
    EXPECT_TRUE(Has(d.lackOfFit.reason, "error puro"));
    EXPECT_FALSE(d.cochran.C);
    EXPECT_FALSE(d.bartlett.chi2);
    EXPECT_TRUE(d.mandel.PG) << d.mandel.reason;
    for (const LevelDiagnostics& l : d.levels) {
        EXPECT_FALSE(l.sd);
        EXPECT_FALSE(l.grubbsG);
        EXPECT_TRUE(l.xCalc && l.recovery);
    }
}

TEST(DiagnosticsEdgeTest, AllResponsesEqual) {
    const Diagnostics d =
        ComputeDiagnostics(Levels({{1, {5, 5}}, {2, {5, 5}}, {3, {5, 5}}, {4, {5, 5}}}), {});
    ASSERT_TRUE(d.line.b);
    EXPECT_EQ(*d.line.b, 0);
    EXPECT_EQ(*d.line.s, 0);
    for (const IchLimits* ich : {&d.ichSyx, &d.ichSa}) {
        EXPECT_FALSE(ich->LD);
        EXPECT_TRUE(Has(ich->reason, "pendiente es cero"));
    }
    EXPECT_TRUE(Has(d.din.reason, "pendiente es cero"));
    EXPECT_TRUE(Has(d.hubauxVos.reason, "pendiente es cero"));
    for (const ResidualRow& r : d.residuals) {
        EXPECT_EQ(r.residual, 0.0);
        EXPECT_FALSE(r.standardized);
    }
    EXPECT_TRUE(Has(d.lackOfFit.reason, "error puro es cero"));
    EXPECT_FALSE(d.cochran.C);
    EXPECT_TRUE(d.cochran.cCritical);
    EXPECT_TRUE(Has(d.bartlett.reason, "réplicas idénticas"));
    EXPECT_FALSE(d.mandel.PG);
    EXPECT_FALSE(d.levels[0].xCalc);
}

TEST(DiagnosticsEdgeTest, LevelAtZeroHasNoRecoveryOnlyThere) {
    const Diagnostics d =
        ComputeDiagnostics(Levels({{0, {0.1, 0.2}}, {1, {1.0, 1.1}}, {2, {2.2, 2.0}}}), {});
    EXPECT_TRUE(d.levels[0].xCalc);
    EXPECT_FALSE(d.levels[0].recovery);
    EXPECT_TRUE(Has(d.levels[0].reason, "x = 0"));
    EXPECT_TRUE(d.levels[1].recovery && d.levels[2].recovery);
    EXPECT_TRUE(d.din.xBG);
}

TEST(DiagnosticsEdgeTest, DecreasingCurveMirrorsTheIncreasingOne) {
    // y → −y: the same amounts, ICH's included, and the opposite decision level.
    CalibrationData up = ReadCsv("cadmium_epa1997.csv"), down = up;
    for (CalibrationLevel& level : down.levels)
        for (double& y : level.responses)
            y = -y;
    const Diagnostics u = ComputeDiagnostics(up, {}), d = ComputeDiagnostics(down, {});
    ASSERT_TRUE(*d.line.b < 0);
    EXPECT_NEAR(*d.din.xNG, *u.din.xNG, 1e-12);
    EXPECT_NEAR(*d.din.xBG, *u.din.xBG, 1e-12);
    EXPECT_NEAR(*d.hubauxVos.xD, *u.hubauxVos.xD, 1e-9);
    EXPECT_NEAR(*d.hubauxVos.yC, -*u.hubauxVos.yC, 1e-12);
    EXPECT_NEAR(*d.ichSyx.LD, *u.ichSyx.LD, 1e-12);
    EXPECT_NEAR(*d.ichSa.LC, *u.ichSa.LC, 1e-12);
    EXPECT_NEAR(*d.lackOfFit.F, *u.lackOfFit.F, 1e-9);
    EXPECT_NEAR(*d.levels[2].recovery, *u.levels[2].recovery, 1e-9);
    // The verdict takes the limits' magnitudes.
    StudyLimits limits;
    limits.LD = -7.0;
    limits.LC = -21.0;
    EXPECT_EQ(ReadSample(FitLine(down), limits, {-10.0}, 0.05).verdict, kBetweenLDAndLC);
}

TEST(DiagnosticsEdgeTest, EmptyLevelsAreLeftOutAndEqualQuantitiesPooled) {
    const Diagnostics empty =
        ComputeDiagnostics(Levels({{1, {1, 1.1}}, {2, {}}, {3, {3.1, 2.9}}, {4, {4.2, 3.9}}}), {});
    EXPECT_EQ(empty.levels[1].n, 0);
    EXPECT_TRUE(Has(empty.levels[1].reason, "no tiene réplicas"));
    EXPECT_EQ(empty.cochran.groups, 3);
    EXPECT_EQ(*empty.lackOfFit.dfLof, 1);
    EXPECT_EQ(empty.line.levels, 3);

    const Diagnostics pooled = ComputeDiagnostics(
        Levels({{1, {1, 1.1}}, {2, {2.1}}, {2, {1.9}}, {3, {3.1, 2.9}}, {4, {4.2, 3.9}}}), {});
    EXPECT_EQ(*pooled.lackOfFit.dfLof, 2);
    EXPECT_EQ(*pooled.lackOfFit.dfPe, 4);
}

TEST(DiagnosticsEdgeTest, LargeOffsetsLoseNothing) {
    // Centred sums: shifting x by 1e6 and y by 1e9 changes no statistic.
    const CalibrationData plain = ReadCsv("cadmium_epa1997.csv");
    CalibrationData shifted = plain;
    for (CalibrationLevel& level : shifted.levels) {
        level.x += 1e6;
        for (double& y : level.responses)
            y += 1e9;
    }
    const Diagnostics p = ComputeDiagnostics(plain, {}), s = ComputeDiagnostics(shifted, {});
    EXPECT_NEAR(*s.line.s / *p.line.s, 1, 1e-6);
    EXPECT_NEAR(*s.lackOfFit.F / *p.lackOfFit.F, 1, 1e-6);
    EXPECT_NEAR(*s.bartlett.chi2 / *p.bartlett.chi2, 1, 1e-6);
    EXPECT_NEAR(*s.mandel.PG / *p.mandel.PG, 1, 1e-4);
}

TEST(DiagnosticsEdgeTest, ExactLineAndExactParabola) {
    const Diagnostics line =
        ComputeDiagnostics(Levels({{1, {2, 2}}, {2, {4, 4}}, {3, {6, 6}}, {4, {8, 8}}}), {});
    EXPECT_EQ(*line.line.s, 0);
    EXPECT_TRUE(Has(line.residualReason, "s(y/x) es cero"));
    // The limits are not estimable (see limit_caveats_test.cpp); the points
    // are on a straight line, not merely on a parabola.
    EXPECT_FALSE(line.ichSyx.LD);
    EXPECT_FALSE(Has(line.mandel.reason, "parábola"));

    const Diagnostics parabola =
        ComputeDiagnostics(Levels({{1, {1}}, {2, {4}}, {3, {9}}, {4, {16}}, {5, {25}}}), {});
    EXPECT_EQ(*parabola.mandel.s2, 0);
    EXPECT_FALSE(parabola.mandel.PG);
}

TEST(DiagnosticsEdgeTest, OptionsOutOfRangeAreRefusedByName) {
    struct Case {
        DiagnosticOptions options;
        std::string message;
    };
    const Case cases[] = {
        {testing::Options(0, 0.01, 1, 3), "El valor de alfa debe ser mayor que 0 y menor que 0,5."},
        {testing::Options(0.5, 0.01, 1, 3),
         "El valor de alfa debe ser mayor que 0 y menor que 0,5."},
        {testing::Options(0.01, 0.7, 1, 3),
         "El valor de beta debe ser mayor que 0 y menor que 0,5."},
        {testing::Options(0.01, 0.01, 0, 3),
         "El valor de m debe ser un número entero de 1 a 1000."},
        {testing::Options(0.01, 0.01, 1, 0),
         "El valor de k debe ser mayor que 0 y no mayor que 100."},
        {testing::Options(0.05, 0.05, 3, 10), ""},
    };
    const CalibrationData data = ReadCsv("din32645_calibration.csv");
    for (const Case& c : cases) {
        EXPECT_EQ(CheckOptions(c.options, ','), c.message);
        const Diagnostics d = ComputeDiagnostics(data, c.options);
        EXPECT_EQ(d.din.xNG.has_value(), c.message.empty()) << c.message;
        EXPECT_EQ(d.hubauxVos.xD.has_value(), c.message.empty()) << c.message;
        EXPECT_TRUE(d.ichSyx.LD); // ICH takes no parameter
    }
}

TEST(DiagnosticsEdgeTest, MoreFutureReplicatesNarrowTheLimits) {
    const CalibrationData data = ReadCsv("din32645_calibration.csv");
    const Diagnostics one = ComputeDiagnostics(data, {}),
                      three = ComputeDiagnostics(data, testing::Options(0.01, 0.01, 3, 3));
    EXPECT_LT(*three.din.xNG, *one.din.xNG);
    EXPECT_LT(*three.hubauxVos.xD, *one.hubauxVos.xD);
    EXPECT_GT(*one.hubauxVos.xD, *one.hubauxVos.xC);
}

TEST(DiagnosticsEdgeTest, HundredThousandResponsesStayCheap) {
    // Ten levels of 10000 replicates, the most a study file holds, read from
    // the study's texts as the window and valdex-cli read them.
    std::vector<std::pair<std::string, std::string>> levels;
    std::vector<std::string> responses;
    for (int i = 1; i <= 10; ++i) {
        levels.push_back({std::to_string(i), "10000"});
        for (int j = 0; j < 10000; ++j)
            responses.push_back(std::to_string(2.0 * i + 0.001 * ((j * 7919) % 101 - 50)));
    }
    const CalibrationStudy study = testing::MakeStudy(levels, responses);
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const Diagnostics d = ComputeDiagnostics(study, {}, '.');
    const auto computed = Clock::now();
    const std::vector<std::string> lines = DiagnosticsLines(d, '.');
    const auto written = Clock::now();
    const double seconds = std::chrono::duration<double>(computed - start).count();
    std::cout << "[ 100000 respuestas: diagnósticos " << seconds << " s, texto "
              << std::chrono::duration<double>(written - computed).count() << " s ]\n";
    EXPECT_EQ(d.residuals.size(), 100000u);
    EXPECT_GT(lines.size(), 100000u);
    EXPECT_TRUE(d.lackOfFit.F && d.cochran.C && d.bartlett.chi2 && d.mandel.PG);
    EXPECT_TRUE(d.din.xBG && d.hubauxVos.xD && d.study.LD);
#if defined(NDEBUG) && !defined(__SANITIZE_ADDRESS__)
    EXPECT_LT(seconds, 0.5);
#endif
}

TEST(DiagnosticsStudyTest, StudiesAreReadAsTheCalculationReadsThem) {
    CalibrationStudy bad = testing::WorkedExample();
    bad.Responses[4].Response = "4;2";
    EXPECT_THROW(ComputeDiagnostics(bad, {}, '.'), ConversionError);
    EXPECT_NO_THROW(ComputeDiagnostics(testing::WorkedExample(), {}, '.'));

    CalibrationStudy oneLevel = testing::MakeStudy({{"1", "2"}}, {"1", "2"});
    try {
        ComputeDiagnostics(oneLevel, {}, '.');
        FAIL() << "a single level was accepted";
    } catch (const StudyError& error) {
        EXPECT_STREQ(error.what(), "Datos fuera de rango, 2-10 Número de Niveles");
    }

    CalibrationStudy negative = testing::WorkedExample();
    negative.Levels[1].ReplicateCount = "-1";
    EXPECT_THROW(ComputeDiagnostics(negative, {}, '.'), StudyError);

    // Counts of two billion over three responses: the first missing response
    // ends the reading at once, with no memory taken for the counts.
    CalibrationStudy huge = testing::MakeStudy({{"1", "1"}, {"2", "1"}}, {"1", "2", "3"});
    huge.Levels[0].ReplicateCount = "2147483647";
    huge.Levels[1].ReplicateCount = "2147483647";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(ComputeDiagnostics(huge, {}, '.'), ConversionError);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST(DiagnosticsStudyTest, StudyLimitsComeFromTheCalculationOrSayWhy) {
    EXPECT_TRUE(ComputeStudyLimits(testing::WorkedExample(), '.').LD);
    const StudyLimits intercept =
        ComputeStudyLimits(testing::WorkedExample("Ordenada al Origen"), '.');
    ASSERT_TRUE(intercept.LD);
    EXPECT_NEAR(*intercept.LD, 0.16884, 5e-6);

    const StudyLimits none = ComputeStudyLimits(testing::WorkedExample(""), '.');
    EXPECT_FALSE(none.LD);
    EXPECT_TRUE(Has(none.reason, "tipo de cálculo"));

    // Two points: the calculation stops; the diagnostics go on.
    const CalibrationStudy two = testing::MakeStudy({{"1", "1"}, {"2", "1"}}, {"1.0", "2.0"});
    const Diagnostics d = ComputeDiagnostics(two, {}, '.');
    EXPECT_FALSE(d.study.LD);
    EXPECT_TRUE(Has(d.study.reason, "Invalid floating point operation"));
    EXPECT_TRUE(d.line.b);
    EXPECT_EQ(d.residuals.size(), 2u);
}

TEST(DiagnosticsStudyTest, SampleVerdicts) {
    // Worked example: "Regresión" LD 0.238776, LC 0.723565; b ≈ 2.0233, a ≈ −0.0333.
    struct Case {
        std::vector<double> responses;
        std::string verdict;
    };
    const Case cases[] = {
        {{0.2}, kBelowLD}, {{0.9, 1.1}, kBetweenLDAndLC}, {{1.3}, kBetweenLDAndLC},
        {{1.5}, kAboveLC}, {{1.4, 1.5, 1.6}, kAboveLC},   {{6.0}, kAboveLC},
    };
    for (const Case& c : cases) {
        const SampleReading r = ReadSample(testing::WorkedExample(), c.responses, 0.05, '.');
        EXPECT_EQ(r.verdict, c.verdict) << c.responses.front();
        EXPECT_EQ(r.m, static_cast<int>(c.responses.size()));
        ASSERT_TRUE(r.x && r.lower && r.upper);
        EXPECT_LT(*r.lower, *r.x);
        EXPECT_GT(*r.upper, *r.x);
    }
    // More replicates of the sample, a narrower interval.
    EXPECT_LT(*ReadSample(testing::WorkedExample(), {4, 4, 4}, 0.05, '.').halfWidth,
              *ReadSample(testing::WorkedExample(), {4}, 0.05, '.').halfWidth);

    const SampleReading noType = ReadSample(testing::WorkedExample(""), {4}, 0.05, '.');
    EXPECT_TRUE(noType.x);
    EXPECT_EQ(noType.verdict, "");
    EXPECT_TRUE(Has(noType.reason, "tipo de cálculo"));

    const SampleReading empty = ReadSample(testing::WorkedExample(), {}, 0.05, '.');
    EXPECT_FALSE(empty.x);
    EXPECT_EQ(empty.reason, "La muestra no tiene respuestas.");
}

} // namespace
} // namespace valdex
