#pragma once

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstddef>
#include <initializer_list>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "kestrel/components/framework/Vector.h"
#include "kestrel/components/framework/kestrelApi.h"
#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/components/geometry/coordsys3d.h"
#include "kestrel/components/geometry/mfSpaceBase.h"
#include "kestrel/components/geometry/plane3d.h"
#include "kestrel/components/geometry/triangle3d.h"
#include "kestrel/model/laIntensityFunction.h"
#include "kestrel/model/laIntensityVector.h"

// Values given at the nodes of a rectilinear grid and interpolated trilinearly between them;
// beyond the outermost nodes the outermost cells extend linearly. The grid lies in the
// function's position coordinates, which must all be lengths.
//
// Changing an axis of a grid that holds values keeps the grid as it was (previousGrid); the
// next node write resamples the old values onto the new nodes, so axes can be changed one by
// one without losing them. Until then the old grid answers for every node.
template <class T>
class laIntensityFunctionGrid : public laIntensityFunction<T> {
public:
    using index_type = std::ptrdiff_t;

    laIntensityFunctionGrid() = default;
    // The copy holds the values the original reads, with any pending resampling done.
    laIntensityFunctionGrid(const laIntensityFunctionGrid& other)
        : laIntensityFunction<T>(other),
          m_hasValues(true),
          m_inactive(other.m_inactive),
          m_x(other.m_x),
          m_y(other.m_y),
          m_z(other.m_z),
          m_values(other.m_previous ? other.resampled() : other.m_values) {}
    // The factory is told first, while the grid is whole: with a resampling pending, the node
    // values it reads live in the previous grid, which dies after it.
    ~laIntensityFunctionGrid() override {
        this->handOverToFactory();
        delete m_previous;
    }

    void* getInterface(const std::type_info& type) override {
        return mfInterfaceStep<laIntensityFunctionGrid, laIntensityFunction<T>>(this, type);
    }
    static bool offersInterface(const std::type_info& type) {
        return mfOffersStep<laIntensityFunctionGrid, laIntensityFunction<T>>(type);
    }

    // Node coordinates along each axis, ascending and finite.
    const Vector<double>& xValues() const { return m_x; }
    const Vector<double>& yValues() const { return m_y; }
    const Vector<double>& zValues() const { return m_z; }
    // The axis values are sorted, and values that are not finite are left out, since nodes are
    // found and cells located by binary search.
    void setXValues(Vector<double> values) { setAxis(m_x, std::move(values)); }
    void setYValues(Vector<double> values) { setAxis(m_y, std::move(values)); }
    void setZValues(Vector<double> values) { setAxis(m_z, std::move(values)); }

    // The first node whose coordinate lies strictly within the length tolerance of the given
    // one; -1 when there is none.
    index_type indexOfX(double x) const { return indexOf(m_x, x); }
    index_type indexOfY(double y) const { return indexOf(m_y, y); }
    index_type indexOfZ(double z) const { return indexOf(m_z, z); }
    // Whether a position lies on a node within the tolerance on every axis, and which.
    bool findNode(const pos3d& position, index_type& ix, index_type& iy, index_type& iz) const {
        ix = indexOfX(position.x);
        iy = indexOfY(position.y);
        iz = indexOfZ(position.z);
        return ix >= 0 && iy >= 0 && iz >= 0;
    }

    // The value of a node, for writing. Throws std::range_error for an index outside its axis,
    // and std::length_error when the node count exceeds the address space.
    T& node(index_type ix, index_type iy, index_type iz) {
        checkIndices(ix, iy, iz);
        refresh();
        m_hasValues = true;
        return m_values[flatIndex(ix, iy, iz)];
    }
    // The value of a node as interpolation reads it, without resampling the grid.
    T nodeValue(index_type ix, index_type iy, index_type iz) const {
        checkIndices(ix, iy, iz);
        return value(static_cast<std::size_t>(ix), static_cast<std::size_t>(iy), static_cast<std::size_t>(iz));
    }

