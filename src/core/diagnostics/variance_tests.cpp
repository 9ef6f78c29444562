// Per-level rows (back-calculated quantity, recovery, Grubbs) and the two
// tests of homogeneity of variances across levels.

#include "diagnostics/diagnostics_parts.h"
#include "diagnostics/distributions.h"

#include <algorithm>
#include <cmath>

namespace valdex::parts {

namespace {

// Levels that hold responses, with their moments and their 1-based number.
struct LevelMoments {
    int number = 0;
    SampleMoments moments;
};

std::vector<LevelMoments> LevelsWithResponses(const CalibrationData& data) {
    std::vector<LevelMoments> levels;
    for (std::size_t i = 0; i < data.levels.size(); ++i)
        if (!data.levels[i].responses.empty())
            levels.push_back({static_cast<int>(i) + 1, Moments(data.levels[i].responses)});
    return levels;
}

// Two-sided Grubbs critical value at kTestAlpha for n values.
long double GrubbsCritical(int n) {
    const long double t = TQuantile(1 - kTestAlpha / (2.0L * n), n - 2);
    return (n - 1) / std::sqrt(static_cast<long double>(n)) * std::sqrt(t * t / (n - 2 + t * t));
}

void Grubbs(const CalibrationLevel& level, const SampleMoments& m, LevelDiagnostics& row) {
    if (m.n < 3) return;
    if (m.ss == 0) {
        AddReason(row.reason, "Réplicas idénticas: sin prueba de Grubbs.");
        return;
    }
    const long double sd = std::sqrt(m.ss / (m.n - 1));
    long double largest = 0;
    for (double y : level.responses)
        largest = std::max(largest, std::fabs(y - m.mean));
    const long double g = largest / sd, critical = GrubbsCritical(m.n);
    Put(row.grubbsG, g, row.reason);
    Put(row.grubbsCritical, critical, row.reason);
    row.outlier = g > critical;
    // Three values of which two are equal: G is (n − 1)/√n, its largest
    // possible value, above the critical value at any usual α.
    const std::vector<double>& y = level.responses;
    if (m.n == 3 && (y[0] == y[1] || y[0] == y[2] || y[1] == y[2]))
        row.note = "Con tres réplicas y dos iguales, Grubbs señala siempre la tercera: G toma su "
                   "valor máximo posible, (n − 1)/√n.";
}

LevelDiagnostics LevelRow(const CalibrationLevel& level, const LineFit& line) {
    LevelDiagnostics row;
    row.x = level.x;
    row.n = static_cast<int>(level.responses.size());
    if (row.n == 0) {
        row.reason = "El nivel no tiene réplicas.";
        return row;
    }
    const SampleMoments m = Moments(level.responses);
    Put(row.mean, m.mean, row.reason);
    if (row.n >= 2)
        Put(row.sd, std::sqrt(m.ss / (row.n - 1)), row.reason);
    else
        AddReason(row.reason, "Una sola réplica: sin desviación estándar ni prueba de Grubbs.");
    if (row.n == 2) AddReason(row.reason, "Dos réplicas: la prueba de Grubbs necesita tres.");
    const std::string noSlope = SlopeUnavailable(line);
    if (!noSlope.empty()) {
        AddReason(row.reason, noSlope);
    } else {
        const long double xCalc = (m.mean - line.a) / line.b;
        Put(row.xCalc, xCalc, row.reason);
        if (level.x == 0)
            AddReason(row.reason, "x = 0: sin recuperación.");
        else
            Put(row.recovery, 100 * xCalc / level.x, row.reason);
    }
    Grubbs(level, m, row);
    return row;
}

} // namespace

std::vector<LevelDiagnostics> LevelRows(const CalibrationData& data, const LineFit& line) {
    std::vector<LevelDiagnostics> rows;
    for (const CalibrationLevel& level : data.levels) {
        LevelDiagnostics row = Guarded<LevelDiagnostics>([&] { return LevelRow(level, line); });
        row.x = level.x;
        row.n = static_cast<int>(level.responses.size());
        rows.push_back(std::move(row));
    }
    return rows;
}

CochranTest Cochran(const CalibrationData& data) {
    CochranTest test;
    const std::vector<LevelMoments> levels = LevelsWithResponses(data);
    const int k = static_cast<int>(levels.size());
    if (k < 2) {
        test.reason = "Cochran necesita al menos 2 niveles con réplicas.";
        return test;
    }
    const int n = levels.front().moments.n;
    for (const LevelMoments& level : levels)
        if (level.moments.n != n) {
            test.reason = "Cochran necesita el mismo número de réplicas en todos los niveles.";
            return test;
        }
    if (n < 2) {
        test.reason = "Cochran necesita al menos 2 réplicas por nivel.";
        return test;
    }
    test.groups = k;
    test.replicates = n;
    long double total = 0, largest = 0;
    for (const LevelMoments& level : levels) {
        const long double variance = level.moments.ss / (n - 1);
        total += variance;
        largest = std::max(largest, variance);
    }
    const long double df1 = n - 1, df2 = static_cast<long double>(k - 1) * (n - 1);
    const long double f = FQuantile(1 - kTestAlpha / k, df1, df2);
    Put(test.cCritical, 1 / (1 + (k - 1) / f), test.reason);
    if (total == 0) {
        AddReason(test.reason, "Las réplicas de cada nivel son idénticas: todas las varianzas son "
                               "cero y C no se puede calcular.");
        return test;
    }
    const long double c = largest / total;
    Put(test.C, c, test.reason);
    // The largest variance against the mean of the others is F(n − 1, (k − 1)(n − 1))
    // for one level; k levels give the Bonferroni bound of the critical value.
    const long double p = c >= 1 ? 0 : k * FUpperTail((k - 1) * c / (1 - c), df1, df2);
    Put(test.p, std::min(1.0L, p), test.reason);
    test.pExact = c >= 0.5L;
    test.significant = test.C && test.cCritical && *test.C > *test.cCritical;
    return test;
}

BartlettTest Bartlett(const CalibrationData& data) {
    BartlettTest test;
    const std::vector<LevelMoments> levels = LevelsWithResponses(data);
    const int k = static_cast<int>(levels.size());
    if (k < 2) {
        test.reason = "Bartlett necesita al menos 2 niveles con réplicas.";
        return test;
    }
    for (const LevelMoments& level : levels)
        if (level.moments.n < 2) {
            test.reason = "Bartlett necesita al menos 2 réplicas en cada nivel.";
            return test;
        }
    Put(test.df, k - 1, test.reason);
    Put(test.chi2Critical, ChiSquaredQuantile(1 - kTestAlpha, k - 1), test.reason);
    for (const LevelMoments& level : levels)
        if (level.moments.ss == 0) {
            AddReason(test.reason, "El nivel " + std::to_string(level.number) +
                                       " tiene réplicas idénticas (s = 0): su varianza no tiene "
                                       "logaritmo y Bartlett no se puede calcular.");
            return test;
        }
    long double dof = 0, pooled = 0, logs = 0, inverses = 0;
    for (const LevelMoments& level : levels) {
        const long double nu = level.moments.n - 1;
        dof += nu;
        pooled += level.moments.ss;
        logs += nu * std::log(level.moments.ss / nu);
        inverses += 1 / nu;
    }
    pooled /= dof;
    const long double correction = 1 + (inverses - 1 / dof) / (3.0L * (k - 1));
    // Equal variances can leave a rounding residue below zero.
    const long double t = std::max(0.0L, (dof * std::log(pooled) - logs) / correction);
    Put(test.chi2, t, test.reason);
    Put(test.p, ChiSquaredUpperTail(t, k - 1), test.reason);
    test.significant = test.chi2 && test.chi2Critical && *test.chi2 > *test.chi2Critical;
    return test;
}

} // namespace valdex::parts
