// A script pressure evaluated at a million positions, against a constant pressure at the same
// positions in the same run; starting a script's engine, with the memory it holds; and checking
// a script as reading does.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "kestrel/components/framework/jmfFunctionObject.h"
#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/model/laIntensityConstant.h"
#include "kestrel/model/laIntensityJavaScript.h"

namespace {
using Pressure = laPressure<double>;

const char* const kScript = "function intensity(x, y, z) { return 1000 + 10 * x + 100 * z; }";

// The load both functions act in: a local system away from the global one, so that positions
// are converted as a document's loads usually need.
const lcLoad& load() {
    static const lcLoad facade(coordsys3d::cartesian(locsys3d(pos3d(0, 0, 3.5), vec3d(1, 0, 0), vec3d(0, 0, 1))));
    return facade;
}

double sweep(const lcIntensityFunction& function, int positions) {
    double sum = 0;
    for (int i = 0; i < positions; ++i) {
        const pos3d at(0.001 * (i % 12000), 0.5, 0.0007 * (i % 10000));
        const lcIntensity value = function.getIntensity(&load(), at, lcLoad::global, 1.0);
        sum += value.real(0);
    }
    return sum;
}

void BM_evaluate_constant_pressure(benchmark::State& state) {
    std::unique_ptr<laIntensityConstant<Pressure>> function(mfCreate<laIntensityConstant<Pressure>>(Pressure(1000)));
    for (auto _ : state) benchmark::DoNotOptimize(sweep(*function, int(state.range(0))));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_evaluate_script_pressure(benchmark::State& state) {
    std::unique_ptr<laIntensityJavaScript<Pressure>> function(
        mfCreate<laIntensityJavaScript<Pressure>>(mfCreate<jmfFunctionObject>(kScript), 0.5));
    if (!function->function()->compileError().empty()) state.SkipWithError("the script does not compile");
    for (auto _ : state) benchmark::DoNotOptimize(sweep(*function, int(state.range(0))));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Making a function and starting its engine, as its first call does; "engine_bytes" is the heap
// the engine then holds.
void BM_compile_script(benchmark::State& state) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        const jmfFunctionObject function(kScript);
        bytes = function.engineBytes();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["engine_bytes"] = double(bytes);
}

// Checking a script when it is read: a text not seen before, and one seen before (a document
// repeats its scripts).
void BM_check_script(benchmark::State& state) {
    std::size_t n = 0;
    for (auto _ : state) {
        const jmfFunctionObject function(std::string(kScript) + " // " + std::to_string(++n));
        benchmark::DoNotOptimize(function.compileError().data());
    }
}

void BM_check_repeated_script(benchmark::State& state) {
    const std::string text = kScript;
    for (auto _ : state) {
        const jmfFunctionObject function(text);
        benchmark::DoNotOptimize(function.compileError().data());
    }
}
}  // namespace

BENCHMARK(BM_evaluate_constant_pressure)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_evaluate_script_pressure)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_compile_script)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_check_script)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_check_repeated_script)->Unit(benchmark::kMicrosecond);
