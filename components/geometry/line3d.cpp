#include "kestrel/components/geometry/line3d.h"

#include <cmath>

#include "kestrel/components/geometry/mfSpaceBase.h"

pos3d line3d::position(double t) const {
    // lerp hits both ends exactly, which end1 + t * direction() does not at t = 1.
    return {std::lerp(m_end1.x, m_end2.x, t), std::lerp(m_end1.y, m_end2.y, t), std::lerp(m_end1.z, m_end2.z, t)};
}

bool line3d::project(const pos3d& p, pos3d& foot, double& d, double& t) const {
    const vec3d dir = direction();
    const double squared = dot(dir, dir);
    // Compared squared so that the test agrees with length() without a root.
    if (!(squared > mfSpaceBase::m_accuracy * mfSpaceBase::m_accuracy)) {
        foot = m_end1;
        d = (p - m_end1).length();
        t = 0.0;
        return false;
    }
    t = parameter(p);
    foot = position(t);
    d = (p - foot).length();
    return true;
}

std::string mf_format(const line3d& line) {
    return "{end1 " + mf_format(line.end1()) + ", end2 " + mf_format(line.end2()) + "}";
}
