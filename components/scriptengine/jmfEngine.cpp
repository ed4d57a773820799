#include "detail/jmfEngineAllocations.h"
#include "detail/jmfSelfHosted.h"
#include "kestrel/components/framework/detail/jmfEngineInterface.h"
#include "kestrel/components/framework/jmfFunctionObject.h"

#include <js/Array.h>
#include <js/BuildId.h>
#include <js/CompilationAndEvaluation.h>
#include <js/Context.h>
#include <js/ContextOptions.h>
#include <js/Conversions.h>
#include <js/ErrorReport.h>
#include <js/Exception.h>
#include <js/GCAPI.h>
#include <js/GlobalObject.h>
#include <js/Initialization.h>
#include <js/Interrupt.h>
#include <js/Promise.h>
#include <js/PropertyAndElement.h>
#include <js/Realm.h>
#include <js/RealmOptions.h>
#include <js/RegExp.h>
#include <js/SourceText.h>
#include <js/Stack.h>
#include <js/String.h>
#include <js/Symbol.h>
#include <js/experimental/JSStencil.h>
#include <jsapi.h>
#include <jsfriendapi.h>
#include <malloc.h>
#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define KESTREL_JMF_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KESTREL_JMF_ASAN 1
#endif
#endif
#ifdef KESTREL_JMF_ASAN
// The sanitizer's allocator stands in for malloc; it counts what it holds (declared here, since
// GCC does not ship the sanitizer's interface headers).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

// The engine is SpiderMonkey. The process starts it once, on the first script; each thread has a
// context (a runtime of its own) made on its first script; each function object has a global
// object (realm) in the context of the thread that made it. A watchdog thread ends a call that
// outlives its budget or grows the process's memory beyond its cap, through the engine's interrupt
// callback, which native loops of the engine (joins, regular expressions) also honour.

namespace {

using Clock = std::chrono::steady_clock;

std::int64_t nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

// Memory the process holds from malloc; the engine's strings and array elements live there.
std::size_t mallocBytes() {
#ifdef KESTREL_JMF_ASAN
    return __sanitizer_get_current_allocated_bytes();
#else
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}

enum class Stop : int { none, time, memory };

constexpr std::size_t kUnmeasured = std::size_t(-1);

// The largest block a script may take is this share of its cap: small enough that the engine's
// built-ins, which a script cannot interrupt, end in well under a budget over any one block (about
// a microsecond per element at worst), large enough for any table an intensity needs.
constexpr std::size_t kBlockShare = 16;

struct Engine;

// What a function object's handle shares with the engine of the thread that made its realm, so
// that it can be let go from any thread, or after the engine has gone.
struct EngineOwner {
    std::mutex mutex;
    Engine* engine = nullptr;  // null once the thread's engine has ended
    std::thread::id thread;
    std::vector<std::uint64_t> dropped;  // realms let go from other threads
    std::atomic<bool> anyDropped{false};
};

// Promise jobs are dropped: a script has no event loop, and its value is what `intensity` returns.
class NoJobs final : public JS::JobQueue {
public:
    JSObject* getIncumbentGlobal(JSContext*) override { return nullptr; }
    bool enqueuePromiseJob(JSContext*, JS::HandleObject, JS::HandleObject, JS::HandleObject,
                           JS::HandleObject) override {
        return true;
    }
    void runJobs(JSContext*) override {}
    bool empty() const override { return true; }

private:
    js::UniquePtr<SavedJobQueue> saveJobQueue(JSContext*) override { return nullptr; }
};

struct Realm {
    std::uint64_t id;
    JS::PersistentRootedObject global;
    JS::PersistentRootedObject function;
    Realm(JSContext* cx, std::uint64_t id) : id(id), global(cx), function(cx) {}
};

// The engine asks for it when it writes or reads code it keeps.
bool engineBuildId(JS::BuildIdCharVector* buildId) {
    static const std::string id = jmf_detail::engineIdentity();
    return buildId->append(id.data(), id.size());
}

// The process's start of the engine and its watchdog.
class Process {
public:
    Process() {
        JS::SetProcessBuildIdOp(engineBuildId);
        m_started = JS_Init();
        if (m_started) jmf_detail::guardEngineAllocations();
        if (m_started) m_thread = std::thread([this] { watch(); });
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process() {
        if (!m_started) return;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_one();
        m_thread.join();
        // A thread that still holds a context at exit keeps the engine up; its memory goes with
        // the process.
        if (m_engines.empty()) JS_ShutDown();
    }

    bool started() const { return m_started; }
    void add(Engine* engine) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_engines.push_back(engine);
    }
    void remove(Engine* engine) {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::erase(m_engines, engine);
    }

private:
    void watch();
    bool scan();

