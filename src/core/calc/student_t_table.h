#pragma once
// Two-sided 95 % critical values of Student's t (the 0.975 quantile) by
// degrees of freedom, as the laboratory's table lists them (324 entries).

#include <array>

namespace valdex {

class StudentTTable {
public:
    static constexpr int kEntries = 324;

    // Writes all 324 entries; called at the start of every calculation.
    void Fill();

    // The value for the given degrees of freedom. Beyond the table the 0.975
    // quantile is computed and rounded to four decimals, like the table.
    double Lookup(int degreesOfFreedom) const;

private:
    std::array<double, kEntries + 1> values_{}; // index 0 unused
};

// 0.975 quantile of Student's t for df degrees of freedom (df >= 1), rounded
// to four decimals like the table (used beyond it).
double ComputedTCritical(int degreesOfFreedom);

} // namespace valdex
