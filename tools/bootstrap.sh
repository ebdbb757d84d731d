#!/usr/bin/env bash
# Sets everything up on a fresh Debian machine and runs the main job: installs missing packages
# (as root), configures and builds, stages the plug-in and the host program under build/stage,
# shows what a host sees of the plug-in and renders examples/demo.mid through it into out/.
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
echo "== a render of examples/demo.mid through the plug-in"
mkdir -p "$root/out"
"$host" render "$plugin" --midi examples/demo.mid -o "$root/out/demo.wav" --plot "$root/out/demo.png"

echo
echo "Plug-in:      $plugin"
echo "Host program: $host"
echo "Demo render:  $root/out/demo.wav (plot: $root/out/demo.png)"
echo "Install for your own hosts with: cmake --install build   (puts overtonic.so into ~/.vst)"
