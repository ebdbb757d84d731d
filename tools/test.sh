#!/usr/bin/env bash
# Runs the whole test suite: installs what is missing, builds and tests the normal build (the lint
# tests among them: layout, names and casts, file names), then
# builds and tests again with AddressSanitizer and UndefinedBehaviorSanitizer, builds the plug-in
# and the tests that drive it from two threads at once with ThreadSanitizer and runs those, then
# fuzzes the chunk, MIDI file and preset file readers briefly (tools/fuzz.sh). Every test run has a
# private Xvfb display (24-bit, with XTest), so the X11 tests never touch the desktop and a
# missing display is a real failure.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
jobs="${OVERTONIC_JOBS:-$(nproc)}"

"$root/tools/install-deps.sh"

run_ctest() {
  local dir="$1"
  xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

echo "== build (RelWithDebInfo)"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOVERTONIC_BUILD_BENCH=ON -DOVERTONIC_LINT=ON \
      >/dev/null
cmake --build build -j "$jobs"
echo "== tests"
run_ctest build

if [[ "${OVERTONIC_SKIP_SANITIZERS:-0}" != "1" ]]; then
  echo "== build with AddressSanitizer and UndefinedBehaviorSanitizer"
  cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DOVERTONIC_SANITIZE=ON \
        -DOVERTONIC_BUILD_BENCH=OFF -DOVERTONIC_LINT=OFF >/dev/null
  cmake --build build-asan -j "$jobs"
  echo "== tests under the sanitizers"
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    run_ctest build-asan

  # Only the tests that run the audio thread beside another one can show a data race: the
  # ThreadSanitizer build makes the plug-in and those tests (label threads) and nothing else.
  echo "== build with ThreadSanitizer (the plug-in and the tests with an audio thread)"
  cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOVERTONIC_TSAN=ON \
        -DOVERTONIC_BUILD_BENCH=OFF -DOVERTONIC_BUILD_TOOLS=OFF \
        -DOVERTONIC_TEST_LAYERS="engine;synth" -DOVERTONIC_LINT=OFF >/dev/null
  cmake --build build-tsan -j "$jobs" --target overtonic engine_thread_test test_synth_threads
  echo "== tests with an audio thread under ThreadSanitizer"
  TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
    ctest --test-dir build-tsan --output-on-failure -j "$jobs" -L threads
fi

if [[ "${OVERTONIC_SKIP_FUZZ:-0}" != "1" ]]; then
  echo "== short fuzz runs of the chunk, MIDI file and preset file readers"
  "$root/tools/fuzz.sh" --seconds "${OVERTONIC_FUZZ_SECONDS:-10}"
fi
