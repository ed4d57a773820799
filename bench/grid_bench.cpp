// A pressure grid of 100 x 100 x 100 nodes written and read, against a plain pugixml parse of the
// same text that runs every point's coordinates and pressure through the units parser; and grid
// evaluation on axes of growing length; writing sparse grids of growing node count.
#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <cstring>
#include <string>

#include "bench/bench_session.h"
#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/model/laIntensityFunctionGrid.h"

namespace {
using Pressure = laPressure<double>;
using Grid = laIntensityFunctionGrid<Pressure>;

struct Session : BenchSession<laIntensityFunction<Pressure>> {
    Session() : BenchSession("intensity") {}
};

Vector<double> axis(int nodes, double step) {
    Vector<double> values;
    for (int i = 0; i < nodes; ++i) values.push_back(i * step);
    return values;
}

Grid* grid(int nodes) {
    Grid* g = mfCreate<Grid>();
    g->setXValues(axis(nodes, 0.25));
    g->setYValues(axis(nodes, 0.5));
    g->setZValues(axis(nodes, 0.125));
    for (int ix = 0; ix < nodes; ++ix)
        for (int iy = 0; iy < nodes; ++iy)
            for (int iz = 0; iz < nodes; ++iz) g->node(ix, iy, iz) = Pressure(1000 + ix + 0.5 * iy - 0.25 * iz);
    return g;
}

const std::string& text() {
    static const std::string written = [] {
        Session session;
        session.owner.object = grid(100);
        std::string out;
        session.document.write(session.owner, out);
        return out;
    }();
    return written;
}

void BM_grid_export(benchmark::State& state) {
    Session session;
    session.owner.object = grid(100);
    for (auto _ : state) {
        std::string out;
        benchmark::DoNotOptimize(session.document.write(session.owner, out));
    }
    state.SetItemsProcessed(state.iterations() * 1000000);
}

void BM_grid_import(benchmark::State& state) {
    const std::string& written = text();
    for (auto _ : state) {
        Session session;
        benchmark::DoNotOptimize(session.document.read(session.owner, written));
    }
    state.counters["text_MiB"] = double(written.size()) / (1024.0 * 1024.0);
    state.SetItemsProcessed(state.iterations() * 1000000);
}

void BM_grid_baseline(benchmark::State& state) {
    const std::string& written = text();
    for (auto _ : state) {
        pugi::xml_document doc;
        doc.load_buffer(written.data(), written.size());
        double sum = 0;
        for (pugi::xml_node point : doc.select_node("//pressure_points").node().children("pressure_point")) {
            for (const char* axisName : {"x", "y", "z"})
                sum += jsParseQuantity(point.attribute(axisName).value(), jsLength::descriptor());
            sum += jsParseQuantity(point.attribute("pressure").value(), jsPressure::descriptor());
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * 1000000);
}

// Evaluation at 1,000,000 positions spread over the grid; the axes have state.range(0) nodes.
void BM_grid_evaluate(benchmark::State& state) {
    const int nodes = int(state.range(0));
    std::unique_ptr<Grid> g(mfCreate<Grid>());
    g->setXValues(axis(nodes, 10.0 / nodes));
    g->setYValues(axis(2, 1));
    g->setZValues(axis(nodes, 5.0 / nodes));
    for (int ix = 0; ix < nodes; ++ix)
        for (int iz = 0; iz < nodes; ++iz) g->node(ix, 0, iz) = g->node(ix, 1, iz) = Pressure(ix - iz);
    g->positionSystem = lcLoad::global;
    const lcLoad load;
    for (auto _ : state) {
        double sum = 0;
        for (long long i = 0; i < 1000000; ++i) {
            const pos3d at(1e-5 * (i % 1000003 % 1000000), 0.3, 5e-6 * ((i * 7919) % 1000000));
            sum += g->getIntensity(&load, at, lcLoad::global, 1.0).get_complex(0).real();
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * 1000000);
}

// Writing a grid of n x n x n nodes of which three hold a pressure: the text stays four points
// long however many nodes there are, and the time grows with the nodes visited, not faster.
void BM_grid_sparse_export(benchmark::State& state) {
    const int nodes = int(state.range(0));
    Session session;
    Grid* g = mfCreate<Grid>();
    g->setXValues(axis(nodes, 1));
    g->setYValues(axis(nodes, 1));
    g->setZValues(axis(nodes, 1));
    for (int i = 0; i < 3; ++i) g->node(i, i, i) = Pressure(480);
    session.owner.object = g;
    std::size_t size = 0;
    for (auto _ : state) {
        std::string out;
        benchmark::DoNotOptimize(session.document.write(session.owner, out));
        size = out.size();
    }
    state.counters["text_bytes"] = double(size);
    state.counters["time_per_node"] = benchmark::Counter(
        double(nodes) * nodes * nodes, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
}  // namespace

BENCHMARK(BM_grid_export)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_grid_import)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_grid_baseline)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_grid_sparse_export)->Arg(50)->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_grid_evaluate)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
