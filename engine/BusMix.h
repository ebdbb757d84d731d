// The engine's block arithmetic on whole buses: the oscillators routed to one bus summed onto
// it, and the returns summed into the output, on the portable path or with AVX2. Each sample
// gets the same operations in the same order as the engine's per-sample loops.
#pragma once

#include <cstdint>

#include "engine/RenderPath.h"

// bus[k] = ((0 + sources[0][k]) + sources[1][k]) + ... : the designed additions onto a cleared
// bus, in source order, without storing the bus between them.
void sumOntoClearedBus(float* bus, const float* const* sources, int32_t n, int32_t count,
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
