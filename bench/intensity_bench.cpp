// Reading host documents of pressure loads, against a plain pugixml parse of the same text, and
// evaluating a three-point pressure.
#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <cstring>

#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/model/laFootprintPoint.h"
#include "kestrel/model/laIntensityConstant.h"
#include "kestrel/model/laIntensityThreePointVarying.h"
#include "kestrel/model/laLimitFunctionRange.h"
#include "tools/host/hostDocument.h"

namespace {
using Pressure = laPressure<double>;

// Loads that each carry a constant pressure with a range limit on a point footprint.
std::string document(int loads) {
    hostSession session;
    for (int i = 0; i < loads; ++i) {
        auto pressure = std::shared_ptr<laIntensityConstant<Pressure>>(
            mfCreate<laIntensityConstant<Pressure>>(Pressure(1000 + 0.25 * i)));
        pressure->setLimit(
            mfCreate<laLimitFunctionRange>(Pressure(0), Pressure(5e3), laLimitFunctionRange::both_inclusive));
        session.root.m_loads.push_back(
            {"load " + std::to_string(i), hostCoordinates::cartesian, std::nullopt,
             std::shared_ptr<lcFootprint>(mfCreate<laFootprintPoint>(pos3d(i * 0.5, 1.25, -3))), pressure});
    }
    std::string text;
    session.document.write(session.root, text);
    return text;
}

void BM_read_pressure_loads(benchmark::State& state) {
    const std::string text = document(int(state.range(0)));
    for (auto _ : state) {
        hostSession session;
        benchmark::DoNotOptimize(session.document.read(session.root, text));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Baseline: parse the text and read every attribute, quantities through the units parser.
void BM_read_pressure_baseline(benchmark::State& state) {
    const std::string text = document(int(state.range(0)));
    struct Walker : pugi::xml_tree_walker {
        double sum = 0;
        bool for_each(pugi::xml_node& node) override {
            for (pugi::xml_attribute a : node.attributes()) {
                const char* name = a.name();
                if (!std::strcmp(name, "pressure"))
                    sum += jsParseQuantity(a.value(), jsPressure::descriptor());
                else if (name[0] >= 'x' && name[1] == 0)
                    sum += jsParseQuantity(a.value(), jsLength::descriptor());
                else
                    sum += double(std::strlen(a.value()));
            }
            return true;
        }
    };
    for (auto _ : state) {
        pugi::xml_document doc;
        doc.load_buffer(text.data(), text.size());
        Walker walker;
        doc.traverse(walker);
        benchmark::DoNotOptimize(walker.sum);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_evaluate_three_point(benchmark::State& state) {
    std::unique_ptr<laIntensityThreePointVarying<Pressure>> function(mfCreate<laIntensityThreePointVarying<Pressure>>(
        pos3d(0, 0, 0), Pressure(600), pos3d(12, 0, 0), Pressure(800), pos3d(0, 0, 7), Pressure(1100)));
    const lcLoad load(coordsys3d::cartesian(locsys3d(pos3d(0, 0, 3.5), vec3d(1, 0, 0), vec3d(0, 0, 1))));
    const int positions = int(state.range(0));
    for (auto _ : state) {
        double sum = 0;
        for (int i = 0; i < positions; ++i) {
            const pos3d at(0.001 * (i % 12000), 0.5, 0.0007 * (i % 10000));
            sum += function->getIntensity(&load, at, lcLoad::global, 1.0).get_complex(0).real();
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
}  // namespace

BENCHMARK(BM_read_pressure_loads)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_read_pressure_baseline)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_evaluate_three_point)->Arg(1000000)->Unit(benchmark::kMillisecond);
