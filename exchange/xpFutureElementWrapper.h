#pragma once

#include "kestrel/exchange/xpFutureElementBase.h"
#include "kestrel/exchange/xpIFutureElement.h"

// One alternative of a polymorphic member: it owns a future element (a clone of a registered
// prototype) and forwards reading, writing and the schema to it.
template <class B>
class xpFutureElementWrapper : public xpIFutureElement {
public:
    xpFutureElementWrapper() = default;
    ~xpFutureElementWrapper() override { delete m_element; }

    // Takes ownership and becomes the element's parent.
    void setElement(xpFutureElementBase<B>* element) {
        delete m_element;
        m_element = element;
        m_node = dynamic_cast<xpElement*>(element);
        if (m_node) m_node->setParent(this);
    }
    xpFutureElementBase<B>* futureElement() const { return m_element; }
    xpElement* element() const { return m_node; }

    bool export_nodes(std::vector<xpNode*>&, std::vector<xpNode*>& elements) override {
        xpElement* node = element();
        if (node && this->export_concrete() && node->export_concrete()) {
            elements.push_back(this);
            return true;
        }
        return !is_required();
    }

    // The wrapper writes only for an object it stands for: its element is kept even when it
    // has no content, since leaving it out would read back as no object.
    bool export_child(pugi::xml_node parent) override {
        if (reusesParent()) return element() && element()->export_child(parent);
        pugi::xml_node dom = parent.append_child(getElementName().c_str());
        if (export_dom(dom)) return true;
        parent.remove_child(dom);
        return false;
    }

    void nodes_for_import(xpImportSet& nodes) override {
        if (xpElement* node = element()) node->nodes_for_import(nodes);
    }

    bool do_import(xpImportSet& nodes) override {
        xpElement* node = element();
        if (!node) return false;
        if (node->do_import(nodes)) return guardedImportConcrete();
        // Not found: false even when optional, so that the next alternative is tried.
        if (is_required() && isRequiredField()) reportMissing();
        return false;
    }

    boost::intrusive_ptr<xpNodeHandler> create_sax_handler_import() override {
        if (xpElement* node = element()) return node->create_sax_handler_import();
        return xpNode::create_sax_handler_import();
    }

    void buildSchema(xsSchema& schema, xsGroup* group, const std::string& name) override {
        if (xpElement* node = element()) node->buildSchema(schema, group, name);
    }
    void buildSchema(xsSchema& schema, xsComplexType* type, const std::string& name) override {
        if (xpElement* node = element()) node->buildSchema(schema, type, name);
    }
    using xpElement::buildSchema;

    // Whether the wrapper itself is a required child of its parent.
    bool isRequiredChild(const xpNode*) const override { return getParent() && getParent()->isRequiredChild(this); }

    void add(xpNode* node) override {
        if (xpElement* target = element())
            target->add(node);
        else
            delete node;
    }

    bool import_dom(pugi::xml_node dom) override { return element() && element()->import_dom(dom); }
    bool export_dom(pugi::xml_node dom) override { return element() && element()->export_dom(dom); }

    void reuseParent(bool reuse) override {
        xpElement::reuseParent(reuse);
        if (xpElement* node = element()) node->reuseParent(reuse);
    }

    mfTypeInfo modelType() const override { return m_element ? m_element->type() : mfTypeInfo(typeid(B)); }

private:
    xpFutureElementBase<B>* m_element = nullptr;
    xpElement* m_node = nullptr;  // the same object as an element
};
