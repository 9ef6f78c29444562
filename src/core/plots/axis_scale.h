#pragma once
// A linear plot axis: the data interval between the frame's edges and its
// ticks at "nice" values (1, 2 or 5 × 10^k), labelled by FormatGeneral.

#include <functional>
#include <string>
#include <vector>

namespace valdex {

struct Interval {
    double low = 0;
    double high = 1;
    double Span() const { return high - low; }
};

struct AxisScale {
    Interval range;            // the data values at the frame's two edges
    double step = 0;           // between ticks; 0 when there are none
    std::vector<double> ticks; // multiples of step within the range, increasing
    int precision = 6;         // significant digits of the labels
    // The labels are the ticks divided by 10^exponent; the axis states the
    // common factor ("×10⁶") when it is not 0.
    int exponent = 0;
};

// The smallest of 1, 2 or 5 × 10^k that is not below `rough` (> 0).
double NiceStep(double rough);

// The data interval, never empty: equal ends (a single level, equal
// responses) and a width too small for a double to tell its ticks apart get
// a width of their own around the middle. A non-finite end gives nothing.
bool CoverInterval(double low, double high, Interval& interval);

// The interval shown on an axis `length` device pixels long so that the data
// keep `margin` pixels (at least 4 % of the length) from both edges.
Interval PaddedRange(const Interval& data, double length, double margin);

// Ticks of the range: the finest nice step, from about a tenth of the range
// up, that gives at least two ticks and whose ticks `fit` accepts (given the
// ticks, the step's length in pixels and the labels' precision). No ticks
// when no such step fits.
using TicksFit = std::function<bool(const std::vector<double>& ticks, double stepLength,
                                    int precision, int exponent)>;
AxisScale MakeScale(const Interval& range, double length, const TicksFit& fit);

// Significant digits that tell the ticks apart: at least 6, at most 15.
int LabelPrecision(const std::vector<double>& ticks, double step);

// The power of ten the labels of a range share: 0 for ranges whose largest
// end lies from 0.001 to 99999, else that end's decimal exponent.
int CommonExponent(const Interval& range);

// The tick's label: value / 10^exponent, never with an "E" exponent, its
// minus sign U+2212.
std::string TickLabel(double value, int precision, int exponent, char decimalSeparator);

// "×10⁶" for 6; empty for 0.
std::string FactorText(int exponent);

} // namespace valdex
