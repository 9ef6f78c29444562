// Shapiro–Wilk W with the coefficients and p-value approximations of Royston
// (1992, 1995): the coefficients from the normal order-statistic scores
// m_i = Φ⁻¹((i − 3/8)/(n + 1/4)) with polynomial corrections for the two
// extreme ones; p exact for n = 3, else from a normal approximation of a
// transform of W, separately for 4 ≤ n ≤ 11 and n ≥ 12.

#include "diagnostics/shapiro_wilk.h"

#include <boost/math/distributions/normal.hpp>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace valdex {

namespace {

// c[0] + c[1]·x + c[2]·x² + …
double Poly(std::initializer_list<double> c, double x) {
    double sum = 0, power = 1;
    for (double coefficient : c)
        sum += coefficient * power, power *= x;
    return sum;
}

std::vector<double> Coefficients(int n) {
    std::vector<double> a(static_cast<std::size_t>(n), 0.0);
    if (n == 3) {
        a[0] = -std::sqrt(0.5);
        a[2] = std::sqrt(0.5);
        return a;
    }
    const boost::math::normal normal;
    std::vector<double> m(static_cast<std::size_t>(n));
    double summ2 = 0;
    for (int i = 0; i < n; ++i) {
        m[i] = boost::math::quantile(normal, (i + 1 - 0.375) / (n + 0.25));
        summ2 += m[i] * m[i];
    }
    const double u = 1 / std::sqrt(static_cast<double>(n));
    const double rootSumm2 = std::sqrt(summ2);
    const double an =
        m[n - 1] / rootSumm2 + Poly({0, 0.221157, -0.147981, -2.071190, 4.434685, -2.706056}, u);
    double phi = 0;
    int first = 1; // the coefficients below come from m scaled by √φ
    if (n > 5) {
        const double an1 = m[n - 2] / rootSumm2 +
                           Poly({0, 0.042981, -0.293762, -1.752461, 5.682633, -3.582633}, u);
        phi = (summ2 - 2 * m[n - 1] * m[n - 1] - 2 * m[n - 2] * m[n - 2]) /
              (1 - 2 * an * an - 2 * an1 * an1);
        a[n - 2] = an1;
        a[1] = -an1;
        first = 2;
    } else {
        phi = (summ2 - 2 * m[n - 1] * m[n - 1]) / (1 - 2 * an * an);
    }
    a[n - 1] = an;
    a[0] = -an;
    for (int i = first; i < n - first; ++i)
        a[i] = m[i] / std::sqrt(phi);
    return a;
}

double PValue(int n, double W) {
    const boost::math::normal normal;
    if (n == 3) {
        const double p = 6 / std::numbers::pi * (std::asin(std::sqrt(W)) - std::numbers::pi / 3);
        return std::max(p, 0.0);
    }
    const double y = std::log1p(-W);
    if (n <= 11) {
        const double gamma = Poly({-2.273, 0.459}, n);
        if (y >= gamma) return 0; // beyond the approximation's range: far in the tail
        const double mean = Poly({0.5440, -0.39978, 0.025054, -6.714e-4}, n);
        const double sd = std::exp(Poly({1.3822, -0.77857, 0.062767, -0.0020322}, n));
        return boost::math::cdf(
            boost::math::complement(normal, (-std::log(gamma - y) - mean) / sd));
    }
    const double ln = std::log(static_cast<double>(n));
    const double mean = Poly({-1.5861, -0.31082, -0.083751, 0.0038915}, ln);
    const double sd = std::exp(Poly({-0.4803, -0.082676, 0.0030302}, ln));
    return boost::math::cdf(boost::math::complement(normal, (y - mean) / sd));
}

} // namespace

ShapiroWilkTest ShapiroWilk(std::vector<double> values) {
    ShapiroWilkTest test;
    test.n = static_cast<int>(std::min<std::size_t>(values.size(), 1u << 30));
    if (values.size() < 3 || values.size() > kShapiroWilkMax) {
        test.reason =
            "No calculado: la prueba de Shapiro–Wilk requiere de 3 a 5000 residuos (hay " +
            std::to_string(values.size()) + ").";
        return test;
    }
    const int n = test.n;
    std::sort(values.begin(), values.end());
    const double range = values.back() - values.front();
    if (!(range > 1e-10 * std::max(1.0, std::fabs(values.back())))) {
        test.reason = "No calculado: todos los residuos son iguales.";
        return test;
    }
    // Centred and scaled by the range, as Royston's algorithm does.
    long double mean = 0;
    for (double v : values)
        mean += v;
    mean /= n;
    const std::vector<double> a = Coefficients(n);
    long double ax = 0, ss = 0;
    for (int i = 0; i < n; ++i) {
        const long double d = (values[i] - mean) / range;
        ax += a[i] * d;
        ss += d * d;
    }
    const double W = std::min(1.0L, ax * ax / ss);
    test.W = W;
    test.p = PValue(n, W);
    test.significant = *test.p < test.alpha;
    return test;
}

} // namespace valdex
