// The engine's block arithmetic on whole buses: adding an oscillator onto a bus and summing the
// returns into the output, on the portable path or with AVX2. Each sample gets the same
// operations in the same order as the engine's per-sample loops.
#pragma once

#include <cstdint>

#include "engine/RenderPath.h"

// bus[k] = source[k] + 0 when `first` (the bus was cleared to 0 before the designed addition),
// else bus[k] += source[k].
void addToBus(float* bus, const float* source, int32_t count, bool first,
              RenderPath path) noexcept;

// out[k] = (flanger[k] + reverb[k] + delay[k] + dry[k] + phaser[k]) × gain.
struct OutputBuses {
  const float* flanger;
  const float* reverb;
  const float* delay;
  const float* dry;
  const float* phaser;
};
void sumOutput(float* out, const OutputBuses& buses, float gain, int32_t count,
               RenderPath path) noexcept;
