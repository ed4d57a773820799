#include "kestrel/components/exchange/xpExchangeContext.h"

#include <atomic>
#include <boost/container/small_vector.hpp>
#include <charconv>
#include <cstring>

#include "kestrel/components/exchange/detail/xpDroppedItems.h"
#include "kestrel/components/exchange/xml_error.h"
#include "kestrel/components/exchange/xpRecord.h"

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
        const std::string_view name = f->record ? f->record->nameView() : std::string_view(f->dom.name());
        const Step step{name.data(), name.size(), f->ordinal < 0 ? ordinalFromDom(f->dom) : f->ordinal};
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
    return record ? record->line : 0;
}

int xpFrame::column() const {
    return record ? record->column : 0;
}

namespace {
std::atomic<std::uint64_t> g_exchanges{0};
}  // namespace

xpExchangeContext::xpExchangeContext()
    : m_serial(g_exchanges.fetch_add(1, std::memory_order_relaxed) + 1), m_previous(t_active) {
    t_active = this;
}

xpExchangeContext::~xpExchangeContext() {
    t_active = m_previous;
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
