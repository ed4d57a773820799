#include <gtest/gtest.h>

#include <complex>
#include <numbers>
#include <vector>

#include "counting_factory.h"
#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/components/types/mfTypeInfoHierarchy.h"
#include "kestrel/model/laDisplacement.h"
#include "kestrel/model/laFootprintPolygon.h"
#include "kestrel/model/laForceMoment.h"
#include "kestrel/model/laForcePerArea.h"
#include "kestrel/model/laIntensityConstant.h"
#include "kestrel/model/laIntensityThreePointVarying.h"
#include "kestrel/model/laLimitFunctionRange.h"
#include "kestrel/model/laPressure.h"
#include "kestrel/model/laTraction.h"

namespace {

using Pressure = laPressure<double>;
using ForceMoment = laForceMoment<double>;
using ConstantPressure = laIntensityConstant<Pressure>;
using ThreePointPressure = laIntensityThreePointVarying<Pressure>;
constexpr std::complex<double> one = 1.0;

ThreePointPressure* threePoint(double v1, double v2, double v3, pos3d p3 = {0, 1, 0}) {
    return mfCreate<ThreePointPressure>(pos3d(0, 0, 0), Pressure(v1), pos3d(1, 0, 0), Pressure(v2), p3, Pressure(v3));
}

// The real component 0 of an intensity; NaN when it is empty.
double first(const lcIntensity& intensity) {
    return intensity.empty() ? std::nan("") : intensity.real(0);
}

void expectVector(const lcIntensity& intensity, std::size_t from, vec3d expected) {
    ASSERT_GE(intensity.size(), from + 3);
    EXPECT_NEAR(intensity.real(from), expected.x, 1e-12);
    EXPECT_NEAR(intensity.real(from + 1), expected.y, 1e-12);
    EXPECT_NEAR(intensity.real(from + 2), expected.z, 1e-12);
}

TEST(ThreePoint, InterpolatesOverThePlaneAndExtrapolatesBeyondIt) {
    const long start = mfProgram::program().defaultStrategy().live();
    ThreePointPressure* f = threePoint(1, 2, 4);
    f->positionSystem = lcLoad::global;
    const lcLoad load;
    EXPECT_EQ(first(f->getIntensity(&load, {0.5, 0.5, 7}, lcLoad::global, one)), 3.0);
    EXPECT_EQ(first(f->getIntensity(&load, {2, 0, 0}, lcLoad::global, one)), 3.0);
    EXPECT_EQ(first(f->getIntensity(&load, {0, -1, 0}, lcLoad::global, one)), -2.0);
    // The intensity keeps the imaginary part of the factor.
    EXPECT_EQ(f->getIntensity(&load, {0.5, 0.5, 0}, lcLoad::global, {0, 2}).get_complex(0), std::complex<double>(0, 6));

    // Local positions: the same values where the load's system puts the points.
    f->positionSystem = lcLoad::local;
    const lcLoad shifted(coordsys3d::cartesian(locsys3d({10, 0, 0}, {1, 0, 0}, {0, 1, 0})));
    EXPECT_EQ(first(f->getIntensity(&shifted, {10.5, 0.5, 0}, lcLoad::global, one)), 3.0);
    EXPECT_EQ(first(f->getIntensity(&shifted, {0.5, 0.5, 0}, lcLoad::global, one)), -7.0);
    delete f;

    // Point3 off the perpendicular through point1: its foot lies halfway along point1-point2.
    ThreePointPressure* skewed = threePoint(1, 2, 4, {0.5, 1, 0});
    EXPECT_EQ(first(skewed->getIntensity(nullptr, {0.5, 1, 0}, lcLoad::local, one)), 4.0);
    EXPECT_EQ(first(skewed->getIntensity(nullptr, {1, 1, 0}, lcLoad::local, one)), 4.5);
    delete skewed;
    EXPECT_EQ(mfProgram::program().defaultStrategy().live(), start);
}

// Constant only when all three values agree; collinear points then give that value everywhere,
// and nothing when the values differ.
TEST(ConstantIntensity, OnlyWhenAllValuesAgree) {
    ThreePointPressure* twoEqual = threePoint(1, 1, 4);
    ThreePointPressure* allEqual = threePoint(7, 7, 7, {2, 0, 0});
    ThreePointPressure* differing = threePoint(1, 2, 4, {2, 0, 0});
    ConstantPressure* constant = mfCreate<ConstantPressure>(Pressure(5));
    const lcLoad load;
    EXPECT_TRUE(twoEqual->getConstantIntensity(&load, lcLoad::global, one).empty());
    EXPECT_EQ(first(twoEqual->getIntensity(&load, {0, 1, 0}, lcLoad::local, one)), 4.0);
    EXPECT_EQ(first(allEqual->getConstantIntensity(&load, lcLoad::global, {2, 0})), 14.0);
    for (const pos3d& at : {pos3d(0, 0, 0), pos3d(0.5, 0, 0), pos3d(3, 4, 5)}) {
        EXPECT_TRUE(differing->getIntensity(nullptr, at, lcLoad::local, one).empty());
        EXPECT_EQ(first(allEqual->getIntensity(nullptr, at, lcLoad::local, one)), 7.0);
    }
    EXPECT_EQ(first(constant->getConstantIntensity(&load, lcLoad::global, {2, 0})), 10.0);
    EXPECT_EQ(first(constant->getMaximumIntensity(&load, lcLoad::global, one)), 5.0);
    for (lcIntensityFunction* f : std::initializer_list<lcIntensityFunction*>{twoEqual, allEqual, differing, constant})
        delete f;
}

// The closed base's answer: the largest intensity at the footprint's corners.
TEST(ConstantIntensity, MaximumOfAVaryingFunctionIsTakenAtTheFootprintCorners) {
    // Corners 1, -3, -8 and -4: the largest in magnitude wins.
    ThreePointPressure* f = threePoint(1, -3, -4);
    f->positionSystem = lcLoad::global;
    laFootprintPolygon square(List<pos3d>{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}});
    const lcLoad load({}, &square);
    EXPECT_EQ(first(f->getMaximumIntensity(&load, lcLoad::global, {2, 0})), -16.0);
    EXPECT_TRUE(f->getMaximumIntensity(nullptr, lcLoad::global, one).empty());
    delete f;
}

