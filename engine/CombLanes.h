// The reverb's eight combs side by side: their state gathered for one block, and kernels that
// run them over a block with the comb's arithmetic in the same order, giving the same line
// contents, filter states and outputs as eight CombFilter::process calls per sample. Where no
// comb's line wraps within the next few samples, those samples' reads are loaded a row at a
// time (every comb line is longer than the run, so a run never reads what it writes).
#pragma once

#include <array>
#include <cstdint>

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

// sums[k] = the eight comb outputs for input in[k] × gain, added in comb order onto 0.
void runCombsPortable(CombLanes& combs, const float* in, float gain, float* sums,
                      int32_t count) noexcept;
void runCombsAvx2(CombLanes& combs, const float* in, float gain, float* sums,
                  int32_t count) noexcept;
// One sample of all eight combs in the per-sample form.
[[nodiscard]] float combSample(CombLanes& combs, float input) noexcept;
// Whether every comb can run `run` samples without its index wrapping inside the run.
[[nodiscard]] bool combsRunFree(const CombLanes& combs, int32_t run) noexcept;
