#!/usr/bin/env bash
# Every test: the whole suite built with warnings as errors, run plain (then the host example built
# against the installed and the Debian package) and under AddressSanitizer +
# UndefinedBehaviorSanitizer (leak detection on); then each fuzzer for a fixed number of
# deterministic runs on its committed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh build
ctest --test-dir build --output-on-failure -j "$(nproc)"
# The installed package and the Debian package, used by a host project as the README shows.
scripts/consumer.sh build

scripts/setup.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DKESTREL_SANITIZE=ON
# The leak checker guesses the C library's layout of a dynamic thread-local block from its address
# and, when the guess is wrong, scans a range that is no memory and crashes at exit
# (google/sanitizers#1322). Without the interception it scans no dynamic thread-local blocks: that
# can only add leak reports, never hide one.
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:intercept_tls_get_addr=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j "$(nproc)"

FUZZ_RUNS=4000 scripts/fuzz.sh 60
