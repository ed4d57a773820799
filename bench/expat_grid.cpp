// Baseline for the streaming read of a grid: expat reads the grid document of bench_documents and
// keeps what a grid needs, the axes and the map of points to pressures, nothing of the text.
//
//   expat_grid FILE
#include "expat_baseline.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>
#include <vector>

namespace {
struct Grid {
    std::vector<double> axes[3];
    std::map<std::array<double, 3>, double> points;
};

// The number of a quantity's text ("0.25 m"); the unit is left to the caller's knowledge.
double number(const char* text) {
    return std::strtod(text, nullptr);
}

const char* attribute(const char** attributes, const char* name) {
    for (const char** a = attributes; *a; a += 2)
        if (std::strcmp(a[0], name) == 0) return a[1];
    return "0";
}

void XMLCALL start(void* data, const char* name, const char** attributes) {
    auto& grid = *static_cast<Grid*>(data);
    if (std::strcmp(name, "pressure_point") == 0) {
        grid.points[{number(attribute(attributes, "x")), number(attribute(attributes, "y")),
                     number(attribute(attributes, "z"))}] = number(attribute(attributes, "pressure"));
        return;
    }
    static const char* const axes[3] = {"x_value", "y_value", "z_value"};
    for (int i = 0; i < 3; ++i)
        if (std::strcmp(name, axes[i]) == 0) grid.axes[i].push_back(number(attribute(attributes, "value")));
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: expat_grid FILE\n";
        return 2;
    }
    Grid grid;
    const bool ok = expatParseFile(argv[1], &grid, start);
    std::printf("%zu points on %zu x %zu x %zu nodes\n", grid.points.size(), grid.axes[0].size(), grid.axes[1].size(),
                grid.axes[2].size());
    return ok ? 0 : 1;
}
