#pragma once

#include <boost/container/small_vector.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "kestrel/components/exchange/xpExchangeContext.h"
#include "kestrel/components/exchange/xpRecord.h"

// The content of one element read, offered to the nodes that read it: each attribute and child
// element can be taken once. What is left at the end was read by no node and is reported.
// Everything an ordinary element needs is held inline: reading an element allocates nothing
// unless it has many attributes, children or announced names.
class xpImportSet {
public:
    xpImportSet(const xpFrame& frame);

    const xpFrame& frame() const { return m_frame; }
    const xpRecord& element() const { return *m_frame.record; }

    // The attribute of that name not yet taken; null when there is none.
    const xpRecordAttribute* findAttribute(std::string_view name) const;
    void takeAttribute(const xpRecordAttribute* attribute);
    // The same by index: the index of the attribute of that name not yet taken, or npos.
    static constexpr std::size_t npos = std::size_t(-1);
    std::size_t findAttributeIndex(std::string_view name) const;
    const xpRecordAttribute& attribute(std::size_t i) const { return element().attribute(i); }
    void takeAttributeAt(std::size_t i) {
        m_attributesLeft -= !m_attributeTaken[i];
        m_attributeTaken[i] = true;
    }

    std::size_t childCount() const { return m_children.size(); }
    const xpRecord& child(std::size_t i) const { return *m_children[i]; }
    bool taken(std::size_t i) const { return m_childTaken[i]; }
    void take(std::size_t i) {
        m_childrenLeft -= !m_childTaken[i];
        m_childTaken[i] = true;
    }
    // A frame for child i, its ordinal among same-named siblings filled in.
    xpFrame childFrame(std::size_t i) const;

    // Character data of the element (text and CDATA sections joined).
    std::string text() const { return element().text(); }
    bool hasText() const { return element().hasText(); }
    void takeText() { m_textTaken = true; }

    // Names some node of this element reads; a child nobody announced is unexpected. The name
    // must outlive the set (node names do).
    void announce(std::string_view elementName) { m_announced.push_back(elementName); }
    // The nodes of `element` announce their names only if a child is left over: the names tell
    // only why it was left.
    void announceLater(xpElement* element) { m_announcer = element; }
    // Why a node refused child i, for the report if no other node takes it.
    void noteRefusal(std::size_t i, std::string reason);

    // Records an error on `reporter` for every attribute, child and text that no node took.
    void reportLeftovers(xpNode* reporter);

    // Whether an untaken child element has that name.
    bool offers(std::string_view elementName) const;

private:
    template <class T, std::size_t N>
    using Inline = boost::container::small_vector<T, N>;

    void computeOrdinals() const;

    xpFrame m_frame;
    Inline<bool, 8> m_attributeTaken;
    Inline<const xpRecord*, 8> m_children;
    Inline<bool, 8> m_childTaken;
    std::vector<std::string> m_refusals;
    // A polymorphic member announces every alternative's name.
    Inline<std::string_view, 32> m_announced;
    xpElement* m_announcer = nullptr;
    mutable Inline<int, 8> m_ordinals;
    // Attributes and children not taken yet.
    std::size_t m_attributesLeft = 0;
    std::size_t m_childrenLeft = 0;
    bool m_textTaken = false;
};
