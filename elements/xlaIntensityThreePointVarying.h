#pragma once

#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/elements/xlaIntensityFunction.h"
#include "kestrel/exchange/xpProtoDeclarations.h"
#include "kestrel/model/laIntensityThreePointVarying.h"

// "…_3point_varying": children "intensity1" to "intensity3", each the value element of T with
// the child "position" where the function takes that value.
template <class T>
class xlaIntensityThreePointVarying : public xlaIntensityFunction<xlaIntensityThreePointVarying<T>, T> {
    using Common = xlaIntensityFunction<xlaIntensityThreePointVarying<T>, T>;
    using Self = xlaIntensityThreePointVarying;

public:
    using model_type = laIntensityThreePointVarying<T>;

    xlaIntensityThreePointVarying() {
        addCorner("intensity1", &Self::m_intensity1, &Self::m_position1);
        addCorner("intensity2", &Self::m_intensity2, &Self::m_position2);
        addCorner("intensity3", &Self::m_intensity3, &Self::m_position3);
    }
    xlaIntensityThreePointVarying(const xlaIntensityThreePointVarying& other) : xlaIntensityThreePointVarying() {
        *this = other;
    }
    xlaIntensityThreePointVarying& operator=(const xlaIntensityThreePointVarying& other) {
        Common::operator=(other);
        m_intensity1 = other.m_intensity1;
        m_intensity2 = other.m_intensity2;
        m_intensity3 = other.m_intensity3;
        m_position1 = other.m_position1;
        m_position2 = other.m_position2;
        m_position3 = other.m_position3;
        return *this;
    }

    bool export_(laIntensityThreePointVarying<T>* model) {
        Common::export_(model);
        m_intensity1 = model->value1;
        m_intensity2 = model->value2;
        m_intensity3 = model->value3;
        m_position1 = model->point1;
        m_position2 = model->point2;
        m_position3 = model->point3;
        return true;
    }
    // A new function from the storage strategy, owned by the caller; null without memory.
    laIntensityThreePointVarying<T>* import() {
        return Common::import(mfCreate<laIntensityThreePointVarying<T>>(m_position1, m_intensity1, m_position2,
                                                                        m_intensity2, m_position3, m_intensity3));
    }

    T m_intensity1, m_intensity2, m_intensity3;
    pos3d m_position1, m_position2, m_position3;

private:
    void addCorner(const char* name, T Self::*intensity, pos3d Self::*position) {
        xpNode* node = xpCreateProtoNode(
            xpDeclareElement<T>(name, intensity) << xpDeclareElement<pos3d>("position", position), this);
        node->set_required(true);
        this->add(node);
    }
};

template <class T>
class xpClass<laIntensityThreePointVarying<T>> : public xlaIntensityThreePointVarying<T> {
public:
    ~xpClass() override = default;
};

// Compiled once, in the module (elements/xlaIntensityThreePoints.cpp), for every quantity this kind takes.
XLA_INTENSITY_KIND_CLASSES(extern template class KESTREL_API, xlaIntensityThreePointVarying,
                           laIntensityThreePointVarying, laPressure<double>);
XLA_INTENSITY_KIND_CLASSES(extern template class KESTREL_API, xlaIntensityThreePointVarying,
                           laIntensityThreePointVarying, laForcePerArea<double>);
XLA_INTENSITY_KIND_CLASSES(extern template class KESTREL_API, xlaIntensityThreePointVarying,
                           laIntensityThreePointVarying, laTraction<double>);
