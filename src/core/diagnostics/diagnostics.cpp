#include "diagnostics/diagnostics.h"

#include "base/app_error.h"
#include "calc/calibration.h"
#include "diagnostics/diagnostics_parts.h"
#include "diagnostics/weighting_evidence.h"

#include <cfloat>
#include <cmath>

namespace valdex {

namespace parts {

Value Finite(long double value) {
    if (!std::isfinite(value) || std::fabs(value) > DBL_MAX) return std::nullopt;
    return static_cast<double>(value);
}

void AddReason(std::string& reason, const std::string& sentence) {
    if (sentence.empty() || reason.find(sentence) != std::string::npos) return;
    reason += (reason.empty() ? "" : " ") + sentence;
}

void Put(Value& field, long double value, std::string& reason) {
    field = Finite(value);
    if (!field) AddReason(reason, kOverflow);
}

} // namespace parts

using namespace parts;

std::string CheckOptions(const DiagnosticOptions& options, char sep) {
    const std::string half = std::string("0") + sep + "5";
    if (!(options.alpha > 0 && options.alpha < 0.5))
        return "El valor de alfa debe ser mayor que 0 y menor que " + half + ".";
    if (!(options.beta > 0 && options.beta < 0.5))
        return "El valor de beta debe ser mayor que 0 y menor que " + half + ".";
    if (options.m < 1 || options.m > 1000)
        return "El valor de m debe ser un número entero de 1 a 1000.";
    if (!(options.k > 0 && options.k <= 100))
        return "El valor de k debe ser mayor que 0 y no mayor que 100.";
    return "";
}

namespace {

LineSummary Summarize(const CalibrationData& data, const LineFit& line) {
    LineSummary summary;
    summary.N = line.N;
    for (const CalibrationLevel& level : data.levels)
        summary.levels += level.responses.empty() ? 0 : 1;
    summary.df = line.N - 2;
    summary.reason = line.reason;
    if (line.N == 0) return summary;
    Put(summary.meanX, line.meanX, summary.reason);
    Put(summary.meanY, line.meanY, summary.reason);
    Put(summary.qx, line.qx, summary.reason);
    summary.xLowest = line.xMin;
    summary.xHighest = line.xMax;
    if (!line.hasLine) return summary;
    Put(summary.a, line.a, summary.reason);
    Put(summary.b, line.b, summary.reason);
    if (!line.hasS) return summary;
    Put(summary.s, line.s, summary.reason);
    Put(summary.sa, line.InterceptSD(), summary.reason);
    if (line.syy > 0) Put(summary.r2, 1 - line.ssRes / line.syy, summary.reason);
    return summary;
}

void Residuals(const CalibrationData& data, const LineFit& line, Diagnostics& d) {
    if (!line.hasLine || !line.hasS)
        d.residualReason = line.reason;
    else if (line.s == 0)
        d.residualReason = "s(y/x) es cero (los puntos están sobre la recta): no hay residuos "
                           "estandarizados.";
    d.residuals.reserve(static_cast<std::size_t>(line.N));
    for (std::size_t i = 0; i < data.levels.size(); ++i) {
        const CalibrationLevel& level = data.levels[i];
        for (std::size_t j = 0; j < level.responses.size(); ++j) {
            ResidualRow row;
            row.level = static_cast<int>(i) + 1;
            row.replicate = static_cast<int>(j) + 1;
            row.x = level.x;
            row.y = level.responses[j];
            if (line.hasLine) {
                const long double e = line.Residual(level.x, level.responses[j]);
                row.residual = Finite(e);
                if (line.hasS && line.s > 0) row.standardized = Finite(e / line.s);
                if (!row.residual) AddReason(d.residualReason, kOverflow);
            }
            d.residuals.push_back(row);
        }
    }
}

} // namespace

Diagnostics ComputeDiagnostics(const CalibrationData& data, const DiagnosticOptions& options) {
    Diagnostics d;
    d.options = options;
    const LineFit line = FitLine(data);
    d.line = Summarize(data, line);
    Residuals(data, line, d);
    d.levels = LevelRows(data, line);
    d.lackOfFit = Guarded<LackOfFitTest>([&] { return LackOfFit(data, line); });
    d.cochran = Guarded<CochranTest>([&] { return Cochran(data); });
    d.bartlett = Guarded<BartlettTest>([&] { return Bartlett(data); });
    d.mandel = Guarded<MandelTest>([&] { return Mandel(data, line); });
    d.ichSyx = Guarded<IchLimits>([&] { return Ich(line, false); });
    d.ichSa = Guarded<IchLimits>([&] { return Ich(line, true); });
    d.din = Guarded<DinLimits>([&] { return Din(line, options); });
    d.hubauxVos = Guarded<HubauxVosLimits>([&] { return HubauxVos(line, options); });
    AddWeightingDiagnostics(data, line, d);
    d.limitCaveats = LimitCaveats(d, '.');
    return d;
}

StudyLimits ComputeStudyLimits(const CalibrationStudy& study, char sep) {
    StudyLimits limits;
    limits.calculationType = study.CalculationType;
    if (!IsKnownCalculationType(study.CalculationType)) {
        limits.reason = "El tipo de cálculo del estudio no es «Regresión» ni «Ordenada al "
                        "Origen»: el estudio no tiene LD ni LC.";
        return limits;
    }
    try {
        CalibrationCalculator calculator(sep);
        CalibrationResult result;
        calculator.ComputeCalibration(study, result);
        Put(limits.LD, result.LD, limits.reason);
        Put(limits.LC, result.LC, limits.reason);
    } catch (const AppError& error) {
        limits.reason = std::string("El cálculo del estudio se detuvo («") + error.what() +
                        "»): el estudio no tiene LD ni LC.";
    }
    return limits;
}

Diagnostics ComputeDiagnostics(const CalibrationStudy& study, const DiagnosticOptions& options,
                               char sep) {
    const CalibrationData data = ReadCalibrationData(study, sep);
    Diagnostics d = ComputeDiagnostics(data, options);
    d.units = study.AddedQuantityUnits;
    d.study = ComputeStudyLimits(study, sep);
    MarkNotEstimable(d.study, FitLine(data));
    d.limitCaveats = LimitCaveats(d, sep);
    return d;
}

} // namespace valdex
