#pragma once

#include <string>
#include <vector>

#include "kestrel/components/framework/kestrelApi.h"
#include "kestrel/exchange/xpFutureElementBase.h"
#include "kestrel/exchange/xpIFutureElement.h"

// One alternative of a polymorphic member, whatever its base, compiled once: it forwards
// reading, writing and the schema to the element it holds.
class KESTREL_API xpAlternativeElement : public xpIFutureElement {
public:
    xpAlternativeElement();
    ~xpAlternativeElement() override;

    xpElement* element() const { return m_node; }

    bool export_nodes(std::vector<xpNode*>&, std::vector<xpNode*>& elements) override;
    // The wrapper writes only for an object it stands for: its element is kept even when it
    // has no content, since leaving it out would read back as no object.
    bool export_child(pugi::xml_node parent) override;
    void nodes_for_import(xpImportSet& nodes) override;
    bool do_import(xpImportSet& nodes) override;
    boost::intrusive_ptr<xpNodeHandler> create_sax_handler_import() override;
    void buildSchema(xsSchema& schema, xsGroup* group, const std::string& name) override;
    void buildSchema(xsSchema& schema, xsComplexType* type, const std::string& name) override;
    using xpElement::buildSchema;
    // Whether the wrapper itself is a required child of its parent.
    bool isRequiredChild(const xpNode*) const override;
    void add(xpNode* node) override;
    bool export_dom(pugi::xml_node dom) override;
    void reuseParent(bool reuse) override;

protected:
    // Becomes the parent of the element the wrapper now holds (null: none).
    void holdElement(xpElement* node);

private:
    xpElement* m_node = nullptr;
};

// One alternative of a polymorphic member of base B: it owns a future element (a clone of a
// registered prototype).
template <class B>
class xpFutureElementWrapper : public xpAlternativeElement {
public:
    xpFutureElementWrapper() = default;
    ~xpFutureElementWrapper() override { delete m_element; }

    // Takes ownership and becomes the element's parent.
    void setElement(xpFutureElementBase<B>* element) {
        delete m_element;
        m_element = element;
        holdElement(dynamic_cast<xpElement*>(element));
    }
    xpFutureElementBase<B>* futureElement() const { return m_element; }

    mfTypeInfo modelType() const override { return m_element ? m_element->type() : mfTypeInfo(typeid(B)); }

private:
    xpFutureElementBase<B>* m_element = nullptr;
};
