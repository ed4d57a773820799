#include "kestrel/components/exchange/xpAlternatives.h"

#include <algorithm>
#include <map>

#include "kestrel/components/exchange/xpAttributes.h"
#include "kestrel/components/exchange/xpImportSet.h"
#include "kestrel/components/schema/xsSchema.h"

namespace {
// The attribute nodes of one alternative: the group's attributes, or the node itself.
std::vector<const xpAttribute*> gatherAttributes(const xpNode* alternative) {
    std::vector<const xpAttribute*> result;
    if (auto* group = dynamic_cast<const xpAttributes*>(alternative)) {
        for (const auto& node : group->attributes())
            if (auto* attribute = dynamic_cast<const xpAttribute*>(node.get())) result.push_back(attribute);
    } else if (auto* attribute = dynamic_cast<const xpAttribute*>(alternative)) {
        result.push_back(attribute);
    }
    return result;
}
}  // namespace

xpAlternatives::~xpAlternatives() = default;

void xpAlternatives::add(xpNode* alternative) {
    alternative->setParent(this);
    m_alternatives.emplace_back(alternative);
}

bool xpAlternatives::export_nodes(std::vector<xpNode*>& attributes, std::vector<xpNode*>& elements) {
    for (const auto& alternative : m_alternatives) {
        std::vector<xpNode*> written;
        std::vector<xpNode*> children;
        if (!alternative->export_nodes(written, children)) continue;
        bool complete = true;
        for (const xpAttribute* attribute : gatherAttributes(alternative.get()))
            if (attribute->is_required() && std::find(written.begin(), written.end(), attribute) == written.end())
                complete = false;
        if (!complete) continue;
        attributes.insert(attributes.end(), written.begin(), written.end());
        elements.insert(elements.end(), children.begin(), children.end());
        return true;
    }
    if (!m_alternatives.empty()) nodeError() << xml_error_message(this, "no alternative can write the value");
    return false;
}

void xpAlternatives::nodes_for_import(xpImportSet&) {}

const std::vector<const xpAttribute*>& xpAlternatives::attributesOf(std::size_t k) {
    if (m_attributes.size() != m_alternatives.size()) m_attributes.assign(m_alternatives.size(), Attributes{});
    const xpNode* alternative = m_alternatives[k].get();
    auto* group = dynamic_cast<const xpAttributes*>(alternative);
    const std::size_t nodes = group ? group->attributes().size() + 1 : 1;
    Attributes& cached = m_attributes[k];
    if (cached.nodes != nodes) {
        cached.list = gatherAttributes(alternative);
        cached.nodes = nodes;
    }
    return cached.list;
}

bool xpAlternatives::do_import(xpImportSet& nodes) {
    for (std::size_t k = 0; k < m_alternatives.size(); ++k) {
        const auto& alternative = m_alternatives[k];
        bool fits = true;
        for (const xpAttribute* attribute : attributesOf(k)) {
            const xpRecordAttribute* found = nodes.findAttribute(attribute->getName());
            if (found ? !attribute->accepts_text(found->value()) : attribute->is_required()) {
                fits = false;
                break;
            }
        }
        if (fits) return alternative->do_import(nodes);
    }
    // No alternative fits: report what the element carries, and take those attributes so they
    // are not reported once more as unexpected.
    std::string carried;
    for (const auto& alternative : m_alternatives)
        for (const xpAttribute* attribute : gatherAttributes(alternative.get()))
            if (const xpRecordAttribute* found = nodes.findAttribute(attribute->getName())) {
                carried += std::string(carried.empty() ? "" : " ") + found->name() + "=\"" + found->value() + "\"";
                nodes.takeAttribute(found);
            }
    if (!carried.empty())
        nodeError() << xml_error_message(this, "no alternative accepts " + carried);
    else if (is_required() && isRequiredField())
        reportMissing();
    return false;
}

void xpAlternatives::buildSchema(xsSchema& schema, xsComplexType* type, const std::string&) {
    // XML Schema cannot tie one attribute's type to another's value: declare the union of the
    // alternatives, each attribute required only where every alternative requires it.
    std::vector<xsAttributeGroup> groups(m_alternatives.size());
    for (std::size_t i = 0; i < m_alternatives.size(); ++i) m_alternatives[i]->buildSchema(schema, &groups[i], "");
    std::vector<std::string> order;
    std::map<std::string, std::vector<const xsAttribute*>> byName;
    for (const auto& group : groups)
        for (const auto& attribute : group.attributes()) {
            auto& list = byName[attribute->name()];
            if (list.empty()) order.push_back(attribute->name());
            list.push_back(attribute.get());
        }
    for (const std::string& name : order) {
        const auto& list = byName[name];
        bool required = list.size() == groups.size();
        bool enumerated = true;
        bool sameType = true;
        for (const xsAttribute* a : list) {
            required = required && a->required();
            enumerated = enumerated && a->simpleType() && list[0]->simpleType() &&
                         a->simpleType()->base() == list[0]->simpleType()->base();
            sameType = sameType && !a->simpleType() && a->type() == list[0]->type();
        }
        auto* merged = new xsAttribute(name, sameType ? list[0]->type() : "xs:string", required);
        type->attributes().push_back(merged);
        if (enumerated) {
            xsSimpleType* simple = type->attributes().attribute_back()->createSimpleType(0);
            simple->setBase(list[0]->simpleType()->base());
            for (const xsAttribute* a : list)
                for (const std::string& text : a->simpleType()->enumerations()) simple->enumeration(text);
        }
    }
}