    // Set once a node has been written; a copy has it set.
    bool hasValues() const { return m_hasValues; }
    // An inactive grid yields zero everywhere; its node values are kept.
    bool inactive() const { return m_inactive; }
    void setInactive(bool inactive) { m_inactive = inactive; }
    // The grid as it was before its axes changed, until the next node write resamples it.
    const laIntensityFunctionGrid* previousGrid() const { return m_previous; }

    // Empty where an axis of the load's system is not a length.
    lcIntensity getIntensity(const lcLoad* load, const pos3d& position, lcLoad::lcCoordinateSystem system,
                             const std::complex<double>& factor) const override {
        return Sampler(*this, load, system, factor).at(position);
    }
    std::unique_ptr<lcIntensitySampler> sampler(const lcLoad* load, lcLoad::lcCoordinateSystem system,
                                                const std::complex<double>& factor) const override {
        return std::make_unique<Sampler>(*this, load, system, factor);
    }
    bool hasConstantIntensity() const override { return false; }
    using laIntensityFunction<T>::description;
    std::string description(const lcLoad*) const override { return "Grid of " + laIntensityLabel<T>(); }
    lcIntensity getConstantIntensity(const lcLoad*, lcLoad::lcCoordinateSystem,
                                     const std::complex<double>&) const override {
        return {};
    }
    // The node value of largest magnitude, the earliest of equal ones, in `system` and times
    // `factor` like every other intensity; empty when the nodes have no values. Zero for an
    // inactive grid, which yields zero everywhere.
    lcIntensity getMaximumIntensity(const lcLoad* load, lcLoad::lcCoordinateSystem system,
                                    const std::complex<double>& factor) const override {
        std::size_t count = 0;
        if (!m_hasValues || !nodeCount(count) || count == 0 || (!m_previous && m_values.size() != count)) return {};
        const lcIntensityAlgorithms* family = this->algorithms();
        std::size_t best[3] = {0, 0, 0};
        T largest = value(0, 0, 0);
        double largestMeasure = std::abs(family->measure(largest));
        for (std::size_t iz = 0; iz < m_z.size(); ++iz)
            for (std::size_t iy = 0; iy < m_y.size(); ++iy)
                for (std::size_t ix = 0; ix < m_x.size(); ++ix) {
                    T here = value(ix, iy, iz);
                    const double measure = std::abs(family->measure(here));
                    if (measure > largestMeasure) {
                        largest = std::move(here);
                        largestMeasure = measure;
                        best[0] = ix, best[1] = iy, best[2] = iz;
                    }
                }
        const pos3d at = this->fromPositionSystem(load, pos3d(m_x[best[0]], m_y[best[1]], m_z[best[2]]));
        return this->scaled(this->transformIntensity(load, at, m_inactive ? T() : largest, system), factor);
    }
    lcIntensityFunction* clone(lcBasicLoadCase*) const override { return mfCreate<laIntensityFunctionGrid>(*this); }
    // Cuts the triangles at the node planes x = xValues[i], then y, then z, so that no piece
    // crosses a cell boundary. The triangles are taken in the grid's coordinates.
    void retriangulate(const List<triangle3d>& in, List<triangle3d>& out) const override {
        List<triangle3d> alongX, alongY;
        cutAtPlanes(in, m_x, 0, alongX);
        cutAtPlanes(alongX, m_y, 1, alongY);
        cutAtPlanes(alongY, m_z, 2, out);
    }

private:
    // Whether the load's axes are lengths is the same at every position.
    class Sampler final : public lcIntensitySampler {
    public:
        Sampler(const laIntensityFunctionGrid& grid, const lcLoad* load, lcLoad::lcCoordinateSystem system,
                const std::complex<double>& factor)
            : m_grid(grid),
              m_load(load),
              m_factor(factor),
              m_transform(grid, load, system),
              m_fits(grid.lengthAxes(load)) {
            std::size_t count = 0;
            m_plain = laRealComponents<T> && T().size() == 1 && grid.m_hasValues && !grid.m_previous &&
                      grid.nodeCount(count) && grid.m_values.size() == count;
        }
        lcIntensity at(const pos3d& position) const override {
            if (!m_fits) return lcIntensity();
            const laIntensityFunctionGrid& g = m_grid;
            T p;
            if (!g.m_inactive && !m_plain) p = g.sample(g.toPositionSystem(m_load, position));
            if (!g.m_inactive && m_plain) {
                // The nodes' own values, read as the doubles they hold.
                const pos3d q = g.toPositionSystem(m_load, position);
                Cell cx, cy, cz;
                if (locate(g.m_x, q.x, cx) && locate(g.m_y, q.y, cy) && locate(g.m_z, q.z, cz))
                    p.set_complex(0, trilinear<double>(cx, cy, cz, [&](std::size_t i, std::size_t j, std::size_t k) {
                                      return g.m_values[g.flatIndex(i, j, k)].real(0);
                                  }));
            }
            return g.sampled(m_transform, position, &p, m_factor);
        }