    bool m_started = false;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::vector<Engine*> m_engines;
    bool m_stop = false;
    std::thread m_thread;
};

Process& process() {
    static Process p;
    return p;
}

// Scripts compiled once per thread, by their text: a document repeats its scripts, and a realm
// would otherwise parse its script again, and each of its functions again on its first call. A
// compilation takes several times its text, so the texts kept are few and short.
class StencilCache {
public:
    RefPtr<JS::Stencil> find(const std::string& text) const {
        const auto found = m_stencils.find(text);
        return found == m_stencils.end() ? nullptr : found->second;
    }
    void add(const std::string& text, const RefPtr<JS::Stencil>& stencil) {
        if (m_bytes + text.size() > kBytes || m_stencils.size() >= kTexts) clear();
        m_stencils.emplace(text, stencil);
        m_bytes += text.size();
    }
    void clear() {
        m_stencils.clear();
        m_bytes = 0;
    }

private:
    static constexpr std::size_t kBytes = std::size_t(1) << 20;
    static constexpr std::size_t kTexts = 256;
    std::unordered_map<std::string, RefPtr<JS::Stencil>> m_stencils;
    std::size_t m_bytes = 0;
};

// One thread's context and the realms made in it.
struct Engine {
    JSContext* cx = nullptr;
    NoJobs jobs;
    std::shared_ptr<EngineOwner> owner = std::make_shared<EngineOwner>();
    std::unordered_map<std::uint64_t, std::unique_ptr<Realm>> realms;
    std::uint64_t nextRealm = 1;

    // Shared with the watchdog. `segment` is odd while a timed piece of script runs, under the
    // budget, cap and allowance (what the engine's heap may grow by) stored before it; `stopped`
    // names the segment the watchdog ended, `stop` why.
    std::atomic<std::uint64_t> segment{0};
    std::atomic<std::int64_t> budget{0};
    std::atomic<std::size_t> memoryCap{0};
    std::atomic<std::uint64_t> allowance{0};
    std::atomic<std::uint64_t> heapAtStart{0};
    std::atomic<std::uint64_t> stopped{0};
    std::atomic<int> stop{0};
    // The watchdog's own: the segment it last saw, and its deadline and the memory when it did.
    std::uint64_t seen = 0;
    std::int64_t deadline = 0;
    std::size_t memoryAtStart = 0;
    // Calls since the engine's own heap limit was last set.
    unsigned calls = 0;
    // The heap when last read, and the realm and its zone's size then.
    JSObject* measuredGlobal = nullptr;
    std::uint64_t measuredZone = 0;
    std::uint64_t measuredTotal = 0;
    // Realms let go since the last collection.
    unsigned forgotten = 0;
    // The largest block the engine may take now: a share of the running call's cap.
    std::size_t blockLimit = jmf_detail::kNoBlockLimit;
    // The prelude and the lookup of `intensity`, compiled once for every realm of the thread.
    RefPtr<JS::Stencil> prelude;
    RefPtr<JS::Stencil> lookup;
    StencilCache scripts;

    Engine() = default;
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;
    ~Engine() {
        {
            std::lock_guard<std::mutex> lock(owner->mutex);
            owner->engine = nullptr;
        }
        jmf_detail::setEngineBlockLimit(nullptr);
        realms.clear();
        prelude = nullptr;
        lookup = nullptr;
        scripts.clear();
        if (cx) {
            process().remove(this);
            JS_DestroyContext(cx);
        }
    }

    void dropForeign() {
        if (!owner->anyDropped.load()) return;
        std::vector<std::uint64_t> ids;
        {
            std::lock_guard<std::mutex> lock(owner->mutex);
            ids.swap(owner->dropped);
            owner->anyDropped.store(false);
        }
        for (std::uint64_t id : ids) forget(id);
    }

    // Lets a realm go. Each realm is a zone of its own that never grows to its own collection
    // trigger, so the engine would keep every realm let go until the heap limit: a process that
    // evaluates thousands of script loads one after another grew by about 250 KB for each. A
    // collection costs about what the realms it frees cost to sweep, so collecting often costs
    // little: every 16 realms keeps the export of a large document within a few MiB of its read.
    void forget(std::uint64_t id) {
        realms.erase(id);
        if (++forgotten % 16 == 0) JS_GC(cx);
    }

