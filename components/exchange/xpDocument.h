#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "components/exchange/xpExchangeContext.h"
#include "components/exchange/xpFutureElementsCollection.h"

class xpElement;

// Outcome of reading a document.
struct xpReadResult {
    // False when the text was no well-formed XML, carried a DOCTYPE, or had another root element;
    // `errors` then holds that one problem with its line (and `column`).
    bool wellFormed = false;
    int column = 0;
    std::vector<xpReportedError> errors;
    bool ok() const { return wellFormed && errors.empty(); }
};

// An exchange document: the registries of its element prototypes, and reading and writing a
// root element from and to text and files.
class xpDocument {
public:
    // The document that element construction and registration work against.
    static xpDocument* m_current;

    xpDocument();
    ~xpDocument();
    xpDocument(const xpDocument&) = delete;
    xpDocument& operator=(const xpDocument&) = delete;

    xpFutureElementsCollection& futureElements() { return m_futures; }

    // Reads `root` from XML text. No DTD is read and no entity is expanded: a DOCTYPE is refused.
    xpReadResult read(xpElement& root, std::string_view text);
    // Reads `root` from a file; an unreadable file is reported like malformed text.
    xpReadResult readFile(xpElement& root, const std::string& path);
    // Writes `root` as an XML document; errors recorded while writing are returned.
    std::vector<xpReportedError> write(xpElement& root, std::string& text);
    // The XML Schema of documents whose root is `root`.
    static std::string schema(xpElement& root);

private:
    xpFutureElementsCollection m_futures;
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
