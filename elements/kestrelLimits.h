#pragma once

#include <cstddef>

#include "kestrel/components/framework/kestrelApi.h"

namespace kestrel {

// Reading a grid allocates one pressure per node, nx * ny * nz, from a text that lists only the
// axes: 500 values per axis in 33 KB of text make 125 million nodes. The grids of one document
// read may hold this many nodes together (about 240 MB of node values); a grid that would take
// them over is refused with an error and not built.
inline constexpr std::size_t kDefaultMaxGridNodes = 10'000'000;

// The limit on the grid nodes of one document read, for every document read after the call on
// this process; kDefaultMaxGridNodes until set.
KESTREL_API std::size_t maxGridNodes();
KESTREL_API void setMaxGridNodes(std::size_t nodes);
// The limit for the reads of the calling thread alone, over the process's; 0 lifts it. Reads on
// other threads are not affected (ReadOptions::maxGridNodes sets it for one read). Returns the
// thread's previous setting.
KESTREL_API std::size_t setThreadMaxGridNodes(std::size_t nodes);

}  // namespace kestrel
