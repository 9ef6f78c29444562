#pragma once
// Shapiro–Wilk's W of some values and its p value by Royston's
// approximations (Applied Statistics 1995, remark AS R94), for 3 to 5000
// values; outside that, or with all values equal, W is not computed and the
// reason says why.

#include "diagnostics/weighting_results.h"

#include <vector>

namespace valdex {

inline constexpr int kShapiroWilkMax = 5000;

ShapiroWilkTest ShapiroWilk(std::vector<double> values);

} // namespace valdex