TEST(Description, ShowsValuesTimesTheLoadFactor) {
    ConstantPressure* constant = mfCreate<ConstantPressure>(Pressure(1000));
    lcLoad load({}, nullptr, {2, 0});
    EXPECT_EQ(constant->description(&load), "Constant Pressure\n2000 Pa");
    load.setLoadFactor({0, 1});
    EXPECT_EQ(constant->description(&load), "Constant Pressure\n0 Pa");
    EXPECT_EQ(constant->description(), "Pressure");

    ThreePointPressure* f = threePoint(1, 2, 4, {0, 1.5, -2});
    load.setLoadFactor({2, 0});
    EXPECT_EQ(f->description(&load),
              "Three point varying Pressure\n1: (0, 0, 0) 2 Pa\n2: (1, 0, 0) 4 Pa\n3: (0, 1.5, -2) 8 Pa");

    delete constant;
    delete f;
}

TEST(Transformation, ForceMomentTurnsWithTheLoadSystem) {
    auto* f =
        mfCreate<laIntensityConstant<ForceMoment>>(ForceMoment(laForce<double>(1, 2, 0), laMoment<double>(0, 0, 3)));
    ASSERT_EQ(f->internalIntensitySystem(), lcLoad::local);

    // Local x along global y.
    const lcLoad turned(coordsys3d::cartesian(locsys3d({5, 5, 5}, {0, 1, 0}, {-1, 0, 0})));
    const lcIntensity global = f->getIntensity(&turned, {9, 9, 9}, lcLoad::global, one);
    expectVector(global, 0, {-2, 1, 0});
    expectVector(global, 3, {0, 0, 3});
    expectVector(f->getIntensity(&turned, {9, 9, 9}, lcLoad::local, one), 0, {1, 2, 0});

    // Radial, tangential, axial: at (0, 2, 0) radial is global y.
    const lcLoad cylinder(coordsys3d::cylindrical(locsys3d()));
    expectVector(f->getIntensity(&cylinder, {0, 2, 0}, lcLoad::global, one), 0, {-2, 1, 0});
    // On the axis there are no directions: unchanged.
    expectVector(f->getIntensity(&cylinder, {0, 0, 4}, lcLoad::global, one), 0, {1, 2, 0});

    f->intensitySystem = lcLoad::global;
    expectVector(f->getIntensity(&cylinder, {0, 2, 0}, lcLoad::local, {2, 0}), 0, {4, -2, 0});
    delete f;

    auto* d = mfCreate<laIntensityConstant<laDisplacement<double>>>(
        laDisplacement<double>(laTranslation<double>(1, 0, 0), laRotation<double>(0, 1, 0)));
    const lcIntensity moved = d->getIntensity(&turned, {}, lcLoad::global, one);
    expectVector(moved, 0, {0, 1, 0});
    expectVector(moved, 3, {-1, 0, 0});
    delete d;

    // One component: nothing to turn.
    ConstantPressure* p = mfCreate<ConstantPressure>(Pressure(4));
    EXPECT_EQ(first(p->getIntensity(&turned, {1, 2, 3}, lcLoad::global, one)), 4.0);
    delete p;
}

