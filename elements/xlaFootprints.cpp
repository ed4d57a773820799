#include <cmath>
#include <string>

#include "kestrel/components/exchange/xml_error.h"
#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/components/geometry/mfSpaceBase.h"
#include "kestrel/elements/detail/kestrelRegisterKinds.h"
#include "kestrel/elements/xlaFootprintBox.h"
#include "kestrel/elements/xlaFootprintLine.h"
#include "kestrel/elements/xlaFootprintPoint.h"
#include "kestrel/elements/xlaFootprintPolygon.h"
#include "kestrel/exchange/xpProtoDeclarations.h"

namespace {
// Adds the node of a class-typed member of `owner`.
template <class Owner, class T>
void addMember(Owner* owner, const char* name, T Owner::*member, bool required) {
    xpMemberDeclaration<T Owner::*> declaration;
    declaration.name = name;
    declaration.member = member;
    xpNode* node = xpCreateMemberNode(declaration, owner);
    node->set_required(required);
    owner->add(node);
}

// Why the corners bound no area, or "" when they do: fewer than three, not finite, fewer than
// three apart by the length tolerance, or all within it of one straight line.
std::string noArea(const List<pos3d>& corners) {
    if (corners.size() < 3)
        return "a polygon needs at least three points, this one has " + std::to_string(corners.size());
    std::size_t number = 0;
    for (const pos3d& p : corners) {
        ++number;
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
            return "point " + std::to_string(number) + " is not finite";
    }
    const double m = mfSpaceBase::m_accuracy;
    const pos3d& origin = corners.front();
    pos3d far = origin;
    double reach = 0.0;
    for (const pos3d& p : corners)
        if (const double d = (p - origin).length(); d > reach) reach = d, far = p;
    if (!(reach >= m)) return "its points all coincide: a polygon needs three distinct points";
    const vec3d along = (far - origin) * (1.0 / reach);
    bool third = false;
    for (const pos3d& p : corners) {
        if ((p - origin).length() < m || (p - far).length() < m) continue;
        third = true;
        if (cross(p - origin, along).length() >= m) return {};
    }
    return third ? "its points lie on one straight line: the polygon has no area"
                 : "it has only two distinct points: a polygon needs three";
}
}  // namespace

// --- point ----------------------------------------------------------------------------------

xlaFootprintPoint::xlaFootprintPoint() {
    addMember(this, "point", &xlaFootprintPoint::m_point, true);
}

xlaFootprintPoint::xlaFootprintPoint(const xlaFootprintPoint& other) : xlaFootprintPoint() {
    *this = other;
}

xlaFootprintPoint& xlaFootprintPoint::operator=(const xlaFootprintPoint& other) {
    xpFutureElement::operator=(other);
    m_point = other.m_point;
    return *this;
}

xlaFootprintPoint::~xlaFootprintPoint() = default;

bool xlaFootprintPoint::export_(laFootprintPoint* footprint) {
    m_point = footprint->position();
    return true;
}

laFootprintPoint* xlaFootprintPoint::import() {
    return mfCreate<laFootprintPoint>(m_point);
}

// --- line -----------------------------------------------------------------------------------

xlaFootprintLine::xlaFootprintLine() {
    auto first = xpDeclareElement<pos3d>("position", &xlaFootprintLine::m_end1) << xpDeclareConstant("end", 1);
    auto second = xpDeclareElement<pos3d>("position", &xlaFootprintLine::m_end2) << xpDeclareConstant("end", 2);
    xpNode* line = xpCreateProtoNode(xpDeclareElement("line") << first << second, this);
    line->set_required(true);
    add(line);
}

xlaFootprintLine::xlaFootprintLine(const xlaFootprintLine& other) : xlaFootprintLine() {
    *this = other;
}

xlaFootprintLine& xlaFootprintLine::operator=(const xlaFootprintLine& other) {
    xpFutureElement::operator=(other);
    m_end1 = other.m_end1;
    m_end2 = other.m_end2;
    return *this;
}

xlaFootprintLine::~xlaFootprintLine() = default;

bool xlaFootprintLine::export_(laFootprintLine* footprint) {
    m_end1 = footprint->geometry().end1();
    m_end2 = footprint->geometry().end2();
    return true;
}

