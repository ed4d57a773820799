#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "kestrel/kestrel.h"

namespace {
using Pressure = laPressure<double>;
std::shared_ptr<laFootprintPolygon> square(double side) {
    return kestrel::make<laFootprintPolygon>(List<pos3d>{{0, 0, 0}, {side, 0, 0}, {side, side, 0}, {0, side, 0}});
}
kestrel::Load load(std::shared_ptr<lcFootprint> footprint, std::shared_ptr<lcIntensityFunction> intensity) {
    return {"l", hostCoordinates::cartesian, std::nullopt, std::move(footprint), std::move(intensity)};
}
}  // namespace

// What IFC cannot carry is listed with its reason, and the rest is written.
TEST(ifc_export, loads_it_cannot_carry_are_listed) {
    const auto pressure = kestrel::make<laIntensityConstant<Pressure>>(Pressure(500));
    auto clipped = kestrel::make<laIntensityConstant<Pressure>>(Pressure(500));
    clipped->setLimit(mfCreate<laLimitFunctionRange>(Pressure(0), Pressure(100), laLimitFunctionRange::both_exclusive));
    const auto point = kestrel::make<laFootprintPoint>(pos3d(1, 2, 3));
    const struct {
        kestrel::Load load;
        double step;
        const char* reason;
    } cases[] = {
        {load(point, pressure), 0, "a pressure on a point has no IFC load"},
        {load(kestrel::make<laFootprintLine>(line3d({0, 0, 0}, {1, 0, 0})),
              kestrel::make<laIntensityConstant<laForcePerArea<double>>>(laForcePerArea<double>(1, 2, 3))),
         0, "a force per area on a line has no IFC load"},
        {load(point, nullptr), 0, "it has no intensity function"},
        {load(kestrel::make<laFootprintPoint>(pos3d(NAN, 0, 0)), pressure), 0, "not finite"},
        {load(square(1), clipped), 0, "its limit function leaves no pressure"},
        {load(square(1), kestrel::make<laIntensityThreePointVarying<Pressure>>(
                             pos3d(0, 0, 0), Pressure(1), pos3d(1, 0, 0), Pressure(2), pos3d(0, 1, 0), Pressure(3))),
         1e-5, "samples it at more than 1000000 positions"},
    };
    for (const auto& c : cases) {
        std::ostringstream out;
        const kestrel::IfcResult r = kestrel::writeIfc({c.load, load(square(2), pressure)}, out, {"doc", c.step, ""});
        ASSERT_EQ(r.skipped.size(), 1U) << c.reason;
        EXPECT_NE(r.skipped[0].reason.find(c.reason), std::string::npos) << r.skipped[0].reason;
        EXPECT_EQ(r.actions, 1U);
        // The pressure presses against the face's normal, in the face's axes.
        EXPECT_NE(out.str().find("IFCSTRUCTURALLOADPLANARFORCE('l',0.,0.,-500.);"), std::string::npos);
        EXPECT_NE(out.str().find(".LOCAL_COORDS.,$,.TRUE_LENGTH.,.CONST.);"), std::string::npos);
    }
}
