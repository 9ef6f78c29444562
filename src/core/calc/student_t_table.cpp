#include "calc/student_t_table.h"

#include <boost/math/distributions/students_t.hpp>

#include <cmath>
#include <iterator>

namespace valdex {

namespace {

// Degrees of freedom 1 to 29, one value each.
constexpr double kFirstValues[29] = {12.706, 4.3027, 3.1825, 2.7764, 2.5706, 2.4469, 2.3646, 2.306,
                                     2.2622, 2.2281, 2.201,  2.1788, 2.1604, 2.1448, 2.1315, 2.1199,
                                     2.1098, 2.1009, 2.093,  2.086,  2.0796, 2.0739, 2.0687, 2.0639,
                                     2.059,  2.0555, 2.0518, 2.0484, 2.0452};

// From 30 on the table is a step function: each value holds from its own
// degrees of freedom up to the entry before the next step.
struct Step {
    int from;
    double value;
};
constexpr Step kSteps[] = {{30, 2.0423},  {35, 2.0301},  {40, 2.0211},  {45, 2.0141},
                           {50, 2.0086},  {60, 2.0003},  {70, 1.9945},  {80, 1.9901},
                           {90, 1.9867},  {100, 1.984},  {120, 1.9799}, {140, 1.9771},
                           {160, 1.9749}, {180, 1.9733}, {200, 1.9719}};

} // namespace

void StudentTTable::Fill() {
    values_[0] = 0;
    for (int df = 1; df <= 29; ++df)
        values_[df] = kFirstValues[df - 1];
    const int steps = static_cast<int>(std::size(kSteps));
    for (int k = 0; k < steps; ++k) {
        const int last = k + 1 < steps ? kSteps[k + 1].from - 1 : kEntries;
        for (int df = kSteps[k].from; df <= last; ++df)
            values_[df] = kSteps[k].value;
    }
}

double StudentTTable::Lookup(int degreesOfFreedom) const {
    if (degreesOfFreedom > kEntries) return ComputedTCritical(degreesOfFreedom);
    if (degreesOfFreedom < 1) return values_[0];
    return values_[degreesOfFreedom];
}

double ComputedTCritical(int degreesOfFreedom) {
    if (degreesOfFreedom < 1) return 0; // no quantile; the calculation never asks for one
    const boost::math::students_t_distribution<long double> t(degreesOfFreedom);
    const long double quantile = boost::math::quantile(t, 0.975L);
    return static_cast<double>(std::round(quantile * 10000.0L) / 10000.0L);
}

} // namespace valdex
