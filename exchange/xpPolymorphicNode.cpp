#include <algorithm>

#include "kestrel/exchange/xpSpecialization.h"

xpPolymorphicNode::xpPolymorphicNode() = default;

xpPolymorphicNode::~xpPolymorphicNode() = default;

void xpPolymorphicNode::addAlternative(xpIFutureElement* alternative) {
    alternative->setParent(this);
    m_alternatives[alternative->modelType()].reset(alternative);
    m_byName.clear();
    m_ordered.clear();
}

xpIFutureElement* xpPolymorphicNode::alternativeFor(mfMetaObject* object) const {
    if (!object) return nullptr;
    const mfTypeInfo type(new impl::mfTypeInfoObject(object));
    if (auto exact = m_alternatives.find(type); exact != m_alternatives.end()) return exact->second.get();
    for (const auto& [key, alternative] : m_alternatives)
        if (key.matches(type)) return alternative.get();
    return nullptr;
}

bool xpPolymorphicNode::exportObject(mfMetaObject* object, std::vector<xpNode*>& attributes,
                                     std::vector<xpNode*>& elements) {
    if (xpIFutureElement* alternative = alternativeFor(object)) return alternative->export_nodes(attributes, elements);
    // Dropping the object would write a document that reads back as complete.
    nodeError() << xml_error_message(
        this, unregistered(m_alternatives.empty() ? std::string() : mfTextFormatter::format_impl(typeid(*object))));
    return false;
}

void xpPolymorphicNode::nodes_for_import(xpImportSet& nodes) {
    for (const auto& entry : m_alternatives) entry.second->nodes_for_import(nodes);
}

std::vector<std::string_view> xpPolymorphicNode::childElementNames() {
    if (m_ordered.empty()) buildNameTable();
    std::vector<std::string_view> names;
    for (const Named& named : m_byName) names.push_back(named.name);
    return names;
}

bool xpPolymorphicNode::readsWithoutChild() {
    if (m_alternatives.empty() || (is_required() && isRequiredField())) return true;
    if (m_ordered.empty()) buildNameTable();
    return !m_parentReaders.empty();
}

bool xpPolymorphicNode::do_import(xpImportSet& nodes) {
    if (m_alternatives.empty()) {
        // Without alternatives every element of this member would be refused as unknown.
        nodeError() << xml_error_message(this, unregistered({}));
        return false;
    }
    const std::size_t before = xpExchangeContext::errorCount();
    // Only the alternatives named by a child that is still there can read anything (and
    // those that read from the parent's element); they are tried in key order.
    if (m_ordered.empty()) buildNameTable();
    boost::container::small_vector<std::size_t, 4> candidates(m_parentReaders.begin(), m_parentReaders.end());
    for (std::size_t i = 0; i < nodes.childCount(); ++i) {
        if (nodes.taken(i)) continue;
        const std::string_view name = nodes.child(i).nameView();
        for (const Named& named : m_byName)
            if (xpSameName(named.name, name)) candidates.push_back(named.alternative);
    }
    if (candidates.size() > 1) {
        std::sort(candidates.begin(), candidates.end());
        candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
    }
    for (std::size_t k : candidates)
        if (m_ordered[k]->do_import(nodes)) return true;
    // An alternative that found its element but could not read it has said so already.
    if (xpExchangeContext::errorCount() != before) return false;
    return xpNode::do_import(nodes);
}

void xpPolymorphicNode::buildSchema(xsSchema& schema, xsGroup* group, const std::string&) {
    auto* choice = new xsChoice;
    if (!documentation().empty()) choice->annotate(new xsDocumentation(documentation()));
    if (!is_required()) choice->setMinOccurs(0);
    group->push_back(choice);
    buildAlternatives(schema, choice);
}

void xpPolymorphicNode::buildSchema(xsSchema& schema, xsComplexType* type, const std::string&) {
    buildSchema(schema, &type->getDefaultGroup(), "");
}

void xpPolymorphicNode::buildAlternatives(xsSchema& schema, xsGroup* choice) {
    for (const auto& entry : m_alternatives) entry.second->buildSchema(schema, choice, typeName() + "Base");
}

void xpPolymorphicNode::setRepeating(bool repeating) {
    xpElement::setRepeating(repeating);
    for (const auto& entry : m_alternatives) entry.second->setRepeating(repeating);
}

void xpPolymorphicNode::buildNameTable() {
    m_byName.clear();
    m_parentReaders.clear();
    for (const auto& entry : m_alternatives) {
        xpIFutureElement* alternative = entry.second.get();
        const std::size_t k = m_ordered.size();
        m_ordered.push_back(alternative);
        if (alternative->reusesParent())
            m_parentReaders.push_back(k);
        else
            m_byName.push_back({alternative->getElementName(), k});
    }
}

std::string xpPolymorphicNode::unregistered(const std::string& kind) const {
    const std::string base = baseName();
    return (kind.empty() ? "no element class is registered for " + base
                         : "no element class is registered for " + kind + " (a kind of " + base + ")") +
           ": call kestrel::register_futures() with the document current before building the elements";
}
