#include "kestrel/components/exchange/xpImportSet.h"

#include <algorithm>
#include <unordered_map>

#include "kestrel/components/exchange/detail/xpNameEquals.h"
#include "kestrel/components/exchange/xml_error.h"
#include "kestrel/components/exchange/xpNode.h"

xpImportSet::xpImportSet(const xpFrame& frame) : m_frame(frame) {
    for (pugi::xml_attribute a = frame.dom.first_attribute(); a; a = a.next_attribute()) m_attributes.push_back(a);
    m_attributeTaken.assign(m_attributes.size(), false);
    for (pugi::xml_node c = frame.dom.first_child(); c; c = c.next_sibling()) {
        const pugi::xml_node_type type = c.type();
        if (type == pugi::node_element)
            m_children.push_back(c);
        else if (type == pugi::node_pcdata || type == pugi::node_cdata)
            m_hasText = true;
    }
    m_childTaken.assign(m_children.size(), false);
}

std::size_t xpImportSet::findAttributeIndex(std::string_view name) const {
    for (std::size_t i = 0; i < m_attributes.size(); ++i)
        if (!m_attributeTaken[i] && xpNameEquals(m_attributes[i].name(), name)) return i;
    return npos;
}

pugi::xml_attribute xpImportSet::findAttribute(std::string_view name) const {
    std::size_t i = findAttributeIndex(name);
    return i == npos ? pugi::xml_attribute() : m_attributes[i];
}

void xpImportSet::takeAttribute(pugi::xml_attribute attribute) {
    for (std::size_t i = 0; i < m_attributes.size(); ++i)
        if (m_attributes[i] == attribute) m_attributeTaken[i] = true;
}

bool xpImportSet::offers(std::string_view elementName) const {
    for (std::size_t i = 0; i < m_children.size(); ++i)
        if (!m_childTaken[i] && xpNameEquals(m_children[i].name(), elementName)) return true;
    return false;
}

void xpImportSet::computeOrdinals() const {
    // Elements have few distinct child names (a sequence has one): a short list of names with
    // their counts beats hashing every name; many distinct names fall back to a map.
    struct Name {
        std::string_view name;
        int count;
        int seen;
    };
    Inline<Name, 8> names;
    std::unordered_map<std::string_view, int> index;
    constexpr std::size_t kListed = 16;
    auto slot = [&](std::string_view name) -> Name& {
        if (names.size() < kListed || index.empty()) {
            for (Name& n : names)
                if (n.name == name) return n;
            if (names.size() < kListed) return names.emplace_back(Name{name, 0, 0});
            for (std::size_t k = 0; k < names.size(); ++k) index.emplace(names[k].name, int(k));
        }
        auto [at, added] = index.try_emplace(name, int(names.size()));
        if (added) names.push_back(Name{name, 0, 0});
        return names[std::size_t(at->second)];
    };
    for (pugi::xml_node c : m_children) ++slot(c.name()).count;
    m_ordinals.reserve(m_children.size());
    for (pugi::xml_node c : m_children) {
        Name& n = slot(c.name());
        m_ordinals.push_back(n.count > 1 ? ++n.seen : 0);
    }
}

xpFrame xpImportSet::childFrame(std::size_t i) const {
    // Among a few children a child's place is found by comparing it with its siblings; a table
    // of every child's place pays only for many.
    constexpr std::size_t kCompared = 8;
    if (m_children.size() <= kCompared && m_ordinals.empty()) {
        const char* name = m_children[i].name();
        const std::string_view view(name);
        int before = 0;
        bool repeated = false;
        for (std::size_t j = 0; j < m_children.size(); ++j) {
            if (j == i || !xpNameEquals(m_children[j].name(), view)) continue;
            repeated = true;
            before += j < i;
        }
        return xpFrame{&m_frame, m_frame.context, m_children[i], repeated ? before + 1 : 0};
    }
    // Computed once per element, and only when a child is read: a path needs it.
    if (m_ordinals.empty() && !m_children.empty()) computeOrdinals();
    return xpFrame{&m_frame, m_frame.context, m_children[i], m_ordinals[i]};
}

bool xpImportSet::hasText() const {
    return m_hasText;
}

std::string xpImportSet::text() const {
    std::string text;
    for (pugi::xml_node c = m_frame.dom.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata) text += c.value();
    return text;
}

void xpImportSet::noteRefusal(std::size_t i, std::string reason) {
    if (m_refusals.size() <= i) m_refusals.resize(m_children.size());
    if (m_refusals[i].empty()) m_refusals[i] = std::move(reason);
}

void xpImportSet::reportLeftovers(xpNode* reporter) {
    xpNode* sink = reporter;
    std::string path;
    for (std::size_t i = 0; i < m_attributes.size(); ++i) {
        if (m_attributeTaken[i]) continue;
        if (path.empty()) path = m_frame.path();
        sink->nodeError() << xml_error_message(reporter,
                                               std::string("unexpected attribute \"") + m_attributes[i].name() + "\"",
                                               path + "/@" + m_attributes[i].name(), m_frame.line(), m_frame.column());
    }
    for (std::size_t i = 0; i < m_children.size(); ++i) {
        if (m_childTaken[i]) continue;
        xpFrame child = childFrame(i);
        std::string name = m_children[i].name();
        std::string message;
        if (i < m_refusals.size() && !m_refusals[i].empty())
            message = m_refusals[i];
        else if (std::find(m_announced.begin(), m_announced.end(), name) != m_announced.end())
            message = "element \"" + name + "\" occurs more often than allowed here";
        else
            message = "unexpected element \"" + name + "\"";
        sink->nodeError() << xml_error_message(reporter, message, child.path(), child.line(), child.column());
    }
    if (!m_textTaken && m_hasText) {
        for (pugi::xml_node c = m_frame.dom.first_child(); c; c = c.next_sibling()) {
            if (c.type() != pugi::node_pcdata && c.type() != pugi::node_cdata) continue;
            std::string_view value = c.value();
            if (value.find_first_not_of(" \t\r\n") == std::string_view::npos) continue;
            sink->nodeError() << xml_error_message(reporter, "unexpected text content", m_frame.path(), m_frame.line(),
                                                   m_frame.column());
            break;
        }
    }
}
