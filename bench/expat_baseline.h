#pragma once

// The reading loop the expat baselines share: the file in 64 KiB pieces, `start` called for every
// start tag with `data`. False when the file is not well-formed.
#include <expat.h>

#include <fstream>
#include <vector>

inline bool expatParseFile(const char* path, void* data, XML_StartElementHandler start) {
    std::ifstream in(path, std::ios::binary);
    XML_Parser parser = XML_ParserCreate("UTF-8");
    XML_SetUserData(parser, data);
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
    return ok;
}
