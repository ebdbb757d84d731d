#!/usr/bin/env bash
# Instructions per iteration of every benchmark case, counted by valgrind's callgrind: unlike
# wall-clock figures they repeat exactly from run to run, so two builds can be compared on a
# busy machine. Each case runs twice, for FIRST and for LAST iterations; the difference divided
# by LAST - FIRST leaves out set-up and start-up.
#
#   bench/instruction_counts.sh BENCH_BINARY [CASE_REGEX] > counts.tsv
# prints "case <tab> instructions per iteration" for each case.
set -euo pipefail
bench="$1"
filter="${2:-.}"
first="${FIRST:-10}"
last="${LAST:-60}"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT

count() {  # case, iterations
  valgrind --tool=callgrind --callgrind-out-file="$out/cg" "$bench" --iterations="$2" \
    --benchmark_filter="^$1/" >/dev/null 2>&1
  awk '/^(summary|totals):/ { print $2; exit }' "$out/cg"
}

"$bench" --benchmark_list_tests --benchmark_filter="$filter" | grep / |
  sed 's,/iterations:.*,,;s,/min_time:.*,,' | grep -v '^instance_memory' | while read -r name; do
    a="$(count "$name" "$first")"
    b="$(count "$name" "$last")"
    printf '%s\t%d\n' "$name" "$(((b - a) / (last - first)))"
  done
