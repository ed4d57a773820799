#pragma once

#include <string>

#include "kestrel/components/geometry/locsys3d.h"
#include "kestrel/components/geometry/pos3d.h"

// A box whose edges run along the axes of a local system. The corners are local coordinates in
// that system and are kept as given, in either order per axis, so that they travel unchanged.
class oriented_bbox3d {
public:
    oriented_bbox3d() = default;
    oriented_bbox3d(const pos3d& p1, const pos3d& p2, const locsys3d& system) : m_p1(p1), m_p2(p2), m_system(system) {}

    const pos3d& p1() const { return m_p1; }
    const pos3d& p2() const { return m_p2; }
    const locsys3d& locsys() const { return m_system; }

    // Whether a global position lies inside or within the accuracy of the box.
    bool contains(const pos3d& global) const;

    friend bool operator==(const oriented_bbox3d&, const oriented_bbox3d&) = default;

private:
    pos3d m_p1, m_p2;
    locsys3d m_system;
};

// "{p1 (x, y, z), p2 (x, y, z), system {origin ..., x ..., y ...}}"
std::string mf_format(const oriented_bbox3d& box);
