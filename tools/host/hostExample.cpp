#include "kestrel/components/framework/jmfFunctionObject.h"
#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/model/laFootprintBox.h"
#include "kestrel/model/laFootprintLine.h"
#include "kestrel/model/laFootprintPoint.h"
#include "kestrel/model/laFootprintPolygon.h"
#include "kestrel/model/laIntensityConstant.h"
#include "kestrel/model/laIntensityFunctionGrid.h"
#include "kestrel/model/laIntensityJavaScript.h"
#include "kestrel/model/laIntensityLinearParametric.h"
#include "kestrel/model/laIntensityLinearVarying.h"
#include "kestrel/model/laIntensityThreePointVarying.h"
#include "kestrel/model/laLimitFunctionLiquidPressure.h"
#include "kestrel/model/laLimitFunctionRange.h"
#include "tools/host/hostDocument.h"

namespace {
// Model objects from the storage strategy, owned by the load from here on.
template <class T, class... Args>
std::shared_ptr<lcFootprint> footprint(Args&&... args) {
    return std::shared_ptr<lcFootprint>(mfCreate<T>(std::forward<Args>(args)...));
}
template <class T, class... Args>
std::shared_ptr<T> function(Args&&... args) {
    return std::shared_ptr<T>(mfCreate<T>(std::forward<Args>(args)...));
}

std::shared_ptr<lcFootprint> rectangle(double width, double height) {
    return footprint<laFootprintPolygon>(List<pos3d>{{0, 0, 0}, {width, 0, 0}, {width, 0, height}, {0, 0, height}});
}

hostLoad load(const char* name, std::shared_ptr<lcFootprint> where, std::shared_ptr<lcIntensityFunction> how,
              std::optional<locsys3d> system = std::nullopt, hostCoordinates coordinates = hostCoordinates::cartesian) {
    return {name, coordinates, system, std::move(where), std::move(how)};
}
}  // namespace

