#include "kestrel/components/exchange/xpExchangeContext.h"

#include <algorithm>
#include <boost/container/small_vector.hpp>
#include <charconv>
#include <cstring>
#include <limits>
#include <type_traits>

#include "kestrel/components/exchange/detail/xpDroppedItems.h"
#include "kestrel/components/exchange/xml_error.h"

namespace {
// Asked once or twice per element read: the initial-exec model reads it without a call into the
// dynamic linker (eight bytes fit the static TLS room kept for libraries loaded later too).
#if defined(__GNUC__) && !defined(_WIN32)
[[gnu::tls_model("initial-exec")]]
#endif
thread_local xpExchangeContext* t_active = nullptr;
thread_local const xpDroppedItems* t_dropped = nullptr;

int ordinalFromDom(pugi::xml_node dom) {
    int before = t_dropped ? t_dropped->before(dom) : 0;
    for (pugi::xml_node n = dom.previous_sibling(dom.name()); n; n = n.previous_sibling(dom.name())) ++before;
    if (before == 0 && !dom.next_sibling(dom.name())) return 0;
    return before + 1;
}
}  // namespace

void xpSetDroppedItems(const xpDroppedItems* dropped) {
    t_dropped = dropped;
}

std::string xpFrame::path() const {
    // Measured first and written once: a path per load or per error is a common cost.
    struct Step {
        const char* name;
        std::size_t length;
        int ordinal;
    };
    boost::container::small_vector<Step, 16> steps;
    std::size_t size = 0;
    for (const xpFrame* f = this; f; f = f->parent) {
        const char* name = f->dom.name();
        const Step step{name, std::strlen(name), f->ordinal < 0 ? ordinalFromDom(f->dom) : f->ordinal};
        size += 1 + step.length;
        for (int n = step.ordinal; n > 0; n /= 10) ++size;
        if (step.ordinal > 0) size += 2;
        steps.push_back(step);
    }
    std::string path;
    path.reserve(size);
    for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
        path += '/';
        path.append(step->name, step->length);
        if (step->ordinal > 0) {
            char digits[16];
            const char* end = std::to_chars(digits, digits + sizeof digits, step->ordinal).ptr;
            path += '[';
            path.append(digits, std::size_t(end - digits));
            path += ']';
        }
    }
    return path;
}

int xpFrame::line() const {
    int line = 0, column = 0;
    if (context && context->places() && context->places()->find(dom, line, column)) return line;
    return context ? context->lineOf(dom.offset_debug()) : 0;
}

int xpFrame::column() const {
    int line = 0, column = 0;
    if (context && context->places() && context->places()->find(dom, line, column)) return column;
    // An element's offset is that of its name; the column is that of its "<".
    const std::ptrdiff_t offset = dom.offset_debug();
    return context ? context->columnOf(offset > 0 ? offset - 1 : offset) : 0;
}

xpExchangeContext::xpExchangeContext(std::string_view text) : m_text(text), m_previous(t_active) {
    if (!text.empty()) {
        const char* begin = text.data();
        const char* end = begin + text.size();
        auto collect = [&](auto& starts) {
            using Offset = typename std::decay_t<decltype(starts)>::value_type;
            starts.push_back(0);
            // A carriage return alone ends a line too, as the XML parser counts lines.
            if (std::memchr(begin, '\r', text.size())) {
                for (const char* at = begin; at < end; ++at)
                    if (*at == '\n' || (*at == '\r' && (at + 1 == end || at[1] != '\n')))
                        starts.push_back(Offset(at + 1 - begin));
                return;
            }
            for (const char* at = begin; (at = static_cast<const char*>(std::memchr(at, '\n', std::size_t(end - at))));)
                starts.push_back(Offset(++at - begin));
        };
        if (text.size() < std::numeric_limits<std::uint32_t>::max())
            collect(m_lineStarts);
        else
            collect(m_wideLineStarts);
    }
    t_active = this;
}

xpExchangeContext::~xpExchangeContext() {
    t_active = m_previous;
}

namespace {
// The line of this thread's last lookup. Places are mostly asked for in document order (an
// element's line, then its column; a sequence's items one line apart), so that line and the next
// are tried before a search. Only a guess: it is checked against the table every time.
#if defined(__GNUC__) && !defined(_WIN32)
[[gnu::tls_model("initial-exec")]]
#endif
thread_local std::size_t t_lastLine = 0;

template <class Starts, class Offset>
int lineIn(const Starts& starts, Offset offset) {
    const std::size_t n = starts.size();
    for (std::size_t k : {t_lastLine, t_lastLine + 1})
        if (k >= 1 && k <= n && starts[k - 1] <= offset && (k == n || offset < starts[k])) {
            t_lastLine = k;
            return int(k);
        }
    t_lastLine = std::size_t(std::upper_bound(starts.begin(), starts.end(), offset) - starts.begin());
    return int(t_lastLine);
}
}  // namespace

int xpExchangeContext::lineOf(std::ptrdiff_t offset) const {
    if (offset < 0) return 0;
    if (!m_wideLineStarts.empty()) return lineIn(m_wideLineStarts, std::size_t(offset));
    if (m_lineStarts.empty()) return 0;
    if (std::size_t(offset) >= std::numeric_limits<std::uint32_t>::max()) return int(m_lineStarts.size());
    return lineIn(m_lineStarts, std::uint32_t(offset));
}

std::size_t xpExchangeContext::lineStart(int line) const {
    if (line < 1) return 0;
    const std::size_t k = std::size_t(line) - 1;
    if (!m_wideLineStarts.empty()) return k < m_wideLineStarts.size() ? m_wideLineStarts[k] : 0;
    return k < m_lineStarts.size() ? m_lineStarts[k] : 0;
}

int xpExchangeContext::columnOf(std::ptrdiff_t offset) const {
    if (offset < 0 || std::size_t(offset) > m_text.size()) return 0;
    const int line = lineOf(offset);
    if (line < 1) return 0;
    const std::size_t start = lineStart(line);
    if (m_columnsInBytes) return int(std::size_t(offset) - start) + 1;
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
