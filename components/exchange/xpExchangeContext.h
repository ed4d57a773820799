#pragma once

#include <pugixml.hpp>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "kestrel/components/exchange/xpForward.h"

// One error as reported to the caller of a read or write.
struct xpReportedError {
    int line = 0;
    std::string path;
    std::string message;
    // 1-based column (in characters) where it is known, else 0.
    int column = 0;
};

// One element being read or written: the element and its place among same-named siblings.
// Frames live on the stack of the walk; a path is formed only when an error asks for it.
struct xpFrame {
    const xpFrame* parent = nullptr;
    xpExchangeContext* context = nullptr;
    // The element written; none in a frame of a read.
    pugi::xml_node dom;
    // 1-based ordinal among same-named siblings, 0 when the element has no same-named sibling.
    int ordinal = 0;
    // The element read; null in a frame of a write.
    const xpRecord* record = nullptr;

    static xpFrame reading(const xpFrame* parent, xpExchangeContext* context, const xpRecord& record, int ordinal) {
        return xpFrame{parent, context, {}, ordinal, &record};
    }

    std::string path() const;
    int line() const;
    // 1-based column of the element's "<", in characters; 0 where unknown.
    int column() const;
};

// State of one read or write: where its elements stand and every error recorded.
class xpExchangeContext {
public:
    xpExchangeContext();
    ~xpExchangeContext();
    xpExchangeContext(const xpExchangeContext&) = delete;
    xpExchangeContext& operator=(const xpExchangeContext&) = delete;

    const std::vector<xpReportedError>& errors() const { return m_errors; }
    // Records an error; past the error limit it is only counted.
    void report(const xml_error& error);
    // At most `limit` errors are recorded; the others are counted in unlisted().
    void setErrorLimit(std::size_t limit) { m_limit = limit; }
    std::size_t errorLimit() const { return m_limit; }
    bool full() const { return m_errors.size() >= m_limit; }
    std::size_t unlisted() const { return m_unlisted; }
    // The errors recorded, followed by one saying how many more were found when any were.
    std::vector<xpReportedError> takeErrors();
    // Grid nodes granted so far to the grids read in this exchange, which share one limit.
    std::size_t& gridNodes() { return m_gridNodes; }
    // Distinct for every exchange of the process; never 0.
    std::uint64_t serial() const { return m_serial; }

    // The context of the exchange running on this thread, if any.
    static xpExchangeContext* active();
    // Errors recorded so far by the active exchange that make the element they concern unreadable;
    // 0 without one.
    static std::size_t errorCount();

private:
    std::vector<xpReportedError> m_errors;
    std::size_t m_fatal = 0;
    std::size_t m_limit = static_cast<std::size_t>(-1);
    std::size_t m_unlisted = 0;
    std::size_t m_gridNodes = 0;
    std::uint64_t m_serial;
    xpExchangeContext* m_previous;
};
