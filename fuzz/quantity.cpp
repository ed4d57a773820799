// The quantity parser, for every quantity class: every text it accepts must read back to the
// same bits from the text the quantity writes for itself ("number SI-symbol").
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>

#include "kestrel/components/units/jsQuantity.h"

namespace {
[[noreturn]] void fail(std::string_view input, const std::string& written, const jsUnitDescriptor& unit,
                       const char* what) {
    std::fprintf(stderr, "==== quantity harness (%s): %s\n---- input: \"%.*s\"\n---- written: \"%s\"\n",
                 unit.quantityName, what, static_cast<int>(input.size()), input.data(), written.c_str());
    std::abort();
}

// The text form has one NaN: any NaN reads back as NaN, other values to the same bits.
bool sameValue(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

template <class U>
void check(std::string_view text) {
    double value = 0.0;
    try {
        value = jsParseQuantity(text, U::descriptor());
    } catch (const std::invalid_argument&) {
        return;
    }
    const std::string written = U(value).format(0, 0, 0, 0);
    double back = 0.0;
    try {
        back = jsParseQuantity(written, U::descriptor());
    } catch (const std::invalid_argument&) {
        fail(text, written, U::descriptor(), "written quantity does not read");
    }
    if (!sameValue(value, back)) fail(text, written, U::descriptor(), "written quantity reads back different");
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    check<jsPressure>(text);
    check<jsTemperatureDifference>(text);
    check<jsForcePerUnitLength>(text);
    check<jsForcePerUnitArea>(text);
    check<jsForcePerUnitVolume>(text);
    check<jsForcePerUnitAreaPerAngle>(text);
    check<jsForce>(text);
    check<jsMomentOfForce>(text);
    check<jsLength>(text);
    check<jsAngle>(text);
    return 0;
}
