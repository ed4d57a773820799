#include "kestrel/components/geometry/trans3d.h"

#include <cmath>
#include <stdexcept>

trans3d trans3d::fromFrame(const vec3d& ex, const vec3d& ey, const vec3d& ez, const pos3d& origin) {
    return {{{{ex.x, ey.x, ez.x}, {ex.y, ey.y, ez.y}, {ex.z, ey.z, ez.z}}}, origin - pos3d{}};
}

trans3d trans3d::inverse() const {
    const matrix3& m = m_matrix;
    // Cofactors, transposed: the adjugate.
    matrix3 adj{};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            const int r1 = (c + 1) % 3, r2 = (c + 2) % 3, c1 = (r + 1) % 3, c2 = (r + 2) % 3;
            adj[r][c] = m[r1][c1] * m[r2][c2] - m[r1][c2] * m[r2][c1];
        }
    const double det = m[0][0] * adj[0][0] + m[0][1] * adj[1][0] + m[0][2] * adj[2][0];
    double scale = 1.0;
    for (int c = 0; c < 3; ++c) scale *= std::hypot(m[0][c], m[1][c], m[2][c]);
    // Relative to the largest determinant columns of these lengths can have, so that the test
    // does not depend on the units of the matrix.
    if (!(std::fabs(det) > 1e-12 * scale) || !std::isfinite(det))
        throw std::invalid_argument("transformation is singular and has no inverse");
    for (auto& row : adj)
        for (double& value : row) value /= det;
    trans3d result(adj, {});
    result.m_translation = result.apply(m_translation) * -1.0;
    return result;
}

pos3d trans3d::apply(const pos3d& p) const {
    return pos3d{} + (apply(p - pos3d{}) + m_translation);
}

vec3d trans3d::apply(const vec3d& v) const {
    const matrix3& m = m_matrix;
    return {m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z, m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
            m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z};
}

trans3d operator*(const trans3d& a, const trans3d& b) {
    trans3d::matrix3 product{};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            for (int k = 0; k < 3; ++k) product[r][c] += a.m_matrix[r][k] * b.m_matrix[k][c];
    return {product, a.apply(b.m_translation) + a.m_translation};
}

vec3d vec3d::transform(const trans3d& t) const {
    return t.apply(*this);
}

pos3d pos3d::transform(const trans3d& t) const {
    return t.apply(*this);
}
