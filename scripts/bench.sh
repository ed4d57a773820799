#!/usr/bin/env bash
# Reading and writing through the bindings against hand-written pugixml programs, measured in the
# same run, printed as ratios (library / hand-written).
#
#   scripts/bench.sh [--callgrind] [--quick] [BUILD-DIR]
#
# Whole-process figures: `kestrel check --text FILE` (the text read, readLoads(text), over the
# whole file in memory) against `pugi_reader FILE` (parse, visit every
# element, convert every number with its unit), median wall time of three runs and peak memory
# (/usr/bin/time). Documents: a 100 x 100 x 100 pressure grid, the example's 18 loads 1,000 times,
# and the same without the five script kinds. In-process
# figures (Google Benchmark, exchange_bench): reading, writing against a pugixml program that
# builds and saves the same document, and the cost per grid node from 1e3 to 1e6 nodes.
# --callgrind adds instruction counts, on smaller documents (a 30^3 grid, the example 50 times)
# since callgrind is slow (the streaming read also on the example 1,000 times); the count for an
# empty document is taken off both sides. It also counts
# the streaming read against the expat programs and the document fuzzer's harness per document.
# --quick skips the in-process benchmarks. Wall times suffer when other work shares the machine;
# the instruction counts do not.
set -euo pipefail
cd "$(dirname "$0")/.."

callgrind=0
quick=0
build=build
for arg in "$@"; do
  case "$arg" in
    --callgrind) callgrind=1 ;;
    --quick) quick=1 ;;
    *) build=$arg ;;
  esac
done

cmake -S . -B "$build" -DKESTREL_BENCH=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target kestrel_tool pugi_reader bench_documents exchange_bench \
  expat_grid expat_walk pugi_grid_writer document_replay >/dev/null

# KESTREL_BIN and EXCHANGE_BENCH_BIN measure another build of the library against the same
# hand-written reader (for before-and-after figures).
kestrel=${KESTREL_BIN:-$build/tools/kestrel/kestrel}
exchange_bench=${EXCHANGE_BENCH_BIN:-$build/bench/exchange_bench}
reader=$build/bench/pugi_reader
documents=$build/bench/bench_documents
text_flag=--text
"$kestrel" check --help 2>/dev/null | grep -q -- --text || text_flag=--dom
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$documents" grid 100 >"$work/grid.xml"
"$documents" example 1000 >"$work/example.xml"
"$documents" plain 1000 >"$work/plain.xml"

