#include "kestrel/components/exchange/xpElement.h"

#include <optional>

#include "kestrel/components/exchange/detail/xpExportLists.h"
#include "kestrel/components/exchange/xpAttribute.h"
#include "kestrel/components/exchange/xpAttributes.h"
#include "kestrel/components/exchange/xpImportSet.h"
#include "kestrel/components/schema/xsSchema.h"

xpElement::~xpElement() = default;

void xpElement::add(xpNode* node) {
    node->setParent(this);
    m_children.emplace_back(node);
    m_constantsFound = false;
}

bool xpElement::export_nodes(std::vector<xpNode*>&, std::vector<xpNode*>& elements) {
    if (!export_concrete()) return false;
    elements.push_back(this);
    return true;
}

bool xpElement::export_child(pugi::xml_node parent) {
    if (reusesParent()) return exportContent(parent);
    pugi::xml_node dom = parent.append_child(getElementName().c_str());
    // An optional element left empty says nothing its absence would not: leave it out, so that
    // it does not read back as an element whose required content is missing.
    if (export_dom(dom) && (is_required() || dom.first_attribute() || dom.first_child())) return true;
    parent.remove_child(dom);
    return false;
}

bool xpElement::export_dom(pugi::xml_node dom) {
    std::optional<xpExchangeContext> local;
    xpExchangeContext* context = xpExchangeContext::active();
    if (!context) context = &local.emplace();
    xpFrame frame{nearestFrame(), context, dom, -1};
    FrameGuard guard(this, &frame);
    return exportContent(dom);
}

bool xpElement::exportContent(pugi::xml_node dom) {
    xpExportLists lists;
    for (const auto& child : m_children) child->export_nodes(lists.attributes(), lists.elements());
    for (xpNode* attribute : lists.attributes()) attribute->export_child(dom);
    for (xpNode* element : lists.elements()) element->export_child(dom);
    return true;
}

void xpElement::nodes_for_import(xpImportSet& nodes) {
    if (reusesParent()) {
        for (const auto& child : m_children) child->nodes_for_import(nodes);
        return;
    }
    nodes.announce(getElementName());
}

bool xpElement::do_import(xpImportSet& nodes) {
    if (reusesParent()) {
        // The content sits in the parent's element: read it from the parent's set.
        std::size_t before = xpExchangeContext::errorCount();
        for (const auto& child : m_children) child->do_import(nodes);
        if (xpExchangeContext::errorCount() != before) return false;
        return guardedImportConcrete();
    }
    const std::string& name = getElementName();
    bool refused = false;
    for (std::size_t i = 0; i < nodes.childCount(); ++i) {
        if (nodes.taken(i) || !xpSameName(nodes.child(i).nameView(), name)) continue;
        std::string reason;
        if (!acceptsElement(nodes.child(i), reason)) {
            nodes.noteRefusal(i, reason);
            refused = true;
            continue;
        }
        nodes.take(i);
        return importFrom(nodes.childFrame(i));
    }
    // An element that is there but refused is reported as such, unless another node takes it.
    if (!refused && is_required() && isRequiredField()) reportMissing();
    return false;
}

bool xpElement::importFrom(const xpFrame& frame) {
    std::optional<xpExchangeContext> local;
    xpFrame bound = frame;
    if (!bound.context) bound.context = &local.emplace();
    FrameGuard guard(this, &bound);
    xpImportSet nodes(bound);
    return importContent(nodes);
}

bool xpElement::importContent(xpImportSet& nodes) {
    return importWith(nodes, [&] {
        for (const auto& child : m_children) child->do_import(nodes);
    });
}

bool xpElement::importContentOf(xpImportSet& nodes, std::span<xpNode* const> members) {
    return importWith(nodes, [&] {
        for (xpNode* member : members) member->do_import(nodes);
    });
}

template <class ReadMembers>
bool xpElement::importWith(xpImportSet& nodes, ReadMembers&& readMembers) {
    import_begin();
    std::size_t before = xpExchangeContext::errorCount();
    nodes.announceLater(this);
    readMembers();
    nodes.reportLeftovers(this);
    // A value built from content with errors would silently replace the member: keep it.
    if (xpExchangeContext::errorCount() != before) return false;
    return guardedImportConcrete();
}

bool xpElement::acceptsElement(const xpRecord& element, std::string& reason) const {
    // Most elements have no constant attributes: they accept any element of their name.
    if (!m_constantsFound) {
        m_constantChildren.clear();
        for (const auto& child : m_children)
            if (child->holdsConstants()) m_constantChildren.push_back(child.get());
        m_constantsFound = true;
    }
    for (const xpNode* child : m_constantChildren)
        if (!child->acceptsConstants(element, reason)) return false;
    return true;
}

void xpElement::buildSchema(xsSchema& schema, xsGroup* group, const std::string&) {
    auto* element = new xsElement(getElementName());
    if (!is_required()) element->setMinOccurs(0);
    if (repeating()) element->setMaxOccurs(-1);
    if (!documentation().empty()) element->annotate(new xsDocumentation(documentation()));
    std::string type = typeName();
    xpNode* content = this;
    // A wrapper whose only content is a named attribute group takes that group's type.
    if (type.empty() && m_children.size() == 1 && dynamic_cast<xpAttributes*>(m_children[0].get())) {
        type = m_children[0]->typeName();
        content = m_children[0].get();
    }
    if (!type.empty() && typeContainment() != xpTypeContained) {
        element->setTypeName(type);
        if (xsComplexType* named = schema.defineType(type)) {
            if (content == this)
                buildContent(schema, named);
            else
                content->buildSchema(schema, named, "");
        }
    } else {
        buildContent(schema, element->localType());
    }
    group->push_back(element);
}

void xpElement::buildSchema(xsSchema& schema, xsComplexType* type, const std::string& name) {
    if (reusesParent())
        buildContent(schema, type);
    else
        buildSchema(schema, &type->getDefaultGroup(), name);
}

void xpElement::buildSchema(xsSchema&, xsAttributeGroup*, const std::string&) {}

void xpElement::buildContent(xsSchema& schema, xsComplexType* type) {
    for (const auto& child : m_children) child->buildSchema(schema, type, "");
}
