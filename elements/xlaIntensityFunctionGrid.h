#pragma once

#include <string>
#include <utility>

#include "components/framework/mfProgram.h"
#include "components/framework/mfScriptContext.h"
#include "elements/xlaIntensityFunction.h"
#include "exchange/xpProtoDeclarations.h"
#include "model/Map.h"
#include "model/Vector.h"
#include "model/laIntensityFunctionGrid.h"

template <class T>
class xlaIntensityFunctionGrid;

// "pressure2d_grid": "grid" with the node coordinates along x, y and z, and "pressure_points"
// with the pressure at grid points given by their position. A point on no node is reported on
// this element and left out; the grid is still read.
template <>
class xlaIntensityFunctionGrid<laPressure<double>>
    : public xlaIntensityFunction<xlaIntensityFunctionGrid<laPressure<double>>, laPressure<double>> {
    using Common = xlaIntensityFunction<xlaIntensityFunctionGrid<laPressure<double>>, laPressure<double>>;
    using Self = xlaIntensityFunctionGrid;
    using Points = Map<pos3d, laPressure<double>, std::less<pos3d>>;
    using Entry = std::pair<pos3d, laPressure<double>>;  // a point as it is read, key writable

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

    // Every node's pressure, x outermost, z innermost. The model is only read.
    bool export_(model_type* model) {
        Common::export_(model);
        m_x.assign(model->xValues().begin(), model->xValues().end());
        m_y.assign(model->yValues().begin(), model->yValues().end());
        m_z.assign(model->zValues().begin(), model->zValues().end());
        m_points.clear();
        using index = model_type::index_type;
        for (index ix = 0; ix < index(m_x.size()); ++ix)
            for (index iy = 0; iy < index(m_y.size()); ++iy)
                for (index iz = 0; iz < index(m_z.size()); ++iz)
                    m_points.insert_or_assign(m_points.end(), pos3d(m_x[ix], m_y[iy], m_z[iz]),
                                              model->nodeValue(ix, iy, iz));
        return true;
    }

    // A new grid from the storage strategy, owned by the caller; null without memory.
    model_type* import() {
        model_type* model = mfCreate<model_type>();
        if (model) {
            model->setXValues(m_x);
            model->setYValues(m_y);
            model->setZValues(m_z);
            for (const auto& [position, pressure] : m_points) {
                model_type::index_type ix = 0, iy = 0, iz = 0;
                if (model->findNode(position, ix, iy, iz)) {
                    model->node(ix, iy, iz) = pressure;
                    continue;
                }
                xml_error_message stray(
                    this, mfTextFormatter::format_impl(position, mfScriptContext()) + " does not represent a gridpoint",
                    m_readPath, m_readLine);
                nodeError() << stray.setFatal(false);
            }
        }
        return Common::import(model);
    }

    // Remembers where the element was read, for the points reported when the grid is built.
    bool importContent(xpImportSet& nodes) override {
        m_readPath = getElementPath();
        m_readLine = getLine();
        return Common::importContent(nodes);
    }

    Vector<double> m_x, m_y, m_z;
    Points m_points;

private:
    std::string m_readPath;
    int m_readLine = 0;
};

template <>
class xpClass<laIntensityFunctionGrid<laPressure<double>>> : public xlaIntensityFunctionGrid<laPressure<double>> {
public:
    ~xpClass() override = default;
};
