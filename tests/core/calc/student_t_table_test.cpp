#include "calc/student_t_table.h"

#include <gtest/gtest.h>

namespace valdex {
namespace {

TEST(StudentTTableTest, EntriesAndSteps) {
    StudentTTable table;
    table.Fill();
    struct Case {
        int df;
        double value;
    };
    const Case cases[] = {
        {1, 12.706},  {2, 4.3027},   {3, 3.1825},   {10, 2.2281},  {15, 2.1315},  {25, 2.059},
        {29, 2.0452}, {30, 2.0423},  {34, 2.0423},  {35, 2.0301},  {44, 2.0211},  {45, 2.0141},
        {59, 2.0086}, {60, 2.0003},  {70, 1.9945},  {79, 1.9945},  {99, 1.9867},  {100, 1.984},
        {119, 1.984}, {120, 1.9799}, {180, 1.9733}, {199, 1.9733}, {200, 1.9719}, {324, 1.9719},
    };
    for (const Case& c : cases)
        EXPECT_EQ(table.Lookup(c.df), c.value) << c.df;
}

TEST(StudentTTableTest, BeyondTheTableTheQuantileIsComputed) {
    StudentTTable table;
    table.Fill();
    // 0.975 quantiles of Student's t, rounded to four decimals.
    struct Case {
        int df;
        double value;
    };
    const Case cases[] = {{325, 1.9673},  {400, 1.9659},   {500, 1.9647},
                          {1000, 1.9623}, {10000, 1.9602}, {1000000, 1.96}};
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(table.Lookup(c.df), c.value) << c.df;
}

TEST(StudentTTableTest, ComputedValuesAgreeWithTheTableWhereItIsExact) {
    // Where the table lists exact quantiles the computed quantile must agree.
    EXPECT_NEAR(ComputedTCritical(120), 1.9799, 0.0001);
    EXPECT_NEAR(ComputedTCritical(200), 1.9719, 0.0001);
    EXPECT_NEAR(ComputedTCritical(60), 2.0003, 0.0001);
}

} // namespace
} // namespace valdex
