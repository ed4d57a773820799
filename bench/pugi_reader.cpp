// The hand-written reader as a whole program, measured beside `kestrel check`: parses the file
// with pugixml, visits every element and converts every number with its unit. With --scripts it
// also makes every script function (Base64 text), which checks it, as reading the document must.
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "bench/pugi_baseline.h"
#include "kestrel/components/framework/Base64.h"
#include "kestrel/components/framework/jmfFunctionObject.h"
#include "kestrel/components/framework/mfProgram.h"

namespace {
void compileScripts(pugi::xml_node element, std::vector<std::unique_ptr<jmfFunctionObject>>& functions) {
    for (pugi::xml_node c = element.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element) continue;
        if (std::strcmp(c.name(), "function") == 0 && std::strcmp(c.attribute("encoding").value(), "base64") == 0)
            functions.emplace_back(mfCreate<jmfFunctionObject>(Base64::decode(c.child_value())));
        else
            compileScripts(c, functions);
    }
}
}  // namespace

int main(int argc, char** argv) {
    const bool scripts = argc == 3 && std::strcmp(argv[1], "--scripts") == 0;
    if (argc != 2 + scripts) {
        std::fprintf(stderr, "usage: pugi_reader [--scripts] FILE\n");
        return 2;
    }
    const char* file = argv[argc - 1];
    pugi::xml_document doc;
    if (!doc.load_file(file)) {
        std::fprintf(stderr, "%s: not well-formed\n", file);
        return 1;
    }
    const baseline::Tally tally = baseline::read(doc.document_element());
    std::vector<std::unique_ptr<jmfFunctionObject>> functions;
    if (scripts) compileScripts(doc.document_element(), functions);
    std::printf("%zu elements, %zu attributes, %zu scripts, sum %.17g\n", tally.elements, tally.attributes,
                functions.size(), tally.sum);
    return 0;
}
