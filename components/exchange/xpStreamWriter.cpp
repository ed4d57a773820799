#include <ostream>
#include <sstream>
#include <string>

#include "kestrel/components/exchange/xpDocument.h"
#include "kestrel/components/exchange/xpElement.h"
#include "kestrel/components/exchange/xpSequence.h"

namespace {
// Where the streamed items stand in the root's element; a name no document uses (a dot may not
// start a name, but may be inside one).
constexpr const char* kMark = "xp.stream.mark";
constexpr const char* kIndent = "  ";
constexpr unsigned kFormat = pugi::format_default;

std::string saved(const pugi::xml_document& dom) {
    std::ostringstream text;
    dom.save(text, kIndent, kFormat, pugi::encoding_utf8);
    return text.str();
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
    sequence->setItemSink([&](pugi::xml_node parent) {
        if (parent != top) return;
        if (!started) {
            const std::string head = saved(dom);
            out << head.substr(0, head.find(markLine) + 1);
            started = true;
        }
        for (pugi::xml_node item = mark.next_sibling(); item; item = mark.next_sibling()) {
            item.print(out, kIndent, kFormat, pugi::encoding_utf8, 1);
            top.remove_child(item);
        }
    });
    try {
        root.export_dom(top);
    } catch (...) {
        sequence->setItemSink({});
        throw;
    }
    sequence->setItemSink({});
    if (!started) {
        top.remove_child(mark);
        out << saved(dom);
    } else {
        const std::string tail = saved(dom);
        out << tail.substr(tail.find(markLine) + markLine.size());
    }
    return context.takeErrors();
}
