#pragma once

#include <cstddef>

namespace jmf_detail {

// The engine's built-ins run to their end once started: a script cannot be interrupted inside one.
// They take long only over large blocks (a string flattened from a rope of a gigabyte, an array of
// millions of elements), so refusing the engine any block beyond a script's cap bounds their time
// as it bounds its memory. The engine takes a refused block as a shortage of memory and fails the
// script cleanly.

// Routes the engine library's allocations through the guard, once per process. False where that
// cannot be done (not an ELF platform, the library not found); blocks are then not limited.
bool guardEngineAllocations();

// The largest block the engine may take at once on the calling thread is read from `limit`, which
// the thread's engine sets around each call (kNoBlockLimit outside them), so that a call costs no
// access to thread-local storage; null lifts the limit, as on threads without an engine.
inline constexpr std::size_t kNoBlockLimit = ~std::size_t(0);
void setEngineBlockLimit(const std::size_t* limit) noexcept;

}  // namespace jmf_detail
