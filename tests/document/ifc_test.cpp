#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <vector>

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

// A varying pressure is sampled over the face only, boundary included, and each place carries
// the value there (samples of one value share its entity).
TEST(ifc_export, faces_are_sampled_over_their_region_with_the_value_at_each_place) {
    const struct {
        List<pos3d> corners;
        std::size_t places;
    } faces[] = {
        {{{0, 0, 0}, {4, 0, 0}, {4, 2, 0}, {2, 2, 0}, {2, 4, 0}, {0, 4, 0}}, 21},  // an L: 25 less the 4 off it
        {{{0, 0, 0}, {4, 0, 0}, {0, 4, 0}}, 15},
        {{{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {3, 4, 0}, {3, 1, 0}, {1, 1, 0}, {1, 4, 0}, {0, 4, 0}}, 22},  // a U
        {{{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}}, 25},
    };
    // 1 + x: the face's axes are its first corner and edge, so a place's first coordinate is x.
    const auto pressure = kestrel::make<laIntensityThreePointVarying<Pressure>>(
        pos3d(0, 0, 0), Pressure(1), pos3d(1, 0, 0), Pressure(2), pos3d(0, 1, 0), Pressure(1));
    for (const auto& face : faces) {
        std::ostringstream out;
        kestrel::writeIfc({load(kestrel::make<laFootprintPolygon>(face.corners), pressure)}, out, {"doc", 1.0, ""});
        const std::string text = out.str();
        std::map<std::string, double> forces;
        std::istringstream lines(text);
        std::string line, configuration;
        while (std::getline(lines, line)) {
            const auto eq = line.find("=IFCSTRUCTURALLOADPLANARFORCE($,0.,0.,");
            if (eq != std::string::npos) forces[line.substr(0, eq)] = std::stod(line.substr(line.rfind(',') + 1));
            if (line.find("IFCSTRUCTURALLOADCONFIGURATION(") != std::string::npos) configuration = line;
        }
        ASSERT_FALSE(configuration.empty()) << text;
        std::vector<std::string> refs;
        std::istringstream list(configuration.substr(configuration.find(",(") + 2));
        for (std::string ref; std::getline(list, ref, ',') && ref[0] == '#';)
            refs.push_back(ref.substr(0, ref.find(')')));
        std::vector<double> firsts;
        for (std::size_t at = configuration.find("((") + 1; (at = configuration.find('(', at)) != std::string::npos;)
            firsts.push_back(std::stod(configuration.substr(++at)));
        ASSERT_EQ(refs.size(), face.places) << configuration;
        ASSERT_EQ(firsts.size(), face.places) << configuration;
        for (std::size_t k = 0; k < refs.size(); ++k) EXPECT_EQ(forces.at(refs[k]), -(1 + firsts[k])) << k;
    }
}

// Where the face's axes cannot be the load's, a traction's direction turns from the load's axes
// into the global ones.
TEST(ifc_export, a_traction_turns_with_its_load) {
    const auto traction = kestrel::make<laIntensityConstant<laTraction<double>>>(laTraction<double>(350));
    traction->direction = vec3d(1, 0, 0);
    // Local x along global y, local z along global x, away from the face's normal.
    const kestrel::Load turned{"l", hostCoordinates::cartesian, locsys3d({0, 0, 0}, {0, 1, 0}, {0, 0, 1}), square(2),
                               traction};
    std::ostringstream out;
    kestrel::writeIfc({turned}, out, {"doc", 0, ""});
    EXPECT_NE(out.str().find("IFCSTRUCTURALLOADPLANARFORCE('l',0.,350.,0.);"), std::string::npos) << out.str();
}
