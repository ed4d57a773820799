#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <stdexcept>

#include "kestrel/components/geometry/coordsys3d.h"
#include "kestrel/components/geometry/locsys3d.h"
#include "kestrel/components/geometry/trans3d.h"

namespace {

void expectNear(const vec3d& a, const vec3d& b, double tolerance = 1e-12) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}
void expectNear(const pos3d& a, const pos3d& b, double tolerance = 1e-12) {
    expectNear(a - pos3d{}, b - pos3d{}, tolerance);
}

TEST(GeomTransform, InverseAndCompositionRoundTrip) {
    // Sheared and scaled, so that a transpose would not pass for the inverse.
    const trans3d a = trans3d::fromFrame({2, 0, 1}, {0.5, 3, 0}, {0, -1, 4}, {1, 2, 3});
    const trans3d b = trans3d::fromFrame({0, 1, 0}, {-1, 0, 0}, {0, 0, 1}, {-5, 0, 7});
    const pos3d p{0.3, -1.7, 2.2};

    expectNear(a.apply(pos3d{1, 0, 0}), {3, 2, 4});
    expectNear(a.apply(vec3d{1, 0, 0}), {2, 0, 1});
    expectNear(p.transform(a * b), a.apply(b.apply(p)));
    expectNear(p.transform(a.inverse()).transform(a), p);
    expectNear((a * b).inverse().apply(p), b.inverse().apply(a.inverse().apply(p)));
    expectNear(vec3d{1, 2, 3}.transform(b), {-2, 1, 3});

    EXPECT_THROW(trans3d::fromFrame({1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {}).inverse(), std::invalid_argument);
    // Small but independent columns are not singular.
    EXPECT_NO_THROW(trans3d::fromFrame({1e-9, 0, 0}, {0, 1e-9, 0}, {0, 0, 1e-9}, {}).inverse());

    locsys3d system({1, 2, 3}, {1, 1, 0}, {0, 0, 1});
    expectNear(p.transform(system.globalToLocal()), system.toLocal(p));
    expectNear(p.transform(system.localToGlobal()), system.toGlobal(p));
}

TEST(GeomCoordSystem, CylindricalRoundTripKindsAndNames) {
    const coordsys3d cylinder = coordsys3d::cylindrical(locsys3d({1, 2, 3}, {0, 1, 0}, {0, 0, 1}));
    const pos3d global{4, 6, -1};
    const pos3d local = cylinder.toLocal(global);
    // Local x along global y, local y along global z, local z along global x.
    EXPECT_NEAR(local.x, std::hypot(4, -4), 1e-12);
    EXPECT_NEAR(local.y, -std::numbers::pi / 4, 1e-12);
    EXPECT_NEAR(local.z, 3, 1e-12);
    expectNear(cylinder.toGlobal(local), global);
    // On the negative x axis the angle is pi, never -pi.
    EXPECT_EQ(coordsys3d::cylindrical({}).toLocal({-2, -0.0, -1}).y, std::numbers::pi);

    EXPECT_EQ(cylinder.unit(0), coordsys3d::length);
    EXPECT_EQ(cylinder.unit(1), coordsys3d::angle);
    EXPECT_EQ(cylinder.unit(3), coordsys3d::unknown);
    EXPECT_EQ(coordsys3d().axisName(-1), "");
}

TEST(GeomCoordSystem, VectorRotationsFollowTheLocalDirections) {
    const coordsys3d cylinder = coordsys3d::cylindrical({});
    trans3d out;
    ASSERT_TRUE(cylinder.localToGlobal({2, std::numbers::pi / 2, 5}, out));
    expectNear(out.apply(vec3d{1, 0, 0}), {0, 1, 0});
    expectNear(out.apply(vec3d{0, 1, 0}), {-1, 0, 0});
    expectNear(out.apply(pos3d{}), {});  // a rotation, without translation

    ASSERT_TRUE(cylinder.globalToLocal({0, -3, 5}, out));
    expectNear(out.apply(vec3d{0, -1, 0}), {1, 0, 0});
    expectNear(out.apply(vec3d{1, 0, 0}), {0, 1, 0});

    const trans3d untouched = trans3d::fromFrame({2, 0, 0}, {0, 2, 0}, {0, 0, 2}, {});
    out = untouched;
    EXPECT_FALSE(cylinder.localToGlobal({5e-7, 1, 0}, out));
    EXPECT_FALSE(cylinder.globalToLocal({0, 0, 9}, out));
    EXPECT_EQ(out, untouched);

    // Cartesian: the same rotation everywhere, and no translation from the origin.
    const locsys3d shifted({7, 8, 9}, {0, 1, 0}, {-1, 0, 0});
    ASSERT_TRUE(coordsys3d::cartesian(shifted).localToGlobal({0, 0, 0}, out));
    expectNear(out.apply(vec3d{1, 2, 3}), {-2, 1, 3});
    expectNear(out.translation(), {});
}

}  // namespace
