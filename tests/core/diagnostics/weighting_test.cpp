// The weighted line: constant weights give the ordinary line, the results do
// not depend on the units of x or the scale of the weights, and Massart's
// weighted example (Handbook of Chemometrics and Qualimetrics A, 1997, ch. 8).

#include "diagnostics/diagnostics.h"
#include "diagnostics/weighting.h"
#include "diagnostics_test_support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace valdex {
namespace {

using testing::ReadCsv;

void ExpectRelative(const Value& got, const Value& want, double tolerance, const char* what) {
    ASSERT_EQ(got.has_value(), want.has_value()) << what;
    if (!got) return;
    EXPECT_LE(std::fabs(*got - *want), tolerance * std::fabs(*want)) << what;
}

TEST(WeightingTest, ConstantWeightsGiveTheOrdinaryResults) {
    for (const char* file : {"cadmium_epa1997.csv", "din32645_calibration.csv", "massart97ex3.csv"})
        for (double c : {1.0, 0.37, 2.5e6}) {
            SCOPED_TRACE(std::string(file) + " w = " + std::to_string(c));
            const CalibrationData data = ReadCsv(file);
            const Diagnostics d = ComputeDiagnostics(data, {});
            DiagnosticOptions options;
            options.weighting = WeightScheme::Explicit;
            options.levelWeights.assign(data.levels.size(), c);
            const WeightedLine w =
                ComputeWeighted(data, options.weighting, options.levelWeights, options);
            ASSERT_TRUE(w.reason.empty() && w.limitsReason.empty()) << w.reason << w.limitsReason;
            ExpectRelative(w.a, d.line.a, 1e-12, "a");
            ExpectRelative(w.b, d.line.b, 1e-12, "b");
            ExpectRelative(w.sigma0, d.line.s, 1e-12, "sigma0");
            ExpectRelative(w.sa, d.line.sa, 1e-12, "s_a");
            ExpectRelative(w.LD, d.ichSyx.LD, 1e-12, "LD");
            ExpectRelative(w.LC, d.ichSyx.LC, 1e-12, "LC");
            ExpectRelative(w.xNG, d.din.xNG, 1e-12, "x_NG");
            ExpectRelative(w.xEG, d.din.xEG, 1e-12, "x_EG");
            ExpectRelative(w.xBG, d.din.xBG, 1e-12, "x_BG");
            ExpectRelative(w.yC, d.hubauxVos.yC, 1e-12, "y_C");
            ExpectRelative(w.xD, d.hubauxVos.xD, 1e-12, "x_D");
            const WeightedFit fit =
                FitWeighted(data, BuildWeights(data, options.weighting, options.levelWeights));
            const double y0 = *d.line.a + *d.line.b * data.levels[1].x * 1.3;
            const SampleReading r = ReadWeightedSample(fit, {}, {y0, y0 * 1.01}, 0.05, c);
            const SampleReading u = ReadSample(FitLine(data), {}, {y0, y0 * 1.01}, 0.05);
            ExpectRelative(r.x, u.x, 1e-12, "x");
            ExpectRelative(r.halfWidth, u.halfWidth, 1e-12, "half-width");
        }
}

CalibrationData Scaled(CalibrationData data, double factor) {
    for (CalibrationLevel& level : data.levels)
        level.x *= factor;
    return data;
}

struct Outcome {
    WeightedLine line;
    SampleReading reading;
};

// Every amount of the weighted line, and a reading halfway up the range.
Outcome Evaluate(const CalibrationData& data, WeightScheme scheme, double weightScale,
                 std::vector<double> explicitWeights) {
    WeightModel model = BuildWeights(data, scheme, explicitWeights);
    EXPECT_TRUE(model.Usable()) << model.reason;
    for (auto& level : model.responseWeights)
        for (long double& w : level)
            w *= weightScale;
    model.scale = weightScale;
    const WeightedFit fit = FitWeighted(data, model);
    Outcome out{DescribeWeighted(data, fit, {}), {}};
    const double y0 = fit.a + fit.b * (data.levels.front().x + data.levels.back().x) / 2;
    std::string why;
    std::optional<double> w0;
    if (!fit.model.At((y0 - fit.a) / fit.b, why))
        w0 = static_cast<double>(fit.model.responseWeights.back().front());
    out.reading = ReadWeightedSample(fit, {}, {y0}, 0.05, w0);
    return out;
}

TEST(WeightingTest, UnitsOfXAndScaleOfTheWeightsChangeNothing) {
    struct Case {
        const char* file;
        WeightScheme scheme;
        std::vector<double> weights;
    };
    const std::vector<Case> cases = {
        {"cadmium_epa1997.csv", WeightScheme::None, {}},
        {"din32645_calibration.csv", WeightScheme::InverseX, {}},
        {"din32645_calibration.csv", WeightScheme::InverseX2, {}},
        {"cadmium_epa1997.csv", WeightScheme::InverseY, {}},
        {"cadmium_epa1997.csv", WeightScheme::InverseY2, {}},
        {"cadmium_epa1997.csv", WeightScheme::InverseVariance, {}},
        {"cadmium_epa1997.csv", WeightScheme::VarianceFunction, {}},
        {"massart97ex3.csv", WeightScheme::VarianceFunction, {}},
        {"massart97ex3.csv", WeightScheme::Explicit, {2, 1.429, 1.25, 0.37, 0.2, 0.109}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + WeightName(c.scheme));
        const CalibrationData data = ReadCsv(c.file);
        const Outcome base = Evaluate(data, c.scheme, 1, c.weights);
        ASSERT_TRUE(base.line.reason.empty()) << base.line.reason;
        ASSERT_TRUE(base.reading.halfWidth) << base.reading.reason;
        for (double factor : {1000.0, 1e-3, 1e9}) {
            // 1/x and 1/x² change by a constant with the units; the rest not at all.
            const Outcome units = Evaluate(Scaled(data, factor), c.scheme, 1, c.weights);
            const Outcome weights = Evaluate(data, c.scheme, factor * 7.3, c.weights);
            for (const auto& [o, f] : {std::pair{&units, factor}, std::pair{&weights, 1.0}}) {
                const WeightedLine& l = o->line;
                const WeightedLine& b = base.line;
                auto times = [f](const Value& v) { return v ? Value(*v * f) : v; };
                ExpectRelative(l.LD, times(b.LD), 1e-9, "LD");
                ExpectRelative(l.LC, times(b.LC), 1e-9, "LC");
                ExpectRelative(l.xNG, times(b.xNG), 1e-9, "x_NG");
                ExpectRelative(l.xEG, times(b.xEG), 1e-9, "x_EG");
                ExpectRelative(l.xBG, times(b.xBG), 1e-9, "x_BG");
                ExpectRelative(l.xC, times(b.xC), 1e-9, "x_C");
                ExpectRelative(l.xD, times(b.xD), 1e-9, "x_D");
                ExpectRelative(l.sigma0, b.sigma0, 1e-9, "sigma0");
                ExpectRelative(l.sumAbsRE, b.sumAbsRE, 1e-9, "sum |%RE|");
                ExpectRelative(o->reading.x, times(base.reading.x), 1e-9, "x");
                ExpectRelative(o->reading.halfWidth, times(base.reading.halfWidth), 1e-9, "h");
            }
        }
    }
}

TEST(WeightingTest, MassartsWeightedReadings) {
    // Fitted on the six level means with the book's weights round(1/s², 3);
    // to more digits with the book's formula 5.87 ± 2.48 and 44.07 ± 7.86
    // (the book prints 5.9 ± 2.5 and 44.1 ± 7.9).
    const CalibrationData replicates = ReadCsv("massart97ex3.csv");
    CalibrationData means;
    for (const CalibrationLevel& level : replicates.levels)
        means.levels.push_back({level.x, {static_cast<double>(Moments(level.responses).mean)}});
    const std::vector<double> w = {2.000, 1.429, 1.250, 0.370, 0.200, 0.109};
    const WeightedFit fit = FitWeighted(means, BuildWeights(means, WeightScheme::Explicit, w));
    struct Reading {
        double y0, w0, x, h;
    };
    for (const Reading& r : {Reading{15, 1.67, 5.87, 2.48}, Reading{90, 0.145, 44.07, 7.86}}) {
        const SampleReading s = ReadWeightedSample(fit, {}, {r.y0}, 0.05, r.w0);
        ASSERT_TRUE(s.x && s.halfWidth) << s.reason;
        EXPECT_NEAR(*s.x, r.x, 0.005);
        EXPECT_NEAR(*s.halfWidth, r.h, 0.005);
    }
    // The book's weights are 1/s² rounded: 1/s² itself is the same to 3 decimals.
    const WeightModel own = BuildWeights(replicates, WeightScheme::InverseVariance, {});
    for (std::size_t i = 0; i < w.size(); ++i)
        EXPECT_NEAR(own.levelWeight[i], w[i], 0.0005);
}

TEST(WeightingTest, WeightsThatCannotBeUsedSayWhy) {
    struct Case {
        const char* file;
        WeightScheme scheme;
        std::vector<double> weights;
        const char* reason;
    };
    for (const Case& c : std::vector<Case>{
             {"cadmium_epa1997.csv",
              WeightScheme::InverseX,
              {},
              "El peso 1/x no está definido en el nivel 1 (x = 0"},
             {"massart97ex3.csv",
              WeightScheme::InverseX2,
              {},
              "El peso 1/x2 no está definido en el nivel 1 (x = 0"},
             {"din32645_calibration.csv",
              WeightScheme::InverseVariance,
              {},
              "al menos dos réplicas"},
             {"din32645_calibration.csv",
              WeightScheme::VarianceFunction,
              {},
              "al menos dos réplicas"},
             {"massart97ex3.csv",
              WeightScheme::Explicit,
              {1, 2},
              "Se dieron 2 pesos para 6 niveles"},
             {"massart97ex3.csv",
              WeightScheme::Explicit,
              {1, 1, 1, 0, 1, 1},
              "nivel 4 no es un número finito"},
         }) {
        const WeightedLine line = ComputeWeighted(ReadCsv(c.file), c.scheme, c.weights, {});
        EXPECT_NE(line.reason.find(c.reason), std::string::npos) << line.reason;
        EXPECT_FALSE(line.a || line.LD || line.xNG);
    }
    // With 1/s² the weight at x = 0 is the blank level's, so σ₀ exists; a
    // sample above the top level needs its weight given.
    const CalibrationData cadmium = ReadCsv("cadmium_epa1997.csv");
    const WeightedFit fit =
        FitWeighted(cadmium, BuildWeights(cadmium, WeightScheme::InverseVariance, {}));
    EXPECT_TRUE(DescribeWeighted(cadmium, fit, {}).LD);
    const SampleReading r = ReadWeightedSample(fit, {}, {200}, 0.05, std::nullopt);
    EXPECT_TRUE(r.x);
    EXPECT_FALSE(r.halfWidth);
    EXPECT_NE(r.reason.find("fuera del intervalo de los niveles"), std::string::npos) << r.reason;
}

} // namespace
} // namespace valdex
