#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang (ASan + UBSan) into build-fuzz/ and runs each one on
# its committed corpus in fuzz/corpus/: for SECONDS each (default 60), or, with FUZZ_RUNS=N, for
# N deterministic executions (seed 1) capped at SECONDS. New inputs go to build-fuzz/corpus/, not
# into the committed corpus. Any crash, leak, sanitizer report or round-trip mismatch makes the
# script fail; the input that caused it is left in build-fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
build=${FUZZ_BUILD:-build-fuzz}
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Warnings are policed by the GCC builds; clang's own set must not stop the fuzzers.
scripts/setup.sh "$build" -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTREL_FUZZ=ON \
  -DKESTREL_TESTS=OFF -DKESTREL_WERROR=OFF "${launcher[@]}"

# intercept_tls_get_addr=0: see scripts/test.sh.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:allocator_may_return_null=1:intercept_tls_get_addr=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/fuzz/lsan.supp
options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=2048 -print_final_stats=1)
if [ -n "${FUZZ_RUNS:-}" ]; then options+=(-seed=1 -runs="$FUZZ_RUNS"); fi

status=0
for corpus in fuzz/corpus/*/; do
  name=$(basename "$corpus")
  fuzzer="$build/fuzz/fuzz_$name"
  [ -x "$fuzzer" ] || { echo "fuzz.sh: no harness for corpus $name" >&2; status=1; continue; }
  dict=()
  [ -f "fuzz/$name.dict" ] && dict=(-dict="fuzz/$name.dict")
  # A deterministic run starts from the committed corpus alone.
  [ -n "${FUZZ_RUNS:-}" ] && rm -rf "$build/corpus/$name"
  mkdir -p "$build/corpus/$name" "$build/artifacts/$name"
  echo "== fuzz_$name"
  if ! "$fuzzer" "${options[@]}" "${dict[@]}" -artifact_prefix="$build/artifacts/$name/" \
      "$build/corpus/$name" "$corpus" >"$build/fuzz_$name.log" 2>&1; then
    tail -n 60 "$build/fuzz_$name.log" >&2
    echo "fuzz.sh: fuzz_$name failed; input in $build/artifacts/$name/" >&2
    status=1
  fi
  grep -E "^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)" "$build/fuzz_$name.log" || true
done
# One session reused for every committed document must read each as a fresh one does.
echo "== fuzz_document, reused against fresh sessions"
if ! KESTREL_FUZZ_SESSION=compare "$build/fuzz/fuzz_document" fuzz/corpus/document/* >"$build/fuzz_compare.log" 2>&1; then
  tail -n 60 "$build/fuzz_compare.log" >&2
  echo "fuzz.sh: a reused session reads otherwise than a fresh one" >&2
  status=1
fi
exit $status
