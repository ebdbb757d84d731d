// The full patch that the benchmarks time and the render-path tests compare: all 32 oscillators
// on with non-zero volumes, curves in all five amplitude layers and in layer 0 of the pitch and
// phase banks, the oscillators spread over all five buses, all four effects on, and a note that
// is started again now and then so that it never decays.
#pragma once

#include <array>
#include <cstdint>

class SynthEngine;

namespace full_patch {

using Curve = std::array<float, 385>;

// A curve whose points run from `first` to `last` with a ripple of `ripple` on top.
Curve shapedCurve(float first, float last, float ripple, float cycles);

void apply(SynthEngine& engine);

// Note 45 (110 Hz): all 32 harmonics lie in the audible band.
constexpr int32_t kNote = 45;
// The note starts again every two seconds, before its curves run out (about 5.8 s).
constexpr int64_t kRestartFrames = 88200;

// Renders the full patch in host blocks of `block` frames, starting the note again every
// kRestartFrames frames; `frame` counts the frames rendered so far across calls.
class Player {
 public:
  explicit Player(SynthEngine& target) : engine(target) {}

  void render(float* out, int32_t block) noexcept;

 private:
  SynthEngine& engine;
  int64_t frame = 0;
  int64_t nextRestart = 0;
};

}  // namespace full_patch
