// The F test of the end levels (ISO 8466-1), the weights compared, the
// recommendation and its grounds.

#include "diagnostics/weighting_evidence.h"

#include "diagnostics/diagnostics_parts.h"
#include "diagnostics/distributions.h"
#include "diagnostics/shapiro_wilk.h"
#include "diagnostics/weighting.h"

#include <algorithm>
#include <cmath>

namespace valdex {

using namespace parts;

namespace {

constexpr double kEndLevelsAlpha = 0.01; // F(0.99; ν₁, ν₂)

// The variance function first, then 1/s², then the rest by Σ|%RE|.
int Rank(WeightScheme scheme) {
    if (scheme == WeightScheme::VarianceFunction) return 0;
    return scheme == WeightScheme::InverseVariance ? 1 : 2;
}

} // namespace

EndLevelsFTest EndLevelsF(const CalibrationData& data) {
    EndLevelsFTest test;
    test.alpha = kEndLevelsAlpha;
    const CalibrationLevel* low = nullptr;
    const CalibrationLevel* high = nullptr;
    for (const CalibrationLevel& level : data.levels) {
        if (level.responses.empty()) continue;
        if (!low || level.x < low->x) low = &level;
        if (!high || level.x > high->x) high = &level;
    }
    if (!low || low->x == high->x) {
        test.reason = "No calculado: hacen falta dos niveles distintos.";
        return test;
    }
    if (low->responses.size() < 2 || high->responses.size() < 2) {
        test.reason = "No calculado: el nivel más bajo y el más alto necesitan al menos dos "
                      "réplicas cada uno.";
        return test;
    }
    const SampleMoments l = Moments(low->responses), h = Moments(high->responses);
    const long double vl = l.ss / (l.n - 1), vh = h.ss / (h.n - 1);
    if (!(vl > 0) || !(vh > 0)) {
        test.reason = "No calculado: las réplicas de un nivel extremo son iguales (s = 0).";
        return test;
    }
    // The larger variance over the smaller one.
    const bool highLarger = vh >= vl;
    test.dfNumerator = (highLarger ? h.n : l.n) - 1;
    test.dfDenominator = (highLarger ? l.n : h.n) - 1;
    const long double F = highLarger ? vh / vl : vl / vh;
    Put(test.F, F, test.reason);
    Put(test.fCritical, FQuantile(1 - test.alpha, test.dfNumerator, test.dfDenominator),
        test.reason);
    Put(test.p, FUpperTail(F, test.dfNumerator, test.dfDenominator), test.reason);
    test.significant = test.F && test.fCritical && *test.F > *test.fCritical;
    return test;
}

std::vector<WeightCandidate> WeightCandidates(const CalibrationData& data) {
    std::vector<WeightCandidate> out;
    for (WeightScheme scheme : {WeightScheme::None, WeightScheme::InverseX, WeightScheme::InverseX2,
                                WeightScheme::InverseY, WeightScheme::InverseY2,
                                WeightScheme::InverseVariance, WeightScheme::VarianceFunction}) {
        const WeightedFit fit = FitWeighted(data, BuildWeights(data, scheme, {}));
        WeightCandidate candidate;
        candidate.scheme = scheme;
        candidate.reason = fit.reason;
        if (fit.hasLine) {
            candidate.sumAbsRE = SumAbsRelativeError(data, fit);
            if (!candidate.sumAbsRE && candidate.reason.empty())
                candidate.reason = "No hay patrones con x distinta de cero.";
        }
        out.push_back(candidate);
    }
    return out;
}

WeightRecommendation Recommend(const EndLevelsFTest& f, const CochranTest& cochran,
                               const BartlettTest& bartlett,
                               const std::vector<WeightCandidate>& candidates) {
    WeightRecommendation out;
    std::vector<std::string> rejecting;
    if (f.significant) rejecting.push_back("la prueba F de los niveles extremos");
    if (cochran.significant) rejecting.push_back("Cochran");
    if (bartlett.significant) rejecting.push_back("Bartlett");
    std::vector<WeightCandidate> usable;
    for (const WeightCandidate& c : candidates)
        if (c.scheme != WeightScheme::None && c.reason.empty() && c.sumAbsRE) usable.push_back(c);
    std::stable_sort(usable.begin(), usable.end(),
                     [](const WeightCandidate& l, const WeightCandidate& r) {
                         if (Rank(l.scheme) != Rank(r.scheme))
                             return Rank(l.scheme) < Rank(r.scheme);
                         return *l.sumAbsRE < *r.sumAbsRE;
                     });
    for (const WeightCandidate& c : usable)
        out.ranked.push_back(c.scheme);
    if (rejecting.empty()) {
        out.text = "No se recomienda ponderar: ninguna prueba de las varianzas (F de los niveles "
                   "extremos, Cochran, Bartlett) rechaza su igualdad.";
        return out;
    }
    out.weight = true;
    std::string who;
    for (std::size_t i = 0; i < rejecting.size(); ++i)
        who += (i == 0 ? "" : i + 1 == rejecting.size() ? " y " : ", ") + rejecting[i];
    out.text = "Se recomienda ponderar: " + who +
               (rejecting.size() > 1 ? " rechazan" : " rechaza") +
               " la igualdad de varianzas. Se prefieren la función de varianza y 1/s2, que "
               "salen de las réplicas; los demás pesos se ordenan por Σ|%RE|, que favorece 1/x2 "
               "aun con varianza constante (Tellinghuisen, Analyst 2007) y no basta para "
               "elegir. La función de varianza es el peso que admite blancos (x = 0). El "
               "analista elige el peso: la recomendación no cambia ningún resultado.";
    if (out.ranked.empty()) out.text += " Ningún peso ofrecido se puede calcular con estos datos.";
    return out;
}

BlankMethod ComputeBlankMethod(const CalibrationData& data, const LineFit& line,
                               const std::vector<double>& blanks,
                               const DiagnosticOptions& options) {
    BlankMethod out;
    std::vector<double> values = blanks;
    if (values.empty()) {
        for (const CalibrationLevel& level : data.levels)
            if (level.x == 0)
                values.insert(values.end(), level.responses.begin(), level.responses.end());
        out.fromStudy = true;
        if (values.empty()) {
            out.reason = "No calculado: el estudio no tiene un nivel en x = 0 y no se dieron "
                         "blancos.";
            return out;
        }
    }
    out.n = static_cast<int>(values.size());
    const SampleMoments m = Moments(values);
    Put(out.mean, m.mean, out.reason);
    if (out.n < 2) {
        AddReason(out.reason, "No calculado: se necesitan al menos dos blancos.");
        return out;
    }
    const long double sd = std::sqrt(m.ss / (m.n - 1));
    Put(out.sd, sd, out.reason);
    const std::string noSlope = SlopeUnavailable(line);
    if (!noSlope.empty()) {
        AddReason(out.reason, noSlope);
        return out;
    }
    if (sd == 0) {
        AddReason(out.reason, "No estimable (s = 0): los blancos son iguales.");
        return out;
    }
    if (!CheckOptions(options, '.').empty()) {
        AddReason(out.reason, "Los parámetros alfa, beta, m o k están fuera de intervalo.");
        return out;
    }
    const int df = out.n - 1;
    const long double sx = sd / std::fabs(line.b);
    const long double root = std::sqrt(1.0L / options.m + 1.0L / out.n);
    const long double tAlpha = TQuantile(1 - options.alpha, df);
    Put(out.xNG, sx * tAlpha * root, out.reason);
    Put(out.xEG, sx * (tAlpha + TQuantile(1 - options.beta, df)) * root, out.reason);
    Put(out.xBG, options.k * sx * TQuantile(1 - options.alpha / 2, df) * root, out.reason);
    Put(out.LD, 3.3L * sx, out.reason);
    Put(out.LC, 10 * sx, out.reason);
    out.intervals = ChiSquaredIntervals(out.LD, out.LC, df);
    out.xNGInterval = ChiSquaredIntervals(out.xNG, std::nullopt, df).LD;
    return out;
}

} // namespace valdex

