#pragma once

#include <type_traits>

#include "kestrel/components/exchange/xpElement.h"
#include "kestrel/components/types/mfTypeInfoHierarchy.h"
#include "kestrel/exchange/xpFutureElementBase.h"

// The future-element half of a concrete element class D for base B; E is D's element base. D
// names its model type (`using model_type = T;`) and provides `bool export_(T*)` and `T* import()`.
template <class D, class B, class E>
class xpFutureElement : public xpFutureElementBase<B>, public E {
    static_assert(std::is_base_of_v<xpElement, E>, "Kestrel: a future element's element base must be an xpElement");

public:
    using base_type = B;

    xpFutureElement() = default;
    // Nodes are never shared: the element part of a copy is a fresh one with the same name.
    xpFutureElement(const xpFutureElement& other) : xpFutureElementBase<B>(other), E() {
        this->setName(other.getName());
    }
    xpFutureElement& operator=(const xpFutureElement& other) {
        this->setName(other.getName());
        return *this;
    }

    D& derived() { return dynamic_cast<D&>(*this); }

    mfTypeInfo type() const override { return mfTypeInfo(new impl::mfTypeInfoHierarchy<typename D::model_type>); }

    bool future_import(B*& result) override {
        result = derived().import();
        return result != nullptr;
    }

    bool future_export(B* object) override {
        static_assert(std::is_base_of_v<B, typename D::model_type>, "Kestrel: D's model type must derive from B");
        auto* model = dynamic_cast<typename D::model_type*>(object);
        return model && derived().export_(model);
    }

    // The clone's nodes take their defaults now, so each later read can start from them.
    xpFutureElementBase<B>* clone() const override {
        auto* copy = new D;
        copy->setName(this->getName());
        copy->reset_all();
        return copy;
    }

    // Every read starts from the defaults: nothing of the previous object leaks into the next.
    void import_begin() override {
        E::import_begin();
        this->reset_all();
    }
};
