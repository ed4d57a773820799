#pragma once

#include "kestrel/components/exchange/xpAlternatives.h"
#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/elements/xlaIntensityFunction.h"
#include "kestrel/exchange/xpProtoDeclarations.h"
#include "kestrel/model/laIntensityLinearVarying.h"

// "…_linear_function": k1·c1 + k2·c2 + k3·c3 + constant. "k1" to "k3" each carry "unit"
// ("length", "angle" or "unknown") and a "value" whose quantity follows that unit; "k4" carries
// the constant as a force per area.
template <class T>
class xlaIntensityLinearVarying : public xlaIntensityFunction<xlaIntensityLinearVarying<T>, T> {
    using Common = xlaIntensityFunction<xlaIntensityLinearVarying<T>, T>;
    using Self = xlaIntensityLinearVarying;
    using Unit = coordsys3d::coord_unit;

public:
    using model_type = laIntensityLinearVarying<T>;

    // One coefficient as each unit alternative reads it, and the unit it was given for.
    struct Coefficient {
        double perLength = 0.0;
        double perAngle = 0.0;
        double plain = 0.0;
        Unit unit = coordsys3d::unknown;
    };

    xlaIntensityLinearVarying() {
        addCoefficient("k1", &Self::m_k1);
        addCoefficient("k2", &Self::m_k2);
        addCoefficient("k3", &Self::m_k3);
        xpNode* k4 = xpCreateProtoNode(
            xpDeclareElement("k4") << xpDeclareAttribute<jsForcePerUnitArea>("value", &Self::m_constant), this);
        k4->set_required(true);
        this->add(k4);
    }
    xlaIntensityLinearVarying(const xlaIntensityLinearVarying& other) : xlaIntensityLinearVarying() { *this = other; }
    xlaIntensityLinearVarying& operator=(const xlaIntensityLinearVarying& other) {
        Common::operator=(other);
        m_k1 = other.m_k1;
        m_k2 = other.m_k2;
        m_k3 = other.m_k3;
        m_constant = other.m_constant;
        return *this;
    }

    bool export_(laIntensityLinearVarying<T>* model) {
        Common::export_(model);
        Coefficient* coefficients[] = {&m_k1, &m_k2, &m_k3};
        for (int i = 0; i < 3; ++i) {
            const double k = model->coefficient(i);
            *coefficients[i] = {k, k, k, model->unit(i)};
        }
        m_constant = model->coefficient(3);
        return true;
    }
    // A new function from the storage strategy, owned by the caller; null without memory.
    laIntensityLinearVarying<T>* import() {
        return Common::import(mfCreate<laIntensityLinearVarying<T>>(value(m_k1), m_k1.unit, value(m_k2), m_k2.unit,
                                                                    value(m_k3), m_k3.unit, m_constant));
    }

    Coefficient m_k1, m_k2, m_k3;
    double m_constant = 0.0;

private:
    // The value its unit selects; an angle is tested first, anything but length or angle reads
    // as a plain number.
    static double value(const Coefficient& k) {
        if (k.unit == coordsys3d::angle) return k.perAngle;
        if (k.unit == coordsys3d::length) return k.perLength;
        return k.plain;
    }

    void addCoefficient(const char* name, Coefficient Self::*member) {
        const xpMemberData<Coefficient, Self> coefficient{member};
        auto* choice = new xpAlternatives;
        choice->add(
            alternative<jsForcePerUnitVolume>(coefficient, "length", coordsys3d::length, &Coefficient::perLength));
        choice->add(
            alternative<jsForcePerUnitAreaPerAngle>(coefficient, "angle", coordsys3d::angle, &Coefficient::perAngle));
        choice->add(alternative<double>(coefficient, "unknown", coordsys3d::unknown, &Coefficient::plain));
        choice->set_required(true);
        choice->setTypeContainment(xpTypeContained);
        auto* element = new xpElement;
        element->setName(name);
        this->add_reset_node(element);
        element->add(choice);
        element->set_required(true);
        this->add(element);
    }

    // "unit" with the one text it can express, and "value" as a U (a quantity class, or double
    // for a plain number).
    template <class U>
    xpNode* alternative(const xpMemberData<Coefficient, Self>& coefficient, const char* text, Unit unit,
                        double Coefficient::*value) {
        using UnitAccess = xpDeduceMemberData<Unit, Coefficient, Coefficient, xpMemberData<Coefficient, Self>>;
        auto* group = new xpAttributes;
        auto* unitNode = new xpAttributeMapping<Unit, UnitAccess>(UnitAccess{&Coefficient::unit, coefficient},
                                                                  std::map<std::string, Unit>{{text, unit}});
        unitNode->setName("unit");
        unitNode->set_required(true);
        this->add_reset_node(unitNode);
        group->add(unitNode);
        group->add(xpCreateProtoNode(xpDeclareAttribute<U>("value", value), this, coefficient));
        return group;
    }
};

template <class T>
class xpClass<laIntensityLinearVarying<T>> : public xlaIntensityLinearVarying<T> {
public:
    ~xpClass() override = default;
};

// Compiled once, in the module (elements/xlaIntensityLinearVaryings.cpp), for every quantity this kind takes.
XLA_INTENSITY_KIND_CLASSES(extern template class KESTREL_API, xlaIntensityLinearVarying, laIntensityLinearVarying,
                           laPressure<double>);
XLA_INTENSITY_KIND_CLASSES(extern template class KESTREL_API, xlaIntensityLinearVarying, laIntensityLinearVarying,
                           laTraction<double>);
