#include "kestrel/components/framework/mfTextFormatter.h"

#include <cxxabi.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string_view>
#include <unordered_map>

const std::string& mfDemangledName(const std::type_info& type) {
    static std::mutex mutex;
    // Keyed by the name pointer; node-based so references stay valid as the map grows.
    static std::unordered_map<const char*, std::string> cache;
    std::lock_guard lock(mutex);
    auto found = cache.find(type.name());
    if (found != cache.end()) return found->second;
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(abi::__cxa_demangle(type.name(), nullptr, nullptr, &status),
                                                     std::free);
    std::string name = status == 0 && demangled ? demangled.get() : type.name();
    return cache.emplace(type.name(), std::move(name)).first->second;
}

char* mfTextFormatter::format_to(char* buffer, double value) {
    const std::string_view special = std::isnan(value) ? "NaN" : !std::isinf(value) ? "" : value < 0 ? "-INF" : "INF";
    if (!special.empty()) return std::copy(special.begin(), special.end(), buffer);
    return std::to_chars(buffer, buffer + kDoubleChars, value).ptr;
}

std::string mfTextFormatter::format_impl(double value, const mfScriptContext&) {
    char buffer[kDoubleChars];
    return std::string(buffer, format_to(buffer, value));
}

std::string mfTextFormatter::format_impl(int value, const mfScriptContext&) {
    return std::to_string(value);
}

std::string mfTextFormatter::format_impl(const std::string& value, const mfScriptContext&) {
    return value;
}

std::string mfTextFormatter::format_impl(const std::type_info& type, const mfScriptContext&) {
    const std::string& demangled = mfDemangledName(type);
    std::string name;
    name.reserve(demangled.size());
    for (std::size_t i = 0; i < demangled.size(); ++i) {
        char c = demangled[i];
        if (c == ':' && i + 1 < demangled.size() && demangled[i + 1] == ':') {
            name += '.';
            ++i;
        } else if (c == '<' || c == ',') {
            name += '_';
        } else if (c == '*') {
            name += "Ptr";
        } else if (c == '&') {
            name += "Ref";
        } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '.' ||
                   c == '-') {
            name += c;
        }
        // Blanks, '>' and other punctuation are dropped.
    }
    bool startsWell =
        !name.empty() && ((name[0] >= 'a' && name[0] <= 'z') || (name[0] >= 'A' && name[0] <= 'Z') || name[0] == '_');
    return startsWell ? name : '_' + name;
}
