#include "kestrel/components/framework/jmfFunctionObject.h"

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "duktape.h"

// The engine is C and reports errors with longjmp: every engine call that may throw runs inside
// duk_safe_call, in functions that hold no C++ object with a destructor while it runs.

namespace jmf_detail {
// One engine heap and the accounting its allocator and timeout check read.
struct jmfScriptEngine {
    std::size_t used = 0;
    std::size_t cap = 0;
    // Set when the allocator refused a block, so that a failure can be told as the memory cap's.
    bool refused = false;
    bool running = false;
    std::chrono::steady_clock::time_point deadline;
    duk_context* ctx = nullptr;
    // The script's `intensity`, kept reachable from the heap stash.
    void* function = nullptr;

    jmfScriptEngine() = default;
    jmfScriptEngine(const jmfScriptEngine&) = delete;
    jmfScriptEngine& operator=(const jmfScriptEngine&) = delete;
    ~jmfScriptEngine() {
        if (ctx) duk_destroy_heap(ctx);
    }
};
}  // namespace jmf_detail

using jmf_detail::jmfScriptEngine;

extern "C" int jmfScriptTimedOut(void* heap) {
    const auto* engine = static_cast<const jmfScriptEngine*>(heap);
    return engine->running && std::chrono::steady_clock::now() >= engine->deadline;
}

namespace {

// Each block carries its size in front, so that the heap's use is known on every free.
constexpr std::size_t kHeader = alignof(std::max_align_t);

std::size_t& blockSize(void* user) {
    return *reinterpret_cast<std::size_t*>(static_cast<char*>(user) - kHeader);
}

void* engineAlloc(void* udata, duk_size_t size) {
    auto* engine = static_cast<jmfScriptEngine*>(udata);
    if (size == 0) return nullptr;
    if (size > engine->cap - engine->used) {
        engine->refused = true;
        return nullptr;
    }
    char* block = static_cast<char*>(std::malloc(size + kHeader));
    if (!block) return nullptr;
    engine->used += size;
    *reinterpret_cast<std::size_t*>(block) = size;
    return block + kHeader;
}

void engineFree(void* udata, void* user) {
    if (!user) return;
    static_cast<jmfScriptEngine*>(udata)->used -= blockSize(user);
    std::free(static_cast<char*>(user) - kHeader);
}

void* engineRealloc(void* udata, void* user, duk_size_t size) {
    if (!user) return engineAlloc(udata, size);
    if (size == 0) {
        engineFree(udata, user);
        return nullptr;
    }
    auto* engine = static_cast<jmfScriptEngine*>(udata);
    const std::size_t old = blockSize(user);
    if (size > old && size - old > engine->cap - engine->used) {
        engine->refused = true;
        return nullptr;
    }
    char* block = static_cast<char*>(std::realloc(static_cast<char*>(user) - kHeader, size + kHeader));
    if (!block) return nullptr;
    engine->used = engine->used - old + size;
    *reinterpret_cast<std::size_t*>(block) = size;
    return block + kHeader;
}

// Only reached when the engine fails outside a protected call, which this file never lets happen.
[[noreturn]] void engineFatal(void*, const char* message) {
    std::fprintf(stderr, "script engine: fatal error: %s\n", message ? message : "");
    std::abort();
}

// Names the engine adds to the global object beyond the language's built-ins.
constexpr const char* kHostNames[] = {"Duktape", "CBOR",  "TextEncoder", "TextDecoder", "performance",
                                      "Buffer",  "print", "alert",       "require"};

duk_ret_t removeHostNames(duk_context* ctx, void*) {
    duk_push_global_object(ctx);
    for (const char* name : kHostNames) duk_del_prop_string(ctx, -1, name);
    duk_pop(ctx);
    return 0;
}

struct CompileFrame {
    const char* text;
    std::size_t length;
    void* function;
};

// Compiles and runs the program, then keeps its `intensity`; leaves it, or undefined, on the stack.
duk_ret_t compileUnsafe(duk_context* ctx, void* udata) {
    auto* frame = static_cast<CompileFrame*>(udata);
    duk_push_lstring(ctx, frame->text, frame->length);
    duk_push_string(ctx, "script");
    duk_compile(ctx, 0);
    duk_call(ctx, 0);
    duk_pop(ctx);
    duk_get_global_string(ctx, "intensity");
    if (!duk_is_function(ctx, -1)) return 1;
    duk_push_heap_stash(ctx);
    duk_dup(ctx, -2);
    duk_put_prop_string(ctx, -2, "intensity");
    duk_pop(ctx);
    frame->function = duk_get_heapptr(ctx, -1);
    return 1;
}

// The error on top of the stack as text; with its script line when `udata` is not null.
duk_ret_t describeUnsafe(duk_context* ctx, void* udata) {
    long line = 0;
    if (udata && duk_is_error(ctx, -1)) {
        duk_get_prop_string(ctx, -1, "lineNumber");
        if (duk_is_number(ctx, -1)) line = long(duk_get_number(ctx, -1));
        duk_pop(ctx);
    }
    duk_dup(ctx, -1);
    duk_safe_to_string(ctx, -1);
    if (line > 0) {
        duk_push_sprintf(ctx, " (line %ld)", line);
        duk_concat(ctx, 2);
    }
    return 1;
}

constexpr const char* kUndescribed = "the script failed";

std::string describeTop(duk_context* ctx, bool withLine) {
    std::string text = kUndescribed;
    if (duk_safe_call(ctx, describeUnsafe, withLine ? ctx : nullptr, 1, 1) == DUK_EXEC_SUCCESS) {
        duk_size_t length = 0;
        if (const char* s = duk_get_lstring(ctx, -1, &length)) text.assign(s, length);
    }
    duk_pop(ctx);
    // The text comes from the script: keep it to one readable line for terminals and reports.
    constexpr std::size_t kLongest = 300;
    if (text.size() > kLongest) {
        std::size_t cut = kLongest;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xc0) == 0x80) --cut;
        text = text.substr(0, cut) + "...";
    }
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
    return text;
}

