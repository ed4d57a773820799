// Runs the `document` fuzzer's harness once over each file named, without libFuzzer or the
// sanitizers: its instruction count per file is the fuzzer's cost per execution.
//
//   document_replay [--repeat N] FILE...
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    int repeat = 1;
    std::vector<std::string> texts;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--repeat") == 0 && i + 1 < argc) {
            repeat = std::atoi(argv[++i]);
            continue;
        }
        std::ifstream in(argv[i], std::ios::binary);
        if (!in) {
            std::cerr << "document_replay: cannot read " << argv[i] << '\n';
            return 2;
        }
        texts.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    for (int r = 0; r < repeat; ++r)
        for (const std::string& text : texts)
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    return 0;
}
