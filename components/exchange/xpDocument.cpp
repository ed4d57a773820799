#include "kestrel/components/exchange/xpDocument.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "kestrel/components/exchange/xpElement.h"
#include "kestrel/components/exchange/xpSourceText.h"
#include "kestrel/components/schema/xsSchema.h"

xpDocument* xpDocument::m_current = nullptr;

xpFutureElementsBase::~xpFutureElementsBase() = default;

xpFutureElementsCollection::xpFutureElementsCollection() = default;
xpFutureElementsCollection::~xpFutureElementsCollection() = default;

std::unique_ptr<xpFutureElementsBase>& xpFutureElementsCollection::slot(const std::string& key) {
    return m_slots[key];
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
xpReadResult refused(std::string_view text, std::size_t offset, std::string message) {
    xpReadResult result;
    xpReportedError error;
    xpLineAndColumn(text, offset, error.line, result.column);
    error.column = result.column;
    error.message = std::move(message);
    result.errors.push_back(std::move(error));
    return result;
}
}  // namespace

xpReadResult xpDocument::read(xpElement& root, std::string_view bytes) {
    std::string converted;
    std::string_view text;
    if (xpTextProblem problem = xpDecodeSource(bytes, converted, text))
        return refused(text, problem.offset, problem.message);
    pugi::xml_document dom;
    // DOCTYPE nodes are parsed only to be refused: no DTD is read and no entity expanded.
    pugi::xml_parse_result parsed =
        dom.load_buffer(text.data(), text.size(), pugi::parse_default | pugi::parse_doctype, pugi::encoding_utf8);
    if (!parsed) return refused(text, std::size_t(parsed.offset), parsed.description());
    for (pugi::xml_node node = dom.first_child(); node; node = node.next_sibling())
        if (node.type() == pugi::node_doctype)
            return refused(text, std::size_t(node.offset_debug()), "document type declarations are not accepted");
    if (xpTextProblem problem = xpCheckStructure(text)) return refused(text, problem.offset, problem.message);
    pugi::xml_node top = dom.document_element();
    if (root.getElementName() != top.name())
        return refused(
            text, std::size_t(top.offset_debug()),
            "root element is \"" + std::string(top.name()) + "\", expected \"" + root.getElementName() + "\"");
    xpReadResult result;
    result.wellFormed = true;
    xpExchangeContext context(text);
    context.setErrorLimit(m_maxErrors);
    root.importFrom(xpFrame{nullptr, &context, top, 0});
    result.unlisted = context.unlisted();
    result.errors = context.takeErrors();
    // Report in document order; errors of one line keep the order they were found in.
    std::stable_sort(result.errors.begin(), result.errors.end() - (result.unlisted > 0),
                     [](const xpReportedError& a, const xpReportedError& b) { return a.line < b.line; });
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
    pugi::xml_document dom;
    pugi::xml_node declaration = dom.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    xpExchangeContext context;
    context.setErrorLimit(m_maxErrors);
    pugi::xml_node top = dom.append_child(root.getElementName().c_str());
    root.export_dom(top);
    std::ostringstream out;
    dom.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
    text = out.str();
    return context.takeErrors();
}

std::string xpDocument::schema(xpElement& root) {
    xsSchema schema;
    root.buildSchema(schema, &schema.globals(), "");
    return schema.toString();
}