enum class Problem { none, type, length, element, nonFinite, elementNonFinite };

struct CallFrame {
    void* function;
    const double* arguments;
    std::size_t count;
    std::size_t components;
    double* out;
    Problem problem = Problem::none;
    duk_int_t type = DUK_TYPE_NONE;
    bool array = false;
    std::size_t length = 0;
    std::size_t index = 0;
    double value = 0.0;
};

duk_ret_t callUnsafe(duk_context* ctx, void* udata) {
    auto* frame = static_cast<CallFrame*>(udata);
    duk_push_heapptr(ctx, frame->function);
    for (std::size_t i = 0; i < frame->count; ++i) duk_push_number(ctx, frame->arguments[i]);
    duk_call(ctx, duk_idx_t(frame->count));
    frame->type = duk_get_type(ctx, -1);
    frame->array = duk_is_array(ctx, -1);
    if (frame->components == 1) {
        if (!duk_is_number(ctx, -1)) {
            frame->problem = Problem::type;
        } else if (!std::isfinite(frame->value = duk_get_number(ctx, -1))) {
            frame->problem = Problem::nonFinite;
        } else {
            frame->out[0] = frame->value;
        }
        return 0;
    }
    if (!frame->array) {
        frame->problem = Problem::type;
        return 0;
    }
    frame->length = duk_get_length(ctx, -1);
    if (frame->length != frame->components) {
        frame->problem = Problem::length;
        return 0;
    }
    for (std::size_t i = 0; i < frame->length; ++i) {
        duk_get_prop_index(ctx, -1, duk_uarridx_t(i));
        frame->index = i;
        frame->type = duk_get_type(ctx, -1);
        frame->array = duk_is_array(ctx, -1);
        if (!duk_is_number(ctx, -1)) {
            frame->problem = Problem::element;
            return 0;
        }
        if (!std::isfinite(frame->value = duk_get_number(ctx, -1))) {
            frame->problem = Problem::elementNonFinite;
            return 0;
        }
        frame->out[i] = frame->value;
        duk_pop(ctx);
    }
    return 0;
}

std::string typeName(duk_int_t type, bool array) {
    switch (type) {
        case DUK_TYPE_UNDEFINED:
        case DUK_TYPE_NONE:
            return "undefined";
        case DUK_TYPE_NULL:
            return "null";
        case DUK_TYPE_BOOLEAN:
            return "a boolean";
        case DUK_TYPE_NUMBER:
            return "a number";
        case DUK_TYPE_STRING:
            return "a string";
        case DUK_TYPE_OBJECT:
            return array ? "an array" : "an object";
        default:
            return "a value of no script type";
    }
}

std::string numberText(double value) {
    if (std::isnan(value)) return "NaN";
    return value > 0 ? "Infinity" : "-Infinity";
}

