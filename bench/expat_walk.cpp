// Baseline for the streaming read of any document: expat walks it and converts every attribute's
// number, keeping nothing.
//
//   expat_walk FILE
#include <expat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <vector>

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
    std::ifstream in(argv[1], std::ios::binary);
    double sum = 0;
    XML_Parser parser = XML_ParserCreate("UTF-8");
    XML_SetUserData(parser, &sum);
    XML_SetStartElementHandler(parser, start);
    std::vector<char> chunk(1 << 16);
    bool ok = true;
    while (ok) {
        in.read(chunk.data(), std::streamsize(chunk.size()));
        const bool last = in.gcount() < std::streamsize(chunk.size());
        ok = XML_Parse(parser, chunk.data(), int(in.gcount()), last) == XML_STATUS_OK;
        if (last) break;
    }
    XML_ParserFree(parser);
    std::printf("%g\n", sum);
    return ok ? 0 : 1;
}
