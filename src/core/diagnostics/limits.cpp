// Detection and quantification limits beside the ICH ones: DIN 32645
// (calibration method) and Hubaux–Vos. Quantities are amounts of x, positive
// for an increasing and a decreasing calibration alike.

#include "diagnostics/diagnostics_parts.h"
#include "diagnostics/distributions.h"

#include <boost/math/tools/roots.hpp>

#include <cfloat>
#include <cmath>
#include <cstdint>

namespace valdex::parts {

namespace {

// √(1/m + 1/N + (x − x̄)²/Q_x): the prediction band's shape.
long double BandWidth(const LineFit& line, int m, long double x) {
    const long double d = x - line.meanX;
    return std::sqrt(1.0L / m + 1.0L / line.N + d * d / line.qx);
}

std::string Unusable(const LineFit& line, const DiagnosticOptions& options) {
    std::string why = LimitsUnavailable(line);
    if (why.empty() && !CheckOptions(options, '.').empty())
        why = "Los parámetros alfa, beta, m o k están fuera de intervalo.";
    return why;
}

} // namespace

std::string SlopeUnavailable(const LineFit& line) {
    if (!line.hasLine) return line.reason;
    if (line.b == 0) return "La pendiente es cero: no hay cantidades calculadas ni límites.";
    return "";
}

std::string LimitsUnavailable(const LineFit& line) {
    const std::string noSlope = SlopeUnavailable(line);
    if (!noSlope.empty()) return noSlope;
    if (!line.hasS) return line.reason;
    if (line.s == 0) return kNotEstimable;
    return "";
}

IchLimits Ich(const LineFit& line, bool interceptSD) {
    IchLimits limits;
    limits.reason = LimitsUnavailable(line);
    if (!limits.reason.empty()) return limits;
    // As the results window: amounts, positive for a decreasing curve too.
    const long double sd = interceptSD ? line.InterceptSD() : line.s;
    Put(limits.LD, 3.3L * sd / std::fabs(line.b), limits.reason);
    Put(limits.LC, 10 * sd / std::fabs(line.b), limits.reason);
    return limits;
}

DinLimits Din(const LineFit& line, const DiagnosticOptions& options) {
    DinLimits limits;
    limits.reason = Unusable(line, options);
    if (!limits.reason.empty()) return limits;
    const int df = line.N - 2;
    const long double sx0 = line.s / std::fabs(line.b);
    const long double tAlpha = TQuantile(1 - options.alpha, df);
    const long double tBeta = TQuantile(1 - options.beta, df);
    const long double w0 = BandWidth(line, options.m, 0);
    Put(limits.xNG, sx0 * tAlpha * w0, limits.reason);
    // 2·x_NG when α = β.
    Put(limits.xEG, sx0 * (tAlpha + tBeta) * w0, limits.reason);
    // x_BG = k·s_x0·t(1 − α/2)·w(x_BG), iterated from k·x_NG; it contracts
    // exactly when K/√Q_x < 1, which is also when a solution exists.
    const long double K = options.k * sx0 * TQuantile(1 - options.alpha / 2, df);
    if (K >= std::sqrt(line.qx)) {
        AddReason(limits.reason, "x_BG no tiene solución: la dispersión es demasiado grande "
                                 "frente a la pendiente y el intervalo de x.");
        return limits;
    }
    long double x = options.k * sx0 * tAlpha * w0;
    for (int step = 0; step < 1000000; ++step) {
        const long double next = K * BandWidth(line, options.m, x);
        const bool done = std::fabs(next - x) <= 8 * LDBL_EPSILON * std::fabs(next);
        x = next;
        if (done) {
            Put(limits.xBG, x, limits.reason);
            return limits;
        }
    }
    AddReason(limits.reason, "La iteración de x_BG no converge.");
    return limits;
}

HubauxVosLimits HubauxVos(const LineFit& line, const DiagnosticOptions& options) {
    HubauxVosLimits limits;
    limits.reason = Unusable(line, options);
    if (!limits.reason.empty()) return limits;
    const int df = line.N - 2;
    const long double slope = std::fabs(line.b);
    const long double tAlpha = TQuantile(1 - options.alpha, df);
    const long double tBeta = TQuantile(1 - options.beta, df);
    // The decision level: the upper prediction limit at x = 0 (the lower one
    // for a decreasing curve).
    const long double d = tAlpha * line.s * BandWidth(line, options.m, 0);
    Put(limits.yC, line.a + (line.b > 0 ? d : -d), limits.reason);
    const long double xC = d / slope;
    Put(limits.xC, xC, limits.reason);
    // x_D: where the lower prediction limit reaches y_C. The distance
    // |b|·x − t_β·s·w(x) − d grows without bound, and from below zero at x_C,
    // exactly when |b| > t_β·s/√Q_x.
    const long double spread = tBeta * line.s;
    if (slope <= spread / std::sqrt(line.qx)) {
        AddReason(limits.reason, "La banda de predicción inferior no alcanza y_C: la pendiente "
                                 "no se distingue de la dispersión y x_D no existe.");
        return limits;
    }
    auto gap = [&](long double x) {
        return slope * x - spread * BandWidth(line, options.m, x) - d;
    };
    long double low = xC, high = xC > 0 ? 2 * xC : 1;
    for (int step = 0; gap(high) <= 0; ++step) {
        if (step > 16000) {
            AddReason(limits.reason, kNumericFailure);
            return limits;
        }
        low = high;
        high *= 2;
    }
    std::uintmax_t iterations = 400;
    const auto [lower, upper] = boost::math::tools::toms748_solve(
        gap, low, high, boost::math::tools::eps_tolerance<long double>(), iterations);
    Put(limits.xD, (lower + upper) / 2, limits.reason);
    return limits;
}

} // namespace valdex::parts
