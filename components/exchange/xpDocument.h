#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "kestrel/components/exchange/xpExchangeContext.h"
#include "kestrel/components/exchange/xpFutureElementsCollection.h"

class xpElement;

// Outcome of reading a document.
struct xpReadResult {
    // False when the text was no well-formed XML (invalid bytes for its encoding, a second root
    // element, an undefined entity), carried a DOCTYPE, or had another root element; `errors`
    // then holds that one problem with its line (and `column`).
    bool wellFormed = false;
    int column = 0;
    // Past the error limit errors are only counted: the last entry of `errors` then says how many
    // more were found, and `unlisted` holds that number.
    std::vector<xpReportedError> errors;
    std::size_t unlisted = 0;
    bool ok() const { return wellFormed && errors.empty(); }
};

// An exchange document: the registries of its element prototypes, and reading and writing a
// root element from and to text and files.
class xpDocument {
public:
    // The document that element construction and registration work against, one per thread, so
    // that documents read on two threads at once each build against their own registries.
    static thread_local xpDocument* m_current;

    xpDocument();
    ~xpDocument();
    xpDocument(const xpDocument&) = delete;
    xpDocument& operator=(const xpDocument&) = delete;

    xpFutureElementsCollection& futureElements() { return m_futures; }

    // Errors one read or write records at most; the rest are counted. Like a compiler's error
    // limit, it bounds the memory and output a hostile document can cause.
    static constexpr std::size_t kDefaultMaxErrors = 1000;
    void setMaxErrors(std::size_t limit) { m_maxErrors = limit; }
    std::size_t maxErrors() const { return m_maxErrors; }

    // Reads `root` from XML text in its declared encoding (UTF-8 by default, UTF-16 by its
    // byte-order mark or first bytes), parsing it once where it lies. No DTD is read and no entity
    // is expanded: a DOCTYPE is refused, and so is a reference to any entity but the five
    // predefined ones.
    xpReadResult read(xpElement& root, std::string_view text);
    // Reads `root` from a stream in one pass, holding the items of a root whose first node is a
    // sequence of items one at a time rather than the document: the same loads, errors and
    // refusals as reading its text, which runs the same reader.
    xpReadResult readStream(xpElement& root, std::istream& in);
    // Reads `root` from the element `top` of a DOM the caller holds (lines unknown, 0).
    xpReadResult readTree(xpElement& root, pugi::xml_node top);
    // Reads `root` from a file as a stream; an unreadable file is reported like malformed text.
    xpReadResult readFile(xpElement& root, const std::string& path);
    // Writes `root` as an XML document; errors recorded while writing are returned.
    std::vector<xpReportedError> write(xpElement& root, std::string& text);
    // Writes `root` to a stream, the same text as write() gives: the items of a root whose first
    // node is a sequence of items go out one at a time, each built and dropped, so that the whole
    // document is never held. What was written before an error stays in the stream.
    std::vector<xpReportedError> write(xpElement& root, std::ostream& out);
    // The XML Schema of documents whose root is `root`.
    static std::string schema(xpElement& root);

private:
    xpFutureElementsCollection m_futures;
    std::size_t m_maxErrors = kDefaultMaxErrors;
};

// Makes a document current for the lifetime of the scope, restoring the previous one after.
class xpCurrentDocument {
public:
    explicit xpCurrentDocument(xpDocument& document) : m_previous(xpDocument::m_current) {
        xpDocument::m_current = &document;
    }
    ~xpCurrentDocument() { xpDocument::m_current = m_previous; }
    xpCurrentDocument(const xpCurrentDocument&) = delete;
    xpCurrentDocument& operator=(const xpCurrentDocument&) = delete;

private:
    xpDocument* m_previous;
};
