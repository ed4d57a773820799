#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "kestrel/components/framework/bosStrategyInterface.h"

// The bounds a script runs within.
struct jmfScriptLimits {
    // Wall time of one call, and of running the script's top level once when it is compiled.
    std::chrono::milliseconds timeBudget{100};
    // The engine's heap, its built-ins included.
    std::size_t heapBytes = std::size_t(16) << 20;
};

namespace jmf_detail {
struct jmfScriptEngine;
}

// A user's script function: its source text, run in a sandboxed script engine of its own that
// starts on the first call. Making one only checks the text, in an engine dropped at once (a
// thread that checked the same text under the same limits before reuses the verdict): reading a
// document keeps no engines. The script defines `function intensity(...)`; it sees nothing but
// the language's built-ins, each call runs within a time budget and the engine's heap within a
// memory cap. Allocated through the program's storage strategy, like the model objects that hold
// it. One thread at a time may use a function object; separate objects share nothing.
class jmfFunctionObject : public bosObject {
public:
    // Checks `text` at once under defaultLimits(): compiles it and runs its top level apart from any
    // other script. A text that fails is kept all the same; compileError() tells why. Never throws
    // for what the text holds.
    explicit jmfFunctionObject(const std::string& text);
    // The same text and limits, checked afresh, with an engine of its own: no state is shared.
    jmfFunctionObject(const jmfFunctionObject& other);
    jmfFunctionObject& operator=(const jmfFunctionObject& other);
    ~jmfFunctionObject() override;

    // The source text, as given.
    const std::string& toString() const { return m_text; }
    // Empty when the text compiled and defines a function `intensity`; else why not, with the
    // script's line and column for syntax errors.
    const std::string& compileError() const { return m_compileError; }

    // Calls intensity(arguments...) and sets `values` to what it returned: a number when
    // `components` is 1, an array of `components` numbers otherwise, every one finite. False,
    // with error() telling why and `values` empty, when the script did not compile, threw, ran
    // out of time or memory, or returned anything else. The first call starts the engine and runs
    // the top level in it again.
    bool call(std::span<const double> arguments, std::size_t components, std::vector<double>& values) const;
    // Why the last call failed; empty after one that succeeded.
    const std::string& error() const { return m_error; }

    const jmfScriptLimits& limits() const { return m_limits; }
    // Applies from the next call on; a smaller heap cap makes only new allocations fail.
    void setLimits(const jmfScriptLimits& limits);
    // The limits new function objects get (the defaults of jmfScriptLimits unless set).
    static jmfScriptLimits defaultLimits();
    static void setDefaultLimits(const jmfScriptLimits& limits);

    // Bytes the engine's heap holds now, starting it if no call has; 0 when it does not start.
    std::size_t engineBytes() const;

private:
    // Makes the engine on first use; false when there is none.
    bool start() const;

    std::string m_text;
    jmfScriptLimits m_limits;
    std::string m_compileError;
    mutable std::string m_error;
    // Why the engine did not start, when the top level fails on a second run (it may, say, use
    // the time or random numbers).
    mutable std::string m_startError;
    mutable bool m_started = false;
    mutable std::unique_ptr<jmf_detail::jmfScriptEngine> m_engine;
};
