#pragma once

// The two documents the reading and writing figures are taken on, written by the library.

#include <string>

#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/model/laFootprintPolygon.h"
#include "kestrel/model/laIntensityFunctionGrid.h"
#include "tools/host/hostDocument.h"

namespace benchdoc {

// One load whose pressure grid has n x n x n nodes, every node holding a pressure.
inline std::string grid(int n) {
    using Pressure = laPressure<double>;
    auto g = std::shared_ptr<laIntensityFunctionGrid<Pressure>>(mfCreate<laIntensityFunctionGrid<Pressure>>());
    Vector<double> x, y, z;
    for (int i = 0; i < n; ++i) {
        x.push_back(i * 0.25);
        y.push_back(i * 0.5);
        z.push_back(i * 0.125);
    }
    g->setXValues(x);
    g->setYValues(y);
    g->setZValues(z);
    for (int ix = 0; ix < n; ++ix)
        for (int iy = 0; iy < n; ++iy)
            for (int iz = 0; iz < n; ++iz) g->node(ix, iy, iz) = Pressure(1000 + ix + 0.5 * iy - 0.25 * iz);
    hostSession session;
    session.root.m_loads.push_back({"pressure grid", hostCoordinates::cartesian, std::nullopt,
                                    std::shared_ptr<lcFootprint>(mfCreate<laFootprintPolygon>(
                                        List<pos3d>{{0, 0, 0}, {12, 0, 0}, {12, 0, 7}, {0, 0, 7}})),
                                    g});
    std::string text;
    session.document.write(session.root, text);
    return text;
}

// The loads of `kestrel example` repeated `times` times; without scripts, the script kinds are
// left out, so that what remains measures the bindings rather than the script engine.
inline std::string example(int times, bool scripts = true) {
    hostSession session;
    const List<hostLoad> loads = hostExampleLoads();
    for (int i = 0; i < times; ++i)
        for (const hostLoad& l : loads)
            if (scripts || !l.intensity || hostIntensityName(*l.intensity).find("javascript") == std::string::npos)
                session.root.m_loads.push_back(l);
    std::string text;
    session.document.write(session.root, text);
    return text;
}

}  // namespace benchdoc
