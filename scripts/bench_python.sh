#!/usr/bin/env bash
# The Python module against the C++ it calls, measured in the same run, printed as ratios:
# Load.evaluate of about a million positions (the example's wind load at the positions of
# `kestrel sample --step 0.0092`) against the C++ loop over the same evaluator (evaluate_bench)
# and against `kestrel sample` of those positions; kestrel.read of the example 1,000 times
# against `kestrel check` of the same file. Wall-time medians of five runs.
# --callgrind adds instruction counts, which other work on the machine does not disturb: the
# module's evaluate call against one run of the C++ loop, and the module's read call of the example
# 100 times without its script kinds against the whole `kestrel check` process.
#
#   scripts/bench_python.sh [--callgrind] [BUILD-DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
callgrind=0
build=build
for arg in "$@"; do
  case "$arg" in
    --callgrind) callgrind=1 ;;
    *) build=$arg ;;
  esac
done

cmake -S . -B "$build" -DKESTREL_BENCH=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target kestrel_tool kestrel_python evaluate_bench bench_documents >/dev/null
kestrel=$build/tools/kestrel/kestrel
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/bench_documents" example 1000 >"$work/example.xml"

# Median wall seconds of five runs of a command.
wall() {
  for _ in 1 2 3 4 5; do
    /usr/bin/time -o "$work/time" -f '%e' "$@" >/dev/null 2>&1 || true
    tail -1 "$work/time"
  done | sort -g | sed -n 3p
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2fx", a / b }'; }

cpp=$("$build/bench/evaluate_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_format=csv 2>/dev/null | awk -F, '/_median/ {gsub(/"/, "", $1); printf "%s=%.4f ", $1, $3 / 1000}')
evaluator=$(sed -E 's/.*BM_evaluate_evaluator_median=([0-9.]+).*/\1/' <<<"$cpp")
library=$(sed -E 's/.*BM_evaluate_library_median=([0-9.]+).*/\1/' <<<"$cpp")
rows=$(sed -E 's/.*BM_evaluate_rows_median=([0-9.]+).*/\1/' <<<"$cpp")

read -r n py_eval py_read py_process < <(PYTHONPATH=$build/python /usr/bin/python3 - "$work/example.xml" <<'PY'
import statistics, subprocess, sys, time
import kestrel
wind = next(l for l in kestrel.read(sys.argv[1]).loads if l.name.startswith("wind on facade"))
positions, _ = wind.sample(0.0092)
def median(f):
    times = []
    for _ in range(5):
        start = time.perf_counter(); f(); times.append(time.perf_counter() - start)
    return statistics.median(times)
process = median(lambda: subprocess.run([sys.executable, "-c", "import kestrel, sys; kestrel.read(sys.argv[1])",
                                         sys.argv[1]], check=True))
print(len(positions), median(lambda: wind.evaluate(positions)), median(lambda: kestrel.read(sys.argv[1])), process)
PY
)
"$build/bench/bench_documents" example 1 >"$work/one.xml"
sample=$(wall "$kestrel" sample --csv "$work/one.xml" --load "wind on facade" --step 0.0092)
check=$(wall "$kestrel" check "$work/example.xml")

printf '%-52s %9s %9s %7s\n' measure "python s" "other s" ratio
printf '%-52s %9.4f %9.4f %7s\n' "evaluate $n positions / C++ evaluator loop" "$py_eval" "$evaluator" \
  "$(ratio "$py_eval" "$evaluator")"
printf '%-52s %9.4f %9.4f %7s\n' "evaluate $n positions / kestrel::evaluate loop" "$py_eval" "$library" \
  "$(ratio "$py_eval" "$library")"
printf '%-52s %9.4f %9.4f %7s\n' "evaluate $n positions / C++ rows of kestrel sample" "$py_eval" "$rows" \
  "$(ratio "$py_eval" "$rows")"
printf '%-52s %9.4f %9.4f %7s\n' "evaluate $n positions / kestrel sample (process)" "$py_eval" "$sample" \
  "$(ratio "$py_eval" "$sample")"
printf '%-52s %9.4f %9.4f %7s\n' "read example x1000 / kestrel check (process)" "$py_read" "$check" \
  "$(ratio "$py_read" "$check")"
printf '%-52s %9.4f %9.4f %7s\n' "python process reading it / kestrel check" "$py_process" "$check" \
  "$(ratio "$py_process" "$check")"

if ((callgrind)); then
  top=$(cd "$build" && pwd)
  # Without the script kinds: under callgrind, scripts run past their time budget.
  "$build/bench/bench_documents" plain 100 >"$work/plain100.xml"
  # Instructions collected inside the functions matching $1 while running the rest.
  instructions() {
    local pattern=$1
    shift
    (cd "$work" && PYTHONPATH=$top/python valgrind --tool=callgrind --callgrind-out-file=/dev/null \
      ${pattern:+"--toggle-collect=$pattern"} "$@" 2>&1 >/dev/null | awk '/Collected/ {print $4}') || true
  }
  cat >"$work/evaluate.py" <<'PY'
import sys
import kestrel
wind = next(l for l in kestrel.read(sys.argv[1]).loads if l.name == "wind on facade")
positions, _ = wind.sample(0.0092)
wind.evaluate(positions)
PY
  py=$(instructions '*evaluate(hostLoad*' /usr/bin/python3 "$work/evaluate.py" "$work/one.xml")
  cpp=$(instructions '*BM_evaluate_evaluator*' "$top/bench/evaluate_bench" \
    --benchmark_filter=BM_evaluate_evaluator --benchmark_min_time=0.0001)
  pyread=$(instructions '*readFile(pybind11*' /usr/bin/python3 -c 'import kestrel, sys; kestrel.read(sys.argv[1])' \
    "$work/plain100.xml")
  check=$(instructions '' "$top/tools/kestrel/kestrel" check "$work/plain100.xml")
  echo
  printf '%-52s %14s %14s %7s\n' "instructions" python other ratio
  printf '%-52s %14d %14d %7s\n' "evaluate $n positions / C++ evaluator loop" "$py" "$cpp" "$(ratio "$py" "$cpp")"
  printf '%-52s %14d %14d %7s\n' "read example x100 without scripts / kestrel check" "$pyread" "$check" \
    "$(ratio "$pyread" "$check")"
fi
