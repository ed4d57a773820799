#pragma once

#include <map>
#include <memory>
#include <string>
#include <typeinfo>

#include "kestrel/components/exchange/xpDocument.h"
#include "kestrel/exchange/xpClass.h"
#include "kestrel/exchange/xpFutureElementBase.h"

// The registry of prototypes for base B in one document, keyed by each prototype's dynamic type
// (the class element of its model type) and owning them.
template <class B>
class xpFutureElements : public xpFutureElementsBase {
public:
    using Prototypes = std::map<mfTypeInfo, std::unique_ptr<xpFutureElementBase<B>>>;

    mfTypeInfo baseType() const override { return mfTypeInfo(typeid(B)); }

    // Takes ownership; a prototype of the same dynamic type is destroyed and replaced.
    void add(xpFutureElementBase<B>* prototype) { m_prototypes[mfTypeInfo(typeid(*prototype))].reset(prototype); }
    const Prototypes& prototypes() const { return m_prototypes; }

private:
    Prototypes m_prototypes;
};

// The current document's registry for B, created on first access; null without a document.
template <class B>
xpFutureElements<B>* xpGetFutureElements() {
    if (!xpDocument::m_current) return nullptr;
    std::unique_ptr<xpFutureElementsBase>& slot = xpDocument::m_current->futureElements().get(mfTypeInfo(typeid(B)));
    if (!slot) slot = std::make_unique<xpFutureElements<B>>();
    return static_cast<xpFutureElements<B>*>(slot.get());
}

// Registers a prototype of xpClass<T> under `elementName` with the current document; does
// nothing without one.
template <class T>
void xpRegisterFutureElement(const std::string& elementName) {
    if (!xpDocument::m_current) return;
    using B = typename xpClass<T>::base_type;
    auto* prototype = new xpClass<T>;
    prototype->setName(elementName);
    xpGetFutureElements<B>()->add(prototype);
}