namespace valdex {

void AddWeightingDiagnostics(const CalibrationData& data, const LineFit& line, Diagnostics& d) {
    const DiagnosticOptions& options = d.options;
    d.endLevelsF = Guarded<EndLevelsFTest>([&] { return EndLevelsF(data); });
    if (line.hasS && line.s > 0) {
        std::vector<double> residuals;
        for (const ResidualRow& row : d.residuals)
            if (row.residual) residuals.push_back(*row.residual);
        d.shapiroWilk = ShapiroWilk(residuals);
    } else {
        d.shapiroWilk.reason =
            line.hasS ? "No calculado: s(y/x) es cero." : "No calculado. " + line.reason;
    }
    d.ichSyxIntervals = ChiSquaredIntervals(d.ichSyx.LD, d.ichSyx.LC, line.N - 2);
    d.ichSaIntervals = ChiSquaredIntervals(d.ichSa.LD, d.ichSa.LC, line.N - 2);
    d.weightCandidates = WeightCandidates(data);
    d.weightRecommendation = Recommend(d.endLevelsF, d.cochran, d.bartlett, d.weightCandidates);
    if (options.weighting != WeightScheme::None)
        d.weighted = ComputeWeighted(data, options.weighting, options.levelWeights, options);
    d.blank = Guarded<BlankMethod>(
        [&] { return ComputeBlankMethod(data, line, options.blanks, options); });
}

} // namespace valdex