std::string megabytes(std::size_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3g MiB", double(bytes) / (1 << 20));
    return text;
}

// Why the call on the engine failed, from the error on top of its stack, which it pops: a used-up
// budget is told as such, anything else as `failed` and the error.
std::string failure(jmfScriptEngine& engine, const jmfScriptLimits& limits, const std::string& subject,
                    const std::string& failed, bool withLine) {
    const bool late = std::chrono::steady_clock::now() >= engine.deadline;
    // Describing the error may run the script's own code (a toString of its own): budget it too.
    engine.deadline = std::chrono::steady_clock::now() + limits.timeBudget;
    engine.running = true;
    const std::string text = describeTop(engine.ctx, withLine);
    engine.running = false;
    const bool timeout = text.rfind("RangeError: execution timeout", 0) == 0;
    const bool memory = engine.refused && text.find("alloc failed") != std::string::npos;
    if (timeout || (late && !memory))
        return subject + " ran out of its time budget of " + std::to_string(limits.timeBudget.count()) + " ms";
    // Without memory the engine may not even make its error: its fallbacks mean the cap too.
    if (memory || (engine.refused && (text == kUndescribed || text.rfind("DoubleError", 0) == 0)))
        return subject + " ran out of its memory cap of " + megabytes(limits.heapBytes);
    return failed + text;
}

jmfScriptLimits& defaults() {
    static jmfScriptLimits limits;
    return limits;
}

std::mutex& defaultsMutex() {
    static std::mutex mutex;
    return mutex;
}

// A new engine under `limits` that has run the script's top level and holds its `intensity`; null,
// with `error` telling why, when there is none.
std::unique_ptr<jmfScriptEngine> startEngine(const std::string& text, const jmfScriptLimits& limits,
                                             std::string& error) {
    error.clear();
    auto engine = std::make_unique<jmfScriptEngine>();
    engine->cap = limits.heapBytes;
    engine->ctx = duk_create_heap(engineAlloc, engineRealloc, engineFree, engine.get(), engineFatal);
    if (!engine->ctx) {
        error = "the script engine does not start within its memory cap of " + megabytes(limits.heapBytes);
        return nullptr;
    }
    duk_context* ctx = engine->ctx;
    if (duk_safe_call(ctx, removeHostNames, nullptr, 0, 1) != DUK_EXEC_SUCCESS) {
        error = "the script engine does not start: " + describeTop(ctx, false);
        return nullptr;
    }
    duk_pop(ctx);

    CompileFrame frame{text.data(), text.size(), nullptr};
    engine->refused = false;
    engine->deadline = std::chrono::steady_clock::now() + limits.timeBudget;
    engine->running = true;
    const duk_int_t status = duk_safe_call(ctx, compileUnsafe, &frame, 0, 1);
    engine->running = false;
    if (status != DUK_EXEC_SUCCESS) {
        const bool syntax = duk_get_error_code(ctx, -1) == DUK_ERR_SYNTAX_ERROR;
        error = failure(*engine, limits, "the script's top level",
                        syntax ? "the script does not compile: " : "the script's top level failed: ", !syntax);
        return nullptr;
    }
    duk_pop(ctx);  // the stash keeps it, if there is one
    if (!frame.function) {
        error = "the script defines no function intensity";
        return nullptr;
    }
    engine->function = frame.function;
    return engine;
}

// What checking a script finds, kept per thread for the texts and limits seen last: a document
// repeats its scripts, and checking one costs an engine.
class CheckCache {
public:
    const std::string* find(const std::string& text, const jmfScriptLimits& limits) const {
        const auto found = m_results.find(text);
        if (found == m_results.end()) return nullptr;
        for (const Result& r : found->second)
            if (r.timeBudget == limits.timeBudget && r.heapBytes == limits.heapBytes) return &r.error;
        return nullptr;
    }
    void add(const std::string& text, const jmfScriptLimits& limits, const std::string& error) {
        if (m_bytes + text.size() + error.size() > kBytes || m_results.size() >= kTexts) {
            m_results.clear();
            m_bytes = 0;
        }
        m_results[text].push_back({limits.timeBudget, limits.heapBytes, error});
        m_bytes += text.size() + error.size();
    }

private:
    static constexpr std::size_t kBytes = std::size_t(4) << 20;
    static constexpr std::size_t kTexts = 4096;
    struct Result {
        std::chrono::milliseconds timeBudget;
        std::size_t heapBytes;
        std::string error;
    };
    std::unordered_map<std::string, std::vector<Result>> m_results;
    std::size_t m_bytes = 0;
};