    private:
        const laIntensityFunctionGrid& m_grid;
        const lcLoad* m_load;
        std::complex<double> m_factor;
        typename laIntensityFunction<T>::Transform m_transform;
        bool m_fits;
        bool m_plain = false;
    };

    // Where a coordinate falls on an axis: the nodes lo and hi of its cell, and how far it is
    // from lo towards hi (below 0 or above 1 outside the axis).
    struct Cell {
        std::size_t lo = 0, hi = 0;
        double t = 0.0;
    };

    // Holds the values of `source`, which is left without any: a grid that is about to be
    // resampled needs them no more.
    laIntensityFunctionGrid(laIntensityFunctionGrid& source, std::in_place_t)
        : laIntensityFunction<T>(source),
          m_hasValues(source.m_hasValues),
          m_inactive(source.m_inactive),
          m_x(source.m_x),
          m_y(source.m_y),
          m_z(source.m_z),
          m_values(std::move(source.m_values)) {
        source.m_values = Vector<T>();
    }

    // nx * ny * nz; false when it does not fit a size_t.
    bool nodeCount(std::size_t& count) const {
        count = m_x.size();
        for (std::size_t n : {m_y.size(), m_z.size()}) {
            if (n != 0 && count > std::numeric_limits<std::size_t>::max() / n) return false;
            count *= n;
        }
        return true;
    }
    std::size_t nodeCountOrThrow() const {
        std::size_t count = 0;
        if (!nodeCount(count)) throw std::length_error("Grid has too many nodes");
        return count;
    }
    std::size_t flatIndex(std::size_t ix, std::size_t iy, std::size_t iz) const {
        return ix + m_x.size() * (iy + m_y.size() * iz);
    }
    void checkIndices(index_type ix, index_type iy, index_type iz) const {
        const auto within = [](index_type i, const Vector<double>& axis) {
            return i >= 0 && static_cast<std::size_t>(i) < axis.size();
        };
        if (!within(ix, m_x) || !within(iy, m_y) || !within(iz, m_z)) throw std::range_error("Index out of bounds");
    }

