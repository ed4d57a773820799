// Reading and writing the two benchmark documents through the bindings, each beside the
// hand-written pugixml reader or writer in the same run: a 100 x 100 x 100 pressure grid and the
// example's loads repeated 1,000 times. BM_read_grid_items reads grids of 1e3 to 1e6 nodes, so
// that the cost per node can be compared across sizes.
#include <benchmark/benchmark.h>

#include <map>

#include "bench/bench_documents.h"
#include "bench/pugi_baseline.h"

namespace {
const std::string& document(int which) {
    static std::map<int, std::string> cache;
    auto& text = cache[which];
    if (text.empty()) text = which <= 0 ? benchdoc::example(1000, which == 0) : benchdoc::grid(which);
    return text;
}

// Arguments: 0 the example document, -1 the same without the script kinds, n > 0 the grid of
// n x n x n nodes.
void BM_read_library(benchmark::State& state) {
    const std::string& text = document(int(state.range(0)));
    for (auto _ : state) {
        hostSession session;
        xpReadResult result = session.document.read(session.root, text);
        if (!result.errors.empty()) state.SkipWithError(result.errors.front().message.c_str());
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(text.size()));
}

void BM_read_baseline(benchmark::State& state) {
    const std::string& text = document(int(state.range(0)));
    for (auto _ : state) {
        pugi::xml_document doc;
        doc.load_buffer(text.data(), text.size());
        benchmark::DoNotOptimize(baseline::read(doc.document_element()));
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(text.size()));
}

void BM_write_library(benchmark::State& state) {
    hostSession session;
    session.document.read(session.root, document(int(state.range(0))));
    for (auto _ : state) {
        std::string out;
        benchmark::DoNotOptimize(session.document.write(session.root, out));
    }
}

void BM_write_baseline(benchmark::State& state) {
    pugi::xml_document doc;
    const std::string& text = document(int(state.range(0)));
    doc.load_buffer(text.data(), text.size());
    baseline::UnitScales units;
    baseline::Script script;
    baseline::record(doc.document_element(), units, script);
    for (auto _ : state) benchmark::DoNotOptimize(baseline::write(script));
}

// Grids of 10^3, 22^3, 46^3 and 100^3 nodes: items are nodes. The session (registration and the
// node tree, about a millisecond) is built once, so that the time is the reading alone.
void BM_read_grid_items(benchmark::State& state) {
    const int n = int(state.range(0));
    const std::string& text = document(n);
    hostSession session;
    for (auto _ : state) benchmark::DoNotOptimize(session.document.read(session.root, text));
    state.SetItemsProcessed(state.iterations() * std::int64_t(n) * n * n);
}
void BM_read_grid_items_baseline(benchmark::State& state) {
    const int n = int(state.range(0));
    const std::string& text = document(n);
    for (auto _ : state) {
        pugi::xml_document doc;
        doc.load_buffer(text.data(), text.size());
        benchmark::DoNotOptimize(baseline::read(doc.document_element()));
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(n) * n * n);
}
}  // namespace

BENCHMARK(BM_read_library)->Arg(100)->Arg(0)->Arg(-1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_read_baseline)->Arg(100)->Arg(0)->Arg(-1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_write_library)->Arg(100)->Arg(0)->Arg(-1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_write_baseline)->Arg(100)->Arg(0)->Arg(-1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_read_grid_items)->Arg(10)->Arg(22)->Arg(46)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_read_grid_items_baseline)->Arg(10)->Arg(22)->Arg(46)->Arg(100)->Unit(benchmark::kMillisecond);
