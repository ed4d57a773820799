#pragma once

#include <cmath>
#include <string>

class trans3d;

// A free vector in space; components are plain numbers.
struct vec3d {
    double x = 0.0, y = 0.0, z = 0.0;

    constexpr vec3d() = default;
    constexpr vec3d(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}

    double operator[](int i) const { return i == 0 ? x : i == 1 ? y : z; }
    friend constexpr bool operator==(const vec3d&, const vec3d&) = default;
    friend constexpr vec3d operator+(const vec3d& a, const vec3d& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
    friend constexpr vec3d operator-(const vec3d& a, const vec3d& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
    friend constexpr vec3d operator*(const vec3d& a, double k) { return {a.x * k, a.y * k, a.z * k}; }
    friend constexpr double dot(const vec3d& a, const vec3d& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
    friend constexpr vec3d cross(const vec3d& a, const vec3d& b) {
        return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    }
    double length() const { return std::sqrt(dot(*this, *this)); }
    // The image under the matrix of t; translations do not move free vectors.
    vec3d transform(const trans3d& t) const;
};

std::string mf_format(const vec3d& v);
