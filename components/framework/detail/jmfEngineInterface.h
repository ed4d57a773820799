#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "kestrel/components/framework/jmfFunctionObject.h"

namespace jmf_detail {

// What the script engine module gives the library. The library loads the module, and with it the
// engine, when the first script is made: a process that reads no script never pays for the engine.
// A realm is the module's own handle, made and let go only through these calls.
struct jmfEngineInterface {
    // Why `text` would not give a function under `limits`; empty when it would.
    std::string (*check)(const std::string& text, const jmfScriptLimits& limits);
    // A realm in the calling thread's engine that has run the script's top level; null, with
    // `error` telling why, when there is none.
    void* (*start)(const std::string& text, const jmfScriptLimits& limits, std::string& error);
    // Whether `realm` lives in the calling thread's engine.
    bool (*local)(const void* realm);
    // Lets `realm` go, from any thread.
    void (*drop)(void* realm);
    // Calls the realm's `intensity`; false, with `error` telling why, when it gives no value.
    bool (*call)(void* realm, std::span<const double> arguments, std::size_t components, const jmfScriptLimits& limits,
                 std::vector<double>& values, std::string& error);
    // What the realm holds in the engine's heap.
    std::size_t (*heapBytes)(const void* realm);
};

// The module's one exported function.
inline constexpr const char* kEngineEntry = "kestrel_script_engine";
using jmfEngineEntry = const jmfEngineInterface* (*)();

}  // namespace jmf_detail
