#pragma once

#include <cstring>
#include <string_view>

// Whether a parser's NUL-terminated name is `name`, without measuring it first. Short names
// (most attribute names) are compared in place; longer ones through the library, which reads
// them a block at a time and stops at the terminator.
inline bool xpNameEquals(const char* text, std::string_view name) {
    if (name.size() > 8)
        return std::strncmp(text, name.data(), name.size()) == 0 && text[name.size()] == '\0';
    for (const char c : name)
        if (*text++ != c) return false;
    return *text == '\0';
}
