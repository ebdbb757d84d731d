// The kernels of one render path, chosen once when the path is set: how the oscillators are
// rendered, how buses are summed, how an effect computes a block, and the SIMD pieces the
// effects' block forms use. Every path's kernels give the same samples; the reference path's are
// the straightforward per-sample forms the others are checked against.
#pragma once

#include <cstdint>

#include "engine/RenderPath.h"

class BusEffect;
class Oscillator;
class OscillatorBank;
struct CombLanes;
struct LaneBlock;

// The return buses and the dry bus that make the output.
struct OutputBuses {
  const float* flanger;
  const float* reverb;
  const float* delay;
  const float* dry;
  const float* phaser;
};

struct RenderKernels {
  RenderPath path;
  // Renders `count` samples of oscillators[0..n-1] into buffers[0..n-1]: each on its own
  // (reference) or side by side in SIMD lanes, with `lanes`.
  void (*oscillators)(const RenderKernels& kernels, OscillatorBank& bank,
                      Oscillator* const* oscillators, float* const* buffers, int32_t n,
                      int32_t count) noexcept;
  void (*lanes)(LaneBlock& lanes, int32_t offset, int32_t count) noexcept;
  // bus[k] = ((0 + sources[0][k]) + sources[1][k]) + ... : the designed additions onto a cleared
  // bus, in source order.
  void (*sumBus)(float* bus, const float* const* sources, int32_t n, int32_t count) noexcept;
  // out[k] = (flanger[k] + reverb[k] + delay[k] + dry[k] + phaser[k]) × gain, or 0 where that
  // is inf or NaN: whatever a host sends, it gets finite samples back.
  void (*sumOutput)(float* out, const OutputBuses& buses, float gain, int32_t count) noexcept;
  // One effect on one block: its per-sample form (reference) or its block form with these
  // kernels. `in` and `out` may be the same block.
  void (*effect)(BusEffect& effect, const float* in, float* out, int32_t count,
                 const RenderKernels& kernels) noexcept;
  // out[k] = float(std::sin(angles[k])) for any angle.
  void (*sines)(const double* angles, float* out, int32_t count) noexcept;
  // sums[k] = the eight comb outputs for input in[k] × gain, added in comb order onto 0.
  void (*combs)(CombLanes& combs, const float* in, float gain, float* sums, int32_t count) noexcept;
};

// The kernels of a path; a path this processor lacks gets the portable path's kernels.
[[nodiscard]] const RenderKernels& renderKernels(RenderPath path) noexcept;
