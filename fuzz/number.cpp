// The number cast of attribute and character data: every text it accepts must read back to the
// same bits from the text the formatter writes for it.
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "kestrel/components/framework/mfLexicalCast.h"
#include "kestrel/components/framework/mfTextFormatter.h"

namespace {
[[noreturn]] void fail(const std::string& input, const std::string& written, const char* what) {
    std::fprintf(stderr, "==== number harness: %s\n---- input: \"%s\"\n---- written: \"%s\"\n", what, input.c_str(),
                 written.c_str());
    std::abort();
}

// The text form has one NaN: any NaN reads back as NaN, other values to the same bits.
bool sameValue(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

void checkDouble(const std::string& text) {
    double value = 0.0;
    try {
        value = mfLexicalCast<double>(text);
    } catch (const std::invalid_argument&) {
        return;
    }
    const std::string written = mfTextFormatter::format_impl(value);
    double back = 0.0;
    try {
        back = mfLexicalCast<double>(written);
    } catch (const std::invalid_argument&) {
        fail(text, written, "written double does not read");
    }
    if (!sameValue(value, back)) fail(text, written, "written double reads back different");
}

void checkInt(const std::string& text) {
    int value = 0;
    try {
        value = mfLexicalCast<int>(text);
    } catch (const std::invalid_argument&) {
        return;
    }
    const std::string written = mfTextFormatter::format_impl(value);
    try {
        if (mfLexicalCast<int>(written) != value) fail(text, written, "written int reads back different");
    } catch (const std::invalid_argument&) {
        fail(text, written, "written int does not read");
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    checkDouble(text);
    checkInt(text);
    return 0;
}
