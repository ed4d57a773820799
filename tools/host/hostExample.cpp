#include "tools/host/hostDocument.h"

List<hostLoad> hostExampleLoads() {
    List<hostLoad> loads;
    loads.push_back({"dead load", hostCoordinates::cartesian, std::nullopt});
    loads.push_back({"wind on facade", hostCoordinates::cartesian,
                     locsys3d(pos3d(0, 0, 3.5), vec3d(1, 0, 0), vec3d(0, 0, 1))});
    loads.push_back({"tank wall", hostCoordinates::cylindrical,
                     locsys3d(pos3d(12.5, -4, 0), vec3d(0, 1, 0), vec3d(-1, 0, 0))});
    return loads;
}
