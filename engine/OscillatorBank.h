// Renders many oscillators side by side: groups of eight (the lanes of the chosen kernel) run
// through a lane kernel between curve steps, and each oscillator takes its curve steps on the
// same samples as it would alone. Every oscillator ends in the state Oscillator::render leaves,
// with the same samples in its buffer.
#pragma once

#include <array>
#include <cstdint>

#include "engine/LaneKernels.h"
#include "engine/Oscillator.h"

class OscillatorBank {
 public:
  static constexpr int32_t kBlockLimit = 2000;

  // Renders `count` (≤ kBlockLimit) samples of oscillators[0..n-1] into buffers[0..n-1] with
  // the given lane kernel, a group of LaneBlock::kLanes at a time. An oscillator not on the
  // shared sine table renders on its own. The caller has had each oscillator take up its
  // settings for this block (Oscillator::applySettings), as SynthEngine does.
  void render(Oscillator* const* oscillators, float* const* buffers, int32_t n, int32_t count,
              LaneKernel kernel) noexcept;

 private:
  void renderGroup(Oscillator* const* oscillators, float* const* buffers, int32_t lanes,
                   int32_t count, LaneKernel kernel) noexcept;
  void loadLanes(LaneBlock& block, Oscillator* const* oscillators, float* const* buffers,
                 int32_t lanes) noexcept;
  // The lane's phase, increment, gain and amplitude from its oscillator.
  static void loadLane(LaneBlock& block, std::size_t lane, const Oscillator& oscillator) noexcept;

  // Where lanes without an oscillator write.
  std::array<float, kBlockLimit> unusedLane{};
};
