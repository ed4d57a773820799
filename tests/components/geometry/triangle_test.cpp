#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "kestrel/components/geometry/mfSpaceBase.h"
#include "kestrel/components/geometry/plane3d.h"
#include "kestrel/components/geometry/triangle3d.h"

namespace {

plane3d plane(double a, double b, double c, double d) {
    const double abcd[] = {a, b, c, d};
    return plane3d(abcd);
}

vec3d orientation(const triangle3d& t) {
    return cross(t.p2() - t.p1(), t.p3() - t.p1());
}

// The pieces cover the triangle, face the same way and each stays on one side of the plane.
void expectSplit(const triangle3d& whole, const plane3d& cut, std::size_t pieces) {
    std::vector<triangle3d> out{whole};
    ASSERT_TRUE(whole.intersect(cut));
    ASSERT_TRUE(whole.intersect(cut, out));
    ASSERT_EQ(out.size(), pieces + 1);
    EXPECT_EQ(out.front(), whole);  // appended, not replaced
    double area = 0;
    for (std::size_t i = 1; i < out.size(); ++i) {
        const triangle3d& piece = out[i];
        area += piece.area();
        EXPECT_GT(dot(orientation(piece), orientation(whole)), 0) << mf_format(piece);
        double low = 0, high = 0;
        for (int k = 0; k < 3; ++k) {
            low = std::min(low, cut.distance(piece.corner(k)));
            high = std::max(high, cut.distance(piece.corner(k)));
        }
        EXPECT_TRUE(low > -1e-12 || high < 1e-12) << mf_format(piece);
        EXPECT_FALSE(piece.intersect(cut)) << mf_format(piece);
    }
    EXPECT_NEAR(area, whole.area(), 1e-12);
}

TEST(GeomTriangle, SplitPiecesCoverTheTriangleAndKeepItsOrientation) {
    const triangle3d t({0, 0, 0}, {4, 0, 0}, {0, 4, 0});
    const triangle3d reversed(t.p1(), t.p3(), t.p2());
    for (const triangle3d& whole : {t, reversed}) {
        // The lone corner in each position, and both diagonals of the quadrilateral.
        expectSplit(whole, plane(1, 0, 0, -1), 3);
        expectSplit(whole, plane(0, 1, 0, -1), 3);
        expectSplit(whole, plane(1, 1, 0, -1), 3);
        expectSplit(whole, plane(1, 0, 0, -4 + 1e-5), 3);  // just beyond the tolerance
        expectSplit(whole, plane(1, -1, 0, 0), 2);         // through a corner
    }
    // Tilted triangle, tilted plane, the odd corner in every position.
    const triangle3d tilted({0.3, -1, 2}, {5, 1, -1}, {-2, 4, 1});
    expectSplit(tilted, plane(0.2, 1, 0.7, -1.5), 3);
    expectSplit(triangle3d(tilted.p2(), tilted.p3(), tilted.p1()), plane(0.2, 1, 0.7, -1.5), 3);
    expectSplit(triangle3d(tilted.p3(), tilted.p1(), tilted.p2()), plane(0.2, 1, 0.7, -1.5), 3);
}

TEST(GeomTriangle, TouchingPlaneDoesNotCut) {
    const triangle3d t({0, 0, 0}, {4, 0, 0}, {0, 4, 0});
    const double near = 0.5 * mfSpaceBase::m_accuracy;
    std::vector<triangle3d> out;
    for (const plane3d& touching : {plane(1, 0, 0, -4 - near),  // beyond a corner
                                    plane(1, 0, 0, -4 + near),  // corner just across
                                    plane(0, 1, 0, near),       // along an edge
                                    plane(1, 1, 0, -4 + near),  // along the slanted edge
                                    plane(0, 0, 1, 0), plane3d()}) {
        EXPECT_FALSE(t.intersect(touching)) << mf_format(touching);
        EXPECT_FALSE(t.intersect(touching, out)) << mf_format(touching);
    }
    EXPECT_TRUE(out.empty());
    EXPECT_TRUE(t.intersect(plane(1, 0, 0, -4 + 3 * mfSpaceBase::m_accuracy)));
}

}  // namespace
