#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "kestrel/components/geometry/locsys3d.h"
#include "kestrel/components/geometry/pos3d.h"

class lcFootprint;
class laFootprintPolygon;

// A polygon's own plane: its first corner as origin, the first edge of some length as the first
// axis, the second axis turned from it about the polygon's normal. Distances in metres.
struct viewPlane {
    pos3d origin;
    vec3d u{1, 0, 0}, v{0, 1, 0}, normal{0, 0, 1};

    pos3d at(double a, double b) const { return origin + u * a + v * b; }
    double a(const pos3d& p) const { return dot(p - origin, u); }
    double b(const pos3d& p) const { return dot(p - origin, v); }
};

// The plane of a polygon footprint; false for a polygon without one (its corners on a line).
bool viewPlaneOf(const laFootprintPolygon& polygon, viewPlane& plane);

// The most positions a sampling makes.
inline constexpr std::size_t viewSampleLimit = 1'000'000;

// Regular positions `step` metres apart over a footprint: one for a point; from the first end
// along a line, and its second end; a grid over a polygon's plane region, boundary included,
// starting at the lowest corner in its plane; a grid through a box along its own axes. False,
// with a message in `error`, for a step that is not a positive length, a footprint that cannot
// be sampled, or one that would take more than `limit` positions.
bool viewSamplePositions(const lcFootprint& footprint, double step, std::vector<pos3d>& positions, std::string& error,
                         std::size_t limit = viewSampleLimit);
