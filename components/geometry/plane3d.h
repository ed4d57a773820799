#pragma once

#include <string>

#include "kestrel/components/geometry/pos3d.h"
#include "kestrel/components/geometry/vec3d.h"

// An unbounded plane with a unit normal and a point on it. Distances are measured from that
// point rather than through the offset coefficient, so that points far from the origin lose no
// precision: the plane through three points projects the first of them onto itself exactly.
class plane3d {
public:
    // Undefined.
    plane3d() = default;
    // Normal along (p2 - p1) x (p3 - p1). Undefined when a coordinate is not finite or the points
    // lie within the accuracy of one straight line, that is when the triangle's smallest height
    // |(p2 - p1) x (p3 - p1)| / longest side is not above the accuracy; coinciding points are a
    // special case of this.
    plane3d(const pos3d& p1, const pos3d& p2, const pos3d& p3);
    // The plane a*x + b*y + c*z + d = 0 from abcd[0..3], normalised so that (a, b, c) is the
    // unit normal. Undefined when (a, b, c) is null or a coefficient is not finite.
    explicit plane3d(const double* abcd);

    bool defined() const { return m_defined; }
    // Null when undefined.
    const vec3d& normal() const { return m_normal; }
    // Normalised a, b, c, d for i = 0..3, all 0 when undefined; throws std::out_of_range else.
    double coefficient(int i) const;
    // Signed distance, positive on the side the normal points to; 0 when undefined.
    double distance(const pos3d& p) const;
    // Orthogonal foot of p on the plane; p itself when undefined.
    pos3d project(const pos3d& p) const;

private:
    bool m_defined = false;
    vec3d m_normal;
    double m_offset = 0.0;
    pos3d m_anchor;
};

// "{normal (a, b, c), d value}", or "{undefined}".
std::string mf_format(const plane3d& plane);
