#pragma once

#include <string>

#include "kestrel/components/geometry/locsys3d.h"
#include "kestrel/components/geometry/pos3d.h"
#include "kestrel/components/geometry/trans3d.h"

// The coordinate system of a load: Cartesian along the axes of a local system, or cylindrical
// around its z axis with coordinates (r, theta, z), theta in radians in (-pi, pi] measured from
// the local x axis towards the local y axis.
class coordsys3d {
public:
    // What a coordinate measures.
    enum coord_unit { unknown = 0, length = 1, angle = 2 };

    // The global Cartesian system.
    coordsys3d() = default;
    static coordsys3d cartesian(const locsys3d& system) { return {system, false}; }
    static coordsys3d cylindrical(const locsys3d& system) { return {system, true}; }

    bool isCylindrical() const { return m_cylindrical; }
    const locsys3d& system() const { return m_system; }
    // Kind and name of coordinate 0..2; unknown and "" for any other index.
    coord_unit unit(int axis) const;
    std::string axisName(int axis) const;

    // Positions: coordinates in this system of a global position, and back.
    pos3d toLocal(const pos3d& global) const;
    pos3d toGlobal(const pos3d& local) const;

    // Vector values at a point. `out` becomes the rotation taking components along the local
    // directions there (radial, tangential, axial for a cylindrical system) to global ones, or
    // back. It has no translation, since it acts on forces and moments, not positions. A
    // cylindrical system has no radial direction within the accuracy of its axis: false there,
    // and `out` is left alone.
    bool localToGlobal(const pos3d& local, trans3d& out) const;
    bool globalToLocal(const pos3d& global, trans3d& out) const;

    friend bool operator==(const coordsys3d&, const coordsys3d&) = default;

private:
    coordsys3d(const locsys3d& system, bool cylindrical) : m_system(system), m_cylindrical(cylindrical) {}

    locsys3d m_system;
    bool m_cylindrical = false;
};
