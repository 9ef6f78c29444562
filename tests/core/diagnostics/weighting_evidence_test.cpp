// The evidence about the variances and the weights against published
// examples: the end levels' F on the cadmium data, Shapiro–Wilk as R prints
// it, the recommendation, and DIN 32645's blank method.

#include "diagnostics/diagnostics.h"
#include "diagnostics/shapiro_wilk.h"
#include "diagnostics/weighting.h"
#include "diagnostics/weighting_evidence.h"
#include "diagnostics_test_support.h"
#include "files/study_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace valdex {
namespace {

using testing::ReadCsv;

TEST(WeightingEvidenceTest, ShapiroWilkAsRPrintsItForPublishedData) {
    std::ifstream in(std::string(VALDEX_SOURCE_DIR) +
                     "/tests/core/diagnostics/data/shapiro_wilk_published.txt");
    ASSERT_TRUE(in);
    std::string line;
    int cases = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string name, W, p, values;
        std::getline(fields, name, ';');
        std::getline(fields, W, ';');
        std::getline(fields, p, ';');
        std::getline(fields, values);
        std::istringstream numbers(values);
        std::vector<double> x;
        for (double v; numbers >> v;)
            x.push_back(v);
        const ShapiroWilkTest t = ShapiroWilk(x);
        ASSERT_TRUE(t.W && t.p) << name << ": " << t.reason;
        // R prints five significant digits of W and four of p.
        EXPECT_NEAR(*t.W, std::stod(W), 5e-6) << name;
        EXPECT_NEAR(*t.p, std::stod(p), 0.5 * std::stod(p) * 1e-3) << name;
        ++cases;
    }
    EXPECT_EQ(cases, 3);
    for (std::size_t n : {0u, 2u, 5001u}) {
        const ShapiroWilkTest t = ShapiroWilk(std::vector<double>(n, 1.5));
        EXPECT_FALSE(t.W);
        EXPECT_NE(t.reason.find("requiere de 3 a 5000 residuos"), std::string::npos);
    }
    EXPECT_NE(ShapiroWilk({2, 2, 2, 2}).reason.find("todos los residuos son iguales"),
              std::string::npos);
}

Diagnostics OfBundledExample() {
    const CalibrationStudy study =
        ReadStudyFile(std::string(VALDEX_SOURCE_DIR) + "/ejemplos/curva-ejemplo.w8c");
    return ComputeDiagnostics(study, {}, '.');
}

TEST(WeightingEvidenceTest, CadmiumCallsForWeightsAndTheBundledExampleDoesNot) {
    // EPA 1997 cadmium: the top level's variance is 47 times the blank's,
    // against F(0.99; 6, 6) = 8.47.
    const Diagnostics cadmium = ComputeDiagnostics(ReadCsv("cadmium_epa1997.csv"), {});
    const EndLevelsFTest& f = cadmium.endLevelsF;
    ASSERT_TRUE(f.F && f.fCritical) << f.reason;
    EXPECT_NEAR(*f.F, 47, 0.5);
    EXPECT_NEAR(*f.fCritical, 8.47, 0.005);
    EXPECT_EQ(f.dfNumerator, 6);
    EXPECT_TRUE(f.significant);
    const WeightRecommendation& r = cadmium.weightRecommendation;
    EXPECT_TRUE(r.weight);
    EXPECT_EQ(r.text.rfind("Se recomienda ponderar", 0), 0u) << r.text;
    EXPECT_NE(r.text.find("Tellinghuisen"), std::string::npos);
    ASSERT_GE(r.ranked.size(), 2u);
    EXPECT_EQ(r.ranked[0], WeightScheme::VarianceFunction);
    EXPECT_EQ(r.ranked[1], WeightScheme::InverseVariance);
    for (WeightScheme refused : {WeightScheme::InverseX, WeightScheme::InverseX2})
        EXPECT_EQ(std::count(r.ranked.begin(), r.ranked.end(), refused), 0);

    const Diagnostics example = OfBundledExample();
    EXPECT_FALSE(example.endLevelsF.significant);
    EXPECT_FALSE(example.weightRecommendation.weight);
    EXPECT_EQ(example.weightRecommendation.text.rfind("No se recomienda ponderar", 0), 0u);
}

TEST(WeightingEvidenceTest, BlankMethodAsDin32645Publishes) {
    // envalysis' tests of the DIN 32645 blank method (α = 0.01, m = 1): LOD
    // 0.053 with the 95 % interval [0.036, 0.096].
    std::ifstream in(std::string(VALDEX_SOURCE_DIR) +
                     "/tests/core/diagnostics/data/din32645_blanks.csv");
    std::string header;
    std::getline(in, header);
    DiagnosticOptions options;
    for (double v; in >> v;)
        options.blanks.push_back(v);
    ASSERT_EQ(options.blanks.size(), 10u);
    const Diagnostics d = ComputeDiagnostics(ReadCsv("din32645_calibration.csv"), options);
    const BlankMethod& b = d.blank;
    ASSERT_TRUE(b.xNG && b.xEG && b.xBG && b.LD && b.LC) << b.reason;
    EXPECT_FALSE(b.fromStudy);
    EXPECT_NEAR(*b.xNG, 0.053, 0.0005);
    EXPECT_NEAR(*b.xNGInterval.lower, 0.036, 0.0005);
    EXPECT_NEAR(*b.xNGInterval.upper, 0.096, 0.0005);
    EXPECT_NEAR(*b.xEG, 2 * *b.xNG, 1e-12); // α = β
    EXPECT_NEAR(*b.LC / *b.LD, 10 / 3.3, 1e-12);
    // The LOQ published beside it, 0.212 [0.146, 0.387], is the calibration
    // method's x_BG (0.2121 in Dintest) with the χ² interval of the blanks'
    // ν = 9; the blank method's own x_BG leaves out the calibration's band
    // at x_BG and is smaller.
    ASSERT_TRUE(d.din.xBG);
    EXPECT_NEAR(*d.din.xBG, 0.212, 0.0005);
    const IchIntervals published = ChiSquaredIntervals(*d.din.xBG, *d.din.xBG, b.n - 1);
    EXPECT_NEAR(*published.LD.lower, 0.146, 0.0005);
    EXPECT_NEAR(*published.LD.upper, 0.387, 0.0005);
    EXPECT_LT(*b.xBG, *d.din.xBG);

    // Without blanks, the study's level at x = 0; without one, the reason.
    const Diagnostics cadmium = ComputeDiagnostics(ReadCsv("cadmium_epa1997.csv"), {});
    EXPECT_TRUE(cadmium.blank.fromStudy);
    EXPECT_EQ(cadmium.blank.n, 7);
    EXPECT_TRUE(cadmium.blank.LD);
    EXPECT_NE(ComputeDiagnostics(ReadCsv("din32645_calibration.csv"), {})
                  .blank.reason.find("no tiene un nivel en x = 0"),
              std::string::npos);
}

TEST(WeightingEvidenceTest, ChiSquaredIntervalOfTheLimits) {
    // ν = 9: √(9/19.023) = 0.6878 and √(9/2.700) = 1.8256 (χ² table).
    const IchIntervals i = ChiSquaredIntervals(1.0, 2.0, 9);
    EXPECT_NEAR(*i.LD.lower, 0.6878, 0.00005);
    EXPECT_NEAR(*i.LD.upper, 1.8256, 0.00005);
    EXPECT_NEAR(*i.LC.upper, 2 * 1.8256, 0.0001);
    EXPECT_FALSE(ChiSquaredIntervals(1.0, 2.0, 0).LD.lower);
}

} // namespace
} // namespace valdex
