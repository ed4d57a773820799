#include "kestrel/components/exchange/xpAttributes.h"

#include "kestrel/components/exchange/xpImportSet.h"
#include "kestrel/components/schema/xsSchema.h"

xpAttributes::~xpAttributes() = default;

void xpAttributes::add(xpNode* attribute) {
    attribute->setParent(this);
    m_attributes.emplace_back(attribute);
}

bool xpAttributes::export_nodes(std::vector<xpNode*>& attributes, std::vector<xpNode*>& elements) {
    if (!export_concrete()) return false;
    for (const auto& attribute : m_attributes) attribute->export_nodes(attributes, elements);
    return true;
}

void xpAttributes::nodes_for_import(xpImportSet& nodes) {
    for (const auto& attribute : m_attributes) attribute->nodes_for_import(nodes);
}

bool xpAttributes::do_import(xpImportSet& nodes) {
    import_begin();
    std::size_t before = xpExchangeContext::errorCount();
    bool found = false;
    for (const auto& attribute : m_attributes) found = attribute->do_import(nodes) || found;
    // A value assembled from a partly read group would silently replace the member: keep it.
    if (xpExchangeContext::errorCount() != before) return false;
    if (!found && !is_required()) return false;
    return guardedImportConcrete();
}

bool xpAttributes::acceptsConstants(const xpRecord& element, std::string& reason) const {
    for (const auto& node : m_attributes)
        if (!node->acceptsConstants(element, reason)) return false;
    return true;
}

bool xpAttributes::holdsConstants() const {
    for (const auto& node : m_attributes)
        if (node->holdsConstants()) return true;
    return false;
}

void xpAttributes::buildSchema(xsSchema& schema, xsComplexType* type, const std::string&) {
    for (const auto& attribute : m_attributes) attribute->buildSchema(schema, type, "");
}

void xpAttributes::buildSchema(xsSchema& schema, xsAttributeGroup* group, const std::string&) {
    for (const auto& attribute : m_attributes) attribute->buildSchema(schema, group, "");
}
