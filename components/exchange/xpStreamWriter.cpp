#include <functional>
#include <ostream>
#include <string>
#include <utility>

#include "kestrel/components/exchange/detail/xpDroppedItems.h"
#include "kestrel/components/exchange/xpDocument.h"
#include "kestrel/components/exchange/xpElement.h"
#include "kestrel/components/exchange/xpSequence.h"

namespace {
// Where the streamed items stand in the root's element; a name no document uses (a dot may not
// start a name, but may be inside one).
constexpr const char* kMark = "xp.stream.mark";
constexpr const char* kIndent = "  ";
constexpr unsigned kFormat = pugi::format_default;

std::string markTag() {
    return std::string("<") + kMark + " />";
}

// Gathers what pugixml prints into a string: a string stream per piece costs more than most
// pieces (its locale is set up each time).
struct StringWriter : pugi::xml_writer {
    std::string text;
    void write(const void* data, std::size_t size) override { text.append(static_cast<const char*>(data), size); }
};

std::string printed(pugi::xml_node node, unsigned depth) {
    StringWriter writer;
    node.print(writer, kIndent, kFormat, pugi::encoding_utf8, depth);
    return std::move(writer.text);
}

// Elements above `node`, the root's element at 0.
unsigned depthOf(pugi::xml_node node) {
    unsigned depth = 0;
    for (pugi::xml_node n = node.parent(); n && n.type() == pugi::node_element; n = n.parent()) ++depth;
    return depth;
}

// The start of the line that holds `at`, and of the line after it.
std::size_t lineStart(const std::string& text, std::size_t at) {
    const std::size_t newline = text.rfind('\n', at);
    return newline == std::string::npos ? 0 : newline + 1;
}
std::size_t lineAfter(const std::string& text, std::size_t at) {
    const std::size_t newline = text.find('\n', at);
    return newline == std::string::npos ? text.size() : newline + 1;
}

std::string saved(const pugi::xml_document& dom) {
    StringWriter writer;
    dom.save(writer, kIndent, kFormat, pugi::encoding_utf8);
    return std::move(writer.text);
}
}  // namespace

std::vector<xpReportedError> xpDocument::write(xpElement& root, std::ostream& out) {
    pugi::xml_document dom;
    pugi::xml_node declaration = dom.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    xpExchangeContext context;
    context.setErrorLimit(m_maxErrors);
    pugi::xml_node top = dom.append_child(root.getElementName().c_str());
    auto* sequence = root.children().empty() ? nullptr : dynamic_cast<xpSequence*>(root.children().front().get());
    if (!sequence || !sequence->reusesParent()) {
        root.export_dom(top);
        out << saved(dom);
        return context.takeErrors();
    }
    // The items follow the mark in the root's element: each is printed at its depth and dropped
    // as soon as it is written. The root's start tag and what precedes the mark go out first.
    const pugi::xml_node mark = top.append_child(kMark);
    const std::string markLine = std::string("\n") + kIndent + "<" + kMark + " />\n";
    bool started = false;
    auto start = [&] {
        if (started) return;
        const std::string head = saved(dom);
        out << head.substr(0, head.find(markLine) + 1);
        started = true;
    };
    // The root's item whose text is out up to a mark in it, before the items of a streamed
    // sequence within it: those are printed as they come, the rest of the item when it ends.
    pugi::xml_node open;
    pugi::xml_node openMark;
    unsigned openDepth = 0;
    xpDroppedItems dropped;
    sequence->setItemSink([&](pugi::xml_node parent) {
        if (parent != top) return;
        start();
        for (pugi::xml_node item = mark.next_sibling(); item; item = mark.next_sibling()) {
            if (item == open) {
                const std::string text = printed(item, 1);
                out << text.substr(lineAfter(text, text.find(markTag())));
                open = openMark = pugi::xml_node();
            } else {
                item.print(out, kIndent, kFormat, pugi::encoding_utf8, 1);
            }
            dropped.drop(item);
            top.remove_child(item);
            dropped.keepOnly(top);
        }
    });
    const std::function<void(pugi::xml_node)> nested = [&](pugi::xml_node parent) {
        // The sequence's element and its depth are found on its first item: a grid has a million.
        if (openMark.parent() != parent) {
            pugi::xml_node item = parent;
            while (item && item.parent() != top) item = item.parent();
            // Items written anywhere but below an item of the root stay where they are.
            if (!item || !parent.last_child()) return;
            start();
            // The item just written is the sequence's first.
            const pugi::xml_node newMark = parent.insert_child_before(kMark, parent.last_child());
            const std::string text = printed(item, 1);
            const std::size_t to = lineStart(text, text.rfind(markTag()));
            const std::size_t from = item == open ? lineAfter(text, text.find(markTag())) : 0;
            out << text.substr(from, to - from);
            if (openMark) openMark.parent().remove_child(openMark);
            open = item;
            openMark = newMark;
            openDepth = depthOf(openMark);
        }
        for (pugi::xml_node next = openMark.next_sibling(); next; next = openMark.next_sibling()) {
            next.print(out, kIndent, kFormat, pugi::encoding_utf8, openDepth);
            dropped.drop(next);
            parent.remove_child(next);
        }
    };
    xpSequence::setStreamedItemSink(&nested);
    xpSetDroppedItems(&dropped);
    {
        // The sinks point into this frame: they are cleared however the export ends.
        struct Clear {
            xpSequence* sequence;
            ~Clear() {
                xpSetDroppedItems(nullptr);
                xpSequence::setStreamedItemSink(nullptr);
                sequence->setItemSink({});
            }
        } clear{sequence};
        root.export_dom(top);
    }
    if (!started) {
        top.remove_child(mark);
        out << saved(dom);
    } else {
        const std::string tail = saved(dom);
        out << tail.substr(tail.find(markLine) + markLine.size());
    }
    return context.takeErrors();
}