    void setAxis(Vector<double>& axis, Vector<double> values) {
        keepPrevious();
        std::erase_if(values, [](double v) { return !std::isfinite(v); });
        std::sort(values.begin(), values.end());
        axis = std::move(values);
    }
    void keepPrevious() {
        if (m_previous || !m_hasValues || m_x.empty() || m_y.empty() || m_z.empty()) return;
        m_previous = new (mfProgram::program().strategy(), typeid(laIntensityFunctionGrid))
            laIntensityFunctionGrid(*this, std::in_place);
        // Going on without it would silently drop every node value.
        if (!m_previous) throw std::bad_alloc();
    }
    // Makes the values match the axes before one is written.
    void refresh() {
        const std::size_t count = nodeCountOrThrow();
        if (count == 0) return;
        if (m_previous) {
            m_values = resampled();
            delete m_previous;
            m_previous = nullptr;
        } else if (m_values.size() != count) {
            m_values.resize(count);
        }
    }
    // The previous grid's interpolation at each node, in node order.
    Vector<T> resampled() const {
        Vector<T> values(nodeCountOrThrow());
        const laIntensityFunctionGrid& old = *m_previous;
        std::vector<Cell> cx, cy, cz;
        if (values.empty() || !old.m_hasValues || !cells(old.m_x, m_x, cx) || !cells(old.m_y, m_y, cy) ||
            !cells(old.m_z, m_z, cz))
            return values;
        std::size_t i = 0;
        for (const Cell& z : cz)
            for (const Cell& y : cy)
                for (const Cell& x : cx) values[i++] = old.interpolate(x, y, z);
        return values;
    }

    // The value of a node as read: zero before any write, the previous grid's while a
    // resampling is pending, zero when the values do not match the axes.
    T value(std::size_t ix, std::size_t iy, std::size_t iz) const {
        if (!m_hasValues) return T();
        if (m_previous) return m_previous->sample(pos3d(m_x[ix], m_y[iy], m_z[iz]));
        std::size_t count = 0;
        if (!nodeCount(count) || m_values.size() != count) return T();
        return m_values[flatIndex(ix, iy, iz)];
    }
    // Interpolation of the node values; `inactive` is left to the caller, so that resampling an
    // inactive grid keeps its values.
    T sample(const pos3d& q) const {
        Cell cx, cy, cz;
        if (!m_hasValues || !locate(m_x, q.x, cx) || !locate(m_y, q.y, cy) || !locate(m_z, q.z, cz)) return T();
        return interpolate(cx, cy, cz);
    }
    T interpolate(const Cell& x, const Cell& y, const Cell& z) const {
        return trilinear<T>(x, y, z, [&](std::size_t i, std::size_t j, std::size_t k) { return value(i, j, k); });
    }
    // What `at` gives at the corners of a cell, interpolated: in values, or in doubles for one
    // real component, by the same operations.
    template <class V, class At>
    static V trilinear(const Cell& x, const Cell& y, const Cell& z, const At& at) {
        const double tx = x.t, ty = y.t, tz = z.t;
        const V c00 = at(x.lo, y.lo, z.lo) * (1 - tx) + at(x.hi, y.lo, z.lo) * tx;
        const V c01 = at(x.lo, y.lo, z.hi) * (1 - tx) + at(x.hi, y.lo, z.hi) * tx;
        const V c11 = at(x.lo, y.hi, z.hi) * (1 - tx) + at(x.hi, y.hi, z.hi) * tx;
        const V c10 = at(x.lo, y.hi, z.lo) * (1 - tx) + at(x.hi, y.hi, z.lo) * tx;
        const V c0 = c00 * (1 - ty) + c10 * ty;
        const V c1 = c01 * (1 - ty) + c11 * ty;
        return c0 * (1 - tz) + c1 * tz;
    }

