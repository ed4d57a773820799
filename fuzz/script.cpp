// Compiles each input as a script and evaluates its `intensity` as a surface and as a line
// function, under small budgets: whatever the text holds must end in a value or an error.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "kestrel/components/framework/jmfFunctionObject.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool limited = [] {
        jmfFunctionObject::setDefaultLimits({std::chrono::milliseconds(20), std::size_t(2) << 20});
        return true;
    }();
    (void)limited;
    const jmfFunctionObject function(std::string(reinterpret_cast<const char*>(data), size));
    std::vector<double> values;
    const double position[] = {1.5, -2.0, 0.25};
    const bool surface = function.call(position, 3, values);
    if (surface != function.error().empty() || (surface && values.size() != 3)) __builtin_trap();
    const double t[] = {0.5};
    const bool line = function.call(t, 1, values);
    if (line != function.error().empty() || (line && values.size() != 1)) __builtin_trap();
    if (!function.compileError().empty() && (surface || line)) __builtin_trap();
    if (function.engineBytes() > function.limits().heapBytes) __builtin_trap();
    return 0;
}
