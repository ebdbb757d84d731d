// The reverb's network for its block form: the eight combs side by side, their state gathered
// for one block, and the four allpasses behind them, with each filter's arithmetic in
// the same order as CombFilter and AllpassFilter, so lines, states and outputs are the same as
// the per-sample network's. Where no comb's line wraps within the next few samples, those
// samples' reads are loaded a row at a time (every comb line is longer than the run, so a run
// never reads what it writes).
#pragma once

#include <array>
#include <cstdint>

#include "engine/FloatGuards.h"

struct CombLanes {
  static constexpr int32_t kCombs = 8;
  std::array<float*, kCombs> line;
  std::array<int32_t, kCombs> size;
  std::array<int32_t, kCombs> index;
  alignas(32) std::array<float, kCombs> store;
  alignas(32) std::array<float, kCombs> feedback;
  alignas(32) std::array<float, kCombs> damp1;
  alignas(32) std::array<float, kCombs> damp2;
};

struct AllpassChain {
  static constexpr int32_t kAllpasses = 4;
  std::array<float*, kAllpasses> line;
  std::array<int32_t, kAllpasses> size;
  std::array<int32_t, kAllpasses> index;
  std::array<float, kAllpasses> feedback;

  // The four allpasses in order on one sample.
  [[nodiscard]] float process(float y) noexcept {
    for (std::size_t i = 0; i < static_cast<std::size_t>(kAllpasses); ++i) {
      float* slot = line[i] + index[i];
      const float delayed = flushToZero(*slot);
      const float out = delayed - y;
      *slot = y + delayed * feedback[i];
      if (++index[i] >= size[i]) index[i] = 0;
      y = out;
    }
    return y;
  }
};

// One sample of all eight combs in the per-sample form.
[[nodiscard]] float combSample(CombLanes& combs, float input) noexcept;
// Whether every comb can run `run` samples without its index wrapping inside the run (inline:
// the comb kernels ask before every run of four samples).
[[nodiscard]] inline bool combsRunFree(const CombLanes& combs, int32_t run) noexcept {
  for (std::size_t c = 0; c < static_cast<std::size_t>(CombLanes::kCombs); ++c) {
    if (combs.index[c] + run > combs.size[c]) return false;
  }
  return true;
}
