#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "kestrel/components/exchange/xpExchangeContext.h"
#include "kestrel/components/exchange/xpImportSet.h"
#include "kestrel/components/exchange/xpSequence.h"
#include "kestrel/components/exchange/xpStreamedItems.h"
#include "kestrel/components/framework/Vector.h"
#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/components/framework/mfScriptContext.h"
#include "kestrel/components/geometry/mfSpaceBase.h"
#include "kestrel/elements/kestrelLimits.h"
#include "kestrel/elements/xlaIntensityFunction.h"
#include "kestrel/exchange/xpProtoDeclarations.h"
#include "kestrel/model/laIntensityFunctionGrid.h"

template <class T>
class xlaIntensityFunctionGrid;

// The bases are compiled once, in the module (elements/xlaIntensityGrids.cpp), and declared so
// before the element, a full specialisation whose members are inline, makes them.
extern template class KESTREL_API
    xpFutureElement<xlaIntensityFunctionGrid<laPressure<double>>, laIntensityFunction<laPressure<double>>,
                    xlaIntensityFunctionBase<laPressure<double>>>;
extern template class KESTREL_API
    xlaIntensityFunction<xlaIntensityFunctionGrid<laPressure<double>>, laPressure<double>>;

// "pressure2d_grid": "grid" with the node coordinates along x, y and z, and "pressure_points"
// with the pressure at grid points given by their position. A point on no node is reported on
// this element and left out; the grid is still read. The points are read as they arrive when the
// document streams in, so that a large grid never stands in memory as text.
template <>
class xlaIntensityFunctionGrid<laPressure<double>>
    : public xlaIntensityFunction<xlaIntensityFunctionGrid<laPressure<double>>, laPressure<double>> {
    using Common = xlaIntensityFunction<xlaIntensityFunctionGrid<laPressure<double>>, laPressure<double>>;
    using Self = xlaIntensityFunctionGrid;
    using Entry = std::pair<pos3d, laPressure<double>>;
    // In document order, repeated positions kept: each point can be traced to its element, and
    // two points on one node are refused rather than one of them dropped.
    using Points = Vector<Entry>;

public:
    using model_type = laIntensityFunctionGrid<laPressure<double>>;

    xlaIntensityFunctionGrid() {
        auto axis = [](const char* name, const char* item, Vector<double> Self::*member) {
            return xpDeclareSequence(
                name, member, xpDeclareElement(item) << xpDeclareAttribute<jsLength>("value", xpProtoMemberElement{}));
        };
        xpNode* grid = xpCreateProtoNode(xpDeclareElement("grid") << axis("x_values", "x_value", &Self::m_x)
                                                                  << axis("y_values", "y_value", &Self::m_y)
                                                                  << axis("z_values", "z_value", &Self::m_z),
                                         this);
        grid->set_required(true);
        add(grid);
        xpNode* points = xpCreateProtoNode(
            xpDeclareSequence(
                "pressure_points", &Self::m_points,
                xpDeclareElement<pos3d>("pressure_point", &Entry::first)
                    << xpProtoAttributes<laPressure<double>, laPressure<double> Entry::*>{true, &Entry::second}),
            this);
        points->set_required(false);
        add(points);
        static const bool streamable =
            (xpDeclareStreamable("pressure_points", [] { return std::make_unique<Self>(); }), true);
        (void)streamable;
        m_pointsNode = dynamic_cast<xpSequence*>(points);
        m_xNode = xpFindSequence(*this, "x_values");
        m_yNode = xpFindSequence(*this, "y_values");
        m_zNode = xpFindSequence(*this, "z_values");
        for (xpSequence* sequence : {m_pointsNode, m_xNode, m_yNode, m_zNode})
            if (sequence) sequence->set_keep_places(true);
        if (m_pointsNode) m_pointsNode->set_stream_items(true);
    }
    xlaIntensityFunctionGrid(const xlaIntensityFunctionGrid& other) : xlaIntensityFunctionGrid() { *this = other; }
    xlaIntensityFunctionGrid& operator=(const xlaIntensityFunctionGrid& other) {
        Common::operator=(other);
        m_x = other.m_x;
        m_y = other.m_y;
        m_z = other.m_z;
        m_points = other.m_points;
        return *this;
    }

    // The nodes' pressures, x outermost, z innermost. A node at zero is left out, since reading
    // gives an unlisted node zero; the first node is always written so that a grid with values
    // reads back with values, and a grid without values writes no points. The model is only
    // read. Axes that would not read back are reported.
    bool export_(model_type* model) {
        Common::export_(model);
        m_x.assign(model->xValues().begin(), model->xValues().end());
        m_y.assign(model->yValues().begin(), model->yValues().end());
        m_z.assign(model->zValues().begin(), model->zValues().end());
        m_points.clear();
        reportCrowdedAxis("x", m_x);
        reportCrowdedAxis("y", m_y);
        reportCrowdedAxis("z", m_z);
        if (!model->hasValues()) return true;
        using index = model_type::index_type;
        for (index ix = 0; ix < index(m_x.size()); ++ix)
            for (index iy = 0; iy < index(m_y.size()); ++iy)
                for (index iz = 0; iz < index(m_z.size()); ++iz) {
                    laPressure<double> pressure = model->nodeValue(ix, iy, iz);
                    if (m_points.empty() || !isPositiveZero(pressure))
                        m_points.emplace_back(pos3d(m_x[ix], m_y[iy], m_z[iz]), std::move(pressure));
                }
        return true;
    }

    // A new grid from the storage strategy, owned by the caller; null without memory, and null
    // with the problem reported when the document's grid cannot be kept exactly: axis values
    // that are not finite or that lie within the length tolerance of one another, more nodes
    // than the document may still allocate (kestrel::maxGridNodes), a pressure that is not
    // finite, two points on one node. A point on no node is reported and left out.
    model_type* import() {
        model_type* model = build();
        m_readDone = false;
        return model;
    }

    // Remembers where the element was read, for the problems reported when the grid is built.
    bool importContent(xpImportSet& nodes) override {
        m_readPath = getElementPath();
        m_readLine = getLine();
        m_readColumn = getColumn();
        m_readContext = xpExchangeContext::active();
        m_gridPlace = {m_readPath, m_readLine, m_readColumn};
        for (std::size_t i = 0; i < nodes.childCount(); ++i)
            if (std::strcmp(nodes.child(i).name(), "grid") == 0) {
                const xpFrame grid = nodes.childFrame(i);
                m_gridPlace = {grid.path(), grid.line(), grid.column()};
                break;
            }
        // The places read are used only by the import that follows a successful read.
        m_readDone = Common::importContent(nodes);
        return m_readDone;
    }

    Vector<double> m_x, m_y, m_z;
    Points m_points;

private:
    // The grid of the members, or null with the problems reported.
    model_type* build() {
        bool ok = checkAxis("x", m_x);
        ok = checkAxis("y", m_y) && ok;
        ok = checkAxis("z", m_z) && ok;
        if (!ok || !grantNodes()) return Common::import(static_cast<model_type*>(nullptr));
        model_type* model = mfCreate<model_type>();
        if (!model) return Common::import(model);
        model->setXValues(m_x);
        model->setYValues(m_y);
        model->setZValues(m_z);
        auto place = [&](std::size_t index) { return placeOf(m_pointsNode, "/pressure_points", index); };
        // The nodes given a point so far: one bit per node (the node count is bounded by the grid
        // limit). Which point came first is looked up only when two points meet on one node.
        const std::size_t nodes = m_x.size() * m_y.size() * m_z.size();
        std::vector<bool> claimed(nodes, false);
        std::vector<std::size_t> firstOf;  // per node, its first point's index plus one
        auto flatOf = [&](model_type::index_type ix, model_type::index_type iy, model_type::index_type iz) {
            return std::size_t(ix) + m_x.size() * (std::size_t(iy) + m_y.size() * std::size_t(iz));
        };
        auto firstPointOn = [&](std::size_t flat, std::size_t before) {
            if (firstOf.empty()) {
                firstOf.assign(nodes, 0);
                for (std::size_t j = 0; j < before; ++j) {
                    model_type::index_type jx = 0, jy = 0, jz = 0;
                    if (!isFinite(m_points[j].second) || !model->findNode(m_points[j].first, jx, jy, jz)) continue;
                    std::size_t& slot = firstOf[flatOf(jx, jy, jz)];
                    if (slot == 0) slot = j + 1;
                }
            }
            return firstOf[flat] - 1;
        };
        for (std::size_t i = 0; i < m_points.size(); ++i) {
            const auto& [position, pressure] = m_points[i];
            if (!isFinite(pressure)) {
                report(place(i), "pressure " + mfTextFormatter::format_impl(pressure.real(0)) + " Pa is not finite");
                ok = false;
                continue;
            }
            model_type::index_type ix = 0, iy = 0, iz = 0;
            if (!model->findNode(position, ix, iy, iz)) {
                xml_error_message stray(
                    this, mfTextFormatter::format_impl(position, mfScriptContext()) + " does not represent a gridpoint",
                    m_readPath, m_readLine, m_readColumn);
                nodeError() << stray.setFatal(false);
                continue;
            }
            const std::size_t flat = flatOf(ix, iy, iz);
            if (claimed[flat]) {
                const std::size_t first = firstPointOn(flat, i);
                const Place before = place(first);
                report(place(i), mfTextFormatter::format_impl(position, mfScriptContext()) +
                                     " lies on the grid node of the pressure point on line " +
                                     std::to_string(before.line) + " " +
                                     mfTextFormatter::format_impl(m_points[first].first, mfScriptContext()));
                ok = false;
                continue;
            }
            claimed[flat] = true;
            if (!firstOf.empty()) firstOf[flat] = i + 1;
            model->node(ix, iy, iz) = pressure;
        }
        if (!ok) {
            delete model;
            return Common::import(static_cast<model_type*>(nullptr));
        }
        return Common::import(model);
    }

    struct Place {
        std::string path;
        int line = 0;
        int column = 0;
    };

    // Where item `index` of `sequence` (below this element by `steps`) stood in the document being
    // read; the element's own place when it is not being read.
    Place placeOf(const xpSequence* sequence, const std::string& steps, std::size_t index) const {
        if (!m_readDone || !sequence || xpExchangeContext::active() != m_readContext ||
            index >= sequence->item_places().size())
            return {m_readPath, m_readLine, m_readColumn};
        const xpSequence::ItemPlace& at = sequence->item_places()[index];
        std::string path = m_readPath + steps + "/" + sequence->item()->getElementName();
        if (sequence->item_count() > 1) path += "[" + std::to_string(index + 1) + "]";
        return {std::move(path), at.line, at.column};
    }

    void report(const Place& place, const std::string& text) {
        nodeError() << xml_error_message(this, text, place.path, place.line, place.column);
    }

    static bool isFinite(const laPressure<double>& pressure) { return std::isfinite(pressure.real(0)); }
    // -0 is written, so that it reads back with its sign.
    static bool isPositiveZero(const laPressure<double>& pressure) {
        return pressure.real(0) == 0.0 && !std::signbit(pressure.real(0));
    }
    static std::string length(double value) { return mfTextFormatter::format_impl(value) + " m"; }

    // Every value finite, and no two within the length tolerance, which would make two nodes
    // that no point could tell apart. Each problem is reported at the later value's element.
    bool checkAxis(const std::string& name, const Vector<double>& values) {
        const xpSequence* node = name == "x" ? m_xNode : name == "y" ? m_yNode : m_zNode;
        auto place = [&](std::size_t index) { return placeOf(node, "/grid/" + name + "_values", index); };
        bool ok = true;
        std::vector<std::size_t> order;
        order.reserve(values.size());
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (std::isfinite(values[i])) {
                order.push_back(i);
                continue;
            }
            report(place(i), name + " value " + mfTextFormatter::format_impl(values[i]) + " is not finite");
            ok = false;
        }
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return values[a] < values[b]; });
        for (std::size_t k = 1; k < order.size(); ++k) {
            const std::size_t a = order[k - 1], b = order[k];
            if (values[b] - values[a] >= mfSpaceBase::m_accuracy) continue;
            const std::size_t earlier = std::min(a, b), later = std::max(a, b);
            report(place(later), name + " value " + length(values[later]) + " is within the length tolerance (" +
                                     length(mfSpaceBase::m_accuracy) + ") of the " + name + " value " +
                                     length(values[earlier]) + " on line " + std::to_string(place(earlier).line) +
                                     ": nodes must differ in position");
            ok = false;
        }
        return ok;
    }
    // Draws the grid's nodes from what the document being read may still allocate; false, with
    // the problem reported at the "grid" element, when they are more than that.
    bool grantNodes() {
        const std::size_t limit = kestrel::maxGridNodes();
        xpExchangeContext* context = xpExchangeContext::active();
        const std::size_t before = context ? context->gridNodes() : 0;
        const std::size_t left = limit > before ? limit - before : 0;
        std::size_t nodes = m_x.empty() || m_y.empty() || m_z.empty() ? 0 : 1;
        bool within = true;
        for (std::size_t n : {m_x.size(), m_y.size(), m_z.size()}) {
            if (nodes == 0) break;
            within = n <= left / nodes;
            if (!within) break;
            nodes *= n;
        }
        if (within) {
            if (context) context->gridNodes() += nodes;
            return true;
        }
        std::string text = "a grid of " + std::to_string(m_x.size()) + " x " + std::to_string(m_y.size()) + " x " +
                           std::to_string(m_z.size()) + " nodes exceeds the limit of " + std::to_string(limit) +
                           " grid nodes per document";
        if (before) text += " (" + std::to_string(before) + " taken by the grids before it)";
        report(m_readDone && xpExchangeContext::active() == m_readContext ? m_gridPlace
                                                                          : Place{m_readPath, m_readLine, m_readColumn},
               text);
        return false;
    }
    // Values that the next read would refuse: reported, and written as they are.
    void reportCrowdedAxis(const std::string& name, const Vector<double>& values) {
        for (std::size_t i = 1; i < values.size(); ++i)
            if (!(values[i] - values[i - 1] >= mfSpaceBase::m_accuracy)) {
                nodeError() << xml_error_message(this, name + " values " + length(values[i - 1]) + " and " +
                                                           length(values[i]) +
                                                           " lie within the length tolerance: the grid would not "
                                                           "read back");
                return;
            }
    }

    std::string m_readPath;
    int m_readLine = 0;
    int m_readColumn = 0;
    // From a successful read until the import after it: where the "grid" element stood.
    bool m_readDone = false;
    Place m_gridPlace;
    const xpExchangeContext* m_readContext = nullptr;
    xpSequence* m_pointsNode = nullptr;
    xpSequence* m_xNode = nullptr;
    xpSequence* m_yNode = nullptr;
    xpSequence* m_zNode = nullptr;
};

template <>
class xpClass<laIntensityFunctionGrid<laPressure<double>>> : public xlaIntensityFunctionGrid<laPressure<double>> {
public:
    ~xpClass() override = default;
};
