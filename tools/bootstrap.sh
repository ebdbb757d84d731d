#!/usr/bin/env bash
# Sets everything up on a fresh Debian machine and runs the main job: installs missing packages
# (as root), configures and builds, stages the plug-in and the host program under build/stage,
# shows what a host sees of the plug-in and plays examples/demo.mid through it with the example
# preset examples/pluck.fxp into out/demo.wav and out/demo.png, and checks that it is audible.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
jobs="${OVERTONIC_JOBS:-$(nproc)}"

"$root/tools/install-deps.sh"

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"
cmake --install build --prefix "$root/build/stage" >/dev/null

stage="$root/build/stage"
# The install manifest says where the files went (the plug-in folder is a cache setting).
plugin="$(grep '/overtonic\.so$' build/install_manifest.txt | head -n 1)"
host="$(grep '/overtonic-host$' build/install_manifest.txt | head -n 1)"

echo
echo "== what a host sees"
"$host" info "$plugin"

echo
echo "== examples/demo.mid played with the preset examples/pluck.fxp"
mkdir -p "$root/out"
report="$("$host" render "$plugin" --midi examples/demo.mid --preset examples/pluck.fxp \
  -o "$root/out/demo.wav" --plot "$root/out/demo.png")"
echo "$report"
# The render prints "peak ... (LINEAR), RMS ... (LINEAR)": music, not silence, is at least -40 dBFS.
rms="$(sed -n 's/.*RMS .*(\([0-9.]*\)).*/\1/p' <<<"$report")"
if ! awk -v rms="${rms:-0}" 'BEGIN { exit !(rms >= 0.01) }'; then
  echo "bootstrap: the demo render is silent or nearly so (RMS ${rms:-unknown})" >&2
  exit 1
fi

echo
echo "Plug-in:      $plugin"
echo "Host program: $host"
echo "Demo render:  $root/out/demo.wav (plot: $root/out/demo.png)"
echo "Presets:      examples/*.fxp and examples/examples.fxb (made by tools/make-examples.sh)"
echo "Install for your own hosts with: cmake --install build   (puts overtonic.so into ~/.vst)"
