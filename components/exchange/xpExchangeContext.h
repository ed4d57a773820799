#pragma once

#include <pugixml.hpp>

#include <cstddef>
#include <string>
#include <vector>

#include "kestrel/components/exchange/xpForward.h"

struct xpStreamedItems;

// One error as reported to the caller of a read or write.
struct xpReportedError {
    int line = 0;
    std::string path;
    std::string message;
    // 1-based column (in characters) where it is known, else 0.
    int column = 0;
};

// One element being read or written: its DOM element and its place among same-named siblings.
// Frames live on the stack of the walk; a path is formed only when an error asks for it.
struct xpFrame {
    const xpFrame* parent = nullptr;
    xpExchangeContext* context = nullptr;
    pugi::xml_node dom;
    // 1-based ordinal among same-named siblings, 0 when the element has no same-named sibling.
    int ordinal = 0;

    std::string path() const;
    int line() const;
    // 1-based column of the element's "<", in characters; 0 where unknown.
    int column() const;
};

// Where the elements of a document read from text stand (its parts, built element by element):
// their line and column, found by DOM element.
class xpPlaces {
public:
    virtual ~xpPlaces() = default;
    // False for an element it does not know.
    virtual bool find(pugi::xml_node dom, int& line, int& column) const = 0;
    // The items of the sequence element `dom` read before it, if they were.
    virtual xpStreamedItems* streamed(pugi::xml_node) const { return nullptr; }
};

// State of one read or write: where its elements stand and every error recorded.
class xpExchangeContext {
public:
    xpExchangeContext();
    ~xpExchangeContext();
    xpExchangeContext(const xpExchangeContext&) = delete;
    xpExchangeContext& operator=(const xpExchangeContext&) = delete;

    // Elements are placed by it; not owned, null for none (a host's tree: lines unknown, 0).
    void setPlaces(const xpPlaces* places) { m_places = places; }
    const xpPlaces* places() const { return m_places; }
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
    const xpPlaces* m_places = nullptr;
    xpExchangeContext* m_previous;
};
