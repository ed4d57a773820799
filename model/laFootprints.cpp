#include <cmath>

#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/components/geometry/mfSpaceBase.h"
#include "kestrel/model/laFootprintBox.h"
#include "kestrel/model/laFootprintLine.h"
#include "kestrel/model/laFootprintPoint.h"
#include "kestrel/model/laFootprintPolygon.h"

namespace {
bool near(const pos3d& a, const pos3d& b) {
    return (a - b).length() <= mfSpaceBase::m_accuracy;
}
}  // namespace

// --- point ----------------------------------------------------------------------------------

std::string laFootprintPoint::description() const {
    return "point footprint at " + mf_format(m_position);
}

void laFootprintPoint::getPoints(List<pos3d>& points) const {
    points.push_back(m_position);
}

lcFootprint* laFootprintPoint::clone() const {
    return mfCreate<laFootprintPoint>(*this);
}

bool laFootprintPoint::within(const pos3d& position) const {
    return near(position, m_position);
}

// --- line -----------------------------------------------------------------------------------

std::string laFootprintLine::description() const {
    return "line footprint from " + mf_format(m_line.end1()) + " to " + mf_format(m_line.end2());
}

void laFootprintLine::getPoints(List<pos3d>& points) const {
    points.push_back(m_line.end1());
    points.push_back(m_line.end2());
}

lcFootprint* laFootprintLine::clone() const {
    return mfCreate<laFootprintLine>(*this);
}

bool laFootprintLine::within(const pos3d& position) const {
    double t = 0.0;
    const double slack = m_line.length() > 0.0 ? mfSpaceBase::m_accuracy / m_line.length() : 0.0;
    return parameter(position, t) && t >= -slack && t <= 1.0 + slack;
}

bool laFootprintLine::parameter(const pos3d& position, double& t) const {
    pos3d foot;
    double distance = 0.0;
    double at = 0.0;
    if (!m_line.project(position, foot, distance, at) || distance > mfSpaceBase::m_accuracy) return false;
    t = at;
    return true;
}

bool laFootprintLine::position(const double& t, pos3d& position) const {
    if (m_line.length() <= mfSpaceBase::m_accuracy) return false;
    position = m_line.position(t);
    return true;
}

bool laFootprintLine::orientation(const double& t, locsys3d& system) const {
    if (m_line.length() <= mfSpaceBase::m_accuracy) return false;
    const vec3d x = m_line.direction();
    // Any axis not parallel to the line completes the system.
    const vec3d y = std::abs(x.z) < std::abs(x.x) + std::abs(x.y) ? vec3d(0, 0, 1) : vec3d(1, 0, 0);
    system = locsys3d(m_line.position(t), x, cross(cross(x, y), x));
    return true;
}

laFootprintLine* laFootprintLine::footprintSubset(const double& from, const double& to) const {
    if (m_line.length() <= mfSpaceBase::m_accuracy) return nullptr;
    return mfCreate<laFootprintLine>(line3d(m_line.position(from), m_line.position(to)));
}

// --- polygon --------------------------------------------------------------------------------

laFootprintPolygon::laFootprintPolygon(const List<pos3d>& corners)
    : m_polygon(std::vector<pos3d>(corners.begin(), corners.end())) {}

std::string laFootprintPolygon::description() const {
    return "polygon footprint with " + std::to_string(m_polygon.corners().size()) + " corners";
}

void laFootprintPolygon::getPoints(List<pos3d>& points) const {
    points.insert(points.end(), m_polygon.corners().begin(), m_polygon.corners().end());
}

lcFootprint* laFootprintPolygon::clone() const {
    return mfCreate<laFootprintPolygon>(*this);
}

bool laFootprintPolygon::within(const pos3d& position) const {
    vec3d n;
    pos3d foot;
    if (!normal(position, n) || !project(position, foot) || !near(foot, position)) return false;
    // Winding test in the polygon's plane: the angles seen from the position add up to a full
    // turn inside and to nothing outside.
    const auto& corners = m_polygon.corners();
    double turn = 0.0;
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const vec3d a = corners[i] - position;
        const vec3d b = corners[(i + 1) % corners.size()] - position;
        if (a.length() <= mfSpaceBase::m_accuracy) return true;
        turn += std::atan2(dot(cross(a, b), n), dot(a, b));
    }
    return std::abs(turn) > 3.0;  // 2 pi inside, 0 outside
}

bool laFootprintPolygon::normal(const pos3d&, vec3d& normal) const {
    const vec3d n = m_polygon.normal();
    if (n.length() == 0.0) return false;
    normal = n;
    return true;
}

bool laFootprintPolygon::project(const pos3d& position, pos3d& foot) const {
    vec3d n;
    if (!normal(position, n)) return false;
    foot = position + n * -dot(position - m_polygon.corners().front(), n);
    return true;
}

laFootprintPolygon* laFootprintPolygon::flipped() const {
    List<pos3d> reversed(m_polygon.corners().rbegin(), m_polygon.corners().rend());
    return mfCreate<laFootprintPolygon>(reversed);
}

// --- box ------------------------------------------------------------------------------------

std::string laFootprintBox::description() const {
    return "box footprint from " + mf_format(m_box.p1()) + " to " + mf_format(m_box.p2()) + " in " +
           mf_format(m_box.locsys());
}

void laFootprintBox::getPoints(List<pos3d>& points) const {
    const pos3d& a = m_box.p1();
    const pos3d& b = m_box.p2();
    for (int i = 0; i < 8; ++i)
        points.push_back(m_box.locsys().toGlobal({i & 1 ? b.x : a.x, i & 2 ? b.y : a.y, i & 4 ? b.z : a.z}));
}

lcFootprint* laFootprintBox::clone() const {
    return mfCreate<laFootprintBox>(*this);
}

void laFootprintBox::setBoxExtent(const pos3d& corner, const vec3d& size) {
    m_box = oriented_bbox3d(corner, corner + size, m_box.locsys());
}

void laFootprintBox::locsys(const locsys3d& system) {
    m_box = oriented_bbox3d(m_box.p1(), m_box.p2(), system);
}

vec3d laFootprintBox::boxSize() const {
    const vec3d d = m_box.p2() - m_box.p1();
    return {std::abs(d.x), std::abs(d.y), std::abs(d.z)};
}
