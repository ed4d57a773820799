#pragma once

#include <string>

#include "kestrel/components/geometry/pos3d.h"
#include "kestrel/components/geometry/vec3d.h"

// A straight segment between two ends; projections work on the infinite line through them.
class line3d {
public:
    line3d() = default;
    line3d(const pos3d& p1, const pos3d& p2) : m_end1(p1), m_end2(p2) {}

    const pos3d& end1() const { return m_end1; }
    const pos3d& end2() const { return m_end2; }
    double length() const { return direction().length(); }
    vec3d direction() const { return m_end2 - m_end1; }
    // Parameter 0 gives end1 and 1 gives end2 exactly; other values extrapolate.
    pos3d position(double t) const;

    // Closest point `foot` on the line, its distance `d` from p and its parameter `t`. A line
    // not longer than the accuracy has no direction: false, with foot end1 and t 0.
    bool project(const pos3d& p, pos3d& foot, double& d, double& t) const;
    // The parameter t that project gives, on a line that has a direction.
    double parameter(const pos3d& p) const {
        const vec3d dir = direction();
        return dot(p - m_end1, dir) / dot(dir, dir);
    }

    friend bool operator==(const line3d&, const line3d&) = default;

private:
    pos3d m_end1, m_end2;
};

// "{end1 (x, y, z), end2 (x, y, z)}"
std::string mf_format(const line3d& line);
