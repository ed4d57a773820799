// Writing and reading a polygon footprint of many corners, against a plain pugixml parse of the
// same text that runs every coordinate through the units parser.
#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <cmath>

#include "bench/bench_session.h"
#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/components/units/jsQuantity.h"
#include "kestrel/model/laFootprintPolygon.h"

namespace {
struct Session : BenchSession<lcFootprint_2d> {
    Session() : BenchSession("footprint") {}
};

// A polygon with `corners` corners on a circle of 10 m, with coordinates that need all digits.
laFootprintPolygon* polygon(int corners) {
    List<pos3d> points;
    for (int i = 0; i < corners; ++i) {
        const double angle = 2 * M_PI * i / corners;
        points.push_back({10 * std::cos(angle), 10 * std::sin(angle), 0.1 * i});
    }
    return mfCreate<laFootprintPolygon>(points);
}

std::string text(int corners) {
    Session session;
    session.owner.object = polygon(corners);
    std::string written;
    session.document.write(session.owner, written);
    return written;
}

void BM_polygon_export(benchmark::State& state) {
    Session session;
    session.owner.object = polygon(int(state.range(0)));
    for (auto _ : state) {
        std::string written;
        benchmark::DoNotOptimize(session.document.write(session.owner, written));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_polygon_import(benchmark::State& state) {
    const std::string written = text(int(state.range(0)));
    Session session;
    for (auto _ : state) {
        benchmark::DoNotOptimize(session.document.read(session.owner, written));
        delete session.owner.object;
        session.owner.object = nullptr;
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_polygon_baseline(benchmark::State& state) {
    const std::string written = text(int(state.range(0)));
    for (auto _ : state) {
        pugi::xml_document doc;
        doc.load_buffer(written.data(), written.size());
        double sum = 0;
        for (pugi::xml_node point : doc.select_node("//points").node().children("point"))
            for (const char* axis : {"x", "y", "z"})
                sum += jsParseQuantity(point.attribute(axis).value(), jsLength::descriptor());
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
}  // namespace

BENCHMARK(BM_polygon_export)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_polygon_import)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_polygon_baseline)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
