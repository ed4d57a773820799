#pragma once

#include <map>
#include <string>

#include "kestrel/components/exchange/xpElement.h"
#include "kestrel/components/framework/kestrelApi.h"
#include "kestrel/components/geometry/vec3d.h"
#include "kestrel/elements/xlaValueElements.h"
#include "kestrel/exchange/xpSpecialization.h"
#include "kestrel/model/laIntensityFunction.h"
#include "kestrel/model/laLimitFunctionPressure.h"

// What every intensity function element carries whatever its quantity, compiled once: the
// optional attributes "intensity_system" and "position_system" ("global" or "local"; local when
// absent). A copy has nodes of its own.
class KESTREL_API xlaIntensitySystems : public xpElement {
public:
    xlaIntensitySystems();
    xlaIntensitySystems(const xlaIntensitySystems& other);
    xlaIntensitySystems& operator=(const xlaIntensitySystems& other);
    ~xlaIntensitySystems() override;

    // The texts of the coordinate systems.
    static const std::map<std::string, lcLoad::lcCoordinateSystem>& systems();

    lcLoad::lcCoordinateSystem m_intensitySystem = lcLoad::local;
    lcLoad::lcCoordinateSystem m_positionSystem = lcLoad::local;
};

// What an intensity function element of quantity T carries beyond the two systems: nothing for
// most quantities, the limit function of a pressure, the direction of a traction.
template <class T>
class xlaIntensityFunctionBase : public xlaIntensitySystems {
public:
    xlaIntensityFunctionBase() = default;
    xlaIntensityFunctionBase(const xlaIntensityFunctionBase& other) : xlaIntensitySystems(other) {}
    xlaIntensityFunctionBase& operator=(const xlaIntensityFunctionBase& other) {
        xlaIntensitySystems::operator=(other);
        return *this;
    }

    bool export_(laIntensityFunction<T>*) { return true; }
    bool import(laIntensityFunction<T>*) { return true; }
    // Frees what a read produced that no model took over.
    void discardRead() {}
};

// A pressure: the optional "limit_function" child holding one limit-function element. The
// element never owns the limit function: a model does once import hands it over.
template <>
class xlaIntensityFunctionBase<laPressure<double>> : public xlaIntensitySystems {
public:
    xlaIntensityFunctionBase() {
        xpMemberDeclaration<laLimitFunctionPressure * xlaIntensityFunctionBase::*> limit;
        limit.name = "limit_function";
        limit.member = &xlaIntensityFunctionBase::m_limit;
        xpNode* node = xpCreateMemberNode(limit, this);
        node->set_required(false);
        add(node);
        // The pointer's default is null from here on, whatever the element is used for first.
        reset_all();
    }
    xlaIntensityFunctionBase(const xlaIntensityFunctionBase& other) : xlaIntensityFunctionBase() { *this = other; }
    xlaIntensityFunctionBase& operator=(const xlaIntensityFunctionBase& other) {
        xlaIntensitySystems::operator=(other);
        m_limit = other.m_limit;
        return *this;
    }

    bool export_(laIntensityFunction<laPressure<double>>* model) {
        m_limit = model->getLimit();
        return true;
    }
    bool import(laIntensityFunction<laPressure<double>>* model) {
        if (m_limit) model->setLimit(m_limit);
        return true;
    }

    // A limit function read for content that then failed would belong to nobody.
    bool importContent(xpImportSet& nodes) override {
        const bool ok = xpElement::importContent(nodes);
        if (!ok) discardRead();
        return ok;
    }
    void discardRead() {
        delete m_limit;
        m_limit = nullptr;
    }

    laLimitFunctionPressure* m_limit = nullptr;
};

// A traction: the required "direction" child; its values are magnitudes along it.
template <>
class xlaIntensityFunctionBase<laTraction<double>> : public xlaIntensitySystems {
public:
    xlaIntensityFunctionBase() {
        xpMemberDeclaration<vec3d xlaIntensityFunctionBase::*> direction;
        direction.name = "direction";
        direction.member = &xlaIntensityFunctionBase::m_direction;
        xpNode* node = xpCreateMemberNode(direction, this);
        node->set_required(true);
        add(node);
    }
    xlaIntensityFunctionBase(const xlaIntensityFunctionBase& other) : xlaIntensityFunctionBase() { *this = other; }
    xlaIntensityFunctionBase& operator=(const xlaIntensityFunctionBase& other) {
        xlaIntensitySystems::operator=(other);
        m_direction = other.m_direction;
        return *this;
    }

    bool export_(laIntensityFunction<laTraction<double>>* model) {
        m_direction = model->direction;
        return true;
    }
    // The load is updated once, with the direction in place.
    bool import(laIntensityFunction<laTraction<double>>* model) {
        model->direction = m_direction;
        model->update_load();
        return true;
    }
    void discardRead() {}

    vec3d m_direction;
};