laFootprintLine* xlaFootprintLine::import() {
    return mfCreate<laFootprintLine>(line3d(m_end1, m_end2));
}

// --- polygon --------------------------------------------------------------------------------

xlaFootprintPolygon::xlaFootprintPolygon() {
    xpNode* points = xpCreateProtoNode(xpDeclareSequence("points", &xlaFootprintPolygon::m_corners,
                                                         xpDeclareElement<pos3d>("point", xpProtoMemberElement{})),
                                       this);
    points->set_required(true);
    add(points);
}

xlaFootprintPolygon::xlaFootprintPolygon(const xlaFootprintPolygon& other) : xlaFootprintPolygon() {
    *this = other;
}

xlaFootprintPolygon& xlaFootprintPolygon::operator=(const xlaFootprintPolygon& other) {
    xpFutureElement::operator=(other);
    m_corners = other.m_corners;
    return *this;
}

xlaFootprintPolygon::~xlaFootprintPolygon() = default;

bool xlaFootprintPolygon::export_(laFootprintPolygon* footprint) {
    m_corners.clear();
    const auto& corners = footprint->geometry().corners();
    m_corners.insert(m_corners.end(), corners.begin(), corners.end());
    // Written as it is, so that nothing is lost, but reported: reading it back would refuse it.
    if (const std::string problem = noArea(m_corners); !problem.empty())
        nodeError() << xml_error_message(this, problem + "; it would not read back");
    return true;
}

// Corners that bound no area are refused: no footprint could stand on them.
laFootprintPolygon* xlaFootprintPolygon::import() {
    if (const std::string problem = noArea(m_corners); !problem.empty()) {
        nodeError() << xml_error_message(this, problem, m_readPath, m_readLine, m_readColumn);
        return nullptr;
    }
    return mfCreate<laFootprintPolygon>(m_corners);
}

bool xlaFootprintPolygon::importContent(xpImportSet& nodes) {
    m_readPath = getElementPath();
    m_readLine = getLine();
    m_readColumn = getColumn();
    return xpFutureElement::importContent(nodes);
}

// --- box ------------------------------------------------------------------------------------

xlaFootprintBox::xlaFootprintBox() {
    addMember(this, "lower_corner", &xlaFootprintBox::m_lowerCorner, true);
    addMember(this, "upper_corner", &xlaFootprintBox::m_upperCorner, true);
    addMember(this, "local_system", &xlaFootprintBox::m_localSystem, false);
    addMember(this, "local_system_origin", &xlaFootprintBox::m_origin, true);
}

xlaFootprintBox::xlaFootprintBox(const xlaFootprintBox& other) : xlaFootprintBox() {
    *this = other;
}

xlaFootprintBox& xlaFootprintBox::operator=(const xlaFootprintBox& other) {
    xpFutureElement::operator=(other);
    m_lowerCorner = other.m_lowerCorner;
    m_upperCorner = other.m_upperCorner;
    m_localSystem = other.m_localSystem;
    m_origin = other.m_origin;
    return *this;
}

xlaFootprintBox::~xlaFootprintBox() = default;

bool xlaFootprintBox::export_(laFootprintBox* footprint) {
    const oriented_bbox3d& box = footprint->orientedBounding();
    m_lowerCorner = box.p1();
    m_upperCorner = box.p2();
    m_localSystem = box.locsys();
    m_origin = footprint->getOriginLocalSystem();
    return true;
}

laFootprintBox* xlaFootprintBox::import() {
    laFootprintBox* box = mfCreate<laFootprintBox>(oriented_bbox3d(m_lowerCorner, m_upperCorner, m_localSystem));
    if (box) box->setOriginLocalSystem(m_origin);
    return box;
}

void kestrelRegisterFootprints() {
    kestrelRegisterEach(kestrelKindsOf<kestrelBaseFamily<kestrelFootprintBases>>{});
}

// The bases the headers declare extern.
template class xpFutureElement<xlaFootprintBox, lcFootprint_3d, xpElement>;
template class xpFutureElement<xlaFootprintLine, lcFootprint_1d, xpElement>;
template class xpFutureElement<xlaFootprintPoint, lcFootprint_0d, xpElement>;
template class xpFutureElement<xlaFootprintPolygon, lcFootprint_2d, xpElement>;
