// Baseline for the streaming read of any document: expat walks it and converts every attribute's
// number, keeping nothing.
//
//   expat_walk FILE
#include "expat_baseline.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace {
void XMLCALL start(void* data, const char*, const char** attributes) {
    auto& sum = *static_cast<double*>(data);
    for (const char** a = attributes; *a; a += 2) sum += std::strtod(a[1], nullptr);
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: expat_walk FILE\n";
        return 2;
    }
    double sum = 0;
    const bool ok = expatParseFile(argv[1], &sum, start);
    std::printf("%g\n", sum);
    return ok ? 0 : 1;
}
