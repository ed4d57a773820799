#include "kestrel/components/exchange/xpExchangeContext.h"

#include <algorithm>

#include "kestrel/components/exchange/xml_error.h"

namespace {
thread_local xpExchangeContext* t_active = nullptr;

int ordinalFromDom(pugi::xml_node dom) {
    int before = 0;
    for (pugi::xml_node n = dom.previous_sibling(dom.name()); n; n = n.previous_sibling(dom.name())) ++before;
    if (before == 0 && !dom.next_sibling(dom.name())) return 0;
    return before + 1;
}
}  // namespace

std::string xpFrame::path() const {
    std::string head = parent ? parent->path() : std::string();
    head += '/';
    head += dom.name();
    int n = ordinal < 0 ? ordinalFromDom(dom) : ordinal;
    if (n > 0) head += "[" + std::to_string(n) + "]";
    return head;
}

int xpFrame::line() const {
    return context ? context->lineOf(dom.offset_debug()) : 0;
}

int xpFrame::column() const {
    // An element's offset is that of its name; the column is that of its "<".
    const std::ptrdiff_t offset = dom.offset_debug();
    return context ? context->columnOf(offset > 0 ? offset - 1 : offset) : 0;
}

xpExchangeContext::xpExchangeContext(std::string_view text) : m_text(text), m_previous(t_active) {
    if (!text.empty()) {
        m_lineStarts.push_back(0);
        for (std::size_t i = 0; i < text.size(); ++i)
            if (text[i] == '\n') m_lineStarts.push_back(i + 1);
    }
    t_active = this;
}

xpExchangeContext::~xpExchangeContext() {
    t_active = m_previous;
}

int xpExchangeContext::lineOf(std::ptrdiff_t offset) const {
    if (offset < 0 || m_lineStarts.empty()) return 0;
    auto it = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), std::size_t(offset));
    return int(it - m_lineStarts.begin());
}

int xpExchangeContext::columnOf(std::ptrdiff_t offset) const {
    if (offset < 0 || std::size_t(offset) > m_text.size() || m_lineStarts.empty()) return 0;
    const std::size_t start = m_lineStarts[std::size_t(lineOf(offset)) - 1];
    int column = 1;
    for (std::size_t i = start; i < std::size_t(offset); ++i)
        if ((static_cast<unsigned char>(m_text[i]) & 0xc0) != 0x80) ++column;
    return column;
}

void xpExchangeContext::report(const xml_error& error) {
    if (error.fatal()) ++m_fatal;
    if (full()) {
        ++m_unlisted;
        return;
    }
    m_errors.push_back({error.line(), error.path(), error.message(), error.column()});
}

std::vector<xpReportedError> xpExchangeContext::takeErrors() {
    std::vector<xpReportedError> errors = std::move(m_errors);
    m_errors.clear();
    if (m_unlisted > 0)
        errors.push_back({0,
                          {},
                          std::to_string(m_unlisted) + " more error" + (m_unlisted == 1 ? "" : "s") +
                              " found and not listed (error limit " + std::to_string(m_limit) + ")"});
    return errors;
}

xpExchangeContext* xpExchangeContext::active() {
    return t_active;
}

std::size_t xpExchangeContext::errorCount() {
    return t_active ? t_active->m_fatal : 0;
}
