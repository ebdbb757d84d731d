#!/usr/bin/env bash
# Pictures of the editor panel in twenty states, for comparing the drawing of two builds pixel for
# pixel: as opened, each layer of bars, curves of every kind for oscillators and groups (some far
# beyond the plot), values outside their range. The states come from a preset and from button
# presses only (no painted strokes, whose sampling depends on timing), so the same plug-in always
# gives the same files.
# Usage: tools/panel-pictures.sh OUTDIR [PLUGIN [OVERTONIC_HOST]]
# Compare two builds:
#   tools/panel-pictures.sh out/old old/overtonic.so && tools/panel-pictures.sh out/new
#   for f in out/old/*.png; do cmp "$f" "out/new/${f##*/}"; done
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${1:?usage: tools/panel-pictures.sh OUTDIR [PLUGIN [OVERTONIC_HOST]]}"
plugin="${2:-$root/build/overtonic.so}"
host="${3:-$root/build/overtonic-host/app/overtonic-host}"
if [[ ! -x "$host" ]]; then
  echo "panel-pictures: no overtonic-host at $host (build first: cmake --build build)" >&2
  exit 1
fi
mkdir -p "$out"
curves="$out/curves.fxp"
"$host" preset save "$curves" "$plugin" \
  --curve 0=ad:0.01:1.5 --curve 1=const:3 --curve 2=ramp:0:1 --curve 32=vibrato:0.5:5:1 \
  --curve 33=ramp:-2:2 --curve 34=const:-5 --curve 64=adsr:0.2:0.5:0.4:1 --curve 65=ramp:1:-1 \
  --curve 96=ramp:0:1 --curve 97=vibrato:1:2 --curve 98=const:0.5 --curve 99=ad:0.5:3 \
  --curve 120=ramp:1:0 --curve 121=const:2 --curve 122=ramp:-1:1 \
  --set 82=0.8 --set 83=1 --set 84=0 --set 85=0.33 --set 86=0.5 --set 87=0.01 --set 88=0.99 \
  --set 114=0 --set 115=1 --set 116=0.5 --set 117=0.25 --set 118=0.74 --set 146=0.1 \
  --set 147=0.9 --set 178=0.3 --set 179=1 --set 180=0 --set 181=0.66 --set 190=0.5 \
  --set 18=0.25 --set 19=0.5 --set 20=0.75 --set 21=1 --set 231=1 --set 234=1 >/dev/null

n=0
state() {
  n=$((n + 1))
  "$host" snapshot "$plugin" -o "$(printf '%s/state%02d.png' "$out" "$n")" "$@" >/dev/null
}
state
state --preset "$curves"
for layer in volume detune phase; do state --preset "$curves" --layer "$layer"; done
state --preset "$curves" --select 1 --kind volume
state --preset "$curves" --select 1 --kind detune --layer volume
state --preset "$curves" --select 1 --kind phase --layer detune
state --preset "$curves" --select 2 --kind volume --layer phase
state --preset "$curves" --select 2 --kind detune
state --preset "$curves" --select 3 --kind volume
state --preset "$curves" --select 3 --kind detune
state --preset "$curves" --select lower --kind volume --layer volume
state --preset "$curves" --select lower --kind detune
state --preset "$curves" --select lower --kind phase
state --preset "$curves" --select fourth --kind volume
state --preset "$curves" --select fourth --kind detune
state --preset "$curves" --select fourth --kind phase --layer volume
outside=(--set 82=1.7 --set 83=-0.4 --set 114=1.5 --set 115=-1 --set 178=2)
state "${outside[@]}" --layer volume
state "${outside[@]}" --layer detune
echo "panel-pictures: $n states in $out"
