#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <stdexcept>
#include <string>

#include "kestrel/components/geometry/locsys3d.h"
#include "kestrel/components/geometry/mfSpaceBase.h"
#include "kestrel/components/geometry/pos3d.h"
#include "kestrel/components/geometry/vec3d.h"

namespace {

std::string refusal(const vec3d& x, const vec3d& y) {
    try {
        locsys3d({0, 0, 0}, x, y);
    } catch (const std::invalid_argument& error) {
        return error.what();
    }
    return "accepted";
}

// Map keys: positions closer than the accuracy are still different keys.
TEST(Position, OrdersExactlyAndLexicographically) {
    const double tiny = std::numeric_limits<double>::denorm_min();
    EXPECT_TRUE((pos3d{0, 0, 0} < pos3d{0, 0, tiny}));
    EXPECT_TRUE((pos3d{0, 9, 9} < pos3d{1, 0, 0}));
    EXPECT_TRUE((pos3d{1, 0, 9} < pos3d{1, 1, 0}));
    EXPECT_FALSE((pos3d{1, 2, 3} < pos3d{1, 2, 3}));
    EXPECT_FALSE((pos3d{-0.0, 0, 0} < pos3d{0, 0, 0}) || (pos3d{0, 0, 0} < pos3d{-0.0, 0, 0}));
    std::map<pos3d, int> keys{{{0, 0, 1e-9}, 1}, {{0, 0, 0}, 2}, {{0, 0, -1e-9}, 3}};
    EXPECT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys.begin()->second, 3);
    EXPECT_EQ(mf_format(pos3d{1, -0.5, 1e-300}), "(1, -0.5, 1e-300)");
}

TEST(LocalSystem, KeepsGivenAxesAndBuildsOrthonormalFrame) {
    locsys3d system({1, 2, 3}, {2, 0, 0}, {1, 1, 0});
    EXPECT_EQ(system.unitX(), (vec3d{1, 0, 0}));
    EXPECT_EQ(system.unitY(), (vec3d{0, 1, 0}));
    EXPECT_EQ(system.unitZ(), (vec3d{0, 0, 1}));
    EXPECT_EQ(system.toLocal({2, 2, 3}), (pos3d{1, 0, 0}));
    pos3d back = system.toGlobal(system.toLocal({4, -5, 6.5}));
    EXPECT_NEAR(back.x, 4, 1e-12);
    EXPECT_NEAR(back.y, -5, 1e-12);
    EXPECT_NEAR(back.z, 6.5, 1e-12);
}

TEST(LocalSystem, RefusesAxesThatAreNotIndependent) {
    EXPECT_EQ(refusal({1, 0, 0}, {2, 0, 0}),
              "local system axes x_axis (1, 0, 0) and y_axis (2, 0, 0) are not independent");
    EXPECT_NE(refusal({1, 0, 0}, {-1, 0, 0}), "accepted");
    EXPECT_NE(refusal({1, 0, 0}, {1, 1e-7, 0}), "accepted");
    EXPECT_EQ(refusal({1, 0, 0}, {1, 1e-5, 0}), "accepted");
    for (const vec3d& bad : {vec3d{0, 0, 0}, vec3d{NAN, 0, 1}, vec3d{INFINITY, 0, 1}})
        EXPECT_NE(refusal({1, 0, 0}, bad), "accepted");

    // The tolerance is the shared accuracy.
    EXPECT_EQ(mfSpaceBase::m_accuracy, 1e-6);
    const double saved = mfSpaceBase::m_accuracy;
    mfSpaceBase::m_accuracy = 1e-9;
    EXPECT_EQ(refusal({1, 0, 0}, {1, 1e-7, 0}), "accepted");
    mfSpaceBase::m_accuracy = saved;
}

}  // namespace
