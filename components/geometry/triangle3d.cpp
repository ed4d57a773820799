#include "kestrel/components/geometry/triangle3d.h"

#include <cmath>
#include <stdexcept>

#include "kestrel/components/geometry/mfSpaceBase.h"

namespace {
// -1, 0 or 1: which side of the plane, 0 within the accuracy.
int side(double distance) {
    if (distance > mfSpaceBase::m_accuracy) return 1;
    if (distance < -mfSpaceBase::m_accuracy) return -1;
    return 0;
}

// Where the edge from a to b crosses the plane, given their signed distances of opposite sign.
pos3d crossing(const pos3d& a, double da, const pos3d& b, double db) {
    const double t = da / (da - db);
    return {std::lerp(a.x, b.x, t), std::lerp(a.y, b.y, t), std::lerp(a.z, b.z, t)};
}

bool distances(const triangle3d& triangle, const plane3d& plane, double (&d)[3]) {
    if (!plane.defined()) return false;
    for (int i = 0; i < 3; ++i) {
        d[i] = plane.distance(triangle.corner(i));
        if (!std::isfinite(d[i])) return false;
    }
    return true;
}

bool cuts(const double (&d)[3]) {
    bool above = false, below = false;
    for (double value : d) {
        above = above || side(value) > 0;
        below = below || side(value) < 0;
    }
    return above && below;
}
}  // namespace

const pos3d& triangle3d::corner(int i) const {
    if (i < 0 || i > 2) throw std::out_of_range("triangle corner index out of range");
    return m_corners[i];
}

double triangle3d::area() const {
    return 0.5 * cross(p2() - p1(), p3() - p1()).length();
}

bool triangle3d::intersect(const plane3d& plane) const {
    double d[3];
    return distances(*this, plane, d) && cuts(d);
}

bool triangle3d::intersect(const plane3d& plane, std::vector<triangle3d>& out) const {
    double d[3];
    if (!distances(*this, plane, d) || !cuts(d)) return false;
    const int s[3] = {side(d[0]), side(d[1]), side(d[2])};
    // Rotate the corners, which keeps the orientation, so that `a` is the odd one: the corner on
    // the plane if there is one, else the one alone on its side.
    int first = 0;
    for (int i = 0; i < 3; ++i)
        if (s[i] != s[(i + 1) % 3] && s[i] != s[(i + 2) % 3]) first = i;
    for (int i = 0; i < 3; ++i)
        if (s[i] == 0) first = i;
    const int ib = (first + 1) % 3, ic = (first + 2) % 3;
    const pos3d& a = m_corners[first];
    const pos3d& b = m_corners[ib];
    const pos3d& c = m_corners[ic];
    if (s[first] == 0) {
        const pos3d x = crossing(b, d[ib], c, d[ic]);
        out.emplace_back(a, b, x);
        out.emplace_back(a, x, c);
        return true;
    }
    const pos3d xb = crossing(a, d[first], b, d[ib]);
    const pos3d xc = crossing(a, d[first], c, d[ic]);
    out.emplace_back(a, xb, xc);
    // The shorter diagonal gives the better-shaped pair.
    if ((c - xb).length() <= (xc - b).length()) {
        out.emplace_back(xb, b, c);
        out.emplace_back(xb, c, xc);
    } else {
        out.emplace_back(xb, b, xc);
        out.emplace_back(b, c, xc);
    }
    return true;
}

std::string mf_format(const triangle3d& triangle) {
    return "{" + mf_format(triangle.p1()) + ", " + mf_format(triangle.p2()) + ", " + mf_format(triangle.p3()) + "}";
}
