#!/usr/bin/env bash
# Sets everything up on a fresh Debian machine and runs the main job: installs missing packages
# (as root), configures and builds, stages the plug-in and the host program under build/stage,
# and shows what a host sees of the plug-in.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
jobs="${OVERTONIC_JOBS:-$(nproc)}"

"$root/tools/install-deps.sh"

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"
cmake --install build --prefix "$root/build/stage" >/dev/null

stage="$root/build/stage"
plugin="$stage/.vst/overtonic.so"
host="$stage/bin/overtonic-host"

echo
echo "== what a host sees"
"$host" info "$plugin"

echo
echo "Plug-in:      $plugin"
echo "Host program: $host"
echo "Install for your own hosts with: cmake --install build   (puts overtonic.so into ~/.vst)"