bool ranOutOfTime(const std::string& error) {
    return error.find("ran out of its time budget") != std::string::npos;
}

// Why `text` would not give a function under `limits`; empty when it would.
std::string checkScript(const std::string& text, const jmfScriptLimits& limits) {
    thread_local CheckCache cache;
    if (const std::string* known = cache.find(text, limits)) return *known;
    std::string error;
    startEngine(text, limits, error);
    // Time depends on what else the machine does: such a verdict is not kept.
    if (!ranOutOfTime(error)) cache.add(text, limits, error);
    return error;
}

}  // namespace

jmfFunctionObject::jmfFunctionObject(const std::string& text) : m_text(text), m_limits(defaultLimits()) {
    m_compileError = checkScript(m_text, m_limits);
}

jmfFunctionObject::jmfFunctionObject(const jmfFunctionObject& other)
    : bosObject(other), m_text(other.m_text), m_limits(other.m_limits) {
    m_compileError = checkScript(m_text, m_limits);
}

jmfFunctionObject& jmfFunctionObject::operator=(const jmfFunctionObject& other) {
    if (this != &other) {
        m_text = other.m_text;
        m_limits = other.m_limits;
        m_engine.reset();
        m_started = false;
        m_error.clear();
        m_compileError = checkScript(m_text, m_limits);
    }
    return *this;
}

jmfFunctionObject::~jmfFunctionObject() = default;

void jmfFunctionObject::setLimits(const jmfScriptLimits& limits) {
    m_limits = limits;
    if (m_engine) m_engine->cap = limits.heapBytes;
}

jmfScriptLimits jmfFunctionObject::defaultLimits() {
    std::lock_guard<std::mutex> lock(defaultsMutex());
    return defaults();
}

void jmfFunctionObject::setDefaultLimits(const jmfScriptLimits& limits) {
    std::lock_guard<std::mutex> lock(defaultsMutex());
    defaults() = limits;
}

std::size_t jmfFunctionObject::engineBytes() const {
    return start() ? m_engine->used : 0;
}

bool jmfFunctionObject::start() const {
    if (!m_started && m_compileError.empty()) {
        m_started = true;
        m_engine = startEngine(m_text, m_limits, m_startError);
    }
    return m_engine != nullptr;
}

bool jmfFunctionObject::call(std::span<const double> arguments, std::size_t components,
                             std::vector<double>& values) const {
    values.clear();
    if (!start()) {
        m_error = m_compileError.empty() ? m_startError : m_compileError;
        return false;
    }
    values.resize(components);
    jmfScriptEngine& engine = *m_engine;
    CallFrame frame{engine.function, arguments.data(), arguments.size(), components, values.data()};
    engine.refused = false;
    engine.deadline = std::chrono::steady_clock::now() + m_limits.timeBudget;
    engine.running = true;
    const duk_int_t status = duk_safe_call(engine.ctx, callUnsafe, &frame, 0, 1);
    engine.running = false;
    if (status != DUK_EXEC_SUCCESS) {
        m_error = failure(engine, m_limits, "intensity", "intensity failed: ", true);
        values.clear();
        return false;
    }
    duk_pop(engine.ctx);
    const std::string expected =
        components == 1 ? "a number" : "an array of " + std::to_string(components) + " numbers";
    switch (frame.problem) {
        case Problem::none:
            m_error.clear();
            return true;
        case Problem::type:
            m_error = "intensity returned " + typeName(frame.type, frame.array) + ", expected " + expected;
            break;
        case Problem::length:
            m_error = "intensity returned an array of " + std::to_string(frame.length) +
                      (frame.length == 1 ? " value" : " values") + ", expected " + expected;
            break;
        case Problem::element:
            m_error = "intensity returned an array whose element " + std::to_string(frame.index) + " is " +
                      typeName(frame.type, frame.array) + ", expected " + expected;
            break;
        case Problem::nonFinite:
            m_error = "intensity returned " + numberText(frame.value) + ", expected a finite number";
            break;
        case Problem::elementNonFinite:
            m_error = "intensity returned an array whose element " + std::to_string(frame.index) + " is " +
                      numberText(frame.value) + ", expected finite numbers";
            break;
    }
    values.clear();
    return false;
}
