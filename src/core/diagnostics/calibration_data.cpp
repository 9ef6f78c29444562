#include "diagnostics/calibration_data.h"

#include "base/app_error.h"
#include "base/number_conversion.h"
#include "study/level_check.h"
#include "study/study_messages.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace valdex {

int CalibrationData::Count() const {
    int count = 0;
    for (const CalibrationLevel& level : levels)
        count += static_cast<int>(level.responses.size());
    return count;
}

CalibrationData ReadCalibrationData(const CalibrationStudy& study, char sep) {
    const LevelCheck check = CheckLevelCount(study);
    if (check.LevelCheckFailed) throw StudyError(check.message);
    const int n = ToInteger(study.LevelCount);
    const std::vector<int> counts = ReplicateCounts(study, n);
    CalibrationData data;
    long long row = 0;
    for (int i = 1; i <= n; ++i) {
        if (counts[i - 1] < 0) throw StudyError(ReplicateNegative(i));
        CalibrationLevel level;
        level.x = static_cast<double>(ToDecimal(study.LevelCell(i, 1), sep));
        // Counts far beyond the responses there are end at the first missing
        // one, as the calculation does; memory follows the rows, not the counts.
        const long long rowsLeft = std::max(0LL, study.ResponseRows() - row);
        level.responses.reserve(
            static_cast<std::size_t>(std::min<long long>(counts[i - 1], rowsLeft)));
        for (long long j = 1; j <= counts[i - 1]; ++j) {
            const long long r = row + j;
            const std::string text =
                r <= study.ResponseRows() ? study.ResponseCell(1, static_cast<int>(r)) : "";
            level.responses.push_back(static_cast<double>(ToDecimal(text, sep)));
        }
        row += counts[i - 1];
        data.levels.push_back(std::move(level));
    }
    return data;
}

SampleMoments Moments(const std::vector<double>& values) {
    SampleMoments m;
    m.n = static_cast<int>(values.size());
    if (values.empty()) return m;
    const long double origin = values.front();
    long double shift = 0;
    for (double v : values)
        shift += v - origin;
    m.mean = origin + shift / m.n;
    for (double v : values) {
        const long double d = v - m.mean;
        m.ss += d * d;
    }
    return m;
}

long double LineFit::InterceptSD() const {
    return s * std::sqrt(1.0L / N + meanX * meanX / qx);
}

LineFit FitLine(const CalibrationData& data) {
    LineFit fit;
    fit.N = data.Count();
    if (fit.N == 0) {
        fit.reason = "El estudio no tiene respuestas.";
        return fit;
    }
    // Means about the first point, then centred sums.
    long double x0 = 0, y0 = 0, shiftX = 0, shiftY = 0, largest = 0;
    bool first = true;
    for (const CalibrationLevel& level : data.levels)
        for (double y : level.responses) {
            if (first) x0 = level.x, y0 = y, fit.xMin = fit.xMax = level.x, first = false;
            fit.xMin = std::fmin(fit.xMin, level.x);
            fit.xMax = std::fmax(fit.xMax, level.x);
            shiftX += level.x - x0;
            shiftY += y - y0;
            largest = std::fmax(largest, std::fabs(static_cast<long double>(y)));
        }
    fit.meanX = x0 + shiftX / fit.N;
    fit.meanY = y0 + shiftY / fit.N;
    long double sxy = 0;
    for (const CalibrationLevel& level : data.levels)
        for (double y : level.responses) {
            const long double dx = level.x - fit.meanX, dy = y - fit.meanY;
            fit.qx += dx * dx;
            sxy += dx * dy;
            fit.syy += dy * dy;
        }
    // The data are doubles: a residual within a thousand rounding steps of
    // the largest response is the rounding of the data, not scatter.
    const long double step = 1000 * DBL_EPSILON * largest;
    fit.noise = fit.N * step * step;
    if (fit.qx == 0) {
        fit.reason = "Todos los puntos tienen la misma cantidad adicionada: no hay recta.";
        return fit;
    }
    fit.hasLine = true;
    fit.b = sxy / fit.qx;
    fit.a = fit.meanY - fit.b * fit.meanX;
    for (const CalibrationLevel& level : data.levels)
        for (double y : level.responses) {
            const long double e = fit.Residual(level.x, y);
            fit.ssRes += e * e;
        }
    if (fit.ssRes <= fit.noise) fit.ssRes = 0;
    if (fit.N < 3) {
        fit.reason = "Con 2 puntos la recta pasa por ambos: no quedan grados de libertad para "
                     "s(y/x).";
        return fit;
    }
    fit.hasS = true;
    fit.s = std::sqrt(fit.ssRes / (fit.N - 2));
    return fit;
}

} // namespace valdex
