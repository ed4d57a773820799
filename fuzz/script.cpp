// Compiles each input as a script and evaluates its `intensity` as a surface and as a line
// function, under small budgets: whatever the text holds must end in a value or an error, each
// call within twice its budget plus a margin for the sanitizers and a loaded machine.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "kestrel/components/framework/jmfFunctionObject.h"

namespace {

constexpr std::chrono::milliseconds kBudget(20);
constexpr std::size_t kHeap = std::size_t(2) << 20;
constexpr std::chrono::milliseconds kLongest = 2 * kBudget + std::chrono::milliseconds(400);

// Runs `step`, stopping the fuzzer when it outlives the deadline.
template <class Step>
void timed(const char* what, Step step) {
    const auto start = std::chrono::steady_clock::now();
    step();
    const auto took = std::chrono::steady_clock::now() - start;
    if (took > kLongest) {
        std::fprintf(stderr, "%s took %lld ms, beyond %lld ms\n", what,
                     static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()),
                     static_cast<long long>(kLongest.count()));
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The engine starts once per process and per thread, untimed: what is timed is the script.
    static const bool limited = [] {
        jmfFunctionObject::setDefaultLimits({kBudget, kHeap});
        return jmfFunctionObject("const intensity = () => 1;").compileError().empty();
    }();
    (void)limited;
    const std::string text(reinterpret_cast<const char*>(data), size);
    // Checking runs the top level, then the first call runs it again in the function's realm.
    std::optional<jmfFunctionObject> made;
    timed("checking the script", [&] { made.emplace(text); });
    const jmfFunctionObject& function = *made;
    std::vector<double> values;
    const double position[] = {1.5, -2.0, 0.25};
    bool surface = false;
    timed("the first call", [&] { surface = function.call(position, 3, values); });
    if (surface != function.error().empty() || (surface && values.size() != 3)) __builtin_trap();
    const double t[] = {0.5};
    bool line = false;
    timed("the second call", [&] { line = function.call(t, 1, values); });
    if (line != function.error().empty() || (line && values.size() != 1)) __builtin_trap();
    if (!function.compileError().empty() && (surface || line)) __builtin_trap();
    // The engine tenures young objects past the cap before the watchdog sees it: a bound, not the cap.
    if (function.engineBytes() > 3 * function.limits().heapBytes) __builtin_trap();
    return 0;
}
