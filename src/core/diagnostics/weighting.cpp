// The weights offered and the weighted least-squares line on any finite
// positive weight per response.

#include "diagnostics/weighting.h"

#include "diagnostics/diagnostics_parts.h"

#include <cmath>

namespace valdex {

using namespace parts;

namespace {

struct Name {
    WeightScheme scheme;
    const char* text;
};
constexpr Name kNames[] = {
    {WeightScheme::None, "ninguna"},
    {WeightScheme::InverseX, "1/x"},
    {WeightScheme::InverseX2, "1/x2"},
    {WeightScheme::InverseY, "1/y"},
    {WeightScheme::InverseY2, "1/y2"},
    {WeightScheme::InverseVariance, "1/s2"},
    {WeightScheme::VarianceFunction, "funcion"},
    {WeightScheme::Explicit, "explicitos"},
};

std::string LevelText(std::size_t i) {
    return "el nivel " + std::to_string(i + 1);
}

bool FinitePositive(long double w) {
    return std::isfinite(w) && w > 0;
}

// One weight per level, the same for each of its responses.
void PerLevel(const CalibrationData& data, const std::vector<long double>& levelWeights,
              WeightModel& model) {
    for (std::size_t i = 0; i < data.levels.size(); ++i) {
        model.responseWeights[i].assign(data.levels[i].responses.size(), levelWeights[i]);
        model.levelX.push_back(data.levels[i].x);
        model.levelWeight.push_back(levelWeights[i]);
    }
}

void FromX(const CalibrationData& data, int power, WeightModel& model) {
    for (std::size_t i = 0; i < data.levels.size(); ++i) {
        const long double x = data.levels[i].x;
        if (data.levels[i].responses.empty()) continue;
        if (x <= 0) {
            model.reason = std::string("El peso ") + WeightName(model.scheme) +
                           " no está definido en " + LevelText(i) +
                           (x == 0 ? " (x = 0, el peso sería infinito)" : " (x negativa)") +
                           ": los blancos no se descartan ni se les inventa un peso; use la "
                           "función de varianza.";
            return;
        }
        model.responseWeights[i].assign(data.levels[i].responses.size(),
                                        power == 1 ? 1 / x : 1 / (x * x));
    }
}

void FromY(const CalibrationData& data, int power, WeightModel& model) {
    for (std::size_t i = 0; i < data.levels.size(); ++i)
        for (double y : data.levels[i].responses) {
            if (y <= 0) {
                model.reason = std::string("El peso ") + WeightName(model.scheme) +
                               " no está definido con una respuesta nula o negativa (" +
                               LevelText(i) + ").";
                return;
            }
            const long double v = y;
            model.responseWeights[i].push_back(power == 1 ? 1 / v : 1 / (v * v));
        }
}

std::string TooFewReplicates(std::size_t i) {
    return "Se necesitan al menos dos réplicas en cada nivel: " + LevelText(i) + " tiene menos.";
}

void FromVariances(const CalibrationData& data, WeightModel& model) {
    std::vector<long double> weights(data.levels.size(), 0);
    for (std::size_t i = 0; i < data.levels.size(); ++i) {
        if (data.levels[i].responses.empty()) continue;
        const SampleMoments m = Moments(data.levels[i].responses);
        if (m.n < 2) {
            model.reason = "El peso 1/s2 no se calcula. " + TooFewReplicates(i);
            return;
        }
        const long double var = m.ss / (m.n - 1);
        if (!(var > 0)) {
            model.reason = "El peso 1/s2 no se calcula: las réplicas de " + LevelText(i) +
                           " son iguales (s = 0, el peso sería infinito).";
            return;
        }
        weights[i] = 1 / var;
    }
    PerLevel(data, weights, model);
}

// s(x) = c₀ + c₁·x by least squares on the level SDs.
void FromVarianceFunction(const CalibrationData& data, WeightModel& model) {
    std::vector<long double> xs, sds;
    for (std::size_t i = 0; i < data.levels.size(); ++i) {
        if (data.levels[i].responses.empty()) continue;
        const SampleMoments m = Moments(data.levels[i].responses);
        if (m.n < 2) {
            model.reason = "La función de varianza no se calcula. " + TooFewReplicates(i);
            return;
        }
        xs.push_back(data.levels[i].x);
        sds.push_back(std::sqrt(m.ss / (m.n - 1)));
    }
    long double mx = 0, ms = 0;
    for (std::size_t i = 0; i < xs.size(); ++i)
        mx += xs[i], ms += sds[i];
    mx /= xs.size();
    ms /= xs.size();
    long double qx = 0, qxs = 0;
    for (std::size_t i = 0; i < xs.size(); ++i) {
        qx += (xs[i] - mx) * (xs[i] - mx);
        qxs += (xs[i] - mx) * (sds[i] - ms);
    }
    if (!(qx > 0)) {
        model.reason = "La función de varianza necesita al menos dos niveles distintos.";
        return;
    }
    model.c1 = qxs / qx;
    model.c0 = ms - model.c1 * mx;
    for (std::size_t i = 0; i < data.levels.size(); ++i) {
        if (data.levels[i].responses.empty()) continue;
        const long double s = model.c0 + model.c1 * data.levels[i].x;
        if (!(s > 0)) {
            model.reason = "La función de varianza s(x) = c₀ + c₁·x no es positiva en " +
                           LevelText(i) + ": no da pesos.";
            return;
        }
        model.responseWeights[i].assign(data.levels[i].responses.size(), 1 / (s * s));
    }
}

void FromExplicit(const CalibrationData& data, const std::vector<double>& given,
                  WeightModel& model) {
    if (given.size() != data.levels.size()) {
        model.reason = "Se dieron " + std::to_string(given.size()) + " pesos para " +
                       std::to_string(data.levels.size()) + " niveles: debe haber uno por nivel.";
        return;
    }
    std::vector<long double> weights;
    for (std::size_t i = 0; i < given.size(); ++i) {
        if (!FinitePositive(given[i])) {
            model.reason = "El peso de " + LevelText(i) + " no es un número finito y positivo.";
            return;
        }
        weights.push_back(given[i]);
    }
    PerLevel(data, weights, model);
}

} // namespace

const char* WeightName(WeightScheme scheme) {
    for (const Name& name : kNames)
        if (name.scheme == scheme) return name.text;
    return "";
}

std::optional<WeightScheme> ParseWeightName(const std::string& text) {
    for (const Name& name : kNames)
        if (text == name.text && name.scheme != WeightScheme::Explicit) return name.scheme;
    return std::nullopt;
}

std::optional<long double> WeightModel::At(long double x, std::string& why) const {
    const std::optional<long double> w = Unscaled(x, why);
    if (!w) return w;
    return scale * *w;
}

std::optional<long double> WeightModel::Unscaled(long double x, std::string& why) const {
    const std::string name = WeightName(scheme);
    auto undefined = [&](const std::string& what) -> std::optional<long double> {
        why = "Con el peso " + name + " el peso no está definido " + what + ".";
        return std::nullopt;
    };
    switch (scheme) {
    case WeightScheme::None:
        return 1.0L;
    case WeightScheme::InverseX:
    case WeightScheme::InverseX2:
        if (!(x > 0)) return undefined(x == 0 ? "en x = 0" : "en una x negativa");
        return scheme == WeightScheme::InverseX ? 1 / x : 1 / (x * x);
    case WeightScheme::InverseY:
    case WeightScheme::InverseY2: {
        const long double y = a + b * x;
        if (!(y > 0)) return undefined("donde la recta no da una respuesta positiva");
        return scheme == WeightScheme::InverseY ? 1 / y : 1 / (y * y);
    }
    case WeightScheme::VarianceFunction: {
        const long double s = c0 + c1 * x;
        if (!(s > 0)) return undefined("donde la función de varianza no es positiva");
        return 1 / (s * s);
    }
    case WeightScheme::InverseVariance:
    case WeightScheme::Explicit:
        return BetweenLevels(x, why);
    }
    return undefined("");
}

// Level weights at any x: s = 1/√w interpolated linearly between the two
// nearest levels; beyond the end levels only when every level has the same
// weight, since no other weight there comes from the data.
std::optional<long double> WeightModel::BetweenLevels(long double x, std::string& why) const {
    long double lowX = 0, highX = 0, lowS = 0, highS = 0;
    bool low = false, high = false, equal = true;
    for (std::size_t i = 0; i < levelX.size(); ++i) {
        const long double s = 1 / std::sqrt(levelWeight[i]);
        equal = equal && levelWeight[i] == levelWeight.front();
        if (levelX[i] == x) return levelWeight[i];
        if (levelX[i] < x && (!low || levelX[i] > lowX)) lowX = levelX[i], lowS = s, low = true;
        if (levelX[i] > x && (!high || levelX[i] < highX))
            highX = levelX[i], highS = s, high = true;
    }
    if (equal && !levelWeight.empty()) return levelWeight.front();
    if (!low || !high) {
        why = std::string("Con el peso ") + WeightName(scheme) +
              " el peso no está definido fuera del intervalo de los niveles del estudio.";
        return std::nullopt;
    }
    const long double s = lowS + (highS - lowS) * (x - lowX) / (highX - lowX);
    return 1 / (s * s);
}

WeightModel BuildWeights(const CalibrationData& data, WeightScheme scheme,
                         const std::vector<double>& explicitWeights) {
    WeightModel model;
    model.scheme = scheme;
    model.responseWeights.resize(data.levels.size());
    switch (scheme) {
    case WeightScheme::None:
        PerLevel(data, std::vector<long double>(data.levels.size(), 1.0L), model);
        break;
    case WeightScheme::InverseX:
        FromX(data, 1, model);
        break;
    case WeightScheme::InverseX2:
        FromX(data, 2, model);
        break;
    case WeightScheme::InverseY:
        FromY(data, 1, model);
        break;
    case WeightScheme::InverseY2:
        FromY(data, 2, model);
        break;
    case WeightScheme::InverseVariance:
        FromVariances(data, model);
        break;
    case WeightScheme::VarianceFunction:
        FromVarianceFunction(data, model);
        break;
    case WeightScheme::Explicit:
        FromExplicit(data, explicitWeights, model);
        break;
    }
    if (!model.reason.empty()) model.responseWeights.clear();
    return model;
}

WeightedFit FitWeighted(const CalibrationData& data, WeightModel model) {
    WeightedFit fit;
    fit.N = data.Count();
    if (!model.Usable()) {
        fit.reason = model.reason;
        fit.model = std::move(model);
        return fit;
    }
    if (fit.N == 0) {
        fit.reason = "El estudio no tiene respuestas.";
        fit.model = std::move(model);
        return fit;
    }
    // Weighted means about the first point, then centred sums.
    const auto& w = model.responseWeights;
    long double x0 = 0, y0 = 0, sx = 0, sy = 0;
    bool first = true;
    for (std::size_t i = 0; i < data.levels.size(); ++i)
        for (std::size_t j = 0; j < data.levels[i].responses.size(); ++j) {
            const long double x = data.levels[i].x, y = data.levels[i].responses[j];
            if (first) x0 = x, y0 = y, fit.xMin = fit.xMax = data.levels[i].x, first = false;
            fit.xMin = std::min(fit.xMin, data.levels[i].x);
            fit.xMax = std::max(fit.xMax, data.levels[i].x);
            fit.sumW += w[i][j];
            sx += w[i][j] * (x - x0);
            sy += w[i][j] * (y - y0);
        }
    fit.meanX = x0 + sx / fit.sumW;
    fit.meanY = y0 + sy / fit.sumW;
    long double sxy = 0;
    for (std::size_t i = 0; i < data.levels.size(); ++i)
        for (std::size_t j = 0; j < data.levels[i].responses.size(); ++j) {
            const long double dx = data.levels[i].x - fit.meanX;
            const long double dy = data.levels[i].responses[j] - fit.meanY;
            fit.sxx += w[i][j] * dx * dx;
            sxy += w[i][j] * dx * dy;
            fit.syy += w[i][j] * dy * dy;
        }
    if (!(fit.sxx > 0)) {
        fit.reason = "Todos los puntos tienen la misma cantidad adicionada: no hay recta.";
        fit.model = std::move(model);
        return fit;
    }
    fit.hasLine = true;
    fit.b = sxy / fit.sxx;
    fit.a = fit.meanY - fit.b * fit.meanX;
    for (std::size_t i = 0; i < data.levels.size(); ++i)
        for (std::size_t j = 0; j < data.levels[i].responses.size(); ++j) {
            const long double e =
                (data.levels[i].responses[j] - fit.meanY) - fit.b * (data.levels[i].x - fit.meanX);
            fit.ssRes += w[i][j] * e * e;
        }
    model.a = fit.a;
    model.b = fit.b;
    fit.model = std::move(model);
    if (fit.N < 3) {
        fit.reason = "Con 2 puntos la recta pasa por ambos: no quedan grados de libertad para "
                     "s_w.";
        return fit;
    }
    fit.hasS = true;
    fit.sw = std::sqrt(fit.ssRes / (fit.N - 2));
    return fit;
}

} // namespace valdex