List<hostLoad> hostExampleLoads() {
    using Pressure = laPressure<double>;
    List<hostLoad> loads;

    loads.push_back(load("dead load", nullptr,
                         function<laIntensityConstant<laForcePerArea<double>>>(laForcePerArea<double>(0, 0, -2500))));

    auto column = function<laIntensityConstant<laForceMoment<double>>>(
        laForceMoment<double>(laForce<double>(0, 0, -120e3), laMoment<double>(0, 15e3, 0)));
    column->intensitySystem = lcLoad::global;
    loads.push_back(load("column head", footprint<laFootprintPoint>(pos3d(4, 2.5, 3.2)), column));

    const auto rail = [] { return footprint<laFootprintLine>(line3d(pos3d(0, 0, 6), pos3d(24, 0, 6))); };
    loads.push_back(load("crane rail", rail(),
                         function<laIntensityLinearParametric<laForcePerLength<double>>>(
                             laForcePerLength<double>(0, 0, -12e3), laForcePerLength<double>(0, 0, -18e3))));

    auto wind = function<laIntensityThreePointVarying<Pressure>>(pos3d(0, 0, 0), Pressure(600), pos3d(12, 0, 0),
                                                                 Pressure(600), pos3d(0, 0, 7), Pressure(1100));
    wind->positionSystem = lcLoad::global;
    wind->setLimit(mfCreate<laLimitFunctionRange>(Pressure(0), Pressure(1000), laLimitFunctionRange::both_inclusive));
    loads.push_back(
        load("wind on facade", rectangle(12, 7), wind, locsys3d(pos3d(0, 0, 3.5), vec3d(1, 0, 0), vec3d(0, 0, 1))));

    const locsys3d tankAxis(pos3d(12.5, -4, 0), vec3d(0, 1, 0), vec3d(-1, 0, 0));
    auto tank = mfCreate<laFootprintBox>(oriented_bbox3d(pos3d(-3, -3, 0), pos3d(3, 3, 8), tankAxis));
    tank->setOriginLocalSystem(pos3d(12.5, -4, 0));
    auto water = function<laIntensityConstant<Pressure>>(Pressure(25e3));
    water->setLimit(mfCreate<laLimitFunctionLiquidPressure>());
    loads.push_back(
        load("tank wall", std::shared_ptr<lcFootprint>(tank), water, tankAxis, hostCoordinates::cylindrical));

    loads.push_back(load("snow drift", rectangle(8, 5),
                         function<laIntensityThreePointVarying<laForcePerArea<double>>>(
                             pos3d(0, 0, 0), laForcePerArea<double>(0, 0, -800), pos3d(8, 0, 0),
                             laForcePerArea<double>(0, 0, -800), pos3d(0, 0, 5), laForcePerArea<double>(0, 0, -2400))));

    auto braking = function<laIntensityConstant<laTraction<double>>>(laTraction<double>(350));
    braking->direction = vec3d(1, 0, 0);
    loads.push_back(load("braking", rectangle(3, 10), braking));

    auto belt = function<laIntensityThreePointVarying<laTraction<double>>>(pos3d(0, 0, 0), laTraction<double>(0),
                                                                           pos3d(2, 0, 0), laTraction<double>(0),
                                                                           pos3d(0, 0, 20), laTraction<double>(120));
    belt->direction = vec3d(0, 0, 1);
    loads.push_back(load("belt friction", rectangle(2, 20), belt));

    loads.push_back(load("support settlement", footprint<laFootprintPoint>(pos3d(10, 0, 0)),
                         function<laIntensityConstant<laDisplacement<double>>>(laDisplacement<double>(
                             laTranslation<double>(0, 0, -0.012), laRotation<double>(0.001, 0, 0)))));
    // A script travels as Base64, so that characters such as "<" and "&" cannot upset the document.
    const auto script = [](const char* text) { return mfCreate<jmfFunctionObject>(std::string(text)); };
    loads.push_back(load("gusts", rectangle(12, 7),
                         function<laIntensityJavaScript<Pressure>>(
                             script("function intensity(x, y, z) { return z < 3 && x > 0 ? 600 : 800; }"), 0.5)));
    loads.push_back(load("roof maintenance", rectangle(8, 5),
                         function<laIntensityJavaScript<laForcePerArea<double>>>(
                             script("function intensity(x, y, z) { return [0, 0, -1000 - 50 * x]; }"), 0.25)));
    auto conveyor = function<laIntensityJavaScript<laTraction<double>>>(
        script("function intensity(x, y, z) { return 100 * Math.sin(z); }"), 1.0);
    conveyor->direction = vec3d(0, 0, 1);
    loads.push_back(load("conveyor", rectangle(2, 20), conveyor));
    loads.push_back(load("cable weight", rail(),
                         function<laIntensityJavaScript<laForcePerLength<double>>>(
                             script("function intensity(t) { return [0, 0, -400 - 100 * t * (1 - t)]; }"))));
    loads.push_back(load("heated pipe", rail(),
                         function<laIntensityLinearParametric<laTemperature<double>>>(laTemperature<double>(20),
                                                                                      laTemperature<double>(35))));
    loads.push_back(load("pipe sun side", rail(),
                         function<laIntensityJavaScript<laTemperature<double>>>(
                             script("function intensity(t) { return 15 + 10 * t; }"))));

    // Water in the tank: 9810 Pa more per metre below the surface at 8 m, never a pull.
    auto depth = function<laIntensityLinearVarying<Pressure>>(0.0, coordsys3d::length, 0.0, coordsys3d::angle, -9810.0,
                                                              coordsys3d::length, 78480.0);
    depth->setLimit(mfCreate<laLimitFunctionLiquidPressure>());
    loads.push_back(load("hydrostatic", rectangle(6, 8), depth));
    auto swirl = function<laIntensityLinearVarying<laTraction<double>>>(
        0.0, coordsys3d::length, 40.0, coordsys3d::angle, 0.0, coordsys3d::length, 10.0);
    swirl->direction = vec3d(0, 0, 1);
    const locsys3d siloAxis(pos3d(30, 0, 0), vec3d(1, 0, 0), vec3d(0, 1, 0));
    loads.push_back(load("silo swirl", rectangle(6, 12), swirl, siloAxis, hostCoordinates::cylindrical));

    auto measured = function<laIntensityFunctionGrid<Pressure>>();
    measured->setXValues({0, 6, 12});
    measured->setYValues({0});
    measured->setZValues({0, 7});
    const double gauges[3][2] = {{480, 720}, {510, 760}, {450, 700}};
    for (int ix = 0; ix < 3; ++ix)
        for (int iz = 0; iz < 2; ++iz) measured->node(ix, 0, iz) = Pressure(gauges[ix][iz]);
    measured->positionSystem = lcLoad::global;
    loads.push_back(load("measured wind", rectangle(12, 7), measured));
    return loads;
}
