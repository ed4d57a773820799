#pragma once

#include <string>
#include <utility>
#include <vector>

#include "kestrel/components/geometry/pos3d.h"
#include "kestrel/components/geometry/vec3d.h"

// A closed polygon through its corners in order; the last corner connects back to the first.
// Corners are kept exactly as given and need not be coplanar.
class polygon3d {
public:
    polygon3d() = default;
    explicit polygon3d(std::vector<pos3d> corners) : m_corners(std::move(corners)) {}

    const std::vector<pos3d>& corners() const { return m_corners; }
    // Unit normal by Newell's method, oriented by the corner order (counter-clockwise seen from
    // its tip). Null when fewer than three corners or when all of them lie within the accuracy of
    // one straight line.
    vec3d normal() const;
    // Area of the polygon projected onto its Newell plane; the plain area for a planar polygon.
    double area() const;

    friend bool operator==(const polygon3d&, const polygon3d&) = default;

private:
    std::vector<pos3d> m_corners;
};

// "{(x, y, z), (x, y, z), ...}"
std::string mf_format(const polygon3d& polygon);
