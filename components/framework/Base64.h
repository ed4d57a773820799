#pragma once

#include <string>
#include <string_view>

// Standard Base64 (RFC 4648) with padding.
class Base64 {
public:
    static std::string encode(std::string_view bytes);
    // Ignores white space; throws std::invalid_argument on any other character outside the alphabet
    // or on bad padding.
    static std::string decode(std::string_view text);
};
