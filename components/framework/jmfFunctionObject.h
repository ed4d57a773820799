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
    // How far one call (or the top level) may grow the heap: the garbage-collected heap of the
    // calling thread's engine, and the process's allocated memory as a watchdog samples it.
    std::size_t heapBytes = std::size_t(16) << 20;
};

namespace jmf_detail {
struct jmfScriptRealm;
}

// A user's script function: its source text, run in a sandboxed global object (realm) of its own
// that is made on the first call, in the calling thread's script engine. Making one only checks
// the text, in a realm dropped at once (a thread that checked the same text under the same limits
// before reuses the verdict): reading a document keeps no realms. The script defines `intensity`
// (a function declaration, or a `const`, `let` or `var` binding to a function); it sees nothing
// but the language's built-ins, each call ends within its time budget and the heap it grows stays
// within a memory cap. Allocated through the program's storage strategy, like the model objects
// that hold it. One thread at a time may use a function object; separate objects share nothing.
// A function called from a thread other than the one that made its realm starts afresh there.
class jmfFunctionObject : public bosObject {
public:
    // Checks `text` at once under defaultLimits(): compiles it and runs its top level apart from any
    // other script. A text that fails is kept all the same; compileError() tells why. Never throws
    // for what the text holds.
    explicit jmfFunctionObject(const std::string& text);
    // The same text and limits, checked afresh, with a realm of its own: no state is shared.
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
    // out of time or memory, or returned anything else. The first call makes the realm and runs
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

    // Bytes the garbage-collected heap of the function's realm holds now, making the realm if no
    // call has; 0 when it does not start.
    std::size_t engineBytes() const;

private:
    // Makes the realm on first use in this thread; false when there is none.
    bool start() const;

    std::string m_text;
    jmfScriptLimits m_limits;
    std::string m_compileError;
    mutable std::string m_error;
    // Why the realm did not start, when the top level fails on a second run (it may, say, use
    // the time or random numbers).
    mutable std::string m_startError;
    mutable bool m_started = false;
    mutable std::unique_ptr<jmf_detail::jmfScriptRealm> m_realm;
};
