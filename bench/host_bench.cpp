// Reading and writing host documents against a plain pugixml parse of the same text.
#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include "tools/host/hostDocument.h"

namespace {
std::string document(int loads) {
    List<hostLoad> list;
    for (int i = 0; i < loads; ++i)
        list.push_back({"load " + std::to_string(i), hostCoordinates::cartesian,
                        locsys3d(pos3d(i * 0.5, 1.25, -3), vec3d(1, 0, 0), vec3d(0, 1, 0)), nullptr, nullptr});
    hostSession session;
    session.root.m_loads = list;
    std::string text;
    session.document.write(session.root, text);
    return text;
}

void BM_read_loads(benchmark::State& state) {
    const std::string text = document(int(state.range(0)));
    for (auto _ : state) {
        hostSession session;
        benchmark::DoNotOptimize(session.document.read(session.root, text));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Baseline: parse the same text and convert every coordinate with the units parser.
void BM_pugixml_baseline(benchmark::State& state) {
    const std::string text = document(int(state.range(0)));
    for (auto _ : state) {
        pugi::xml_document doc;
        doc.load_buffer(text.data(), text.size());
        double sum = 0;
        for (pugi::xml_node load : doc.child("loads").children("load"))
            for (pugi::xml_attribute a : load.child("local_system").child("origin").attributes())
                sum += jsParseQuantity(a.value(), jsLength::descriptor());
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_write_loads(benchmark::State& state) {
    hostSession session;
    session.document.read(session.root, document(int(state.range(0))));
    for (auto _ : state) {
        std::string text;
        benchmark::DoNotOptimize(session.document.write(session.root, text));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
}  // namespace

BENCHMARK(BM_read_loads)->Arg(1000)->Arg(10000);
BENCHMARK(BM_pugixml_baseline)->Arg(1000)->Arg(10000);
BENCHMARK(BM_write_loads)->Arg(1000)->Arg(10000);