    // Starts a timed segment of script under `limits`; returns its number. The watchdog starts
    // the clock when it first sees the segment, so that a call costs no reading of the time.
    std::uint64_t begin(const jmfScriptLimits& limits) {
        const std::int64_t ns = std::chrono::duration_cast<std::chrono::nanoseconds>(limits.timeBudget).count();
        if (budget.load(std::memory_order_relaxed) != ns) budget.store(ns, std::memory_order_relaxed);
        if (memoryCap.load(std::memory_order_relaxed) != limits.heapBytes)
            memoryCap.store(limits.heapBytes, std::memory_order_relaxed);
        blockLimit = limits.heapBytes / kBlockShare;
        const std::uint64_t running = segment.load(std::memory_order_relaxed) + 1;
        segment.store(running, std::memory_order_release);
        return running;
    }
    void end() {
        blockLimit = jmf_detail::kNoBlockLimit;
        segment.store(segment.load(std::memory_order_relaxed) + 1, std::memory_order_release);
    }
    // Why the watchdog ended segment `running`, if it did.
    Stop stoppedBy(std::uint64_t running) const { return stopped.load() == running ? Stop(stop.load()) : Stop::none; }
};

// True while the segment running may go on: false once the watchdog has ended it.
bool interrupted(JSContext* cx) {
    const auto* engine = static_cast<const Engine*>(JS_GetContextPrivate(cx));
    return engine->stopped.load(std::memory_order_acquire) != engine->segment.load(std::memory_order_relaxed);
}

// Looks every millisecond while scripts run, and every 20 ms after a tenth of a second without
// any: a segment's clock then starts at most 20 ms late, well within the promise of twice its
// budget plus 50 ms, and an idle process costs next to nothing.
void Process::watch() {
    std::unique_lock<std::mutex> lock(m_mutex);
    int idle = 0;
    while (!m_stop) {
        idle = scan() ? 0 : idle + 1;
        m_wake.wait_for(lock, std::chrono::milliseconds(idle > 100 ? 20 : 1));
    }
}

// Ends what has run too long or grown too much; true when anything runs. The engine's heap is
// read from here as its own collector reads it, under its lock. The watchdog does not interrupt
// a segment that is within its bounds: a regular expression interrupted starts again.
bool Process::scan() {
    bool any = false;
    bool measured = false;
    std::size_t memory = 0;
    const std::int64_t now = nowNs();
    for (Engine* engine : m_engines) {
        const std::uint64_t running = engine->segment.load(std::memory_order_acquire);
        if (running % 2 == 0) continue;
        any = true;
        if (engine->stopped.load() == running) continue;
        if (engine->seen != running) {
            engine->seen = running;
            engine->deadline = now + engine->budget.load(std::memory_order_relaxed);
            engine->memoryAtStart = kUnmeasured;
            continue;
        }
        // Memory is measured from a segment's second scan on: most calls end before it, and
        // measuring takes malloc's locks from the thread running the script. What a segment
        // allocates before then is bounded by the largest block and a scan's time.
        if (!measured) {
            memory = mallocBytes();
            measured = true;
        }
        if (engine->memoryAtStart == kUnmeasured) engine->memoryAtStart = memory;
        const std::uint64_t heap = JS_GetGCParameter(engine->cx, JSGC_BYTES);
        Stop why = Stop::none;
        if (now >= engine->deadline) {
            why = Stop::time;
        } else if (const std::uint64_t start = engine->heapAtStart.load(std::memory_order_relaxed);
                   heap > start && heap - start > engine->allowance.load(std::memory_order_relaxed)) {
            why = Stop::memory;
        } else if (memory > engine->memoryAtStart &&
                   memory - engine->memoryAtStart > engine->memoryCap.load(std::memory_order_relaxed)) {
            why = Stop::memory;
        }
        if (why != Stop::none) {
            engine->stop.store(int(why));
            engine->stopped.store(running, std::memory_order_release);
            JS_RequestInterruptCallback(engine->cx);
        }
    }
    return any;
}

// The native stack the engine may use, counted from the thread's stack base: most of the stack,
// leaving room for the engine's own frames past its checks and for what the host has used.
std::size_t stackQuota() {
    std::size_t size = std::size_t(1) << 20;
    pthread_attr_t attributes;
    if (pthread_getattr_np(pthread_self(), &attributes) == 0) {
        pthread_attr_getstacksize(&attributes, &size);
        pthread_attr_destroy(&attributes);
    }
    constexpr std::size_t kSpare = std::size_t(256) << 10;
    return size > 2 * kSpare ? size - kSpare : size / 2;
}

// The self-hosted code the build parsed, when this process runs the engine library it was parsed
// with; else the engine parses it.
bool initSelfHostedCode(JSContext* cx) {
    static const bool kept =
        jmf_detail::kSelfHostedCacheSize > 0 && jmf_detail::engineIdentity() == jmf_detail::kSelfHostedIdentity;
    if (kept)
        return JS::InitSelfHostedCode(
            cx, JS::SelfHostedCache(jmf_detail::kSelfHostedCache, jmf_detail::kSelfHostedCacheSize));
    return JS::InitSelfHostedCode(cx);
}

// The calling thread's engine, made on first use; null when the engine does not start.
Engine* threadEngine() {
    thread_local std::unique_ptr<Engine> engine;
    thread_local bool failed = false;
    if (engine || failed) return engine.get();
    failed = true;
    if (!process().started()) return nullptr;
    auto made = std::make_unique<Engine>();
    made->cx = JS_NewContext(JS::DefaultHeapMaxBytes);
    if (!made->cx) return nullptr;
    JSContext* cx = made->cx;
    JS::ContextOptionsRef(cx).setWasm(false).setAsmJS(false);
    JS_SetNativeStackQuota(cx, stackQuota());
    JS_SetGCParameter(cx, JSGC_MAX_NURSERY_BYTES, std::uint32_t(1) << 20);
    // A load's function is called a few hundred times, in a realm of its own: compiling its code
    // costs more than interpreting it that often. A function called far more is compiled still.
    JS_SetGlobalJitCompilerOption(cx, JSJITCOMPILER_BASELINE_INTERPRETER_WARMUP_TRIGGER, 1000);
    JS_SetGlobalJitCompilerOption(cx, JSJITCOMPILER_BASELINE_WARMUP_TRIGGER, 1100);
    JS_SetContextPrivate(cx, made.get());
    if (!initSelfHostedCode(cx)) {
        JS_DestroyContext(cx);
        made->cx = nullptr;
        return nullptr;
    }
    JS::SetJobQueue(cx, &made->jobs);
    JS_AddInterruptCallback(cx, interrupted);
    made->owner->engine = made.get();
    jmf_detail::setEngineBlockLimit(&made->blockLimit);
    made->owner->thread = std::this_thread::get_id();
    process().add(made.get());
    engine = std::move(made);
    failed = false;
    return engine.get();
}

// The engine's own additions to the language stay out of reach: the script sees the standard
// built-ins only.
bool hiddenName(JS::HandleId id) {
    return id.isString() && (JS_LinearStringEqualsAscii(id.toLinearString(), "InternalError") ||
                             JS_LinearStringEqualsAscii(id.toLinearString(), "WebAssembly"));
}

// Standard classes are made when a script first names one: a script uses a few, and making all of
// them cost more than everything else a realm does.
bool resolveGlobal(JSContext* cx, JS::HandleObject global, JS::HandleId id, bool* resolved) {
    if (hiddenName(id)) {
        *resolved = false;
        return true;
    }
    return JS_ResolveStandardClass(cx, global, id, resolved);
}

bool enumerateGlobal(JSContext* cx, JS::HandleObject global, JS::MutableHandleIdVector names, bool enumerableOnly) {
    if (!JS_NewEnumerateStandardClasses(cx, global, names, enumerableOnly)) return false;
    JS::RootedIdVector kept(cx);
    for (std::size_t i = 0; i < names.length(); ++i)
        if (!hiddenName(names[i]) && !kept.append(names[i])) return false;
    names.clear();
    return names.appendAll(kept);
}

const JSClassOps kGlobalOps = {
    nullptr, nullptr, nullptr, enumerateGlobal,         resolveGlobal, JS_MayResolveStandardClass,
    nullptr, nullptr, nullptr, JS_GlobalObjectTraceHook};
const JSClass kGlobalClass = {"global", JSCLASS_GLOBAL_FLAGS, &kGlobalOps, nullptr, nullptr, nullptr};

// Keeps the script's text to one readable line of bounded length for terminals and reports.
std::string oneLine(std::string text) {
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

std::string megabytes(std::size_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3g MiB", double(bytes) / (1 << 20));
    return text;
}

std::string outOfTime(const std::string& subject, const jmfScriptLimits& limits) {
    return subject + " ran out of its time budget of " + std::to_string(limits.timeBudget.count()) + " ms";
}

std::string outOfMemory(const std::string& subject, const jmfScriptLimits& limits) {
    return subject + " ran out of its memory cap of " + megabytes(limits.heapBytes);
}

bool isString(JSContext* cx, JS::HandleValue value, const char* text) {
    bool same = false;
    return value.isString() && JS_StringEqualsAscii(cx, value.toString(), text, &same) && same;
}

// The pending exception as text, with the script's line and column for an error object; it may
// run the script's own code (a toString of its own), so it runs as a timed segment of its own.
// The engine counts columns from 0 in syntax errors and from 1 in the others.
std::string describe(Engine& engine, const jmfScriptLimits& limits, JS::HandleValue exception, bool syntax) {
    JSContext* cx = engine.cx;
    const std::uint64_t running = engine.begin(limits);
    std::string text = "the script failed";
    JS::ExceptionStack stack(cx, exception, nullptr);
    JS::ErrorReportBuilder report(cx);
    if (report.init(cx, stack, JS::ErrorReportBuilder::WithSideEffects) && report.toStringResult()) {
        text = report.toStringResult().c_str();
        constexpr std::string_view kUncaught = "uncaught exception: ";
        if (text.starts_with(kUncaught)) text.erase(0, kUncaught.size());
        JS::RootedObject object(cx, exception.isObject() ? &exception.toObject() : nullptr);
        // An error of the prelude's guards has no place in the script.
        if (object && JS_ErrorFromException(cx, object) && report.report() && report.report()->lineno > 0 &&
            !(report.report()->filename && std::strcmp(report.report()->filename, "prelude") == 0))
            text += " (line " + std::to_string(report.report()->lineno) + ", column " +
                    std::to_string(report.report()->column + (syntax ? 1 : 0)) + ")";
    }
    JS_ClearPendingException(cx);
    engine.end();
    if (engine.stoppedBy(running) != Stop::none) text = "the script failed, and so did telling why";
    return oneLine(text);
}

// Why the segment `running` failed: the watchdog's reason, the engine's own shortage of memory,
// or the exception, after `failed`.
std::string failure(Engine& engine, std::uint64_t running, const jmfScriptLimits& limits, const std::string& subject,
                    const std::string& failed, bool syntax = false) {
    JSContext* cx = engine.cx;
    switch (engine.stoppedBy(running)) {
        case Stop::time:
            JS_ClearPendingException(cx);
            return outOfTime(subject, limits);
        case Stop::memory:
            JS_ClearPendingException(cx);
            return outOfMemory(subject, limits);
        case Stop::none:
            break;
    }
    JS::RootedValue exception(cx);
    if (!JS_IsExceptionPending(cx) || !JS_GetPendingException(cx, &exception)) {
        JS_ClearPendingException(cx);
        return failed + "the script was ended";
    }
    if (isString(cx, exception, "out of memory")) {
        JS_ClearPendingException(cx);
        return outOfMemory(subject, limits);
    }
    return failed + describe(engine, limits, exception, syntax);
}

// Sets the engine's heap limit so that the realm of `global` may grow to its cap, counting what
// it holds from earlier calls; a realm at its cap after a collection may still run, but not grow.
void allowGrowth(Engine& engine, JSObject* global, const jmfScriptLimits& limits, bool starting = false) {
    JSContext* cx = engine.cx;
    std::uint64_t held = js::GetGCHeapUsageForObjectZone(global);
    if (held >= limits.heapBytes) {
        JS_GC(cx);
        held = js::GetGCHeapUsageForObjectZone(global);
    }
    engine.allowance.store(held < limits.heapBytes ? limits.heapBytes - held : 0, std::memory_order_relaxed);
    // The engine's heap as the call begins. Reading it takes the collector's lock, so it is read
    // afresh only every 64 calls, for another realm, or once this realm's zone has shrunk (after a
    // collection); in between it moves with this realm's zone, where a call's growth goes.
    const bool periodic = starting || engine.calls++ % 64 == 0;
    std::uint64_t total = 0;
    if (periodic || global != engine.measuredGlobal || held < engine.measuredZone) {
        total = JS_GetGCParameter(cx, JSGC_BYTES);
        engine.measuredGlobal = global;
        engine.measuredZone = held;
        engine.measuredTotal = total;
    } else {
        total = engine.measuredTotal + (held - engine.measuredZone);
    }
    engine.heapAtStart.store(total, std::memory_order_relaxed);
    // The watchdog ends a realm past its cap within a millisecond or two; the engine's own limit,
    // two caps above its heap, is the backstop for faster growth, far enough that the collector
    // does not thrash at the cap first. Setting it makes the collector recompute its triggers: not
    // on every call.
    if (periodic) {
        const std::uint64_t limit = total + 2 * std::uint64_t(limits.heapBytes);
        JS_SetGCParameter(cx, JSGC_MAX_BYTES, std::uint32_t(std::min<std::uint64_t>(limit, 0xffffffffu)));
    }
}

constexpr const char* kNoEngine = "the script engine does not start";

// Run in every realm before the script. The engine's built-ins run to their end once started; a
// search of a long text for a long pattern takes time proportional to both lengths over small
// data, so it is refused here. Arguments are converted as the built-ins convert them, in the same
// order, before the check. (Sorts need no guard: a comparator's calls honour the watchdog, and
// the engine's own sort of numbers is bounded by the largest block.)
constexpr const char* kPrelude = R"(
(function (hasRegExpBrand, match, splitter, replacer) {
  'use strict';
  const S = String.prototype, callOf = (f) => Function.prototype.call.bind(f), invoke = callOf(Function.prototype.call);
  const indexOf = callOf(S.indexOf), lastIndexOf = callOf(S.lastIndexOf), includes = callOf(S.includes);
  const split = callOf(S.split), replace = callOf(S.replace), replaceAll = callOf(S.replaceAll);
  const isRegExp = (o) => {
    if (Object(o) !== o) return false;
    const m = o[match];
    if (m !== undefined) return !!m;
    return hasRegExpBrand(o);
  };
  const coerced = (self, name) => {
    if (self == null) throw new TypeError(`String.prototype.${name} called on null or undefined`);
    return `${self}`;
  };
  const check = (text, pattern) => {
    const n = text.length, m = pattern.length;
    if (m > 256 && n > m && (n - m) * m > 2 ** 30)
      throw new RangeError(`searching ${n} characters for a pattern of ${m} takes too long`);
  };
  // What decides between a pattern and a text is read once, and the built-in is handed what was
  // read: a getter may answer otherwise when read again, and send the built-in an unchecked search.
  const patterned = (f, name, symbol, self, pattern, other) => {
    if (self == null) coerced(self, name);
    if (pattern != null) {
      if (name === 'replaceAll' && isRegExp(pattern)) {
        const flags = pattern.flags;
        if (flags == null || !includes(`${flags}`, 'g')) return f(self, {[match]: true, flags}, other);
      }
      const m = pattern[symbol];
      if (m != null) return typeof m === 'function' ? invoke(m, pattern, self, other) : f(self, {[symbol]: m}, other);
    }
    const t = coerced(self, name), p = `${pattern}`; check(t, p); return f(t, p, other);
  };
  // Methods of a literal, so that each has the built-in's name and length.
  const guards = {
    indexOf(search, position = undefined) {
      const t = coerced(this, 'indexOf'), p = `${search}`; check(t, p); return indexOf(t, p, position);
    },
    lastIndexOf(search, position = undefined) {
      const t = coerced(this, 'lastIndexOf'), p = `${search}`; check(t, p); return lastIndexOf(t, p, position);
    },
    includes(search, position = undefined) {
      const t = coerced(this, 'includes');
      if (isRegExp(search)) return includes(t, {[match]: true}, position);
      const p = `${search}`; check(t, p); return includes(t, p, position);
    },
    split(pattern, other) { return patterned(split, 'split', splitter, this, pattern, other); },
    replace(pattern, other) { return patterned(replace, 'replace', replacer, this, pattern, other); },
    replaceAll(pattern, other) { return patterned(replaceAll, 'replaceAll', replacer, this, pattern, other); },
  };
  for (const name in guards) Object.defineProperty(S, name, {value: guards[name], writable: true, configurable: true});
})
)";

bool hasRegExpBrand(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    bool regExp = false;
    if (args.get(0).isObject()) {
        JS::RootedObject object(cx, &args[0].toObject());
        if (!JS::ObjectIsRegExp(cx, object, &regExp)) return false;
    }
    args.rval().setBoolean(regExp);
    return true;
}

// Runs the prelude in the current realm. Parsing it costs more than running it, so it is parsed
// once per thread.
bool runPrelude(Engine& engine) {
    JSContext* cx = engine.cx;
    JS::CompileOptions options(cx);
    options.setFileAndLine("prelude", 1).setForceFullParse();
    if (!engine.prelude) {
        JS::SourceText<mozilla::Utf8Unit> source;
        if (!source.init(cx, kPrelude, std::strlen(kPrelude), JS::SourceOwnership::Borrowed)) return false;
        engine.prelude = JS::CompileGlobalScriptToStencil(cx, options, source);
        if (!engine.prelude) return false;
    }
    const JS::InstantiateOptions instantiate(options);
    JS::RootedScript script(cx, JS::InstantiateGlobalStencil(cx, instantiate, engine.prelude));
    JS::RootedValue guard(cx);
    if (!script || !JS_ExecuteScript(cx, script, &guard)) return false;
    // The brand test comes from here rather than from RegExp.prototype, so that a realm whose
    // script uses no regular expression never makes their class.
    JSFunction* brand = JS_NewFunction(cx, hasRegExpBrand, 1, 0, "hasRegExpBrand");
    if (!brand) return false;
    JS::RootedValueArray<4> arguments(cx);
    arguments[0].setObject(*JS_GetFunctionObject(brand));
    arguments[1].setSymbol(JS::GetWellKnownSymbol(cx, JS::SymbolCode::match));
    arguments[2].setSymbol(JS::GetWellKnownSymbol(cx, JS::SymbolCode::split));
    arguments[3].setSymbol(JS::GetWellKnownSymbol(cx, JS::SymbolCode::replace));
    JS::RootedValue ignored(cx);
    return JS_CallFunctionValue(cx, nullptr, guard, arguments, &ignored);
}

constexpr const char* kLookup = "typeof intensity === 'function' ? intensity : undefined";

// A new realm under `limits` that has run the script's top level and holds its `intensity`; null,
// with `error` telling why, when there is none.
Realm* startRealm(Engine& engine, const std::string& text, const jmfScriptLimits& limits, std::string& error) {
    error.clear();
    engine.dropForeign();
    JSContext* cx = engine.cx;
    const std::uint64_t id = engine.nextRealm++;
    auto realm = std::make_unique<Realm>(cx, id);

    // Making the realm is the engine's work, not the script's: it is not timed, so that a loaded
    // machine does not fail a script for it.
    JS::RealmOptions options;
    options.creationOptions().setNewCompartmentAndZone();
    realm->global = JS_NewGlobalObject(cx, &kGlobalClass, nullptr, JS::DontFireOnNewGlobalHook, options);
    if (!realm->global) {
        JS_ClearPendingException(cx);
        error = kNoEngine;
        return nullptr;
    }
    JSAutoRealm inRealm(cx, realm->global);
    JS_FireOnNewGlobalObject(cx, realm->global);
    if (!runPrelude(engine)) {
        JS_ClearPendingException(cx);
        error = kNoEngine;
        return nullptr;
    }
    allowGrowth(engine, realm->global, limits, true);
    if (engine.allowance.load(std::memory_order_relaxed) == 0) {
        error = "the script engine does not start within its memory cap of " + megabytes(limits.heapBytes);
        return nullptr;
    }
    const std::uint64_t running = engine.begin(limits);

    JS::CompileOptions options2(cx);
    options2.setFileAndLine("script", 1).setForceFullParse();
    const JS::InstantiateOptions instantiate(options2);
    RefPtr<JS::Stencil> stencil = engine.scripts.find(text);
    if (!stencil) {
        JS::SourceText<mozilla::Utf8Unit> source;
        if (source.init(cx, text.data(), text.size(), JS::SourceOwnership::Borrowed))
            stencil = JS::CompileGlobalScriptToStencil(cx, options2, source);
        if (stencil) engine.scripts.add(text, stencil);
    }
    JS::RootedScript script(cx);
    if (!stencil || !(script = JS::InstantiateGlobalStencil(cx, instantiate, stencil))) {
        engine.end();
        const Stop stop = engine.stoppedBy(running);
        JS::RootedValue exception(cx);
        const bool syntax = stop == Stop::none && JS_GetPendingException(cx, &exception) && exception.isObject() &&
                            JS_ErrorFromException(cx, JS::RootedObject(cx, &exception.toObject()));
        error = failure(engine, running, limits, "the script's top level",
                        syntax ? "the script does not compile: " : "the script's top level failed: ", syntax);
        return nullptr;
    }
    JS::RootedValue value(cx);
    bool ran = JS_ExecuteScript(cx, script, &value);
    if (ran && !engine.lookup) {
        JS::SourceText<mozilla::Utf8Unit> lookup;
        ran = lookup.init(cx, kLookup, std::strlen(kLookup), JS::SourceOwnership::Borrowed) &&
              (engine.lookup = JS::CompileGlobalScriptToStencil(cx, options2, lookup));
    }
    if (ran) {
        script = JS::InstantiateGlobalStencil(cx, instantiate, engine.lookup);
        ran = script && JS_ExecuteScript(cx, script, &value);
    }
    engine.end();
    if (!ran) {
        error = failure(engine, running, limits, "the script's top level", "the script's top level failed: ");
        return nullptr;
    }
    if (!value.isObject()) {
        error = "the script defines no function intensity";
        return nullptr;
    }
    realm->function = &value.toObject();
    Realm* made = realm.get();
    engine.realms.emplace(id, std::move(realm));
    return made;
}

enum class Problem { none, type, length, element, nonFinite, elementNonFinite };

std::string typeName(JSContext* cx, JS::HandleValue value) {
    if (value.isUndefined()) return "undefined";
    if (value.isNull()) return "null";
    if (value.isBoolean()) return "a boolean";
    if (value.isNumber()) return "a number";
    if (value.isString()) return "a string";
    if (value.isSymbol()) return "a symbol";
    if (value.isBigInt()) return "a bigint";
    bool array = false;
    if (!JS::IsArrayObject(cx, value, &array)) JS_ClearPendingException(cx);
    return array ? "an array" : "an object";
}

std::string numberText(double value) {
    if (std::isnan(value)) return "NaN";
    return value > 0 ? "Infinity" : "-Infinity";
}

// What checking a script finds, kept per thread for the texts and limits seen last: a document
// repeats its scripts, and checking one costs a realm.
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
    Engine* engine = threadEngine();
    if (!engine) return kNoEngine;
    std::string error;
    if (Realm* realm = startRealm(*engine, text, limits, error)) engine->forget(realm->id);
    // Time depends on what else the machine does: such a verdict is not kept.
    if (!ranOutOfTime(error)) cache.add(text, limits, error);
    return error;
}

}  // namespace

