#!/usr/bin/env bash
# Runs every benchmark of the project on a built tree and prints one table:
# figure, median, the comparison measured in the same run (or the limit),
# and the ratio. Usage: bench/run_all.sh [BUILD_DIR]   (default build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
export QT_QPA_PLATFORM=offscreen
runs=(
  "bench_render 300"
  "bench_orders 100000 50 10000"
  "bench_taxpayers 100000 5"
  "bench_filter 100000 3"
  "bench_server 200 100000 5 10000"
  "bench_period_list 100000 5"
  "bench_tables 10000 100000"
)
for extra in "$build"/bench/bench_*; do
  name=$(basename "$extra")
  case " ${runs[*]} " in *" $name "*) ;; *) [ -f "$extra" ] && [ -x "$extra" ] && runs+=("$name") ;; esac
done
rows=$(mktemp)
trap 'rm -f "$rows"' EXIT
for run in "${runs[@]}"; do
  set -- $run
  echo "running $run ..." >&2
  "$build/bench/$1" "${@:2}" 2>/dev/null | grep '^ROW|' >>"$rows" || echo "$1 failed" >&2
done
# The imports' script prints "<what> <rows> <trelok_s> <floor_s> <ratio> <peak_MB>".
echo "running bench_imports.sh ..." >&2
bench/bench_imports.sh "$build" 2>/dev/null |
  awk '{ printf "ROW|%s %s (peak %s MB)|%.3f s|floor %.3f s|%.2f\n", $1, $2, $6, $3, $4, $5 }' >>"$rows" ||
  echo "bench_imports.sh failed" >&2
echo "running bench_export.sh 100000 ..." >&2
bench/bench_export.sh --build "$build" --server --table 100000 2>/dev/null | grep '^ROW|' >>"$rows" ||
  echo "bench_export.sh failed" >&2
echo "Machine: $(nproc) cores, $(awk '/MemTotal/ {printf "%.0f GiB", $2/1048576}' /proc/meminfo), $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
echo
echo "| figure | median | compared with | ratio |"
echo "|---|---|---|---|"
awk -F'|' '{printf "| %s | %s | %s | %s |\n", $2, $3, $4, $5}' "$rows"
