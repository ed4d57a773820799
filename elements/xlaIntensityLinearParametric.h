#pragma once

#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/elements/xlaIntensityFunction.h"
#include "kestrel/exchange/xpProtoDeclarations.h"
#include "kestrel/model/laIntensityLinearParametric.h"

// "…1d_linear": two "intensity" children, the value at the start of the line ("end"="1") and at
// its end ("end"="2"), told apart by "end" whatever their order.
template <class T>
class xlaIntensityLinearParametric : public xlaIntensityFunction<xlaIntensityLinearParametric<T>, T> {
    using Common = xlaIntensityFunction<xlaIntensityLinearParametric<T>, T>;
    using Self = xlaIntensityLinearParametric;

public:
    using model_type = laIntensityLinearParametric<T>;

    xlaIntensityLinearParametric() {
        for (auto [end, member] : {std::pair{1, &Self::m_value1}, std::pair{2, &Self::m_value2}}) {
            xpNode* node =
                xpCreateProtoNode(xpDeclareElement<T>("intensity", member) << xpDeclareConstant("end", end), this);
            node->set_required(true);
            this->add(node);
        }
    }
    xlaIntensityLinearParametric(const xlaIntensityLinearParametric& other) : xlaIntensityLinearParametric() {
        *this = other;
    }
    xlaIntensityLinearParametric& operator=(const xlaIntensityLinearParametric& other) {
        Common::operator=(other);
        m_value1 = other.m_value1;
        m_value2 = other.m_value2;
        return *this;
    }

    bool export_(laIntensityLinearParametric<T>* model) {
        Common::export_(model);
        m_value1 = model->value1;
        m_value2 = model->value2;
        return true;
    }
    // A new function from the storage strategy, owned by the caller; null without memory.
    laIntensityLinearParametric<T>* import() {
        return Common::import(mfCreate<laIntensityLinearParametric<T>>(m_value1, m_value2));
    }

    T m_value1, m_value2;
};

template <class T>
class xpClass<laIntensityLinearParametric<T>> : public xlaIntensityLinearParametric<T> {
public:
    ~xpClass() override = default;
};

// Compiled once, in the module (elements/xlaIntensityLinearParametrics.cpp), for every quantity this kind takes.
XLA_INTENSITY_KIND_CLASSES(extern template class KESTREL_API, xlaIntensityLinearParametric, laIntensityLinearParametric,
                           laForcePerLength<double>);
XLA_INTENSITY_KIND_CLASSES(extern template class KESTREL_API, xlaIntensityLinearParametric, laIntensityLinearParametric,
                           laTemperature<double>);
