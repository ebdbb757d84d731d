#!/usr/bin/env bash
# Makes the example presets in examples/ with overtonic-host alone: values with --set, curves with
# --curve shapes, names with --name. Run it after changing a sound here; it rewrites
#   examples/pluck.fxp    a plucked tone: eight harmonics, the higher ones dying away sooner
#   examples/organ.fxp    an organ-like sustained tone with a slow vibrato
#   examples/effects.fxp  one sound through every effect: flanger, delay, phaser and reverb
#   examples/examples.fxb the three as programs 0-2 of a bank
# Usage: tools/make-examples.sh [OVERTONIC_HOST [PLUGIN]]
# OVERTONIC_EXAMPLES_DIR writes them elsewhere (the tests compare that with the committed files).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
host="${1:-$root/build/overtonic-host/app/overtonic-host}"
plugin=("${@:2}")
out="${OVERTONIC_EXAMPLES_DIR:-$root/examples}"
if [[ ! -x "$host" ]]; then
  echo "make-examples: no overtonic-host at $host (build first: cmake --build build)" >&2
  exit 1
fi

save() { "$host" preset save "$@" "${plugin[@]}"; }

# Parameter indexes: 0 main volume, 18+i routing of oscillator i (0 dry, 0.25 flanger, 0.5 delay,
# 0.75 phaser, 1 reverb), 82+i volume, 178-180 delay time/feedback/volume, 181-187 flanger,
# 188-192 phaser, 193-198 reverb, 231-234 the delay, flanger, phaser and reverb switches.
# Curve slots: 0-31 amplitude of oscillator i, 32-63 pitch, 96/97 layer 1 (oscillators 1-16).

save "$out/pluck.fxp" --name "Pluck" \
  --set 0=0.85 \
  --set 82=0.9 --set 83=0.7 --set 84=0.55 --set 85=0.45 \
  --set 86=0.35 --set 87=0.3 --set 88=0.25 --set 89=0.2 \
  --curve 0=ad:0.004:2.4 \
  --curve 1=ad:0.004:1.5 \
  --curve 2=ad:0.004:1.0 \
  --curve 3=ad:0.004:0.8 \
  --curve 4-7=ad:0.003:0.5

save "$out/organ.fxp" --name "Organ" \
  --set 0=0.8 \
  --set 82=0.7 --set 83=0.6 --set 84=0.5 --set 85=0.45 --set 87=0.35 \
  --set 89=0.3 --set 91=0.2 --set 93=0.2 --set 97=0.15 \
  --curve 0-15=adsr:0.03:0.15:0.85:0.2 \
  --curve 97=vibrato:0.15:5.5:0.5

save "$out/effects.fxp" --name "Every Effect" \
  --set 0=0.8 \
  --set 82=0.8 --set 83=0.6 --set 84=0.5 --set 85=0.45 \
  --set 86=0.4 --set 87=0.35 --set 88=0.3 --set 89=0.25 \
  --set 19=0.25 --set 20=0.5 --set 21=0.75 --set 22=1 --set 23=1 --set 24=1 --set 25=1 \
  --set 178=0.35 --set 179=0.45 --set 180=0.6 \
  --set 183=0.7 --set 186=0.3 \
  --set 188=0.8 --set 189=0.6 --set 192=0.3 \
  --set 193=0.85 --set 198=0.4 \
  --set 231=1 --set 232=1 --set 233=1 --set 234=1 \
  --curve 0-7=adsr:0.01:0.4:0.6:0.6

# The bank: each program file goes into its own program, one step at a time.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$host" preset bank-save "$work/1.fxb" "${plugin[@]}" --program 0 --preset "$out/pluck.fxp"
"$host" preset bank-save "$work/2.fxb" "${plugin[@]}" --bank "$work/1.fxb" --program 1 \
  --preset "$out/organ.fxp"
"$host" preset bank-save "$work/3.fxb" "${plugin[@]}" --bank "$work/2.fxb" --program 2 \
  --preset "$out/effects.fxp"
"$host" preset bank-save "$out/examples.fxb" "${plugin[@]}" --bank "$work/3.fxb" --program 0
