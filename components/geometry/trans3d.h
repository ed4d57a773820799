#pragma once

#include <array>

#include "kestrel/components/geometry/pos3d.h"
#include "kestrel/components/geometry/vec3d.h"

// An affine transformation: a 3x3 matrix followed by a translation. Positions get both, free
// vectors only the matrix.
class trans3d {
public:
    using matrix3 = std::array<std::array<double, 3>, 3>;

    // Identity.
    trans3d() = default;
    // `matrix` by rows.
    trans3d(const matrix3& matrix, const vec3d& translation) : m_matrix(matrix), m_translation(translation) {}
    // Maps the unit axes onto ex, ey, ez (the columns) and the origin onto `origin`.
    static trans3d fromFrame(const vec3d& ex, const vec3d& ey, const vec3d& ez, const pos3d& origin);

    double element(int row, int column) const { return m_matrix[row][column]; }
    const matrix3& matrix() const { return m_matrix; }
    const vec3d& translation() const { return m_translation; }

    // Throws std::invalid_argument when the matrix is singular: its determinant is not above
    // 1e-12 times the product of its column lengths (the columns are nearly dependent), or not
    // finite.
    trans3d inverse() const;
    pos3d apply(const pos3d& p) const;
    vec3d apply(const vec3d& v) const;

    // (a * b) applies b first, then a.
    friend trans3d operator*(const trans3d& a, const trans3d& b);
    friend bool operator==(const trans3d&, const trans3d&) = default;

private:
    matrix3 m_matrix{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    vec3d m_translation;
};
