#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <string>

#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/model/laLimitFunctionLiquidPressure.h"
#include "kestrel/model/laLimitFunctionRange.h"

namespace {

using Pressure = laPressure<double>;
using Range = laLimitFunctionRange;

// The limited value as text, "-" when there is none.
std::string limited(const laLimitFunctionPressure& f, double p) {
    Pressure out(-12345);
    if (!f.limit(Pressure(p), out)) return out.real(0) == -12345 ? "-" : "touched";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", out.real(0));
    return buffer;
}

std::string row(const laLimitFunctionPressure& f, std::initializer_list<double> pressures) {
    std::string text;
    for (double p : pressures) text += (text.empty() ? "" : " ") + limited(f, p);
    return text;
}

TEST(LimitFunction, LiquidPressureNeverPulls) {
    const laLimitFunctionLiquidPressure liquid;
    EXPECT_EQ(row(liquid, {-5, 0, 5, std::nan("")}), "0 0 5 -");
}

TEST(LimitFunction, RangeClipsAtInclusiveLimitsAndDropsBeyondExclusiveOnes) {
    const double nan = std::nan("");
    const auto range = [](double lower, double upper, Range::lcRangeType type) {
        return Range(Pressure(lower), Pressure(upper), type);
    };
    EXPECT_EQ(row(range(1000, 5000, Range::both_inclusive), {500, 1000, 3000, 5000, 6000, nan}),
              "1000 1000 3000 5000 5000 -");
    EXPECT_EQ(row(range(1000, 5000, Range::both_exclusive), {500, 1000, 3000, 5000, 6000}), "- - 3000 - -");
    EXPECT_EQ(row(range(1000, 5000, Range::lower_inclusive_upper_exclusive), {500, 5000}), "1000 -");
    EXPECT_EQ(row(range(1000, 5000, Range::lower_exclusive_upper_inclusive), {1000, 9000}), "- 5000");
    // A limit the type does not name is not used.
    EXPECT_EQ(row(range(1000, 5000, Range::lower_inclusive), {500, 9000}), "1000 9000");
    EXPECT_EQ(row(range(1000, 5000, Range::upper_exclusive), {-1e9, 5000}), "-1e+09 -");
    EXPECT_EQ(row(range(1000, 5000, Range::upper_inclusive), {-1e9, 6000}), "-1e+09 5000");
    EXPECT_EQ(row(range(1000, 5000, Range::lower_exclusive), {999, 6000}), "- 6000");
    // Empty ranges hold nothing.
    EXPECT_EQ(row(range(5000, 1000, Range::both_inclusive), {500, 3000, 6000}), "- - -");
    EXPECT_EQ(row(range(1000, 1000, Range::both_inclusive), {500, 1000}), "1000 1000");
    EXPECT_EQ(row(range(1000, 1000, Range::lower_inclusive_upper_exclusive), {500, 1000}), "- -");
    EXPECT_EQ(row(range(nan, 1000, Range::both_inclusive), {500}), "-");
    EXPECT_EQ(row(range(1000, nan, Range::both_inclusive), {500}), "-");
}

// A clone is the same limit with the same settings, and gives its storage back.
TEST(LimitFunction, ClonesKeepKindAndSettings) {
    const long start = mfProgram::program().defaultStrategy().live();
    {
        const Range range(Pressure(1000), Pressure(5000), Range::lower_exclusive_upper_inclusive);
        const std::unique_ptr<laLimitFunctionPressure> copy(range.clone()),
            liquid(laLimitFunctionLiquidPressure().clone());
        ASSERT_NE(dynamic_cast<Range*>(copy.get()), nullptr);
        EXPECT_EQ(row(*copy, {1000, 1001, 9000}), "- 1001 5000");
        EXPECT_NE(dynamic_cast<laLimitFunctionLiquidPressure*>(liquid.get()), nullptr);
    }
    EXPECT_EQ(mfProgram::program().defaultStrategy().live(), start);
}

}  // namespace
