#include "diagnostics/sample_reading.h"

#include "calc/format_general.h"
#include "diagnostics/diagnostics_parts.h"
#include "diagnostics/distributions.h"

#include <cmath>

namespace valdex {

using namespace parts;

namespace parts {

void JudgeSample(SampleReading& reading) {
    const StudyLimits& limits = reading.limits;
    const double x = *reading.x;
    // Above the highest standard a reading is an extrapolation, with limits
    // or without.
    reading.extrapolated = reading.xHighest && x > *reading.xHighest;
    if (!limits.LD || !limits.LC) {
        AddReason(reading.reason, limits.reason.empty()
                                      ? "El estudio no tiene LD ni LC: no hay veredicto."
                                  : limits.reason == kNotEstimable
                                      ? "LD y LC no estimables (s = 0): no hay veredicto."
                                      : limits.reason);
        return;
    }
    reading.belowLowest = !reading.extrapolated && reading.xLowest && x < *reading.xLowest &&
                          x >= std::fabs(*limits.LD);
    if (x < std::fabs(*limits.LD))
        reading.verdict = kBelowLD;
    else if (x < std::fabs(*limits.LC))
        reading.verdict = kBetweenLDAndLC;
    else
        reading.verdict = kAboveLC;
}

} // namespace parts

namespace {

void Interval(const LineFit& line, long double mean, SampleReading& reading) {
    if (!line.hasS) {
        AddReason(reading.reason, line.reason);
        return;
    }
    if (!(reading.alpha > 0 && reading.alpha < 0.5)) {
        AddReason(reading.reason, "El valor de alfa está fuera de intervalo: no hay intervalo.");
        return;
    }
    const long double t = TQuantile(1 - reading.alpha / 2.0L, line.N - 2);
    const long double d = mean - line.meanY;
    const long double h =
        t * line.s / std::fabs(line.b) *
        std::sqrt(1.0L / reading.m + 1.0L / line.N + d * d / (line.b * line.b * line.qx));
    Put(reading.standardError, h / t, reading.reason);
    Put(reading.halfWidth, h, reading.reason);
    Put(reading.lower, *reading.x - h, reading.reason);
    Put(reading.upper, *reading.x + h, reading.reason);
}

} // namespace

SampleReading ReadSample(const LineFit& line, const StudyLimits& limits,
                         const std::vector<double>& responses, double alpha) {
    SampleReading reading;
    reading.m = static_cast<int>(responses.size());
    reading.alpha = alpha;
    reading.limits = limits;
    if (line.N > 0) reading.xLowest = line.xMin, reading.xHighest = line.xMax;
    if (responses.empty()) {
        reading.reason = "La muestra no tiene respuestas.";
        return reading;
    }
    const SampleMoments m = Moments(responses);
    Put(reading.mean, m.mean, reading.reason);
    const std::string noSlope = SlopeUnavailable(line);
    if (!noSlope.empty()) {
        AddReason(reading.reason, noSlope);
        return reading;
    }
    Put(reading.x, (m.mean - line.a) / line.b, reading.reason);
    if (!reading.x) return reading;
    try {
        Interval(line, m.mean, reading);
    } catch (const std::exception&) {
        AddReason(reading.reason, kNumericFailure);
    }
    parts::JudgeSample(reading);
    return reading;
}

SampleReading ReadSample(const CalibrationStudy& study, const std::vector<double>& responses,
                         double alpha, char sep) {
    const LineFit line = FitLine(ReadCalibrationData(study, sep));
    StudyLimits limits = ComputeStudyLimits(study, sep);
    MarkNotEstimable(limits, line);
    SampleReading reading = ReadSample(line, limits, responses, alpha);
    reading.units = study.AddedQuantityUnits;
    return reading;
}

std::string SampleVerdict(const SampleReading& r, char sep) {
    if (r.extrapolated)
        return "fuera del intervalo de calibración (" +
               FormatGeneral(*r.xLowest, kPrecision6, sep) + "–" +
               FormatGeneral(*r.xHighest, kPrecision6, sep) +
               (r.units.empty() ? "" : " " + r.units) + "): extrapolación";
    if (r.verdict.empty()) return "";
    return r.belowLowest ? r.verdict + ", " + kBelowLowest : r.verdict;
}

} // namespace valdex
