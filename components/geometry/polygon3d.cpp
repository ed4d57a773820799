#include "kestrel/components/geometry/polygon3d.h"

#include <algorithm>
#include <cstddef>

#include "kestrel/components/geometry/mfSpaceBase.h"

namespace {
// Twice the vector area. Corners are taken relative to the first one so that a small polygon
// far from the origin does not drown in cancellation.
vec3d newell(const std::vector<pos3d>& corners) {
    vec3d sum;
    const std::size_t n = corners.size();
    for (std::size_t i = 0; i < n; ++i) {
        const vec3d a = corners[i] - corners[0];
        const vec3d b = corners[(i + 1) % n] - corners[0];
        sum = sum + vec3d{(a.y - b.y) * (a.z + b.z), (a.z - b.z) * (a.x + b.x), (a.x - b.x) * (a.y + b.y)};
    }
    return sum;
}
}  // namespace

vec3d polygon3d::normal() const {
    if (m_corners.size() < 3) return {};
    const vec3d twiceArea = newell(m_corners);
    double diameter = 0.0;
    for (std::size_t i = 0; i < m_corners.size(); ++i)
        for (std::size_t j = i + 1; j < m_corners.size(); ++j)
            diameter = std::max(diameter, (m_corners[j] - m_corners[i]).length());
    // Area over diameter is the width of the polygon across its longest extent; the same
    // measure as the height test of plane3d for three corners.
    const double lengthN = twiceArea.length();
    if (!(lengthN > mfSpaceBase::m_accuracy * diameter) || !std::isfinite(lengthN)) return {};
    return twiceArea * (1.0 / lengthN);
}

double polygon3d::area() const {
    return m_corners.size() < 3 ? 0.0 : 0.5 * newell(m_corners).length();
}

std::string mf_format(const polygon3d& polygon) {
    std::string text = "{";
    for (const pos3d& corner : polygon.corners()) {
        if (text.size() > 1) text += ", ";
        text += mf_format(corner);
    }
    return text + "}";
}
