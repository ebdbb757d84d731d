#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer + UBSan) in build-fuzz and runs each
# for a while from the seed corpus in tests/fuzz/corpus. New inputs the fuzzer finds go to a
# scratch folder (or --keep FOLDER); a crash, leak or broken promise stops the run with status 1
# and leaves the input in build-fuzz/findings/. docs/FUZZING.md says how to run a long campaign.
# Usage: tools/fuzz.sh [--seconds N] [--keep FOLDER] [--jobs N] [TARGET ...]
#        TARGET: chunk, midi, preset (default: all three)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

seconds=10
keep=""
jobs=1
targets=()
while [[ $# -gt 0 ]]; do
  case "$1" in
    --seconds) seconds="$2"; shift 2 ;;
    --keep) keep="$(realpath -m "$2")"; shift 2 ;;
    --jobs) jobs="$2"; shift 2 ;;
    chunk|midi|preset) targets+=("$1"); shift ;;
    *) echo "fuzz.sh: unknown argument '$1'" >&2; exit 2 ;;
  esac
done
[[ ${#targets[@]} -eq 0 ]] && targets=(chunk midi preset)

if ! command -v clang++ >/dev/null; then
  echo "fuzz.sh: clang++ is missing (Debian: apt-get install clang libclang-rt-14-dev)" >&2
  exit 1
fi

cmake -S tests/fuzz -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  >/dev/null
cmake --build build-fuzz -j "${OVERTONIC_JOBS:-$(nproc)}" >/dev/null
mkdir -p build-fuzz/findings

status=0
for target in "${targets[@]}"; do
  scratch="$(mktemp -d)"
  out="${keep:+$keep/$target}"
  out="${out:-$scratch}"
  mkdir -p "$out"
  echo "== fuzz $target for ${seconds}s"
  parallel=()
  [[ "$jobs" -gt 1 ]] && parallel=(-jobs="$jobs" -workers="$jobs")
  # The first folder receives new inputs; the seed folder is only read. Run inside build-fuzz,
  # where parallel jobs write their logs.
  if ! (cd build-fuzz && ASAN_OPTIONS=detect_leaks=1 ./fuzz_"$target" -max_total_time="$seconds" \
      -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 "${parallel[@]}" \
      -artifact_prefix="$root/build-fuzz/findings/$target-" "$out" "$root/tests/fuzz/corpus/$target" \
      >"$root/build-fuzz/$target.log" 2>&1); then
    echo "fuzz.sh: $target failed; the input is in build-fuzz/findings/, the log build-fuzz/$target.log" >&2
    tail -n 30 "build-fuzz/$target.log" >&2
    status=1
  else
    grep -E "stat::number_of_executed_units|Done [0-9]+ runs" "build-fuzz/$target.log" | tail -n 1 || true
  fi
  rm -rf "$scratch"
done
exit "$status"
