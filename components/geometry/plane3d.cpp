#include "kestrel/components/geometry/plane3d.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "kestrel/components/framework/mfTextFormatter.h"
#include "kestrel/components/geometry/mfSpaceBase.h"

namespace {
bool finite(const vec3d& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}
bool finite(const pos3d& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}
}  // namespace

plane3d::plane3d(const pos3d& p1, const pos3d& p2, const pos3d& p3) {
    if (!finite(p1) || !finite(p2) || !finite(p3)) return;
    const vec3d n = cross(p2 - p1, p3 - p1);
    const double lengthN = n.length();
    const double longest = std::max({(p2 - p1).length(), (p3 - p1).length(), (p3 - p2).length()});
    // A length test rather than an angle test: a long thin triangle whose points all lie within
    // the accuracy of one line spans no plane however far apart they are.
    if (!(lengthN > mfSpaceBase::m_accuracy * longest)) return;
    m_normal = n * (1.0 / lengthN);
    m_offset = -dot(p1 - pos3d{}, m_normal);
    m_anchor = p1;
    m_defined = true;
}

plane3d::plane3d(const double* abcd) {
    const vec3d n{abcd[0], abcd[1], abcd[2]};
    if (!finite(n) || !std::isfinite(abcd[3])) return;
    // hypot keeps tiny or huge coefficients from under- or overflowing in the squares.
    const double lengthN = std::hypot(n.x, n.y, n.z);
    if (!(lengthN > 0.0)) return;
    const vec3d unit = n * (1.0 / lengthN);
    const pos3d anchor = pos3d{} + unit * (-abcd[3] / lengthN);
    if (!finite(unit) || !finite(anchor)) return;
    m_normal = unit;
    m_offset = abcd[3] / lengthN;
    m_anchor = anchor;
    m_defined = true;
}

double plane3d::coefficient(int i) const {
    if (i < 0 || i > 3) throw std::out_of_range("plane coefficient index out of range");
    return i < 3 ? m_normal[i] : m_offset;
}

double plane3d::distance(const pos3d& p) const {
    return m_defined ? dot(p - m_anchor, m_normal) : 0.0;
}

pos3d plane3d::project(const pos3d& p) const {
    if (!m_defined) return p;
    return p + m_normal * -distance(p);
}

std::string mf_format(const plane3d& plane) {
    if (!plane.defined()) return "{undefined}";
    return "{normal " + mf_format(plane.normal()) + ", d " + mfTextFormatter::format_impl(plane.coefficient(3)) + "}";
}
