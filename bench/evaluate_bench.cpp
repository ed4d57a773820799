// The C++ loops the Python module's Load.evaluate is measured against (scripts/bench_python.sh):
// the example's wind load at the positions `kestrel sample --step 0.0092` makes over its facade
// (about a million): through the evaluator's loop the module runs (limited values), through
// the library's kestrel::evaluate one position at a time (values before the limit), and through
// the evaluator's rows as `kestrel sample` makes them (value, limited value, footprint test).
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

#include "kestrel/kestrel.h"
#include "tools/host/hostDocument.h"
#include "tools/view/viewEvaluation.h"
#include "tools/view/viewSampling.h"

namespace {
struct Wind {
    kestrel::Load load;
    std::vector<pos3d> positions;
    Wind() {
        for (const hostLoad& l : hostExampleLoads())
            if (l.name == "wind on facade") load = l;
        std::string error;
        viewSamplePositions(*load.footprint, 0.0092, positions, error);
    }
};
const Wind& wind() {
    static const Wind w;
    return w;
}
// Made before the benchmarks run, so that an instruction count of one of them holds its loop only.
const Wind& g_wind = wind();

void BM_evaluate_evaluator(benchmark::State& state) {
    const Wind& w = wind();
    std::vector<double> out(w.positions.size());
    for (auto _ : state) {
        const viewEvaluator evaluator(w.load);
        for (std::size_t i = 0; i < w.positions.size(); ++i) evaluator.valuesAt(w.positions[i], true, &out[i], 1);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["positions"] = static_cast<double>(w.positions.size());
}

// What `kestrel sample` does per row: the value, the limited value and the footprint test.
void BM_evaluate_rows(benchmark::State& state) {
    const Wind& w = wind();
    std::vector<double> out(w.positions.size());
    for (auto _ : state) {
        const viewEvaluator evaluator(w.load);
        for (std::size_t i = 0; i < w.positions.size(); ++i) {
            const viewEvaluation e = evaluator.at(w.positions[i]);
            out[i] = e.limited && !e.limited->empty() ? e.limited->front() : std::nan("");
        }
        benchmark::DoNotOptimize(out.data());
    }
}

void BM_evaluate_library(benchmark::State& state) {
    const Wind& w = wind();
    std::vector<double> out(w.positions.size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < w.positions.size(); ++i) {
            const kestrel::Evaluation e = kestrel::evaluate(w.load, w.positions[i]);
            out[i] = e.has_value() ? e.value.front() : std::nan("");
        }
        benchmark::DoNotOptimize(out.data());
    }
}
}  // namespace

BENCHMARK(BM_evaluate_evaluator)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_evaluate_library)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_evaluate_rows)->Unit(benchmark::kMillisecond);
