#include "plots/plot_data.h"

#include "calc/student_t_table.h"
#include "diagnostics/distributions.h"

#include <cmath>
#include <stdexcept>

namespace valdex {

namespace {

std::optional<double> Finite(long double value) {
    const double narrowed = static_cast<double>(value);
    if (!std::isfinite(narrowed)) return std::nullopt;
    return narrowed;
}

std::string AxisTitle(const CalibrationStudy& study) {
    if (study.AddedQuantityUnits.empty()) return "Cantidad adicionada";
    return "Cantidad adicionada (" + study.AddedQuantityUnits + ")";
}

} // namespace

std::optional<double> CoefficientOfDetermination(const Diagnostics& d) {
    if (!d.line.meanY) return std::nullopt;
    long double residual = 0, total = 0;
    for (const ResidualRow& row : d.residuals) {
        if (!row.residual) return std::nullopt;
        residual += static_cast<long double>(*row.residual) * *row.residual;
        const long double deviation = row.y - static_cast<long double>(*d.line.meanY);
        total += deviation * deviation;
    }
    if (!(total > 0)) return std::nullopt;
    return Finite(1 - residual / total);
}

namespace {

std::optional<BandModel> Bands(const Diagnostics& d) {
    const LineSummary& line = d.line;
    // Points all on the line (s = 0) leave no band to draw.
    if (!line.s || !(*line.s > 0) || !line.meanX || !line.qx || line.df < 1 || !(*line.qx > 0))
        return std::nullopt;
    BandModel bands;
    try {
        bands.t = static_cast<double>(TQuantile(0.5L + kBandLevel / 2, line.df));
    } catch (const std::exception&) {
        return std::nullopt;
    }
    bands.s = *line.s;
    bands.N = line.N;
    bands.meanX = *line.meanX;
    bands.qx = *line.qx;
    return bands;
}

} // namespace

std::vector<ResponsePlace> GrubbsFlaggedResponses(const Diagnostics& d) {
    std::vector<ResponsePlace> flagged;
    for (std::size_t i = 0; i < d.levels.size(); ++i) {
        if (!d.levels[i].outlier || !d.levels[i].mean) continue;
        const int level = static_cast<int>(i) + 1;
        const double mean = *d.levels[i].mean;
        const ResidualRow* furthest = nullptr;
        for (const ResidualRow& row : d.residuals)
            if (row.level == level &&
                (furthest == nullptr || std::fabs(row.y - mean) > std::fabs(furthest->y - mean)))
                furthest = &row;
        if (furthest != nullptr) flagged.push_back({furthest->level, furthest->replicate});
    }
    return flagged;
}

std::string FlaggedResponsesText(const std::vector<ResponsePlace>& flagged) {
    if (flagged.empty()) return "";
    std::string text = flagged.size() == 1 ? "posible atípico: " : "posibles atípicos: ";
    for (std::size_t i = 0; i < flagged.size(); ++i)
        text += (i == 0 ? "" : "; ") + ("nivel " + std::to_string(flagged[i].level) + ", réplica " +
                                        std::to_string(flagged[i].replicate));
    return text;
}

bool BeyondResidualLimit(const PlotPoint& point) {
    return point.standardized && std::fabs(*point.standardized) > kResidualLimit;
}

double BandModel::ConfidenceHalfWidth(double x) const {
    const long double d = x - static_cast<long double>(meanX);
    const long double inverse = sumW ? 1.0L / *sumW : 1.0L / N;
    return static_cast<double>(t * static_cast<long double>(s) * std::sqrt(inverse + d * d / qx));
}

double BandModel::PredictionHalfWidth(double x) const {
    const long double d = x - static_cast<long double>(meanX);
    return static_cast<double>(t * static_cast<long double>(s) *
                               std::sqrt(1.0L + 1.0L / N + d * d / qx));
}

namespace {

// The weighted line in place of the ordinary one: its line, 95 % intervals,
// band of the mean response, r², limits and residuals √w·e/s_w.
void UseWeighted(PlotData& data, const Diagnostics& d) {
    const WeightedLine& w = d.weighted;
    data.weight = WeightName(w.scheme);
    data.a = w.a;
    data.b = w.b;
    data.s = w.sw;
    data.r2 = w.r2;
    data.aInterval.reset();
    data.bInterval.reset();
    if (w.aLower && w.aUpper) data.aInterval = Interval{*w.aLower, *w.aUpper};
    if (w.bLower && w.bUpper) data.bInterval = Interval{*w.bLower, *w.bUpper};
    data.bands.reset();
    if (w.sw && *w.sw > 0 && w.sumW && w.meanXw && w.sxxw && *w.sxxw > 0 && w.df >= 1) {
        BandModel bands;
        try {
            bands.t = static_cast<double>(TQuantile(0.5L + kBandLevel / 2, w.df));
            bands.s = *w.sw;
            bands.N = w.N;
            bands.meanX = *w.meanXw;
            bands.qx = *w.sxxw;
            bands.sumW = *w.sumW;
            bands.prediction = false;
            data.bands = bands;
        } catch (const std::exception&) {
        }
    }
    std::size_t next = 0;
    for (std::size_t i = 0; i < d.residuals.size() && next < data.points.size(); ++i) {
        const ResidualRow& row = d.residuals[i];
        if (!std::isfinite(row.x) || !std::isfinite(row.y)) continue;
        PlotPoint& point = data.points[next++];
        point.standardized.reset();
        if (i < w.residuals.size() && w.residuals[i] && w.sw && *w.sw > 0)
            point.standardized = Finite(static_cast<long double>(*w.residuals[i]) / *w.sw);
    }
    data.LD = w.LD;
    data.LC = w.LC;
    data.limitReason = w.limitsReason;
    data.shapiroWilk = w.shapiroWilk;
    data.c0 = w.c0;
    data.c1 = w.c1;
}

} // namespace

PlotData MakePlotData(const CalibrationStudy& study, const Diagnostics& d) {
    PlotData data;
    data.xTitle = AxisTitle(study);
    data.yTitle = study.MeasuredProperty.empty() ? "Respuesta" : study.MeasuredProperty;
    data.units = study.AddedQuantityUnits;
    data.N = d.line.N;
    data.points.reserve(d.residuals.size());
    for (const ResidualRow& row : d.residuals) {
        if (!std::isfinite(row.x) || !std::isfinite(row.y)) continue;
        data.points.push_back({row.x, row.y, row.standardized, row.level, row.replicate, false});
        if (!data.hasPoints) data.levels = {row.x, row.x};
        data.levels.low = std::min(data.levels.low, row.x);
        data.levels.high = std::max(data.levels.high, row.x);
        data.hasPoints = true;
    }
    if (d.line.a && d.line.b) {
        data.a = d.line.a;
        data.b = d.line.b;
        data.bands = Bands(d);
        data.r2 = CoefficientOfDetermination(d);
        data.s = d.line.s;
        if (data.bands && d.line.sa) {
            // The t of the results window (its table), so that the plot's
            // intervals are the ones the results window prints.
            StudentTTable table;
            table.Fill();
            const long double t = table.Lookup(d.line.df);
            const long double ha = t * *d.line.sa;
            const long double hb = t * *d.line.s / std::sqrt(static_cast<long double>(*d.line.qx));
            const auto a = Finite(*d.line.a - ha), a2 = Finite(*d.line.a + ha);
            const auto b = Finite(*d.line.b - hb), b2 = Finite(*d.line.b + hb);
            if (a && a2) data.aInterval = Interval{*a, *a2};
            if (b && b2) data.bInterval = Interval{*b, *b2};
        }
    }
    for (const LevelDiagnostics& level : d.levels)
        if (level.mean && std::isfinite(level.x)) data.means.push_back({level.x, *level.mean});
    for (const ResponsePlace& place : GrubbsFlaggedResponses(d))
        for (PlotPoint& point : data.points)
            if (point.level == place.level && point.replicate == place.replicate)
                point.grubbsFlag = true;
    if (d.study.LD) data.LD = Finite(*d.study.LD);
    if (d.study.LC) data.LC = Finite(*d.study.LC);
    data.limitReason = d.study.reason;
    data.caveats = d.limitCaveats;
    data.shapiroWilk = d.shapiroWilk;
    data.endLevelsF = d.endLevelsF;
    for (const LevelDiagnostics& level : d.levels) {
        if (!level.sd || !std::isfinite(level.x)) continue;
        LevelSpread spread{level.x, *level.sd, std::nullopt};
        if (level.mean && *level.mean != 0)
            spread.cv =
                Finite(100.0L * *level.sd / std::fabs(static_cast<long double>(*level.mean)));
        data.spreads.push_back(spread);
    }
    if (d.options.weighting != WeightScheme::None) {
        if (d.weighted.reason.empty() && d.weighted.a && d.weighted.b)
            UseWeighted(data, d);
        else
            data.weightReason =
                std::string("ponderación ") + WeightName(d.options.weighting) + " no aplicada: " +
                (d.weighted.reason.empty() ? "sin recta ponderada" : d.weighted.reason);
    }
    return data;
}

std::optional<Interval> SharedXData(const PlotData& data) {
    if (!data.hasPoints) return std::nullopt;
    Interval x = data.levels;
    // Every level at least 0: from 0, where the intercept and the limits live.
    if (x.low >= 0) x.low = 0;
    const double width = x.Span() > 0 ? x.Span() : std::fabs(x.high);
    for (const std::optional<double>& limit : {data.LD, data.LC}) {
        if (!limit) continue;
        const double at = std::fabs(*limit);
        if (at < x.low - width || at > x.high + width) continue;
        x.low = std::min(x.low, at);
        x.high = std::max(x.high, at);
    }
    return x;
}

} // namespace valdex
