// Writes a benchmark document to standard output: `bench_documents grid N` (N x N x N nodes) or
// `bench_documents example K` (the example's loads K times) or `bench_documents plain K` (the
// same without the script kinds).
#include <cstdlib>
#include <iostream>
#include <string>

#include "bench/bench_documents.h"

int main(int argc, char** argv) {
    const std::string kind = argc == 3 ? argv[1] : "";
    if (kind != "grid" && kind != "example" && kind != "plain") {
        std::cerr << "usage: bench_documents grid N | example K | plain K\n";
        return 2;
    }
    const int n = std::atoi(argv[2]);
    std::cout << (kind == "grid" ? benchdoc::grid(n) : benchdoc::example(n, kind == "example"));
    return 0;
}
