#include "kestrel/components/framework/jmfFunctionObject.h"

#include <dlfcn.h>

#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "detail/jmfEngineInterface.h"

namespace {

using jmf_detail::jmfEngineInterface;

constexpr const char* kNoEngine = "the script engine does not start";

struct Module {
    const jmfEngineInterface* engine = nullptr;
    std::string error;  // why the module did not load
};

// The engine module, loaded once: beside the library that holds this code (its `kestrel` folder),
// then where it is installed, then where the build made it.
const Module& module() {
    static const Module loaded = [] {
        Module m;
        std::vector<std::string> places;
        Dl_info info{};
        if (dladdr(reinterpret_cast<const void*>(&module), &info) != 0 && info.dli_fname)
            places.push_back(std::filesystem::path(info.dli_fname).parent_path() / "kestrel" /
                             KESTREL_SCRIPT_ENGINE_FILE);
        places.push_back(KESTREL_SCRIPT_ENGINE_INSTALLED);
        places.push_back(KESTREL_SCRIPT_ENGINE_BUILT);
        for (const std::string& place : places) {
            void* handle = dlopen(place.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (!handle) {
                if (m.error.empty()) m.error = dlerror();
                continue;
            }
            // The module stays for the life of the process: its engine shuts down at exit.
            if (auto entry = reinterpret_cast<jmf_detail::jmfEngineEntry>(dlsym(handle, jmf_detail::kEngineEntry))) {
                m.engine = entry();
                m.error.clear();
                break;
            }
        }
        return m;
    }();
    return loaded;
}

std::string noEngine() {
    return module().error.empty() ? kNoEngine : std::string(kNoEngine) + ": " + module().error;
}

std::string checkScript(const std::string& text, const jmfScriptLimits& limits) {
    const jmfEngineInterface* engine = module().engine;
    return engine ? engine->check(text, limits) : noEngine();
}

jmfScriptLimits& defaults() {
    static jmfScriptLimits limits;
    return limits;
}

std::mutex& defaultsMutex() {
    static std::mutex mutex;
    return mutex;
}

}  // namespace

namespace jmf_detail {
// A function object's realm: the engine module's handle, let go through the module.
struct jmfScriptRealm {
    void* handle = nullptr;
    explicit jmfScriptRealm(void* handle) : handle(handle) {}
    jmfScriptRealm(const jmfScriptRealm&) = delete;
    jmfScriptRealm& operator=(const jmfScriptRealm&) = delete;
    ~jmfScriptRealm() { module().engine->drop(handle); }
};
}  // namespace jmf_detail

using jmf_detail::jmfScriptRealm;

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
        m_realm.reset();
        m_started = false;
        m_error.clear();
        m_compileError = checkScript(m_text, m_limits);
    }
    return *this;
}

jmfFunctionObject::~jmfFunctionObject() = default;

void jmfFunctionObject::setLimits(const jmfScriptLimits& limits) {
    m_limits = limits;
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
    return start() ? module().engine->heapBytes(m_realm->handle) : 0;
}

bool jmfFunctionObject::start() const {
    if (!m_compileError.empty()) return false;
    const jmfEngineInterface* engine = module().engine;
    if (!engine) {
        m_startError = noEngine();
        return false;
    }
    // A realm lives in the context of the thread that made it: another thread starts afresh.
    if (m_started && m_realm && !engine->local(m_realm->handle)) {
        m_realm.reset();
        m_started = false;
    }
    if (!m_started) {
        m_started = true;
        if (void* handle = engine->start(m_text, m_limits, m_startError))
            m_realm = std::make_unique<jmfScriptRealm>(handle);
    }
    return m_realm != nullptr;
}

bool jmfFunctionObject::call(std::span<const double> arguments, std::size_t components,
                             std::vector<double>& values) const {
    values.clear();
    if (!start()) {
        m_error = m_compileError.empty() ? m_startError : m_compileError;
        return false;
    }
    return module().engine->call(m_realm->handle, arguments, components, m_limits, values, m_error);
}
