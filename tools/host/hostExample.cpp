#include "components/framework/mfProgram.h"
#include "model/laFootprintBox.h"
#include "model/laFootprintLine.h"
#include "model/laFootprintPoint.h"
#include "model/laFootprintPolygon.h"
#include "tools/host/hostDocument.h"

namespace {
// A model object from the storage strategy, owned by the load from here on.
template <class T, class... Args>
std::shared_ptr<lcFootprint> footprint(Args&&... args) {
    return std::shared_ptr<lcFootprint>(mfCreate<T>(std::forward<Args>(args)...));
}
}  // namespace

List<hostLoad> hostExampleLoads() {
    List<hostLoad> loads;
    loads.push_back({"dead load", hostCoordinates::cartesian, std::nullopt, nullptr});
    loads.push_back(
        {"column head", hostCoordinates::cartesian, std::nullopt, footprint<laFootprintPoint>(pos3d(4, 2.5, 3.2))});
    loads.push_back({"crane rail", hostCoordinates::cartesian, std::nullopt,
                     footprint<laFootprintLine>(line3d(pos3d(0, 0, 6), pos3d(24, 0, 6)))});
    loads.push_back({"wind on facade", hostCoordinates::cartesian,
                     locsys3d(pos3d(0, 0, 3.5), vec3d(1, 0, 0), vec3d(0, 0, 1)),
                     footprint<laFootprintPolygon>(List<pos3d>{{0, 0, 0}, {12, 0, 0}, {12, 0, 7}, {0, 0, 7}})});
    const locsys3d tankAxis(pos3d(12.5, -4, 0), vec3d(0, 1, 0), vec3d(-1, 0, 0));
    auto tank = mfCreate<laFootprintBox>(oriented_bbox3d(pos3d(-3, -3, 0), pos3d(3, 3, 8), tankAxis));
    tank->setOriginLocalSystem(pos3d(12.5, -4, 0));
    loads.push_back({"tank wall", hostCoordinates::cylindrical, tankAxis, std::shared_ptr<lcFootprint>(tank)});
    return loads;
}
