#include "kestrel/components/exchange/xpImportSet.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "kestrel/components/exchange/xml_error.h"
#include "kestrel/components/exchange/xpElement.h"

xpImportSet::xpImportSet(const xpFrame& frame) : m_frame(frame) {
    m_attributesLeft = element().attributeCount();
    m_attributeTaken.assign(m_attributesLeft, false);
    for (const xpRecord* c = element().firstChild; c; c = c->next) m_children.push_back(c);
    m_childrenLeft = m_children.size();
    m_childTaken.assign(m_childrenLeft, false);
}

std::size_t xpImportSet::findAttributeIndex(std::string_view name) const {
    const xpRecord& record = element();
    for (std::size_t i = 0; i < m_attributeTaken.size(); ++i)
        if (!m_attributeTaken[i] && xpSameName(record.attribute(i).nameView(), name)) return i;
    return npos;
}

const xpRecordAttribute* xpImportSet::findAttribute(std::string_view name) const {
    std::size_t i = findAttributeIndex(name);
    return i == npos ? nullptr : &attribute(i);
}

void xpImportSet::takeAttribute(const xpRecordAttribute* attribute) {
    for (std::size_t i = 0; i < m_attributeTaken.size(); ++i)
        if (&this->attribute(i) == attribute) takeAttributeAt(i);
}

bool xpImportSet::offers(std::string_view elementName) const {
    for (std::size_t i = 0; i < m_children.size(); ++i)
        if (!m_childTaken[i] && xpSameName(m_children[i]->nameView(), elementName)) return true;
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
    for (const xpRecord* c : m_children) ++slot(c->nameView()).count;
    m_ordinals.reserve(m_children.size());
    for (const xpRecord* c : m_children) {
        Name& n = slot(c->nameView());
        m_ordinals.push_back(n.count > 1 ? ++n.seen : 0);
    }
}

xpFrame xpImportSet::childFrame(std::size_t i) const {
    // Among a few children a child's place is found by comparing it with its siblings; a table
    // of every child's place pays only for many.
    constexpr std::size_t kCompared = 8;
    if (m_children.size() <= kCompared && m_ordinals.empty()) {
        const std::string_view view = m_children[i]->nameView();
        int before = 0;
        bool repeated = false;
        for (std::size_t j = 0; j < m_children.size(); ++j) {
            if (j == i || !xpSameName(m_children[j]->nameView(), view)) continue;
            repeated = true;
            before += j < i;
        }
        return xpFrame::reading(&m_frame, m_frame.context, *m_children[i], repeated ? before + 1 : 0);
    }
    // Computed once per element, and only when a child is read: a path needs it.
    if (m_ordinals.empty() && !m_children.empty()) computeOrdinals();
    return xpFrame::reading(&m_frame, m_frame.context, *m_children[i], m_ordinals[i]);
}

void xpImportSet::noteRefusal(std::size_t i, std::string reason) {
    if (m_refusals.size() <= i) m_refusals.resize(m_children.size());
    if (m_refusals[i].empty()) m_refusals[i] = std::move(reason);
}

void xpImportSet::reportLeftovers(xpNode* reporter) {
    // Most elements are read whole: nothing to look for.
    if (m_attributesLeft == 0 && m_childrenLeft == 0 && (m_textTaken || !element().firstRun)) return;
    xpNode* sink = reporter;
    std::string path;
    for (std::size_t i = 0; i < m_attributeTaken.size(); ++i) {
        if (m_attributeTaken[i]) continue;
        if (path.empty()) path = m_frame.path();
        const char* name = attribute(i).name();
        sink->nodeError() << xml_error_message(reporter, std::string("unexpected attribute \"") + name + "\"",
                                               path + "/@" + name, m_frame.line(), m_frame.column());
    }
    for (std::size_t i = 0; i < m_children.size(); ++i) {
        if (m_childTaken[i]) continue;
        if (xpElement* announcer = std::exchange(m_announcer, nullptr))
            for (const auto& node : announcer->children()) node->nodes_for_import(*this);
        xpFrame child = childFrame(i);
        std::string name = m_children[i]->name();
        std::string message;
        if (i < m_refusals.size() && !m_refusals[i].empty())
            message = m_refusals[i];
        else if (std::find(m_announced.begin(), m_announced.end(), name) != m_announced.end())
            message = "element \"" + name + "\" occurs more often than allowed here";
        else
            message = "unexpected element \"" + name + "\"";
        sink->nodeError() << xml_error_message(reporter, message, child.path(), child.line(), child.column());
    }
    if (!m_textTaken) {
        for (const xpRecord::Run* run = element().firstRun; run; run = run->next) {
            if (run->text.find_first_not_of(" \t\r\n") == std::string_view::npos) continue;
            sink->nodeError() << xml_error_message(reporter, "unexpected text content", m_frame.path(), m_frame.line(),
                                                   m_frame.column());
            break;
        }
    }
}
