#pragma once

#include <array>
#include <cstddef>
#include <type_traits>

#include "kestrel/components/exchange/xpAttributes.h"
#include "kestrel/components/exchange/xpElement.h"
#include "kestrel/elements/xlaIntensity.h"
#include "kestrel/exchange/xpMemberDeclaration.h"

// The value element of a load quantity Model of N components: one attribute with units of the
// quantity class U per component, in component order. Members hold internal units.
template <class Model, class U, std::size_t N>
class xlaValueAttributes : public xpAttributes {
    static_assert(N >= 1 && N <= 3, "Kestrel: a value element has one to three component attributes");

public:
    xlaValueAttributes(const std::array<const char*, N>& names, const char* word) {
        for (std::size_t i = 0; i < N; ++i) {
            xpAttributeDeclaration<double xlaValueAttributes::*> declaration{true, names[i], "", components()[i]};
            auto* node = xpCreateQuantityAttribute<U>(declaration, this);
            node->set_required(true);
            add(node);
        }
        setTypeName(xlaIntensity<double>::getTypeName(word));
    }

    bool export_(const Model& value) {
        for (std::size_t i = 0; i < N; ++i) this->*components()[i] = value.get_complex(i).real();
        return true;
    }
    Model import() const {
        Model value;
        for (std::size_t i = 0; i < N; ++i) value.set_complex(i, this->*components()[i]);
        return value;
    }

    double m_x = 0.0, m_y = 0.0, m_z = 0.0;

private:
    static constexpr std::array<double xlaValueAttributes::*, 3> components() {
        return {&xlaValueAttributes::m_x, &xlaValueAttributes::m_y, &xlaValueAttributes::m_z};
    }
};

// The value element of a compound quantity: two value elements as children, each for one part.
// Parts names the parts' member pointers in Model (`first`, `second`).
template <class Model, class First, class Second>
class xlaValuePair : public xpElement {
public:
    xlaValuePair(First Model::*first, Second Model::*second, const char* firstName, const char* secondName,
                 const char* word)
        : m_firstPart(first), m_secondPart(second) {
        addPart(firstName, &xlaValuePair::m_first);
        addPart(secondName, &xlaValuePair::m_second);
        setTypeName(xlaIntensity<double>::getTypeName(word));
    }

    bool export_(const Model& value) {
        m_first = value.*m_firstPart;
        m_second = value.*m_secondPart;
        return true;
    }
    Model import() const { return Model(m_first, m_second); }

    First m_first;
    Second m_second;

private:
    template <class Part>
    void addPart(const char* name, Part xlaValuePair::*member) {
        xpMemberDeclaration<Part xlaValuePair::*> declaration;
        declaration.name = name;
        declaration.member = member;
        xpNode* node = xpCreateMemberNode(declaration, this);
        node->set_required(true);
        add(node);
    }

    First Model::*m_firstPart;
    Second Model::*m_secondPart;
};
