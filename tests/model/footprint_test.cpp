#include <gtest/gtest.h>

#include <set>

#include "kestrel/components/geometry/mfSpaceBase.h"
#include "kestrel/model/laFootprintBox.h"
#include "kestrel/model/laFootprintLine.h"
#include "kestrel/model/laFootprintPoint.h"
#include "kestrel/model/laFootprintPolygon.h"

namespace {

// Half and twice the length tolerance, for positions just inside and just outside it.
const double kIn = 0.5 * mfSpaceBase::m_accuracy;
const double kOut = 2.0 * mfSpaceBase::m_accuracy;

TEST(FootprintWithin, PointIsThatPointWithinTheTolerance) {
    const laFootprintPoint point(pos3d(1, 2, 3));
    EXPECT_TRUE(point.within(pos3d(1, 2, 3)));
    EXPECT_TRUE(point.within(pos3d(1 + kIn, 2, 3)));
    EXPECT_FALSE(point.within(pos3d(1, 2 + kOut, 3)));
}

TEST(FootprintWithin, LineIsItsSegmentNotTheWholeLine) {
    const laFootprintLine rail(line3d(pos3d(0, 0, 6), pos3d(24, 0, 6)));
    for (double x : {0.0, 12.0, 24.0, -kIn, 24.0 + kIn}) EXPECT_TRUE(rail.within(pos3d(x, 0, 6))) << x;
    for (double x : {-kOut, 24.0 + kOut, 30.0}) EXPECT_FALSE(rail.within(pos3d(x, 0, 6))) << x;
    EXPECT_TRUE(rail.within(pos3d(5, kIn, 6)));
    EXPECT_FALSE(rail.within(pos3d(5, 0.01, 6)));
    // Without length the line is its one point.
    const laFootprintLine stub(line3d(pos3d(1, 1, 1), pos3d(1, 1, 1)));
    EXPECT_TRUE(stub.within(pos3d(1, 1, 1)));
    EXPECT_FALSE(stub.within(pos3d(1, 1, 1.01)));
}

TEST(FootprintWithin, PolygonIsItsPlaneRegionBoundaryIncluded) {
    // A facade in the x-z plane, corners in both orders.
    const List<pos3d> corners{{0, 0, 0}, {12, 0, 0}, {12, 0, 7}, {0, 0, 7}};
    const laFootprintPolygon facade(corners);
    const laFootprintPolygon reversed(List<pos3d>(corners.rbegin(), corners.rend()));
    for (const laFootprintPolygon* polygon : {&facade, &reversed}) {
        // Inside, the corners and the middle of every edge, and just outside an edge.
        for (const pos3d& p : {pos3d(4, 0, 3), pos3d(0, 0, 0), pos3d(12, 0, 7), pos3d(6, 0, 0), pos3d(12, 0, 3.5),
                               pos3d(6, 0, 7), pos3d(0, 0, 3.5), pos3d(-kIn, 0, 3), pos3d(4, kIn, 7 + kIn)})
            EXPECT_TRUE(polygon->within(p)) << mf_format(p);
        // Outside in the plane, on the line of an edge beyond its end, past an edge beyond the
        // tolerance, and off the plane.
        for (const pos3d& p : {pos3d(13, 0, 3), pos3d(13, 0, 7), pos3d(4, 0, 7 + kOut), pos3d(-kOut, 0, 0),
                               pos3d(4, kOut, 3), pos3d(4, 1, 3), pos3d(1, 0, 10)})
            EXPECT_FALSE(polygon->within(p)) << mf_format(p);
    }
}

TEST(FootprintWithin, ConcavePolygonLeavesItsNotchOut) {
    // An L in a sloping plane: the notch lies within the bounding box but not the region.
    const vec3d u(1, 0, 1);
    const vec3d v(0, 1, 0);
    const auto at = [&](double a, double b) { return pos3d(0, 0, 0) + u * a + v * b; };
    const laFootprintPolygon l(List<pos3d>{at(0, 0), at(4, 0), at(4, 1), at(1, 1), at(1, 4), at(0, 4)});
    EXPECT_TRUE(l.within(at(0.5, 3)));
    EXPECT_TRUE(l.within(at(3, 0.5)));
    EXPECT_TRUE(l.within(at(1, 2)));  // on the inner edge
    EXPECT_FALSE(l.within(at(2, 2)));
    EXPECT_FALSE(l.within(at(3.9, 3.9)));
    // A degenerate polygon holds nothing.
    const laFootprintPolygon flat(List<pos3d>{{0, 0, 0}, {1, 0, 0}, {2, 0, 0}});
    EXPECT_FALSE(flat.within(pos3d(1, 0, 0)));
}

TEST(FootprintWithin, BoxIsItsVolumeInItsOwnAxes) {
    // The example's tank: local x along global y, corners in local coordinates, in either order.
    const locsys3d axis(pos3d(12.5, -4, 0), vec3d(0, 1, 0), vec3d(-1, 0, 0));
    for (const auto& [p1, p2] : {std::pair{pos3d(-3, -2, 0), pos3d(3, 2, 8)}, {pos3d(3, 2, 8), pos3d(-3, -2, 0)}}) {
        const laFootprintBox tank(oriented_bbox3d(p1, p2, axis));
        EXPECT_TRUE(tank.within(pos3d(12.5, -4, 4)));
        EXPECT_TRUE(tank.within(pos3d(10.5, -1, 8)));  // a corner
        EXPECT_TRUE(tank.within(pos3d(12.5, -7 - kIn, 0)));
        EXPECT_FALSE(tank.within(pos3d(12.5, -7 - kOut, 0)));
        EXPECT_FALSE(tank.within(pos3d(12.5, -4, 8.5)));
        EXPECT_FALSE(tank.within(pos3d(16, -4, 4)));
        EXPECT_EQ(tank.boxSize(), vec3d(6, 4, 8));
        // Its eight corners, each once.
        List<pos3d> corners;
        tank.getPoints(corners);
        EXPECT_EQ(std::set<pos3d>(corners.begin(), corners.end()).size(), 8u);
        for (const pos3d& corner : corners) EXPECT_TRUE(tank.within(corner)) << mf_format(corner);
    }
}

// A line's system has its x axis along the line, whichever way the line runs.
TEST(FootprintLine, OrientationRunsAlongTheLine) {
    for (const vec3d& d : {vec3d(3, 0, 0), vec3d(0, 0, -2), vec3d(1, 1, 1)}) {
        const laFootprintLine line(line3d(pos3d(1, 2, 3), pos3d(1, 2, 3) + d));
        locsys3d system;
        ASSERT_TRUE(line.orientation(0.5, system));
        EXPECT_EQ(system.origin(), pos3d(1, 2, 3) + d * 0.5);
        EXPECT_NEAR(dot(system.unitX(), d), d.length(), 1e-12);
    }
    locsys3d system;
    EXPECT_FALSE(laFootprintLine(line3d(pos3d(1, 2, 3), pos3d(1, 2, 3))).orientation(0, system));
}

}  // namespace
