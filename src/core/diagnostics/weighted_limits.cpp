// The weighted line described: intervals, residuals, back-calculated
// standards, σ₀ = s(0) and the limits and readings under the weights.

#include "diagnostics/diagnostics_parts.h"
#include "diagnostics/distributions.h"
#include "diagnostics/shapiro_wilk.h"
#include "diagnostics/weighting.h"

#include <boost/math/tools/roots.hpp>

#include <cmath>
#include <cstdint>

namespace valdex {

using namespace parts;

namespace {

// √(1/(m·w(x)) + 1/Σw + (x − x̄_w)²/S_xx,w): the weighted prediction band's
// shape; nothing where w(x) is not defined.
std::optional<long double> Band(const WeightedFit& fit, int m, long double x, std::string& why) {
    const std::optional<long double> w = fit.model.At(x, why);
    if (!w) return std::nullopt;
    const long double d = x - fit.meanX;
    return std::sqrt(1 / (m * *w) + 1 / fit.sumW + d * d / fit.sxx);
}

// The root of f on (0, ∞) where f starts below zero: halving start until f
// is negative there, doubling until it is positive, then TOMS 748. Nothing when f never turns
// positive or is undefined.
template <class F> std::optional<long double> RootAbove(F f, long double start) {
    long double low = start;
    for (int step = 0;; ++step) { // a start where f is below zero
        const std::optional<long double> v = f(low);
        if (!v || step > 16000) return std::nullopt;
        if (*v < 0) break;
        low /= 2;
    }
    long double high = 2 * low;
    for (int step = 0;; ++step) {
        const std::optional<long double> v = f(high);
        if (!v) return std::nullopt;
        if (*v > 0) break;
        if (step > 16000) return std::nullopt;
        low = high;
        high *= 2;
    }
    auto g = [&](long double x) { return f(x).value_or(NAN); };
    std::uintmax_t iterations = 400;
    const auto [lower, upper] = boost::math::tools::toms748_solve(
        g, low, high, boost::math::tools::eps_tolerance<long double>(), iterations);
    return (lower + upper) / 2;
}

void Limits(const WeightedFit& fit, const DiagnosticOptions& options, WeightedLine& out) {
    std::string& why = out.limitsReason;
    if (!fit.hasLine || !fit.hasS) return AddReason(why, fit.reason);
    if (fit.b == 0)
        return AddReason(why, "La pendiente es cero: no hay cantidades calculadas ni límites.");
    if (fit.sw == 0) return AddReason(why, "No estimable (s = 0).");
    if (!CheckOptions(options, '.').empty())
        return AddReason(why, "Los parámetros alfa, beta, m o k están fuera de intervalo.");
    const long double slope = std::fabs(fit.b);
    const std::optional<long double> w0 = fit.model.At(0, why);
    if (w0) {
        const long double sigma0 = fit.sw / std::sqrt(*w0);
        Put(out.sigma0, sigma0, why);
        Put(out.LD, 3.3L * sigma0 / slope, why);
        Put(out.LC, 10 * sigma0 / slope, why);
        out.ichIntervals = ChiSquaredIntervals(out.LD, out.LC, fit.N - 2);
    } else {
        out.ichIntervals.reason = why;
    }
    const int df = fit.N - 2, m = options.m;
    const long double tAlpha = TQuantile(1 - options.alpha, df);
    const long double tBeta = TQuantile(1 - options.beta, df);
    const long double sx0 = fit.sw / slope;
    const std::optional<long double> band0 = Band(fit, m, 0, why);
    if (band0) {
        Put(out.xNG, sx0 * tAlpha * *band0, why);
        Put(out.xEG, sx0 * (tAlpha + tBeta) * *band0, why);
        const long double d = tAlpha * fit.sw * *band0;
        Put(out.yC, fit.a + (fit.b > 0 ? d : -d), why);
        Put(out.xC, d / slope, why);
        std::string bandWhy;
        const std::optional<long double> xD = RootAbove(
            [&](long double x) -> std::optional<long double> {
                const auto band = Band(fit, m, x, bandWhy);
                if (!band) return std::nullopt;
                return slope * x - tBeta * fit.sw * *band - d;
            },
            d / slope);
        if (xD)
            Put(out.xD, *xD, why);
        else
            AddReason(why, bandWhy.empty() ? "x_D no existe: la banda de predicción inferior no "
                                             "alcanza y_C."
                                           : bandWhy);
    }
    // x_BG = k·s_x0·t(1 − α/2)·band(x_BG), from below: the distance
    // x − K·band(x) is negative near zero.
    const long double K = options.k * sx0 * TQuantile(1 - options.alpha / 2, df);
    std::string bandWhy;
    const std::optional<long double> xBG = RootAbove(
        [&](long double x) -> std::optional<long double> {
            const auto band = Band(fit, m, x, bandWhy);
            if (!band) return std::nullopt;
            return x - K * *band;
        },
        1e-6L * K * Band(fit, m, fit.meanX, bandWhy).value_or(1));
    if (xBG)
        Put(out.xBG, *xBG, why);
    else
        AddReason(why, bandWhy.empty() ? "x_BG no tiene solución con estos pesos." : bandWhy);
}

void Standards(const CalibrationData& data, const WeightedFit& fit, WeightedLine& out) {
    long double sum = 0;
    bool any = false;
    for (std::size_t i = 0; i < data.levels.size(); ++i) {
        const CalibrationLevel& level = data.levels[i];
        WeightedLevel row;
        row.x = level.x;
        if (!level.responses.empty()) {
            const auto& w = fit.model.responseWeights[i];
            bool shared = true;
            for (long double v : w)
                shared = shared && v == w.front();
            if (shared) row.weight = Finite(w.front());
            if (fit.b != 0) {
                const long double xCalc = (Moments(level.responses).mean - fit.a) / fit.b;
                row.xCalc = Finite(xCalc);
                if (level.x != 0) {
                    const long double re = 100 * (xCalc - level.x) / level.x;
                    row.relativeError = Finite(re);
                    sum += std::fabs(re);
                    any = true;
                }
            }
        }
        out.levels.push_back(row);
    }
    if (any) out.sumAbsRE = Finite(sum);
}

} // namespace

Value SumAbsRelativeError(const CalibrationData& data, const WeightedFit& fit) {
    WeightedLine line;
    if (fit.hasLine) Standards(data, fit, line);
    return line.sumAbsRE;
}

IchIntervals ChiSquaredIntervals(Value LD, Value LC, int df) {
    IchIntervals out;
    out.df = df;
    if (df < 1) {
        out.reason = "No calculado: s no tiene grados de libertad.";
        return out;
    }
    const long double low = std::sqrt(df / ChiSquaredQuantile(0.975L, df));
    const long double high = std::sqrt(df / ChiSquaredQuantile(0.025L, df));
    auto put = [&](const Value& limit, LimitInterval& into) {
        into.value = limit;
        if (!limit) return;
        Put(into.lower, low * *limit, out.reason);
        Put(into.upper, high * *limit, out.reason);
    };
    put(LD, out.LD);
    put(LC, out.LC);
    return out;
}

WeightedLine DescribeWeighted(const CalibrationData& data, const WeightedFit& fit,
                              const DiagnosticOptions& options) {
    WeightedLine out;
    out.scheme = fit.model.scheme;
    out.N = fit.N;
    out.df = fit.N - 2;
    out.reason = fit.reason;
    if (fit.model.scheme == WeightScheme::VarianceFunction && fit.model.Usable()) {
        out.c0 = Finite(fit.model.c0);
        out.c1 = Finite(fit.model.c1);
    }
    if (!fit.hasLine) return out;
    Put(out.a, fit.a, out.reason);
    Put(out.b, fit.b, out.reason);
    Put(out.sumW, fit.sumW, out.reason);
    Put(out.meanXw, fit.meanX, out.reason);
    Put(out.meanYw, fit.meanY, out.reason);
    Put(out.sxxw, fit.sxx, out.reason);
    if (fit.syy > 0) Put(out.r2, 1 - fit.ssRes / fit.syy, out.reason);
    std::vector<double> scaled;
    for (std::size_t i = 0; i < data.levels.size(); ++i)
        for (std::size_t j = 0; j < data.levels[i].responses.size(); ++j) {
            const long double e =
                (data.levels[i].responses[j] - fit.meanY) - fit.b * (data.levels[i].x - fit.meanX);
            const long double r = std::sqrt(fit.model.responseWeights[i][j]) * e;
            out.rawResiduals.push_back(Finite(e));
            out.residuals.push_back(Finite(r));
            if (out.residuals.back()) scaled.push_back(*out.residuals.back());
        }
    Standards(data, fit, out);
    if (fit.hasS) {
        Put(out.sw, fit.sw, out.reason);
        const long double sb = fit.sw / std::sqrt(fit.sxx);
        const long double sa = fit.sw * std::sqrt(1 / fit.sumW + fit.meanX * fit.meanX / fit.sxx);
        Put(out.sb, sb, out.reason);
        Put(out.sa, sa, out.reason);
        try {
            const long double t = TQuantile(0.975L, fit.N - 2);
            Put(out.bLower, fit.b - t * sb, out.reason);
            Put(out.bUpper, fit.b + t * sb, out.reason);
            Put(out.aLower, fit.a - t * sa, out.reason);
            Put(out.aUpper, fit.a + t * sa, out.reason);
            Limits(fit, options, out);
        } catch (const std::exception&) {
            AddReason(out.limitsReason, kNumericFailure);
        }
    } else {
        out.limitsReason = fit.reason;
    }
    out.shapiroWilk = ShapiroWilk(scaled);
    return out;
}

WeightedLine ComputeWeighted(const CalibrationData& data, WeightScheme scheme,
                             const std::vector<double>& explicitWeights,
                             const DiagnosticOptions& options) {
    return DescribeWeighted(data, FitWeighted(data, BuildWeights(data, scheme, explicitWeights)),
                            options);
}

SampleReading ReadWeightedSample(const WeightedFit& fit, const StudyLimits& limits,
                                 const std::vector<double>& responses, double alpha,
                                 std::optional<double> sampleWeight) {
    SampleReading reading;
    reading.m = static_cast<int>(responses.size());
    reading.alpha = alpha;
    reading.limits = limits;
    if (responses.empty()) {
        reading.reason = "La muestra no tiene respuestas.";
        return reading;
    }
    const SampleMoments moments = Moments(responses);
    Put(reading.mean, moments.mean, reading.reason);
    if (!fit.hasLine || fit.b == 0) {
        AddReason(reading.reason, fit.hasLine ? "La pendiente es cero: no hay cantidades "
                                                "calculadas."
                                              : fit.reason);
        return reading;
    }
    const long double x = (moments.mean - fit.a) / fit.b;
    Put(reading.x, x, reading.reason);
    if (!reading.x) return reading;
    if (!fit.hasS) {
        AddReason(reading.reason, fit.reason);
        return reading;
    }
    if (!(alpha > 0 && alpha < 0.5)) {
        AddReason(reading.reason, "El valor de alfa está fuera de intervalo: no hay intervalo.");
        return reading;
    }
    std::optional<long double> w0;
    if (sampleWeight) {
        if (std::isfinite(*sampleWeight) && *sampleWeight > 0)
            w0 = *sampleWeight;
        else
            AddReason(reading.reason, "El peso de la muestra no es un número finito y positivo.");
    } else {
        std::string why;
        w0 = fit.model.At(x, why);
        AddReason(reading.reason, why);
    }
    if (w0) {
        try {
            const long double t = TQuantile(1 - alpha / 2.0L, fit.N - 2);
            const long double d = moments.mean - fit.meanY;
            const long double h =
                t * fit.sw / std::fabs(fit.b) *
                std::sqrt(1 / (reading.m * *w0) + 1 / fit.sumW + d * d / (fit.b * fit.b * fit.sxx));
            Put(reading.halfWidth, h, reading.reason);
            Put(reading.standardError, h / t, reading.reason);
            Put(reading.lower, x - h, reading.reason);
            Put(reading.upper, x + h, reading.reason);
        } catch (const std::exception&) {
            AddReason(reading.reason, kNumericFailure);
        }
    }
    reading.xLowest = fit.xMin;
    reading.xHighest = fit.xMax;
    JudgeSample(reading);
    return reading;
}

} // namespace valdex

namespace valdex {

SampleReading ReadWeightedSample(const CalibrationStudy& study, WeightScheme scheme,
                                 const std::vector<double>& explicitWeights,
                                 const std::vector<double>& responses, double alpha,
                                 std::optional<double> sampleWeight, char sep) {
    const CalibrationData data = ReadCalibrationData(study, sep);
    const WeightedFit fit = FitWeighted(data, BuildWeights(data, scheme, explicitWeights));
    const WeightedLine line = DescribeWeighted(data, fit, {});
    StudyLimits limits;
    limits.calculationType = std::string("recta ponderada, peso ") + WeightName(scheme);
    limits.LD = line.LD;
    limits.LC = line.LC;
    limits.reason = line.reason.empty() ? line.limitsReason : line.reason;
    SampleReading reading = ReadWeightedSample(fit, limits, responses, alpha, sampleWeight);
    reading.units = study.AddedQuantityUnits;
    return reading;
}

} // namespace valdex