namespace {

// A function object's realm, held by the engine of the thread that made it.
struct RealmHandle {
    std::shared_ptr<EngineOwner> owner;
    Realm* realm = nullptr;

    RealmHandle() = default;
    RealmHandle(const RealmHandle&) = delete;
    RealmHandle& operator=(const RealmHandle&) = delete;
    ~RealmHandle() {
        if (!owner || !realm) return;
        std::unique_lock<std::mutex> lock(owner->mutex);
        if (!owner->engine) return;
        if (owner->thread == std::this_thread::get_id()) {
            Engine* engine = owner->engine;
            lock.unlock();
            engine->forget(realm->id);
        } else {
            owner->dropped.push_back(realm->id);
            owner->anyDropped.store(true);
        }
    }
};

}  // namespace

namespace {

void* startRealmHandle(const std::string& text, const jmfScriptLimits& limits, std::string& error) {
    Engine* engine = threadEngine();
    if (!engine) {
        error = kNoEngine;
        return nullptr;
    }
    auto handle = std::make_unique<RealmHandle>();
    handle->owner = engine->owner;
    handle->realm = startRealm(*engine, text, limits, error);
    return handle->realm ? handle.release() : nullptr;
}

bool local(const void* handle) {
    const Engine* engine = threadEngine();
    return engine && static_cast<const RealmHandle*>(handle)->owner == engine->owner;
}

void drop(void* handle) {
    delete static_cast<RealmHandle*>(handle);
}

std::size_t heapBytes(const void* handle) {
    return std::size_t(js::GetGCHeapUsageForObjectZone(static_cast<const RealmHandle*>(handle)->realm->global));
}

bool callRealm(void* handle, std::span<const double> arguments, std::size_t components, const jmfScriptLimits& limits,
               std::vector<double>& values, std::string& error) {
    values.clear();
    auto* held = static_cast<RealmHandle*>(handle);
    Engine& engine = *held->owner->engine;
    Realm& realm = *held->realm;
    JSContext* cx = engine.cx;
    JSAutoRealm inRealm(cx, realm.global);
    allowGrowth(engine, realm.global, limits);
    // The quantities pass one or three numbers: those stay on the stack.
    constexpr std::size_t kFew = 4;
    JS::RootedValueArray<kFew> few(cx);
    JS::RootedValueVector many(cx);
    if (arguments.size() > kFew && !many.reserve(arguments.size())) {
        JS_ClearPendingException(cx);
        error = outOfMemory("intensity", limits);
        return false;
    }
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments.size() <= kFew)
            few[i].setNumber(arguments[i]);
        else
            many.infallibleAppend(JS::NumberValue(arguments[i]));
    }
    const JS::HandleValueArray args = arguments.size() <= kFew
                                          ? JS::HandleValueArray::subarray(few, 0, arguments.size())
                                          : JS::HandleValueArray(many);
    JS::RootedValue function(cx, JS::ObjectValue(*realm.function));
    JS::RootedValue result(cx);
    JS::RootedValue element(cx);
    Problem problem = Problem::none;
    std::uint32_t length = 0;
    std::uint32_t index = 0;
    double value = 0.0;

    values.resize(components);
    const std::uint64_t running = engine.begin(limits);
    bool ok = JS::Call(cx, JS::UndefinedHandleValue, function, args, &result);
    if (ok && components == 1) {
        if (!result.isNumber())
            problem = Problem::type;
        else if (!std::isfinite(value = result.toNumber()))
            problem = Problem::nonFinite;
        else
            values[0] = value;
    } else if (ok) {
        bool array = false;
        ok = JS::IsArrayObject(cx, result, &array);
        if (ok && !array) problem = Problem::type;
        if (ok && array) {
            JS::RootedObject object(cx, &result.toObject());
            ok = JS::GetArrayLength(cx, object, &length);
            if (ok && length != components) problem = Problem::length;
            for (std::uint32_t i = 0; ok && problem == Problem::none && i < length; ++i) {
                index = i;
                ok = JS_GetElement(cx, object, index, &element);
                if (!ok) break;
                if (!element.isNumber())
                    problem = Problem::element;
                else if (!std::isfinite(value = element.toNumber()))
                    problem = Problem::elementNonFinite;
                else
                    values[index] = value;
            }
        }
    }
    engine.end();
    if (!ok) {
        error = failure(engine, running, limits, "intensity", "intensity failed: ");
        values.clear();
        return false;
    }
    const std::string expected =
        components == 1 ? "a number" : "an array of " + std::to_string(components) + " numbers";
    switch (problem) {
        case Problem::none:
            error.clear();
            return true;
        case Problem::type:
            error = "intensity returned " + typeName(cx, result) + ", expected " + expected;
            break;
        case Problem::length:
            error = "intensity returned an array of " + std::to_string(length) + (length == 1 ? " value" : " values") +
                    ", expected " + expected;
            break;
        case Problem::element:
            error = "intensity returned an array whose element " + std::to_string(index) + " is " +
                    typeName(cx, element) + ", expected " + expected;
            break;
        case Problem::nonFinite:
            error = "intensity returned " + numberText(value) + ", expected a finite number";
            break;
        case Problem::elementNonFinite:
            error = "intensity returned an array whose element " + std::to_string(index) + " is " + numberText(value) +
                    ", expected finite numbers";
            break;
    }
    values.clear();
    return false;
}

const jmf_detail::jmfEngineInterface kInterface = {checkScript, startRealmHandle, local, drop, callRealm, heapBytes};

}  // namespace

extern "C" __attribute__((visibility("default"))) const jmf_detail::jmfEngineInterface* kestrel_script_engine() {
    return &kInterface;
}
