#pragma once

#include <string>

#include "kestrel/components/geometry/pos3d.h"
#include "kestrel/components/geometry/trans3d.h"
#include "kestrel/components/geometry/vec3d.h"

// A right-handed local coordinate system. It keeps the origin and axes exactly as given, so
// that they travel unchanged, and works with the orthonormal frame they define: the unit x axis
// along the given one, the unit y axis the part of the given one orthogonal to x.
class locsys3d {
public:
    // The global system.
    locsys3d() = default;
    // Throws std::invalid_argument when an axis is null or the two axes are parallel.
    locsys3d(const pos3d& origin, const vec3d& xAxis, const vec3d& yAxis);

    const pos3d& origin() const { return m_origin; }
    // The axes as given.
    const vec3d& xAxis() const { return m_givenX; }
    const vec3d& yAxis() const { return m_givenY; }
    // The orthonormal frame.
    const vec3d& unitX() const { return m_x; }
    const vec3d& unitY() const { return m_y; }
    const vec3d& unitZ() const { return m_z; }

    // Coordinates of a global position in this system, and back.
    pos3d toLocal(const pos3d& global) const;
    pos3d toGlobal(const pos3d& local) const;
    // The same mappings as transformations.
    trans3d localToGlobal() const;
    trans3d globalToLocal() const;

    friend bool operator==(const locsys3d&, const locsys3d&) = default;

private:
    pos3d m_origin;
    vec3d m_givenX{1, 0, 0}, m_givenY{0, 1, 0};
    vec3d m_x{1, 0, 0}, m_y{0, 1, 0}, m_z{0, 0, 1};
};

std::string mf_format(const locsys3d& system);
