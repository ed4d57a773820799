#pragma once

#include <string>

#include "kestrel/components/geometry/vec3d.h"

class trans3d;

// A position in space, in metres.
struct pos3d {
    double x = 0.0, y = 0.0, z = 0.0;

    constexpr pos3d() = default;
    constexpr pos3d(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}

    double operator[](int i) const { return i == 0 ? x : i == 1 ? y : z; }
    friend constexpr bool operator==(const pos3d&, const pos3d&) = default;
    // Exact lexicographic order on (x, y, z); the key order of position maps.
    friend constexpr bool operator<(const pos3d& a, const pos3d& b) {
        if (a.x != b.x) return a.x < b.x;
        if (a.y != b.y) return a.y < b.y;
        return a.z < b.z;
    }
    friend constexpr vec3d operator-(const pos3d& a, const pos3d& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
    friend constexpr pos3d operator+(const pos3d& p, const vec3d& v) { return {p.x + v.x, p.y + v.y, p.z + v.z}; }
    pos3d transform(const trans3d& t) const;
};

// "(x, y, z)" with each coordinate in its shortest exact form.
std::string mf_format(const pos3d& p);
