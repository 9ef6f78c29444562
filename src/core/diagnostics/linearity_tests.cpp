// Lack of fit against pure error, and Mandel's test of the straight line
// against the quadratic.

#include "diagnostics/diagnostics_parts.h"
#include "diagnostics/distributions.h"

#include <cmath>
#include <map>

namespace valdex::parts {

std::vector<Group> DistinctLevels(const CalibrationData& data) {
    std::map<double, std::vector<double>> pooled;
    for (const CalibrationLevel& level : data.levels)
        if (!level.responses.empty()) {
            std::vector<double>& values = pooled[level.x];
            values.insert(values.end(), level.responses.begin(), level.responses.end());
        }
    std::vector<Group> groups;
    for (const auto& [x, values] : pooled) {
        const SampleMoments m = Moments(values);
        groups.push_back({x, m.n, m.mean, m.ss});
    }
    return groups;
}

LackOfFitTest LackOfFit(const CalibrationData& data, const LineFit& line) {
    LackOfFitTest test;
    if (!line.hasLine) {
        test.reason = line.reason;
        return test;
    }
    const std::vector<Group> groups = DistinctLevels(data);
    const int k = static_cast<int>(groups.size());
    if (k < 3) {
        test.reason = "La falta de ajuste necesita al menos 3 niveles distintos.";
        return test;
    }
    if (line.N == k) {
        test.reason = "Ningún nivel tiene réplicas: no hay error puro contra el que comparar.";
        return test;
    }
    long double ssPe = 0, ssLof = 0;
    for (const Group& g : groups) {
        ssPe += g.ss;
        const long double deviation = line.Residual(g.x, g.mean);
        ssLof += g.n * deviation * deviation;
    }
    if (ssLof <= line.noise) ssLof = 0;
    const int dfLof = k - 2, dfPe = line.N - k;
    Put(test.ssLof, ssLof, test.reason);
    Put(test.ssPe, ssPe, test.reason);
    Put(test.dfLof, dfLof, test.reason);
    Put(test.dfPe, dfPe, test.reason);
    Put(test.fCritical, FQuantile(1 - kTestAlpha, dfLof, dfPe), test.reason);
    if (ssPe == 0) {
        AddReason(test.reason, "El error puro es cero (las réplicas de cada nivel son "
                               "idénticas): F no se puede calcular.");
        return test;
    }
    const long double f = (ssLof / dfLof) / (ssPe / dfPe);
    Put(test.F, f, test.reason);
    Put(test.p, FUpperTail(f, dfLof, dfPe), test.reason);
    test.significant = test.F && test.fCritical && *test.F > *test.fCritical;
    return test;
}

MandelTest Mandel(const CalibrationData& data, const LineFit& line) {
    MandelTest test;
    if (!line.hasLine) {
        test.reason = line.reason;
        return test;
    }
    if (DistinctLevels(data).size() < 4) {
        test.reason = "Mandel necesita al menos 4 niveles distintos.";
        return test;
    }
    // The quadratic term made orthogonal to 1 and x: the quadratic fit is the
    // straight line plus c·q, so its residuals are e − c·q.
    const long double meanU2 = line.qx / line.N;
    long double uq = 0;
    for (const CalibrationLevel& level : data.levels) {
        const long double u = level.x - line.meanX;
        uq += level.responses.size() * u * (u * u - meanU2);
    }
    const long double gamma = uq / line.qx;
    auto quadratic = [&](long double x) {
        const long double u = x - line.meanX;
        return u * u - meanU2 - gamma * u;
    };
    long double qq = 0, qe = 0;
    for (const CalibrationLevel& level : data.levels) {
        const long double q = quadratic(level.x);
        for (double y : level.responses) {
            qq += q * q;
            qe += q * line.Residual(level.x, y);
        }
    }
    const long double c = qe / qq;
    long double ssQuadratic = 0;
    for (const CalibrationLevel& level : data.levels) {
        const long double q = quadratic(level.x);
        for (double y : level.responses) {
            const long double r = line.Residual(level.x, y) - c * q;
            ssQuadratic += r * r;
        }
    }
    if (ssQuadratic <= line.noise) ssQuadratic = 0;
    // DS² = (N − 2)·s² − (N − 3)·s₂², the sum of squares the quadratic term removes.
    long double ds2 = c * c * qq;
    if (ds2 <= line.noise) ds2 = 0;
    const int df2 = line.N - 3;
    const long double s2Squared = ssQuadratic / df2;
    Put(test.s2, std::sqrt(s2Squared), test.reason);
    Put(test.ds2, ds2, test.reason);
    Put(test.df2, df2, test.reason);
    Put(test.fCritical, FQuantile(1 - kMandelAlpha, 1, df2), test.reason);
    if (ssQuadratic == 0) {
        // Points on a straight line lie on every parabola through it too.
        AddReason(test.reason, line.ssRes == 0
                                   ? "Los puntos están exactamente sobre una recta (s(y/x) = 0): "
                                     "PG no se puede calcular."
                                   : "Los puntos están sobre una parábola (s2 = 0): PG no se "
                                     "puede calcular.");
        return test;
    }
    const long double pg = ds2 / s2Squared;
    Put(test.PG, pg, test.reason);
    Put(test.p, FUpperTail(pg, 1, df2), test.reason);
    test.significant = test.PG && test.fCritical && *test.PG > *test.fCritical;
    return test;
}

} // namespace valdex::parts
