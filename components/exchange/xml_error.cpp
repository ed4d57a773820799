#include "kestrel/components/exchange/xml_error.h"

#include "kestrel/components/exchange/xpExchangeContext.h"
#include "kestrel/components/exchange/xpNode.h"
#include "kestrel/components/exchange/xpSourceText.h"

namespace {
// Long enough for any message the library forms; document texts quoted in it are cut.
constexpr std::size_t kMaxMessage = 400;
}  // namespace

xml_error::xml_error(const xpNode* node)
    : m_node(node),
      m_path(node ? node->getElementPath() : std::string()),
      m_line(node ? node->getLine() : 0),
      m_column(node ? node->getColumn() : 0) {}

xml_error::xml_error(const xpNode* node, std::string path, int line, int column)
    : m_node(node), m_path(std::move(path)), m_line(line), m_column(column) {}

void xml_error::error(std::string& text) const {
    text = m_text;
}

void xml_error::truncate(std::size_t maxLength) {
    if (m_text.size() > maxLength) {
        m_text.resize(xpUtf8Cut(m_text, maxLength));
        m_text += "...";
    }
}

std::string xml_error::message() const {
    std::string text;
    error(text);
    return text;
}

xml_internal_conversion_error::xml_internal_conversion_error(const xpNode* node, const std::string& ownerTypeName)
    : xml_error(node) {
    m_text = "No owner of type " + ownerTypeName + " above this node";
}

xml_invalid_conversion::xml_invalid_conversion(const xpNode* node, const std::string& valueText,
                                               const std::string& typeName)
    : xml_error(node) {
    m_text = "Unable to convert from " + valueText + " to " + typeName;
}

xml_error_message::xml_error_message(const xpNode* node, const std::string& text) : xml_error(node) {
    m_text = text;
}

xml_error_message::xml_error_message(const xpNode* node, const std::string& text, std::string path, int line,
                                     int column)
    : xml_error(node, std::move(path), line, column) {
    m_text = text;
}

xml_schema_validation_error::xml_schema_validation_error(const xpNode* node, const std::string& text)
    : xml_error(node) {
    m_text = text;
}

xpErrorMap& xpErrorMap::operator<<(const xml_error& error) {
    auto copy = error.clone();
    copy->truncate(kMaxMessage);
    xpExchangeContext* context = xpExchangeContext::active();
    const std::uint64_t exchange = context ? context->serial() : 0;
    if (exchange != m_exchange) {
        m_errors.clear();
        m_exchange = exchange;
    }
    // Past the error limit a node keeps no copy either, so that memory stays bounded.
    const bool kept = !context || !context->full();
    if (context) context->report(*copy);
    if (kept) m_errors.push_back(std::move(copy));
    return *this;
}
