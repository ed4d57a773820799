#include <cmath>
#include <stdexcept>

#include "kestrel/components/framework/mfTextFormatter.h"
#include "kestrel/components/geometry/locsys3d.h"
#include "kestrel/components/geometry/mfSpaceBase.h"
#include "kestrel/components/geometry/pos3d.h"
#include "kestrel/components/geometry/trans3d.h"
#include "kestrel/components/geometry/vec3d.h"

double mfSpaceBase::m_accuracy = 1e-6;

namespace {
std::string triple(double x, double y, double z) {
    return "(" + mfTextFormatter::format_impl(x) + ", " + mfTextFormatter::format_impl(y) + ", " +
           mfTextFormatter::format_impl(z) + ")";
}
}  // namespace

std::string mf_format(const vec3d& v) {
    return triple(v.x, v.y, v.z);
}
std::string mf_format(const pos3d& p) {
    return triple(p.x, p.y, p.z);
}

locsys3d::locsys3d(const pos3d& origin, const vec3d& xAxis, const vec3d& yAxis)
    : m_origin(origin), m_givenX(xAxis), m_givenY(yAxis) {
    double lx = xAxis.length();
    double ly = yAxis.length();
    if (!(lx > 0.0) || !(ly > 0.0) || !std::isfinite(lx) || !std::isfinite(ly))
        throw std::invalid_argument("local system axes must be finite and non-zero");
    m_x = xAxis * (1.0 / lx);
    vec3d y = yAxis * (1.0 / ly);
    // Parallel within the angular tolerance that the length tolerance gives on a unit axis.
    vec3d z = cross(m_x, y);
    double lz = z.length();
    if (lz <= mfSpaceBase::m_accuracy)
        throw std::invalid_argument("local system axes x_axis " + mf_format(xAxis) + " and y_axis " + mf_format(yAxis) +
                                    " are not independent");
    m_z = z * (1.0 / lz);
    m_y = cross(m_z, m_x);
}

pos3d locsys3d::toLocal(const pos3d& global) const {
    vec3d d = global - m_origin;
    return {dot(d, m_x), dot(d, m_y), dot(d, m_z)};
}

pos3d locsys3d::toGlobal(const pos3d& local) const {
    return m_origin + (m_x * local.x + m_y * local.y + m_z * local.z);
}

trans3d locsys3d::localToGlobal() const {
    return trans3d::fromFrame(m_x, m_y, m_z, m_origin);
}

trans3d locsys3d::globalToLocal() const {
    // The frame is orthonormal, so the transpose inverts it without a general inverse's rounding.
    return {{{{m_x.x, m_x.y, m_x.z}, {m_y.x, m_y.y, m_y.z}, {m_z.x, m_z.y, m_z.z}}},
            {-dot(m_origin - pos3d{}, m_x), -dot(m_origin - pos3d{}, m_y), -dot(m_origin - pos3d{}, m_z)}};
}

std::string mf_format(const locsys3d& s) {
    return "{origin " + mf_format(s.origin()) + ", x " + mf_format(s.xAxis()) + ", y " + mf_format(s.yAxis()) + "}";
}
