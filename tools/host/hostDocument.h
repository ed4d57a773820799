#pragma once

#include <string>
#include <vector>

#include "components/exchange/xpDocument.h"
#include "elements/kestrelRegistration.h"
#include "exchange/xpProtoDeclarations.h"
#include "model/List.h"
#include "tools/host/hostLoad.h"

// The root element "loads": the host document's loads, in document order.
class xhostLoads : public xpElement {
public:
    xhostLoads();
    List<hostLoad> m_loads;
};

// A current document with every load element registered, and a root element built after that.
struct hostSession {
    xpDocument document;
    xpCurrentDocument current{document};
    bool registered = (kestrel::register_futures(), true);
    xhostLoads root;
};

// The element name registered with the current document for a footprint's kind; empty for a
// kind no element knows.
std::string hostFootprintName(const lcFootprint& footprint);
// The same for an intensity function's kind.
std::string hostIntensityName(const lcIntensityFunction& intensity);

// The loads of a document written by `kestrel example`.
List<hostLoad> hostExampleLoads();

// Validates XML text against an XML Schema text with libxml2. Problems are returned with their
// line; the text is read without network access, DTD loading or entity substitution.
struct hostValidation {
    bool readable = false;
    std::vector<xpReportedError> errors;
};
hostValidation hostValidate(const std::string& xml, const std::string& schema);
