#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>

#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/components/geometry/mfSpaceBase.h"
#include "kestrel/model/laFootprintLine.h"
#include "kestrel/model/laFootprintPoint.h"
#include "kestrel/model/laForcePerLength.h"
#include "kestrel/model/laIntensityLinearParametric.h"
#include "kestrel/model/laIntensityLinearVarying.h"
#include "kestrel/model/laTemperature.h"

namespace {

using LinearPressure = laIntensityLinearVarying<laPressure<double>>;
using LinearLineLoad = laIntensityLinearParametric<laForcePerLength<double>>;
using Temperature = laTemperature<double>;
constexpr auto length = coordsys3d::length;
constexpr auto angle = coordsys3d::angle;

double first(const lcIntensity& intensity) {
    return intensity.empty() ? std::nan("") : intensity.real(0);
}

TEST(LinearVarying, CoefficientsOfAnotherKindThanTheirAxisCountOnlyWhenNegligible) {
    const double m = mfSpaceBase::m_accuracy;
    for (double k1 : {0.5 * m, -0.5 * m, 1.0, m, -m}) {
        auto* f = mfCreate<LinearPressure>(k1, angle, 2.0, length, 0.0, length, 10.0);
        f->positionSystem = lcLoad::global;  // every axis a length
        const double value = first(f->getIntensity(nullptr, {100, 3, 0}, lcLoad::global, 1.0));
        if (std::abs(k1) < m)
            EXPECT_DOUBLE_EQ(value, k1 * 100 + 6 + 10);
        else
            EXPECT_TRUE(std::isnan(value)) << k1;
        delete f;
    }
    auto* f = mfCreate<LinearPressure>(1e-300, length, 0.0, length, 0.0, length, 10.0);
    EXPECT_FALSE(f->hasConstantIntensity());
    delete f;
}

TEST(LinearVarying, EvaluatesAndDescribesInTheLoadsCylindricalCoordinates) {
    // 2 per metre of radius, 3 per radian, 1 per metre along the axis, 10 at the origin.
    auto* f = mfCreate<LinearPressure>(2.0, length, 3.0, angle, 1.0, length, 10.0);
    const lcLoad cylinder(coordsys3d::cylindrical(locsys3d({0, 0, 1}, {1, 0, 0}, {0, 1, 0})));
    EXPECT_DOUBLE_EQ(first(f->getIntensity(&cylinder, {0, 2, 6}, lcLoad::global, {2, 0})),
                     2 * (2 * 2 + 3 * std::numbers::pi / 2 + 5 + 10));
    EXPECT_EQ(f->description(&cylinder),
              "Linear varying Pressure2 N/m3 * r + \n3 N/m2/rad * theta + \n1 N/m3 * z + \n10 N/m2");
    f->unit2 = length;
    EXPECT_TRUE(f->getIntensity(&cylinder, {0, 2, 6}, lcLoad::global, 1.0).empty());
    EXPECT_EQ(f->description(&cylinder),
              "Linear varying Pressure2 N/m3 * r + \n Load coordTrans is incompatible with the coefficients.1 N/m3 * "
              "z + \n10 N/m2");
    // Global positions ignore the load's system, in values and in the description alike.
    f->positionSystem = lcLoad::global;
    EXPECT_DOUBLE_EQ(first(f->getIntensity(&cylinder, {1, 2, 3}, lcLoad::global, 1.0)), 2 + 6 + 3 + 10);
    EXPECT_EQ(f->description(&cylinder), "Linear varying Pressure2 N/m3 * x + \n3 N/m3 * y + \n1 N/m3 * z + \n10 N/m2");
    delete f;
}

TEST(LinearVarying, IndexErrorsAndTheConstantPlane) {
    auto* f = mfCreate<LinearPressure>(2.0, length, 0.0, length, 0.0, length, 10.0);
    EXPECT_THROW(f->coefficient(4), std::runtime_error);
    EXPECT_THROW(f->unit(3), std::runtime_error);
    EXPECT_THROW(f->coefficient(-1), std::runtime_error);

    // 2 x + 10 is 14 on x = 2.
    plane3d plane;
    lcIntensity level(1);
    level.set_complex(0, 14.0);
    ASSERT_TRUE(f->getConstantIntensityPlane(level, plane));
    EXPECT_NEAR(plane.distance({2, 7, -3}), 0.0, 1e-12);
    // Each level has its own plane; without one, the plane of zero.
    level.set_complex(0, 10.0);
    ASSERT_TRUE(f->getConstantIntensityPlane(level, plane));
    EXPECT_NEAR(plane.distance({0, 1, 1}), 0.0, 1e-12);
    ASSERT_TRUE(f->getConstantIntensityPlane(lcIntensity(), plane));
    EXPECT_NEAR(plane.distance({-5, 1, 1}), 0.0, 1e-12);
    delete f;
}

TEST(LinearParametric, InterpolatesAlongTheLineFootprintWithoutClamping) {
    auto* f = mfCreate<laIntensityLinearParametric<Temperature>>(Temperature(2), Temperature(6));
    laFootprintLine footprint(line3d({0, 0, 0}, {4, 0, 0}));
    laFootprintPoint point({1, 0, 0});
    const lcLoad load({}, &footprint, {2, 0}), bare, onPoint({}, &point);
    EXPECT_EQ(first(f->getIntensity(&load, {1, 0, 0}, lcLoad::global, 1.0)), 3.0);
    EXPECT_EQ(first(f->getIntensity(&load, {6, 0, 0}, lcLoad::global, 1.0)), 8.0);
    // Off the line, and without a line footprint: nothing.
    EXPECT_TRUE(f->getIntensity(&load, {1, 0.1, 0}, lcLoad::global, 1.0).empty());
    EXPECT_TRUE(f->getIntensity(&bare, {1, 0, 0}, lcLoad::global, 1.0).empty());
    EXPECT_TRUE(f->getIntensity(&onPoint, {1, 0, 0}, lcLoad::global, 1.0).empty());
    EXPECT_EQ(f->description(&load), "Linear Temperature Load\n1: 4 K\n2: 12 K");
    delete f;
}

TEST(LinearParametric, MaximumIsAtTheLargerEndAndAtTheStartForEqualEnds) {
    // Radial values: where along the line they are taken shows in their global direction.
    laFootprintLine footprint(line3d({1, 0, 0}, {0, 1, 0}));
    const lcLoad load(coordsys3d::cylindrical(locsys3d()), &footprint);
    const laForcePerLength<double> radial(1, 0, 0);
    auto* equal = mfCreate<LinearLineLoad>(radial, radial);
    auto* growing = mfCreate<LinearLineLoad>(radial, radial * 2.0);
    EXPECT_NEAR(equal->getMaximumIntensity(&load, lcLoad::global, 1.0).real(0), 1.0, 1e-12);
    // A factor scales both ends alike and cannot change which one is larger.
    EXPECT_NEAR(growing->getMaximumIntensity(&load, lcLoad::global, {3, 0}).real(1), 6.0, 1e-12);
    EXPECT_TRUE(equal->getMaximumIntensity(nullptr, lcLoad::global, 1.0).empty());
    delete equal;
    delete growing;
}

}  // namespace
