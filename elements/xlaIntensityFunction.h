#pragma once

#include "kestrel/elements/xlaIntensityFunctionBase.h"
#include "kestrel/exchange/xpClass.h"
#include "kestrel/exchange/xpFutureElement.h"

// The middle layer of every intensity function element D of quantity T: a future element for
// laIntensityFunction<T> whose element base carries the two systems.
template <class D, class T>
class xlaIntensityFunction : public xpFutureElement<D, laIntensityFunction<T>, xlaIntensityFunctionBase<T>> {
    using Base = xlaIntensityFunctionBase<T>;

public:
    xlaIntensityFunction() = default;
    xlaIntensityFunction(const xlaIntensityFunction& other) : xlaIntensityFunction() { *this = other; }
    xlaIntensityFunction& operator=(const xlaIntensityFunction& other) {
        this->setName(other.getName());
        Base::operator=(other);
        return *this;
    }

    // What every kind writes: the systems, then the quantity's own data.
    bool export_(laIntensityFunction<T>* model) {
        this->m_intensitySystem = model->internalIntensitySystem();
        this->m_positionSystem = model->internalPositionSystem();
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
        model->intensitySystem = this->m_intensitySystem;
        model->positionSystem = this->m_positionSystem;
        Base::import(model);
        return model;
    }
};

// The classes of the element of one intensity-function kind of quantity Q, from its future
// element up to its xpClass. Each kind's header declares them with `extern template class
// KESTREL_API` and its family's file defines them with `template class`, so that they are
// compiled once, in the module, and hosts use that copy.
#define XLA_INTENSITY_KIND_CLASSES(HOW, Element, Model, Q)                                \
    HOW xpFutureElement<Element<Q>, laIntensityFunction<Q>, xlaIntensityFunctionBase<Q>>; \
    HOW xlaIntensityFunction<Element<Q>, Q>;                                              \
    HOW Element<Q>;                                                                       \
    HOW xpClass<Model<Q>>