    static bool locate(const Vector<double>& axis, double w, Cell& cell) {
        const std::size_t n = axis.size();
        if (n == 0) return false;
        cell = Cell();
        if (n == 1) return true;
        // NaN goes to the first cell and yields NaN rather than an index past the axis.
        if (!(w >= axis.front())) {
            cell.hi = 1;
        } else if (w > axis.back()) {
            cell.lo = n - 2;
            cell.hi = n - 1;
        } else {
            cell.hi = static_cast<std::size_t>(std::lower_bound(axis.begin(), axis.end(), w) - axis.begin());
            cell.lo = axis[cell.hi] == w ? cell.hi : cell.hi - 1;
        }
        // Repeated coordinates make cells without width; these have no slope to extend.
        const double width = axis[cell.hi] - axis[cell.lo];
        cell.t = width != 0.0 ? (w - axis[cell.lo]) / width : 0.0;
        return true;
    }
    // The cells of each coordinate of `at` on `axis`; false when the axis is empty.
    static bool cells(const Vector<double>& axis, const Vector<double>& at, std::vector<Cell>& out) {
        out.resize(at.size());
        for (std::size_t i = 0; i < at.size(); ++i)
            if (!locate(axis, at[i], out[i])) return false;
        return true;
    }
    static index_type indexOf(const Vector<double>& axis, double w) {
        const double m = mfSpaceBase::m_accuracy;
        // The axis ascends: the first node not below the tolerance band is the only candidate.
        const auto candidate = std::partition_point(axis.begin(), axis.end(), [&](double v) { return !(v - w > -m); });
        if (candidate == axis.end() || !(*candidate - w < m)) return -1;
        return candidate - axis.begin();
    }

    bool lengthAxes(const lcLoad* load) const {
        if (this->positionSystem != lcLoad::local || !load) return true;
        for (int i = 0; i < 3; ++i)
            if (load->coordsys().unit(i) != coordsys3d::length) return false;
        return true;
    }

    static plane3d planeAt(int axis, double at) {
        double abcd[4] = {0.0, 0.0, 0.0, -at};
        abcd[axis] = 1.0;
        return plane3d(abcd);
    }
    // Each triangle is cut by the first plane that cuts it; its pieces go on with the planes
    // after that one. A stack rather than recursion: a fine grid cuts a triangle many times.
    static void cutAtPlanes(const List<triangle3d>& in, const Vector<double>& planes, int axis, List<triangle3d>& out) {
        std::vector<std::pair<triangle3d, std::size_t>> pending;
        std::vector<triangle3d> pieces;
        for (const triangle3d& triangle : in) {
            pending.emplace_back(triangle, 0);
            while (!pending.empty()) {
                const auto [piece, from] = pending.back();
                pending.pop_back();
                const std::size_t k = firstCut(piece, planes, axis, from);
                if (k == planes.size()) {
                    out.push_back(piece);
                    continue;
                }
                pieces.clear();
                if (!piece.intersect(planeAt(axis, planes[k]), pieces)) pending.emplace_back(piece, k + 1);
                // Reversed onto the stack, so that the pieces come out in their order.
                for (auto p = pieces.rbegin(); p != pieces.rend(); ++p) pending.emplace_back(*p, k + 1);
            }
        }
    }
    // The first plane from index `from` on that cuts the triangle; planes.size() when none does.
    // Planes at or beyond its extent along the axis leave every corner on one side, so only
    // those within it are tried.
    static std::size_t firstCut(const triangle3d& triangle, const Vector<double>& planes, int axis, std::size_t from) {
        const double a = triangle.p1()[axis], b = triangle.p2()[axis], c = triangle.p3()[axis];
        const double low = std::min({a, b, c}), high = std::max({a, b, c});
        auto plane = std::upper_bound(planes.begin() + static_cast<index_type>(std::min(from, planes.size())),
                                      planes.end(), low);
        for (; plane != planes.end() && *plane < high; ++plane)
            if (triangle.intersect(planeAt(axis, *plane))) return static_cast<std::size_t>(plane - planes.begin());
        return planes.size();
    }

    laIntensityFunctionGrid* m_previous = nullptr;
    bool m_hasValues = false;
    bool m_inactive = false;
    Vector<double> m_x, m_y, m_z;
    // Node (ix, iy, iz) at ix + nx * (iy + ny * iz): x varies fastest.
    Vector<T> m_values;
};

// Compiled once, in the module (the .cpp beside this header), for every quantity this kind takes.
extern template class KESTREL_API laIntensityFunctionGrid<laPressure<double>>;
