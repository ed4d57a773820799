#include "kestrel/components/exchange/xpDocument.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "kestrel/components/exchange/xpElement.h"
#include "kestrel/components/exchange/xpSourceText.h"
#include "kestrel/components/exchange/xpStreamReader.h"
#include "kestrel/components/schema/xsSchema.h"

thread_local xpDocument* xpDocument::m_current = nullptr;

xpFutureElementsBase::~xpFutureElementsBase() = default;

xpFutureElementsCollection::xpFutureElementsCollection() = default;
xpFutureElementsCollection::~xpFutureElementsCollection() = default;

std::unique_ptr<xpFutureElementsBase>& xpFutureElementsCollection::get(const mfTypeInfo& base) {
    return m_slots[base];
}

std::size_t xpFutureElementsCollection::size() const {
    std::size_t n = 0;
    for (const auto& [key, registry] : m_slots) n += registry != nullptr;
    return n;
}

xpDocument::xpDocument() = default;

xpDocument::~xpDocument() {
    if (m_current == this) m_current = nullptr;
}

namespace {
xpReadResult refused(int line, int column, std::string message) {
    xpReadResult result;
    xpReportedError error;
    error.line = line;
    error.column = column;
    result.column = column;
    error.message = std::move(message);
    result.errors.push_back(std::move(error));
    return result;
}

xpReadResult refused(std::string_view text, std::size_t offset, std::string message) {
    int line = 0, column = 0;
    xpLineAndColumn(text, offset, line, column);
    return refused(line, column, std::move(message));
}
}  // namespace

xpReadResult xpDocument::read(xpElement& root, std::string_view bytes) {
    return readText(root, bytes, nullptr);
}

xpReadResult xpDocument::read(xpElement& root, std::string&& bytes) {
    std::string owned = std::move(bytes);
    return readText(root, owned, &owned);
}

xpReadResult xpDocument::readText(xpElement& root, std::string_view bytes, std::string* owned) {
    std::string converted;
    std::string_view text;
    bool ascii = false;
    if (xpTextProblem problem = xpDecodeSource(bytes, converted, text, &ascii))
        return refused(text, problem.offset, problem.message);
    // Text of our own is parsed where it lies, which changes it: everything that reads the
    // text itself runs before, and places are found through the line table. A column is then a
    // byte count, so only plain ASCII text is parsed in place.
    char* writable = nullptr;
    if (ascii && !converted.empty() && text.data() == converted.data())
        writable = converted.data();
    else if (ascii && owned && text.data() >= owned->data() && text.data() < owned->data() + owned->size())
        writable = owned->data() + (text.data() - owned->data());
    // What the streaming reader refuses is refused here too, before the text is parsed (in place
    // it changes): one set of rules for both reads, so that they refuse alike.
    if (xpRefusal streamed = xpStreamRefusal(text, root.getElementName()))
        return refused(streamed.line, streamed.column, std::move(streamed.message));
    xpExchangeContext context(text);
    context.setErrorLimit(m_maxErrors);
    if (writable) context.setColumnsInBytes();
    auto refusedAt = [&](std::size_t offset, std::string message) {
        if (!writable) return refused(text, offset, std::move(message));
        const int line = context.lineOf(std::ptrdiff_t(offset));
        return refused(line, int(offset - context.lineStart(line)) + 1, std::move(message));
    };
    pugi::xml_document dom;
    // DOCTYPE nodes are parsed only to be refused: no DTD is read and no entity expanded.
    const unsigned options = pugi::parse_default | pugi::parse_doctype;
    pugi::xml_parse_result parsed = writable
                                        ? dom.load_buffer_inplace(writable, text.size(), options, pugi::encoding_utf8)
                                        : dom.load_buffer(text.data(), text.size(), options, pugi::encoding_utf8);
    if (!parsed) return refusedAt(std::size_t(parsed.offset), parsed.description());
    for (pugi::xml_node node = dom.first_child(); node; node = node.next_sibling())
        if (node.type() == pugi::node_doctype)
            return refusedAt(std::size_t(node.offset_debug()), "document type declarations are not accepted");
    pugi::xml_node top = dom.document_element();
    if (root.getElementName() != top.name())
        return refusedAt(std::size_t(top.offset_debug()), "root element is \"" + std::string(top.name()) +
                                                              "\", expected \"" + root.getElementName() + "\"");
    xpReadResult result;
    result.wellFormed = true;
    root.importFrom(xpFrame{nullptr, &context, top, 0});
    result.unlisted = context.unlisted();
    result.errors = context.takeErrors();
    // Report in document order; errors of one line keep the order they were found in.
    std::stable_sort(result.errors.begin(), result.errors.end() - (result.unlisted > 0),
                     [](const xpReportedError& a, const xpReportedError& b) { return a.line < b.line; });
    return result;
}

xpReadResult xpDocument::readTree(xpElement& root, pugi::xml_node top) {
    // A whole document stands for its root element.
    if (top.type() == pugi::node_document)
        top = top.find_child([](pugi::xml_node n) { return n.type() == pugi::node_element; });
    if (top.type() != pugi::node_element) return refused(0, 0, "no root element");
    if (root.getElementName() != top.name())
        return refused(
            0, 0, "root element is \"" + std::string(top.name()) + "\", expected \"" + root.getElementName() + "\"");
    xpExchangeContext context;
    context.setErrorLimit(m_maxErrors);
    xpReadResult result;
    result.wellFormed = true;
    root.importFrom(xpFrame{nullptr, &context, top, 0});
    result.unlisted = context.unlisted();
    result.errors = context.takeErrors();
    return result;
}

xpReadResult xpDocument::readFile(xpElement& root, const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        xpReadResult result;
        result.errors.push_back({0, {}, "cannot read file \"" + path + "\""});
        return result;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    return read(root, buffer.str());
}

std::vector<xpReportedError> xpDocument::write(xpElement& root, std::string& text) {
    std::ostringstream out;
    std::vector<xpReportedError> errors = write(root, out);
    text = std::move(out).str();
    return errors;
}

std::string xpDocument::schema(xpElement& root) {
    xsSchema schema;
    root.buildSchema(schema, &schema.globals(), "");
    return schema.toString();
}
