// What the oscillator bank's lane kernels work on: eight oscillators evaluated side by side, one
// per SIMD lane, with the oscillator's per-sample arithmetic in the same order, so each lane's
// samples equal what Oscillator::render gives. A kernel knows nothing of curve steps; the bank
// calls it for runs of samples between them. The kernels themselves are in SimdKernelBodies.h.
#pragma once

#include <array>
#include <cstdint>

#include "engine/RenderPath.h"

// The four-point interpolation of table entries i-1..i+2 at fraction f, split into the parts
// that depend on the entry only: value = c0 + f × (c1 + f × (c2 + f × c3)). Each part is the
// float the interpolation computes for it, so evaluating a row gives the same result.
struct alignas(16) InterpolationRow {
  float c0;
  float c1;
  float c2;
  float c3;
};

// The rows of the shared sine table (entry k starts at table[k]); process-wide, filled once.
[[nodiscard]] const InterpolationRow* sineInterpolationRows() noexcept;

struct alignas(64) LaneBlock {
  static constexpr int32_t kLanes = 8;
  std::array<float, kLanes> position;  // read phase, kept in [0, length)
  std::array<float, kLanes> step;      // increment
  std::array<float, kLanes> scale;     // gain
  std::array<float, kLanes> level;     // amplitude
  std::array<float*, kLanes> out;      // each lane's buffer
  const InterpolationRow* rows;
  float length;    // table period as a float
  int32_t period;  // table period
};

// Renders samples offset .. offset+count-1 of every lane into out[lane][offset ...] and moves the
// positions on. Both kernels run 8 lanes (the portable one as two vectors of four).
using LaneKernel = void (*)(LaneBlock& lanes, int32_t offset, int32_t count) noexcept;

// The kernel a fast render path uses (the reference path uses none).
[[nodiscard]] LaneKernel laneKernelFor(RenderPath path) noexcept;

// True when every lane's increment lies in [0, length): then a phase in [0, length) stays there
// after its step and single subtraction (the sum is below twice the length and the subtraction
// exact), and no lane needs the stray check.
[[nodiscard]] bool lanesStaySteady(const LaneBlock& lanes, int32_t width) noexcept;

// Lanes first .. first+width-1 whose position left [0, length) (only an increment outside the
// audible band does that) are wrapped as the oscillator wraps them.
void wrapStrayLanes(LaneBlock& lanes, int32_t first, int32_t width) noexcept;
