#include "kestrel/components/geometry/coordsys3d.h"

#include <cmath>
#include <numbers>

#include "kestrel/components/geometry/mfSpaceBase.h"

namespace {
trans3d transposed(const trans3d& t) {
    trans3d::matrix3 m{};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) m[r][c] = t.element(c, r);
    return {m, {}};
}
}  // namespace

coordsys3d::coord_unit coordsys3d::unit(int axis) const {
    if (axis < 0 || axis > 2) return unknown;
    return m_cylindrical && axis == 1 ? angle : length;
}

std::string coordsys3d::axisName(int axis) const {
    static const char* const cartesianNames[] = {"x", "y", "z"};
    static const char* const cylindricalNames[] = {"r", "theta", "z"};
    if (axis < 0 || axis > 2) return {};
    return m_cylindrical ? cylindricalNames[axis] : cartesianNames[axis];
}

pos3d coordsys3d::toLocal(const pos3d& global) const {
    const pos3d local = m_system.toLocal(global);
    if (!m_cylindrical) return local;
    double theta = std::atan2(local.y, local.x);
    // atan2 answers -pi for a negative zero y; one angle per direction keeps values comparable.
    if (theta == -std::numbers::pi) theta = std::numbers::pi;
    return {std::hypot(local.x, local.y), theta, local.z};
}

pos3d coordsys3d::toGlobal(const pos3d& local) const {
    if (!m_cylindrical) return m_system.toGlobal(local);
    return m_system.toGlobal({local.x * std::cos(local.y), local.x * std::sin(local.y), local.z});
}

bool coordsys3d::localToGlobal(const pos3d& local, trans3d& out) const {
    const vec3d& ux = m_system.unitX();
    const vec3d& uy = m_system.unitY();
    const vec3d& uz = m_system.unitZ();
    if (!m_cylindrical) {
        out = trans3d::fromFrame(ux, uy, uz, {});
        return true;
    }
    if (!(local.x > mfSpaceBase::m_accuracy)) return false;
    const double c = std::cos(local.y), s = std::sin(local.y);
    out = trans3d::fromFrame(ux * c + uy * s, ux * -s + uy * c, uz, {});
    return true;
}

bool coordsys3d::globalToLocal(const pos3d& global, trans3d& out) const {
    trans3d forward;
    if (!localToGlobal(toLocal(global), forward)) return false;
    out = transposed(forward);
    return true;
}
