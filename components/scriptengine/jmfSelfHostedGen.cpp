// Run by the build: parses the engine's self-hosted code once and writes it, with the identity of
// the engine library that made it, as a C++ source the engine module is built with. Where that
// cannot be done it writes an empty one, and engines parse the code as they start.
#include <js/BuildId.h>
#include <js/Context.h>
#include <js/ContextOptions.h>
#include <js/Initialization.h>
#include <jsapi.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "detail/jmfSelfHosted.h"

namespace {
std::vector<unsigned char> g_cache;

bool engineBuildId(JS::BuildIdCharVector* buildId) {
    static const std::string id = jmf_detail::engineIdentity();
    return buildId->append(id.data(), id.size());
}

bool keep(JSContext*, JS::SelfHostedCache cache) {
    g_cache.assign(cache.begin(), cache.end());
    return true;
}

std::string parse(std::string& identity) {
    identity = jmf_detail::engineIdentity();
    if (identity.empty()) return "the engine library carries no build-id";
    JS::SetProcessBuildIdOp(engineBuildId);
    if (!JS_Init()) return "the engine does not start";
    JSContext* cx = JS_NewContext(JS::DefaultHeapMaxBytes);
    if (!cx) return "no context";
    JS::ContextOptionsRef(cx).setWasm(false).setAsmJS(false);
    const bool parsed = JS::InitSelfHostedCode(cx, nullptr, keep);
    JS_DestroyContext(cx);
    JS_ShutDown();
    return parsed && !g_cache.empty() ? std::string() : "the self-hosted code did not parse";
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.cpp\n", argv[0]);
        return 2;
    }
    std::string identity;
    if (const std::string problem = parse(identity); !problem.empty()) {
        std::fprintf(stderr, "engine code kept for no engine: %s\n", problem.c_str());
        identity.clear();
        g_cache.clear();
    }
    std::ofstream out(argv[1]);
    out << "#include <cstddef>\nnamespace jmf_detail {\nextern const char kSelfHostedIdentity[] = \"" << identity
        << "\";\nextern const std::size_t kSelfHostedCacheSize = " << g_cache.size()
        << ";\nalignas(16) extern const unsigned char kSelfHostedCache[] = {";
    for (std::size_t i = 0; i < g_cache.size(); ++i) {
        if (i) out << ',';
        if (i % 24 == 0) out << '\n';
        out << int(g_cache[i]);
    }
    out << (g_cache.empty() ? "0" : "") << "};\n}\n";
    return out ? 0 : 1;
}
