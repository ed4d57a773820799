#pragma once

#include <string>
#include <vector>

#include "kestrel/components/exchange/xpDocument.h"
#include "kestrel/components/framework/List.h"
#include "kestrel/components/framework/kestrelApi.h"
#include "kestrel/document/kestrelLoad.h"
#include "kestrel/elements/kestrelRegistration.h"
#include "kestrel/exchange/xpProtoDeclarations.h"

// What became of one "load" element of a document: its name as far as it was read, where it
// stands, and whether it was read (a load that was not is missing from the loads read).
struct hostLoadRecord {
    std::string name;
    std::string path;
    int line = 0;
    bool read = false;
};

// The root element "loads": the document's loads, in document order.
class KESTREL_API xhostLoads : public xpElement {
public:
    xhostLoads();
    void import_begin() override { m_records.clear(); }
    List<hostLoad> m_loads;
    // One record per "load" element of the document read last, in document order.
    std::vector<hostLoadRecord> m_records;
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
KESTREL_API std::string hostFootprintName(const lcFootprint& footprint);
// The same for an intensity function's kind.
KESTREL_API std::string hostIntensityName(const lcIntensityFunction& intensity);