// A sampler finds a Cartesian system's turn once and a cylindrical one's at each position; either
// way its values are, bit for bit, those of a constant that turns at each position itself.
TEST(Transformation, SamplersTurnAsEachPositionWould) {
    using Surface = laForcePerArea<double>;
    const Surface value(1.25, -2.5, 0.75);
    auto* constant = mfCreate<laIntensityConstant<Surface>>(value);
    auto* threePoint = mfCreate<laIntensityThreePointVarying<Surface>>(pos3d(0, 0, 0), value, pos3d(1, 0, 0), value,
                                                                       pos3d(0, 1, 0), value);
    const lcLoad loads[] = {lcLoad(coordsys3d::cartesian(locsys3d({5, 5, 5}, {0, 0.6, 0.8}, {-1, 0, 0}))),
                            lcLoad(coordsys3d::cylindrical(locsys3d({1, 2, 0}, {0, 1, 0}, {-1, 0, 0})))};
    const std::complex<double> factor(0.5, 0.25);
    for (const auto held : {lcLoad::local, lcLoad::global}) {
        constant->intensitySystem = threePoint->intensitySystem = held;
        for (const lcLoad& load : loads)
            for (const auto system : {lcLoad::global, lcLoad::local}) {
                const auto sampler = threePoint->sampler(&load, system, factor);
                for (const pos3d& at : {pos3d(3, 4, 5), pos3d(-2, 7, 1), pos3d(0.5, -3, 2)}) {
                    const lcIntensity expected = constant->getIntensity(&load, at, system, factor);
                    const lcIntensity got = sampler->at(at);
                    ASSERT_EQ(got.size(), 3U);
                    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(got.get_complex(i), expected.get_complex(i)) << i;
                }
            }
    }
    delete constant;
    delete threePoint;
}

TEST(Lifecycle, DyingFunctionsAreAnnouncedAndStorageIsReturned) {
    const long start = mfProgram::program().defaultStrategy().live();
    CountingFactory factory;
    ConstantPressure* constant = mfCreate<ConstantPressure>(Pressure(5));
    auto* range = mfCreate<laLimitFunctionRange>(Pressure(0), Pressure(10), laLimitFunctionRange::both_inclusive);
    constant->setLimit(range);
    constant->setLimit(range);
    EXPECT_EQ(constant->getLimit(), range);

    auto* copy = dynamic_cast<ConstantPressure*>(constant->clone(nullptr));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->value.real(0), 5.0);
    ASSERT_NE(copy->getLimit(), nullptr);
    EXPECT_NE(copy->getLimit(), range);
    EXPECT_EQ(dynamic_cast<laLimitFunctionRange&>(*copy->getLimit()).getUpperLimit().real(0), 10.0);
    copy->setLimit(mfCreate<laLimitFunctionRange>(Pressure(1), Pressure(2), laLimitFunctionRange::lower_inclusive));

    ThreePointPressure* varying = threePoint(1, 2, 3);
    lcIntensityFunction* varyingCopy = varying->clone(nullptr);
    delete constant;
    delete copy;
    delete varying;
    delete varyingCopy;
    EXPECT_EQ(factory.count, 4);
    EXPECT_EQ(factory.functions, 4);
    EXPECT_EQ(mfProgram::program().defaultStrategy().live(), start);
}

TEST(Hierarchy, InterfaceChainsKnowTheQuantity) {
    const impl::mfTypeInfoHierarchy<ConstantPressure> record;
    EXPECT_TRUE(record.accepts(typeid(ConstantPressure)));
    EXPECT_TRUE(record.accepts(typeid(laIntensityFunction<Pressure>)));
    EXPECT_TRUE(record.accepts(typeid(lcIntensityFunction)));
    EXPECT_TRUE(record.accepts(typeid(mfRelationObject)));
    EXPECT_FALSE(record.accepts(typeid(laIntensityConstant<laTraction<double>>)));
    EXPECT_FALSE(record.accepts(typeid(laIntensityFunction<laTraction<double>>)));
    EXPECT_FALSE(record.accepts(typeid(ThreePointPressure)));

    ThreePointPressure* f = threePoint(1, 2, 3);
    mfMetaObject* object = f;
    EXPECT_EQ(object->getInterface(typeid(laIntensityFunction<Pressure>)),
              static_cast<laIntensityFunction<Pressure>*>(f));
    EXPECT_EQ(object->getInterface(typeid(ConstantPressure)), nullptr);
    delete f;
}

}  // namespace
