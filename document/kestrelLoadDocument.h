#pragma once

#include <functional>
#include <string>
#include <typeindex>
#include <unordered_map>
#include <utility>
#include <vector>

#include "kestrel/components/exchange/xpDocument.h"
#include "kestrel/components/framework/List.h"
#include "kestrel/components/framework/kestrelApi.h"
#include "kestrel/document/kestrelLoad.h"
#include "kestrel/elements/kestrelRegistration.h"
#include "kestrel/exchange/xpProtoDeclarations.h"

class xpSequence;

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
    // Hands each load to `each` as soon as it is read rather than keeping it in m_loads, so that
    // a read holds one load at a time; an empty function keeps the loads again.
    void setEach(std::function<void(hostLoad&&)> each);
    // Hands each load element's record to `each` as the element ends, before its load, instead of
    // keeping it in m_records; an empty function keeps them again.
    void setEachRecord(std::function<void(hostLoadRecord&&)> each) { m_eachRecord = std::move(each); }
    void record(hostLoadRecord&& record);
    List<hostLoad> m_loads;
    // One record per "load" element of the document read last, in document order.
    std::vector<hostLoadRecord> m_records;

private:
    xpSequence* m_sequence = nullptr;
    std::function<void(hostLoadRecord&&)> m_eachRecord;
};

// A current document with every load element registered, and a root element built after that.
struct hostSession {
    xpDocument document;
    xpCurrentDocument current{document};
    bool registered = (kestrel::register_futures(), true);
    xhostLoads root;
};

// The element names that the current document's registries hold for footprint and intensity
// kinds, gathered once when built: naming the kind of each of many loads then costs one lookup.
// It keeps the names it gathered; later registrations and other documents do not change them.
class KESTREL_API hostKindNames {
public:
    hostKindNames();
    // The element name for the footprint's exact kind; empty for a kind no element knows.
    const std::string& footprint(const lcFootprint& footprint) const;
    // The same for an intensity function's kind.
    const std::string& intensity(const lcIntensityFunction& intensity) const;

private:
    std::unordered_map<std::type_index, std::string> m_footprints;
    std::unordered_map<std::type_index, std::string> m_intensities;
};

// The element name registered with the current document for a footprint's kind; empty for a
// kind no element knows.
KESTREL_API std::string hostFootprintName(const lcFootprint& footprint);
// The same for an intensity function's kind.
KESTREL_API std::string hostIntensityName(const lcIntensityFunction& intensity);
