#pragma once

#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/elements/xlaIntensityFunction.h"
#include "kestrel/model/laIntensityConstant.h"

// "…_constant": child "intensity", the value element of T.
template <class T>
class xlaIntensityConstant : public xlaIntensityFunction<xlaIntensityConstant<T>, T> {
    using Common = xlaIntensityFunction<xlaIntensityConstant<T>, T>;

public:
    using model_type = laIntensityConstant<T>;

    xlaIntensityConstant() {
        xpMemberDeclaration<T xlaIntensityConstant::*> intensity;
        intensity.name = "intensity";
        intensity.member = &xlaIntensityConstant::m_intensity;
        xpNode* node = xpCreateMemberNode(intensity, this);
        node->set_required(true);
        this->add(node);
    }
    xlaIntensityConstant(const xlaIntensityConstant& other) : xlaIntensityConstant() { *this = other; }
    xlaIntensityConstant& operator=(const xlaIntensityConstant& other) {
        Common::operator=(other);
        m_intensity = other.m_intensity;
        return *this;
    }

    bool export_(laIntensityConstant<T>* model) {
        Common::export_(model);
        m_intensity = model->value;
        return true;
    }
    // A new function from the storage strategy, owned by the caller; null without memory.
    laIntensityConstant<T>* import() { return Common::import(mfCreate<laIntensityConstant<T>>(m_intensity)); }

    T m_intensity;
};

template <class T>
class xpClass<laIntensityConstant<T>> : public xlaIntensityConstant<T> {
public:
    ~xpClass() override = default;
};

// Compiled once, in the module (elements/xlaIntensityConstants.cpp), for every quantity this kind takes.
XLA_INTENSITY_KIND_CLASSES(extern template class KESTREL_API, xlaIntensityConstant, laIntensityConstant,
                           laPressure<double>);
XLA_INTENSITY_KIND_CLASSES(extern template class KESTREL_API, xlaIntensityConstant, laIntensityConstant,
                           laForcePerArea<double>);
XLA_INTENSITY_KIND_CLASSES(extern template class KESTREL_API, xlaIntensityConstant, laIntensityConstant,
                           laTraction<double>);
XLA_INTENSITY_KIND_CLASSES(extern template class KESTREL_API, xlaIntensityConstant, laIntensityConstant,
                           laForceMoment<double>);
XLA_INTENSITY_KIND_CLASSES(extern template class KESTREL_API, xlaIntensityConstant, laIntensityConstant,
                           laDisplacement<double>);
