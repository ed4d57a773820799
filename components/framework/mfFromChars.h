#pragma once

#include <fast_float/fast_float.h>

#include <charconv>
#include <cmath>
#include <system_error>

// std::from_chars for double, answered by fast_float where both give the same: a normal value,
// or a zero whose digits are all zero. Everything else (subnormals, underflow, overflow,
// infinities, NaN, texts that are no number) is left to std::from_chars, which also decides
// what is out of range.
inline std::from_chars_result mfFromChars(const char* first, const char* last, double& value) {
    double fast = 0.0;
    const fast_float::from_chars_result parsed = fast_float::from_chars(first, last, fast);
    if (parsed.ec == std::errc()) {
        bool exact = std::isnormal(fast);
        if (!exact && fast == 0.0) {
            exact = true;
            for (const char* c = first; c != parsed.ptr && *c != 'e' && *c != 'E'; ++c)
                if (*c >= '1' && *c <= '9') exact = false;
        }
        if (exact) {
            value = fast;
            return {parsed.ptr, std::errc()};
        }
    }
    return std::from_chars(first, last, value);
}
