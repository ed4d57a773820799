#include <algorithm>
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
    // A line without length is its one point.
    if (m_line.length() <= mfSpaceBase::m_accuracy) return near(position, m_line.end1());
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
    const auto& corners = m_polygon.corners();
    // The boundary belongs to the polygon: a position within the tolerance of an edge is on it,
    // whatever rounding says about the side it lies on.
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const line3d edge(corners[i], corners[(i + 1) % corners.size()]);
        pos3d closest;
        double distance = 0.0;
        double t = 0.0;
        if (!edge.project(foot, closest, distance, t)) {
            if (near(foot, corners[i])) return true;
            continue;
        }
        if (near(foot, edge.position(std::clamp(t, 0.0, 1.0)))) return true;
    }
    // Winding number in the polygon's plane, so that corners out of its plane by rounding and
    // either corner order count alike.
    const vec3d u = std::abs(n.x) < 0.9 ? cross(n, vec3d(1, 0, 0)) : cross(n, vec3d(0, 1, 0));
    const vec3d e1 = u * (1.0 / u.length());
    const vec3d e2 = cross(n, e1);
    int winding = 0;
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const vec3d a = corners[i] - foot;
        const vec3d b = corners[(i + 1) % corners.size()] - foot;
        const double ay = dot(a, e2);
        const double by = dot(b, e2);
        // Which side of the edge the position lies on, positive to the left.
        const double side = dot(a, e1) * by - dot(b, e1) * ay;
        if (ay <= 0.0 && by > 0.0 && side > 0.0) ++winding;
        if (ay > 0.0 && by <= 0.0 && side < 0.0) --winding;
    }
    return winding != 0;
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
