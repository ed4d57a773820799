#include "kestrel/exchange/xpFutureElementWrapper.h"

xpAlternativeElement::xpAlternativeElement() = default;

xpAlternativeElement::~xpAlternativeElement() = default;

void xpAlternativeElement::holdElement(xpElement* node) {
    m_node = node;
    if (m_node) m_node->setParent(this);
}

bool xpAlternativeElement::export_nodes(std::vector<xpNode*>&, std::vector<xpNode*>& elements) {
    xpElement* node = element();
    if (node && export_concrete() && node->export_concrete()) {
        elements.push_back(this);
        return true;
    }
    return !is_required();
}

bool xpAlternativeElement::export_child(pugi::xml_node parent) {
    if (reusesParent()) return element() && element()->export_child(parent);
    pugi::xml_node dom = parent.append_child(getElementName().c_str());
    if (export_dom(dom)) return true;
    parent.remove_child(dom);
    return false;
}

void xpAlternativeElement::nodes_for_import(xpImportSet& nodes) {
    if (xpElement* node = element()) node->nodes_for_import(nodes);
}

bool xpAlternativeElement::do_import(xpImportSet& nodes) {
    xpElement* node = element();
    if (!node) return false;
    if (node->do_import(nodes)) return guardedImportConcrete();
    // Not found: false even when optional, so that the next alternative is tried.
    if (is_required() && isRequiredField()) reportMissing();
    return false;
}

boost::intrusive_ptr<xpNodeHandler> xpAlternativeElement::create_sax_handler_import() {
    if (xpElement* node = element()) return node->create_sax_handler_import();
    return xpNode::create_sax_handler_import();
}

void xpAlternativeElement::buildSchema(xsSchema& schema, xsGroup* group, const std::string& name) {
    if (xpElement* node = element()) node->buildSchema(schema, group, name);
}

void xpAlternativeElement::buildSchema(xsSchema& schema, xsComplexType* type, const std::string& name) {
    if (xpElement* node = element()) node->buildSchema(schema, type, name);
}

bool xpAlternativeElement::isRequiredChild(const xpNode*) const {
    return getParent() && getParent()->isRequiredChild(this);
}

void xpAlternativeElement::add(xpNode* node) {
    if (xpElement* target = element())
        target->add(node);
    else
        delete node;
}

bool xpAlternativeElement::export_dom(pugi::xml_node dom) {
    return element() && element()->export_dom(dom);
}

void xpAlternativeElement::reuseParent(bool reuse) {
    xpElement::reuseParent(reuse);
    if (xpElement* node = element()) node->reuseParent(reuse);
}
