#pragma once

#include <string>
#include <vector>

#include "kestrel/document/kestrelLoadDocument.h"

// The loads of a document written by `kestrel example`.
List<hostLoad> hostExampleLoads();

// Validates XML text against an XML Schema text with libxml2. Problems are returned with their
// line, at most `maxErrors` of them and then one saying how many more were found; the text is
// read without network access, DTD loading or entity substitution, and a DOCTYPE makes it
// unreadable, as it does for the library.
struct hostValidation {
    bool readable = false;
    std::vector<xpReportedError> errors;
};
hostValidation hostValidate(const std::string& xml, const std::string& schema,
                            std::size_t maxErrors = xpDocument::kDefaultMaxErrors);
