#pragma once

#include <map>
#include <string>

#include "kestrel/elements/xlaIntensityFunctionBase.h"
#include "kestrel/exchange/xpClass.h"
#include "kestrel/exchange/xpFutureElement.h"

// The middle layer of every intensity function element D of quantity T: a future element for
// laIntensityFunction<T> with the optional attributes "intensity_system" and "position_system"
// ("global" or "local"; local when absent).
template <class D, class T>
class xlaIntensityFunction : public xpFutureElement<D, laIntensityFunction<T>, xlaIntensityFunctionBase<T>> {
    using Base = xlaIntensityFunctionBase<T>;

public:
    xlaIntensityFunction() {
        addSystem("intensity_system", &xlaIntensityFunction::m_intensitySystem);
        addSystem("position_system", &xlaIntensityFunction::m_positionSystem);
    }
    xlaIntensityFunction(const xlaIntensityFunction& other) : xlaIntensityFunction() { *this = other; }
    xlaIntensityFunction& operator=(const xlaIntensityFunction& other) {
        this->setName(other.getName());
        Base::operator=(other);
        m_intensitySystem = other.m_intensitySystem;
        m_positionSystem = other.m_positionSystem;
        return *this;
    }

    // The texts of the coordinate systems.
    static const std::map<std::string, lcLoad::lcCoordinateSystem>& systems() {
        static const std::map<std::string, lcLoad::lcCoordinateSystem> table{{"global", lcLoad::global},
                                                                             {"local", lcLoad::local}};
        return table;
    }

    // What every kind writes: the systems, then the quantity's own data.
    bool export_(laIntensityFunction<T>* model) {
        m_intensitySystem = model->internalIntensitySystem();
        m_positionSystem = model->internalPositionSystem();
        return Base::export_(model);
    }

    // Completes a model the kind has just built from its members: the systems, then the
    // quantity's own data. A model that could not be allocated leaves nothing read behind.
    template <class M>
    M* import(M* model) {
        if (!model) {
            Base::discardRead();
            return nullptr;
        }
        model->intensitySystem = m_intensitySystem;
        model->positionSystem = m_positionSystem;
        Base::import(model);
        return model;
    }

    lcLoad::lcCoordinateSystem m_intensitySystem = lcLoad::local;
    lcLoad::lcCoordinateSystem m_positionSystem = lcLoad::local;

private:
    void addSystem(const char* name, lcLoad::lcCoordinateSystem xlaIntensityFunction::*member) {
        xpAttributeDeclaration<lcLoad::lcCoordinateSystem xlaIntensityFunction::*> declaration{false, name, "", member};
        xpNode* node = xpCreateMappingAttribute(declaration, systems(), this);
        node->set_required(false);
        this->add(node);
    }
};
