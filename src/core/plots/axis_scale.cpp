#include "plots/axis_scale.h"

#include "calc/format_general.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace valdex {

namespace {

constexpr double kMarginShare = 0.04;
constexpr int kMaxTicks = 50;
// Labels of more digits than a double holds would repeat one another.
constexpr double kSmallestRelativeWidth = 1e-9;

} // namespace

double NiceStep(double rough) {
    if (!(rough > 0) || !std::isfinite(rough)) return 0;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double factor : {1.0, 2.0, 5.0, 10.0}) {
        // The tolerance keeps 0.2 (stored a hair above) from becoming 0.5.
        if (factor * power >= rough * (1 - 1e-12)) return factor * power;
    }
    return 10 * power;
}

bool CoverInterval(double low, double high, Interval& interval) {
    if (!std::isfinite(low) || !std::isfinite(high)) return false;
    if (low > high) std::swap(low, high);
    const long double middle = (static_cast<long double>(low) + high) / 2;
    const long double magnitude = std::max(std::fabs(low), std::fabs(high));
    long double width = static_cast<long double>(high) - low;
    const long double least = magnitude * kSmallestRelativeWidth;
    if (width <= least) width = magnitude > 0 ? std::max(least, magnitude * 0.2L) : 1.0L;
    const long double newLow = middle - width / 2, newHigh = middle + width / 2;
    if (!(std::fabs(newLow) <= DBL_MAX && std::fabs(newHigh) <= DBL_MAX)) return false;
    interval = {static_cast<double>(std::min<long double>(newLow, low)),
                static_cast<double>(std::max<long double>(newHigh, high))};
    return interval.high > interval.low && std::isfinite(interval.high - interval.low);
}

Interval PaddedRange(const Interval& data, double length, double margin) {
    // The data take the length less the two margins.
    margin = std::max(margin, kMarginShare * length);
    const double inner = length - 2 * margin;
    if (!(inner > 0)) return data;
    const long double perPixel = static_cast<long double>(data.Span()) / inner;
    const long double low = data.low - margin * perPixel, high = data.high + margin * perPixel;
    if (!(std::fabs(low) <= DBL_MAX && std::fabs(high) <= DBL_MAX)) return data;
    return {static_cast<double>(low), static_cast<double>(high)};
}

namespace {

std::vector<double> TicksWithin(const Interval& range, double step) {
    std::vector<double> ticks;
    const double first = std::ceil(range.low / step), last = std::floor(range.high / step);
    if (!std::isfinite(first) || !std::isfinite(last) || last - first > kMaxTicks) return ticks;
    for (double k = first; k <= last; ++k) {
        double tick = k * step;
        if (tick == 0) tick = 0; // never "-0"
        ticks.push_back(tick);
    }
    return ticks;
}

} // namespace

int LabelPrecision(const std::vector<double>& ticks, double step) {
    double largest = 0;
    for (double tick : ticks)
        largest = std::max(largest, std::fabs(tick));
    if (largest == 0 || !(step > 0)) return 6;
    const int digits =
        static_cast<int>(std::floor(std::log10(largest)) - std::floor(std::log10(step))) + 1;
    return std::clamp(digits, 6, 15);
}

AxisScale MakeScale(const Interval& range, double length, const TicksFit& fit) {
    AxisScale scale;
    scale.range = range;
    const double span = range.Span();
    if (!(span > 0) || !std::isfinite(span) || !(length > 0)) return scale;
    for (double step = NiceStep(span / 10); step > 0 && step <= span * 10;
         step = NiceStep(step * 1.5)) {
        std::vector<double> ticks = TicksWithin(range, step);
        if (ticks.size() < 2) continue;
        const int exponent = CommonExponent(range);
        const double factor = std::pow(10.0, -exponent);
        std::vector<double> scaled;
        for (double tick : ticks)
            scaled.push_back(tick * factor);
        const int precision = LabelPrecision(scaled, step * factor);
        if (fit(ticks, step / span * length, precision, exponent)) {
            scale.step = step;
            scale.ticks = std::move(ticks);
            scale.precision = precision;
            scale.exponent = exponent;
            return scale;
        }
    }
    return scale;
}

int CommonExponent(const Interval& range) {
    const double largest = std::max(std::fabs(range.low), std::fabs(range.high));
    if (!(largest > 0) || !std::isfinite(largest) || (largest >= 1e-3 && largest < 1e5)) return 0;
    return static_cast<int>(std::floor(std::log10(largest)));
}

std::string TickLabel(double value, int precision, int exponent, char sep) {
    const double scaled = exponent == 0 ? value : value * std::pow(10.0, -exponent);
    // A tick at zero, however it was reached, is "0".
    return FormatProse(std::fabs(scaled) < 1e-12 ? 0.0 : scaled, precision, sep, true);
}

std::string FactorText(int exponent) {
    return exponent == 0 ? std::string() : "×10" + SuperscriptExponent(exponent);
}

} // namespace valdex
