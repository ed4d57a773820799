#pragma once

#include <array>
#include <string>
#include <vector>

#include "kestrel/components/geometry/plane3d.h"
#include "kestrel/components/geometry/pos3d.h"

// A triangle through three corners in order; the order gives its orientation.
class triangle3d {
public:
    triangle3d() = default;
    triangle3d(const pos3d& p1, const pos3d& p2, const pos3d& p3) : m_corners{p1, p2, p3} {}

    // Corner 0..2; throws std::out_of_range else.
    const pos3d& corner(int i) const;
    const pos3d& p1() const { return m_corners[0]; }
    const pos3d& p2() const { return m_corners[1]; }
    const pos3d& p3() const { return m_corners[2]; }
    double area() const;

    // Whether the plane cuts through the interior: some corner lies farther than the accuracy
    // on each side. A plane that only touches a corner or runs along an edge does not cut, nor
    // does an undefined one.
    bool intersect(const plane3d& plane) const;
    // When the plane cuts, appends the pieces on either side, which cover the triangle and keep
    // its orientation, and returns true: two triangles when the plane passes through a corner,
    // else three (the tip on the lone side, and the quadrilateral on the other side split along
    // its shorter diagonal). Otherwise appends nothing and returns false.
    bool intersect(const plane3d& plane, std::vector<triangle3d>& out) const;

    friend bool operator==(const triangle3d&, const triangle3d&) = default;

private:
    std::array<pos3d, 3> m_corners;
};

// "{(x, y, z), (x, y, z), (x, y, z)}"
std::string mf_format(const triangle3d& triangle);
