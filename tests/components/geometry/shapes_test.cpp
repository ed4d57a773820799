#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "kestrel/components/geometry/line3d.h"
#include "kestrel/components/geometry/plane3d.h"
#include "kestrel/components/geometry/polygon3d.h"

namespace {

void expectNear(const pos3d& a, const pos3d& b) {
    EXPECT_NEAR(a.x, b.x, 1e-12);
    EXPECT_NEAR(a.y, b.y, 1e-12);
    EXPECT_NEAR(a.z, b.z, 1e-12);
}

TEST(GeomLine, ProjectsWithParameterOnAndBeyondTheEnds) {
    line3d line({1, 1, 0}, {3, 1, 0});
    pos3d foot;
    double d = -1, t = -1;
    ASSERT_TRUE(line.project({2, 5, 0}, foot, d, t));
    expectNear(foot, {2, 1, 0});
    EXPECT_DOUBLE_EQ(d, 4);
    EXPECT_DOUBLE_EQ(t, 0.5);
    ASSERT_TRUE(line.project({0, 1, 0}, foot, d, t));
    EXPECT_DOUBLE_EQ(t, -0.5);
    ASSERT_TRUE(line.project({5, 0, 0}, foot, d, t));
    EXPECT_DOUBLE_EQ(t, 2);

    line3d awkward({0.1, 0.2, 0.3}, {0.7, -0.9, 1e5});
    EXPECT_EQ(awkward.position(0), awkward.end1());
    EXPECT_EQ(awkward.position(1), awkward.end2());
}

TEST(GeomLine, DegenerateLineHasNoParameter) {
    line3d line({1, 2, 3}, {1, 2, 3 + 5e-7});
    pos3d foot{9, 9, 9};
    double d = -1, t = -1;
    EXPECT_FALSE(line.project({1, 5, 7}, foot, d, t));
    EXPECT_EQ(foot, (pos3d{1, 2, 3}));
    EXPECT_DOUBLE_EQ(d, 5);
    EXPECT_EQ(t, 0);
    // Short, but longer than the tolerance: a line.
    EXPECT_TRUE(line3d({0, 0, 0}, {0, 0, 1e-5}).project({0, 1, 0}, foot, d, t));
}

TEST(GeomPlane, ThreePointsSpanAPlaneOnlyWhenNotCollinear) {
    EXPECT_FALSE(plane3d({0, 0, 0}, {1, 0, 0}, {2, 5e-7, 0}).defined());
    EXPECT_TRUE(plane3d({0, 0, 0}, {1, 0, 0}, {2, 3e-6, 0}).defined());
    // Far apart yet all within the accuracy of one line.
    EXPECT_FALSE(plane3d({0, 0, 0}, {1000, 0, 0}, {500, 9e-7, 0}).defined());
    EXPECT_FALSE(plane3d({0, 0, 0}, {0, 0, 0}, {0, 1, 0}).defined());
    EXPECT_FALSE(plane3d({0, 0, 0}, {1, 0, 0}, {0, NAN, 0}).defined());

    plane3d xy({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
    EXPECT_EQ(xy.normal(), (vec3d{0, 0, 1}));
    EXPECT_EQ(xy.project({0.5, 0.5, 7}), (pos3d{0.5, 0.5, 0}));

    // Far from the origin the defining point still projects onto itself exactly.
    const pos3d p1{123456.1, -654321.3, 1000.7};
    plane3d far(p1, p1 + vec3d{0.3, 0.1, 0.2}, p1 + vec3d{-0.1, 0.4, 0.05});
    EXPECT_EQ(far.project(p1), p1);
    EXPECT_EQ(plane3d().project(p1), p1);
}

TEST(GeomPlane, CoefficientsAreNormalised) {
    const double abcd[] = {0, 3, 4, -10};
    plane3d plane(abcd);
    ASSERT_TRUE(plane.defined());
    EXPECT_DOUBLE_EQ(plane.coefficient(1), 0.6);
    EXPECT_DOUBLE_EQ(plane.coefficient(2), 0.8);
    EXPECT_DOUBLE_EQ(plane.coefficient(3), -2);
    EXPECT_DOUBLE_EQ(plane.distance({0, 3, 4}), 3);
    EXPECT_THROW(plane.coefficient(4), std::out_of_range);

    const double tiny[] = {1e-200, 0, 0, -2e-200};
    EXPECT_TRUE(plane3d(tiny).defined());
    EXPECT_DOUBLE_EQ(plane3d(tiny).coefficient(3), -2);
    for (const double bad : {0.0, double(NAN)}) {
        const double abcdBad[] = {bad, 0, 0, 1};
        EXPECT_FALSE(plane3d(abcdBad).defined());
    }
}

TEST(GeomPlane, ProjectsOntoTiltedPlane) {
    plane3d plane({2, 0, 0}, {0, 0, 2}, {0, 1, 2});  // x + z = 2
    const pos3d foot = plane.project({2, 3, 2});
    expectNear(foot, {1, 3, 1});
    // The normal follows (p2 - p1) x (p3 - p1), here -(1, 0, 1).
    EXPECT_NEAR(plane.distance({2, 3, 2}), -std::sqrt(2.0), 1e-12);
    EXPECT_NEAR(plane.distance(foot), 0, 1e-12);
    EXPECT_EQ(mf_format(plane3d()), "{undefined}");
}

TEST(GeomPolygon, NewellNormalAndAreaFollowTheCornerOrder) {
    // An L shape, counter-clockwise in a plane tilted about the x axis.
    const double c = std::cos(0.3), s = std::sin(0.3);
    std::vector<pos3d> corners;
    for (auto [u, v] : {std::pair{0.0, 0.0}, {2.0, 0.0}, {2.0, 1.0}, {1.0, 1.0}, {1.0, 2.0}, {0.0, 2.0}})
        corners.push_back({u + 50, v * c + 40, v * s});
    polygon3d polygon(corners);
    EXPECT_NEAR(polygon.area(), 3, 1e-12);
    EXPECT_NEAR(polygon.normal().y, -s, 1e-12);
    EXPECT_NEAR(polygon.normal().z, c, 1e-12);
    EXPECT_EQ(polygon3d({{0, 0, 0}, {1, 0, 0}, {2, 5e-7, 0}}).normal(), vec3d{});
    // Far apart yet all within the accuracy of one line.
    EXPECT_EQ(polygon3d({{0, 0, 0}, {1000, 0, 0}, {500, 9e-7, 0}}).normal(), vec3d{});
}

}  // namespace
