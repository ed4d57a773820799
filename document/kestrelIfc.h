#pragma once

#include <cstddef>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "kestrel/components/framework/kestrelApi.h"
#include "kestrel/document/kestrelLoads.h"

namespace kestrel {

struct IfcOptions {
    // Names the project, the analysis model and the load case, and keys every GlobalId: the same
    // name and loads give the same file, byte for byte.
    std::string name = "loads";
    // Distance in metres between the positions a varying load is sampled at; 0 or less takes a
    // twentieth of the footprint's longer side.
    double step = 0.0;
    // The header's time stamp; empty by default, since a clock would make every export differ.
    std::string timeStamp;
};

// A load left out of the file, and why IFC cannot carry it.
struct IfcSkipped {
    // The load's position in the list, from 0, and its name.
    std::size_t index = 0;
    std::string load;
    std::string reason;
};

struct IfcResult {
    // Actions written, one per load carried.
    std::size_t actions = 0;
    std::vector<IfcSkipped> skipped;
    bool complete() const { return skipped.empty(); }
};

// Writes the loads as an IFC 4.3 (IFC4X3_ADD2) structural analysis model, a STEP text: one
// action per load in one load case, with its footprint as topology and the values `evaluate`
// gives, a pressure's limit function applied. Each load IFC cannot carry (no footprint, a box,
// a quantity without an IFC form on its footprint, a script failing at a sampled position, a
// footprint with coordinates that are not finite) is left out and listed in the result;
// everything else is written. Throws what the stream throws.
KESTREL_API IfcResult writeIfc(const std::vector<Load>& loads, std::ostream& out, const IfcOptions& options = {});

// The same file written one load at a time, so that a caller can drop each load once it is
// written (a script function's engine state goes with it): the header and project on
// construction, an action per add(), the load case's group and the end on finish().
class KESTREL_API IfcWriter {
public:
    IfcWriter(std::ostream& out, const IfcOptions& options = {});
    ~IfcWriter();
    IfcWriter(const IfcWriter&) = delete;
    IfcWriter& operator=(const IfcWriter&) = delete;
    // False, with the reason in the result, for a load IFC cannot carry.
    bool add(const Load& load);
    // Ends the file; call once, after the last load.
    IfcResult finish();

private:
    class Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace kestrel
