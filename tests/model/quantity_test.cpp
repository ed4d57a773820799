#include <gtest/gtest.h>

#include <complex>
#include <memory>
#include <stdexcept>

#include "kestrel/components/loadcase/laQuantityAlgorithms.h"
#include "kestrel/model/laDisplacement.h"
#include "kestrel/model/laForceMoment.h"
#include "kestrel/model/laForcePerArea.h"
#include "kestrel/model/laForcePerLength.h"
#include "kestrel/model/laPressure.h"
#include "kestrel/model/laTemperature.h"
#include "kestrel/model/laTraction.h"

namespace {

using Pressure = laPressure<double>;
using Traction = laTraction<double>;
using ForcePerArea = laForcePerArea<double>;
using ForceMoment = laForceMoment<double>;

ForceMoment forceMoment(double f0, double m0) {
    return ForceMoment(laForce<double>(f0, f0 + 1, f0 + 2), laMoment<double>(m0, m0 + 1, m0 + 2));
}

std::string components(const lcIntensityRepresentation& value) {
    std::string text;
    for (std::size_t i = 0; i < value.size(); ++i) text += (i ? " " : "") + std::to_string(int(value.real(i)));
    return text;
}

TEST(Quantity, FamiliesAndComponentLayout) {
    EXPECT_EQ(Traction(2.5).algorithm(), laForcePerAreaAlgorithms::instance());
    EXPECT_EQ(ForcePerArea().algorithm(), laForcePerAreaAlgorithms::instance());
    EXPECT_EQ(Pressure(1).algorithm(), laPressureAlgorithms::instance());
    EXPECT_EQ(components(laForcePerLength<double>(1, 2, 3)), "1 2 3");

    ForceMoment fm = forceMoment(1, 4);
    EXPECT_EQ(components(fm), "1 2 3 4 5 6");
    fm.set_complex(4, {50, 7});
    EXPECT_EQ(fm.moment.get_complex(1), std::complex<double>(50, 0));
    EXPECT_EQ(fm.composite_size(), 2u);
    EXPECT_EQ(fm.composite_part(1), &fm.moment);
    EXPECT_THROW(fm.composite_part(2), std::range_error);
    EXPECT_THROW(Pressure().composite_part(1), std::range_error);

    const std::unique_ptr<lcIntensityRepresentation> copy(fm.clone());
    ASSERT_NE(dynamic_cast<ForceMoment*>(copy.get()), nullptr);
    EXPECT_TRUE(fm == *copy);
    const laDisplacement<double> d(laTranslation<double>(1, 2, 3), laRotation<double>(4, 5, 6));
    EXPECT_EQ(components(d), "1 2 3 4 5 6");
    EXPECT_EQ(d.algorithm(), laDisplacementAlgorithms::instance());
}

TEST(Operators, ComplexFactorKeepsOnlyRealPartsAndCopiesLeaveOperandsAlone) {
    const Pressure p(5);
    const Pressure scaled = p * std::complex<double>(2, 3);
    EXPECT_EQ(scaled.get_complex(0), std::complex<double>(10, 0));
    EXPECT_EQ((p * std::complex<double>(0, 1)).real(0), 0.0);
    EXPECT_EQ((p * 3.0).real(0), 15.0);
    EXPECT_EQ((p + Pressure(1)).real(0), 6.0);
    EXPECT_EQ(p.real(0), 5.0);
}

TEST(Operators, EqualityIsExactOverTheLeftOperandsComponents) {
    EXPECT_FALSE(Pressure(1.0) == Pressure(1.0 + 1e-15));
    EXPECT_TRUE(Pressure(1.0) != Pressure(1.0 + 1e-15));
    EXPECT_TRUE(Traction(5) == ForcePerArea(5, 9, 9));
    // The shorter right operand reads as zero past its end.
    EXPECT_FALSE(ForcePerArea(5, 9, 9) == Traction(5));
    EXPECT_TRUE(ForcePerArea(5, 0, 0) == Traction(5));
}

TEST(Operators, SameFamilyCombinesComponentsOtherFamiliesGoPartByPart) {
    EXPECT_EQ(components(forceMoment(10, 40) - forceMoment(1, 4)), "9 9 9 36 36 36");
    EXPECT_EQ(components(forceMoment(10, 40) - laForce<double>(1, 1, 1)), "9 10 11 40 41 42");
    EXPECT_EQ(components(forceMoment(10, 40) + laMoment<double>(1, 1, 1)), "10 11 12 41 42 43");
    // No part of the left operand takes a translation or a traction: nothing changes.
    EXPECT_EQ(components(forceMoment(10, 40) + laTranslation<double>(1, 1, 1)), "10 11 12 40 41 42");
    EXPECT_EQ(components(Pressure(3) + Traction(4)), "3");
    // One family, different sizes.
    EXPECT_EQ(components(ForcePerArea(1, 2, 3) + Traction(4)), "5 2 3");
    EXPECT_EQ(components(Traction(4) - ForcePerArea(1, 2, 3)), "3");

    ForceMoment self = forceMoment(1, 4);
    self -= self;
    EXPECT_EQ(components(self), "0 0 0 0 0 0");
}

TEST(Quantity, LabelsAndTextForms) {
    EXPECT_EQ(laIntensityLabel<Pressure>() + "|" + laIntensityLabel<Traction>() + "|" +
                  laIntensityLabel<ForcePerArea>() + "|" + laIntensityLabel<laForcePerLength<double>>() + "|" +
                  laIntensityLabel<laTemperature<double>>() + "|" + laIntensityLabel<ForceMoment>() + "|" +
                  laIntensityLabel<laDisplacement<double>>(),
              "Pressure|Traction|Surface Load|Line Load|Temperature Load|Force and Moment|Translation and Rotation");

    const auto text = [](const lcIntensityRepresentation& v) { return v.algorithm()->format(v); };
    EXPECT_EQ(text(Pressure(1000)), "1000 Pa");
    EXPECT_EQ(text(Traction(2.5)), "2.5 N/m2");
    EXPECT_EQ(text(laTemperature<double>(-5)), "-5 K");
    EXPECT_EQ(text(laForcePerLength<double>(1, 2.5, 3)), "(1 N/m, 2.5 N/m, 3 N/m)");
    EXPECT_EQ(text(forceMoment(1, 4)), "(1 N, 2 N, 3 N); (4 N.m, 5 N.m, 6 N.m)");
    EXPECT_EQ(text(laDisplacement<double>(laTranslation<double>(0.5, 0, 0), laRotation<double>(0, 0, 1))),
              "(0.5 m, 0 m, 0 m); (0 rad, 0 rad, 1 rad)");
}

}  // namespace