# Median wall seconds and median peak KiB of three runs of a command.
measure() {
  local runs=()
  for _ in 1 2 3; do
    /usr/bin/time -o "$work/time" -f '%e %M %U %S' "$@" >/dev/null 2>&1 || true
    runs+=("$(tail -1 "$work/time")")
  done
  local wall rss cpu
  wall=$(printf '%s\n' "${runs[@]}" | awk '{print $1}' | sort -g | sed -n 2p)
  rss=$(printf '%s\n' "${runs[@]}" | awk '{print $2}' | sort -g | sed -n 2p)
  cpu=$(printf '%s\n' "${runs[@]}" | awk '{print $3 + $4}' | sort -g | sed -n 2p)
  echo "$wall $rss $cpu"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2fx", a / b }'; }

# Wall time is the issue's measure; CPU time (user + system) is printed beside it because it
# suffers less when other work shares the machine.
printf '%-34s %7s %7s %6s %7s %7s %6s %8s %8s %6s\n' document "lib s" "hand s" wall "lib cpu" "hand" cpu \
  "lib MiB" "hand" memory
row() {
  local name=$1 file=$2 flags=${3:-}
  # The text read, as the hand-written reader holds the whole text; the streaming read has its own
  # rows. (--dom is the flag's former name, for builds from before it was renamed.)
  read -r lw lm lc < <(measure "$kestrel" check "$text_flag" "$file")
  # shellcheck disable=SC2086
  read -r hw hm hc < <(measure "$reader" $flags "$file")
  printf '%-34s %7s %7s %6s %7s %7s %6s %8d %8d %6s\n' "$name" "$lw" "$hw" "$(ratio "$lw" "$hw")" "$lc" "$hc" \
    "$(ratio "$lc" "$hc")" $((lm / 1024)) $((hm / 1024)) "$(ratio "$lm" "$hm")"
}
row "grid 100^3 ($(($(stat -c %s "$work/grid.xml") / 1000000)) MB)" "$work/grid.xml"
row "example x1000 ($(($(stat -c %s "$work/example.xml") / 1000000)) MB)" "$work/example.xml"
row "example x1000, hand checks too" "$work/example.xml" --scripts
row "example x1000 without scripts" "$work/plain.xml"

# Streaming (the command's default read and write) against expat and pugixml programs: the
# grid read against an expat program that keeps the point map, the example read against a bare
# expat walk (time) and the text read (memory), the grid's round trip against a pugixml program
# that builds and saves it (its write time is the round trip's less the read's), and peak memory
# as the document grows.
echo
printf '%-44s %8s %8s %7s %9s %9s %7s\n' streaming "lib s" "base s" time "lib MiB" "base MiB" memory
stream_row() {
  local name=$1 lw=$2 lm=$3 bw=$4 bm=$5
  printf '%-44s %8s %8s %7s %9d %9d %7s\n' "$name" "$lw" "$bw" "$(ratio "$lw" "$bw")" $((lm / 1024)) $((bm / 1024)) \
    "$(ratio "$lm" "$bm")"
}
read -r sgw sgm _ < <(measure "$kestrel" check "$work/grid.xml")
read -r egw egm _ < <(measure "$build/bench/expat_grid" "$work/grid.xml")
stream_row "grid 100^3 read / expat point map" "$sgw" "$sgm" "$egw" "$egm"
read -r sew sem _ < <(measure "$kestrel" check "$work/example.xml")
read -r xww xwm _ < <(measure "$build/bench/expat_walk" "$work/example.xml")
read -r dew dem _ < <(measure "$kestrel" check "$text_flag" "$work/example.xml")
stream_row "example x1000 read / bare expat walk" "$sew" "$sem" "$xww" "$xwm"
stream_row "example x1000 read / text read" "$sew" "$sem" "$dew" "$dem"
# The IFC export against reading the same document (the export reads it too).
read -r ifw ifm _ < <(measure "$kestrel" ifc "$work/example.xml" -o "$work/example.ifc")
read -r pcw pcm _ < <(measure "$kestrel" check "$work/plain.xml")
read -r piw pim _ < <(measure "$kestrel" ifc "$work/plain.xml" -o "$work/plain.ifc")
stream_row "example x1000 IFC export / read" "$ifw" "$ifm" "$sew" "$sem"
stream_row "example x1000 without scripts IFC / read" "$piw" "$pim" "$pcw" "$pcm"
read -r rtw rtm _ < <(measure "$kestrel" roundtrip "$work/grid.xml")
read -r pww pwm _ < <(measure "$build/bench/pugi_grid_writer" 100)
stream_row "grid 100^3 round trip / pugixml build+save" "$rtw" "$rtm" "$pww" "$pwm"
wrw=$(awk -v a="$rtw" -v b="$sgw" 'BEGIN { printf "%.2f", a - b }')
printf '%-44s %8s %8s %7s\n' "grid 100^3 write (round trip - read)" "$wrw" "$pww" "$(ratio "$wrw" "$pww")"
printf '%-44s %9s %9s\n' "peak MiB by copies of the example" stream text
for copies in 100 1000 10000; do
  "$documents" example "$copies" >"$work/copies.xml"
  read -r _ cm _ < <(measure "$kestrel" check "$work/copies.xml")
  read -r _ dm _ < <(measure "$kestrel" check "$text_flag" "$work/copies.xml")
  printf '%-44s %9d %9d\n' "example x$copies ($(($(stat -c %s "$work/copies.xml") / 1000000)) MB)" $((cm / 1024)) $((dm / 1024))
done

if ((callgrind)); then
  "$documents" grid 30 >"$work/grid30.xml"
  "$documents" example 50 >"$work/example50.xml"
  "$documents" plain 50 >"$work/plain50.xml"
  echo '<?xml version="1.0" encoding="UTF-8"?><loads/>' >"$work/empty.xml"
  instructions() {
    valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null | awk '/Collected/ {print $4}'
  }
  lib0=$(instructions "$kestrel" check "$text_flag" "$work/empty.xml")
  hand0=$(instructions "$reader" "$work/empty.xml")
  echo
  printf '%-34s %14s %14s %7s\n' "document (start-up taken off)" "lib Ir" "hand Ir" ratio
  for pair in "grid 30^3:grid30.xml:" "example x50:example50.xml:" "example x50, hand checks too:example50.xml:--scripts" \
    "example x50 without scripts:plain50.xml:"; do
    IFS=: read -r name file flags <<<"$pair"
    li=$(($(instructions "$kestrel" check "$text_flag" "$work/$file") - lib0))
    # shellcheck disable=SC2086
    hi=$(($(instructions "$reader" $flags "$work/$file") - hand0))
    printf '%-34s %14d %14d %7s\n' "$name" "$li" "$hi" "$(ratio "$li" "$hi")"
  done
  # The streaming read (kestrel check) against the expat programs, start-up taken off both sides.
  stream0=$(instructions "$kestrel" check "$work/empty.xml")
  # The everyday document itself too (a minute or two each): at x50 the script engine's start
  # weighs twenty times what it weighs in it.
  for pair in "grid 30^3 / expat point map:grid30.xml:expat_grid" "example x50 / expat walk:example50.xml:expat_walk" \
    "example x50 without scripts / walk:plain50.xml:expat_walk" "example x1000 / expat walk:example.xml:expat_walk" \
    "example x1000 without scripts / walk:plain.xml:expat_walk"; do
    IFS=: read -r name file baseline <<<"$pair"
    li=$(($(instructions "$kestrel" check "$work/$file") - stream0))
    hi=$(($(instructions "$build/bench/$baseline" "$work/$file") - $(instructions "$build/bench/$baseline" "$work/empty.xml")))
    printf '%-34s %14d %14d %7s\n' "streaming $name" "$li" "$hi" "$(ratio "$li" "$hi")"
  done
  # The document fuzzer's harness per document of its corpus (an execution without the
  # sanitizers): twice over the corpus less once, which leaves out what is done once (start-up,
  # the script engine, the checks of the corpus's scripts, which are remembered).
  corpus=(fuzz/corpus/document/*)
  once=$(instructions "$build/bench/document_replay" "${corpus[@]}")
  twice=$(instructions "$build/bench/document_replay" --repeat 2 "${corpus[@]}")
  printf '%-34s %14d\n' "fuzz harness per corpus document" $(((twice - once) / ${#corpus[@]}))
fi

((quick)) && exit 0
echo
"$exchange_bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
  --benchmark_format=csv 2>/dev/null | awk -F, '
  $1 ~ /_median"?$/ { name = $1; gsub(/"/, "", name); sub(/_median$/, "", name); t[name] = $3 }
  END {
    printf "in process (median of 3, ms)              library   hand-written  ratio\n"
    split("read:100 read:0 read:-1 write:100 write:0 write:-1", rows, " ")
    for (i = 1; i <= 6; ++i) {
      split(rows[i], p, ":")
      kind = p[2] == 100 ? "grid 100^3" : p[2] == 0 ? "example x1000" : "example x1000 without scripts"
      lib = t["BM_" p[1] "_library/" p[2]]; hand = t["BM_" p[1] "_baseline/" p[2]]
      printf "%-5s %-36s %10.1f %10.1f %7.2fx\n", p[1], kind, lib, hand, lib / hand
    }
    printf "cost per grid node (ns)    1e3      1e4      1e5      1e6   drift 1e3->1e6\n"
    split("10 22 46 100", n, " ")
    for (k = 0; k < 2; ++k) {
      base = k ? "BM_read_grid_items_baseline/" : "BM_read_grid_items/"
      line = sprintf("%-24s", k ? "hand-written" : "library")
      for (i = 1; i <= 4; ++i) { per[i] = t[base n[i]] * 1e6 / (n[i] ^ 3); line = line sprintf(" %8.1f", per[i]) }
      printf "%s %10.2fx\n", line, per[4] / per[1]
    }
  }'
