// One envelope curve being played: 385 points (the squares of the drawn values) read with
// four-point interpolation, the read position moving 0.3 points per curve step. Points 385 and
// 386 stay 0, so a curve eases out over its last steps and gives 0 once the read index reaches
// 384 (after about 1280 steps). A curve may be loaded on another thread while the render reads
// it: every point is stored and read on its own, so the render reads each point's old or new
// value; the read position belongs to the render.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "engine/Interpolation.h"
#include "engine/SharedField.h"

// The three banks every oscillator follows.
enum class EnvelopeBank : int32_t { amplitude = 0, pitch = 1, phase = 2 };

class EnvelopeLayer {
 public:
  static constexpr int32_t kPointCount = 385;
  static constexpr int32_t kEndIndex = 384;  // from this read index on the layer gives 0

  // Loads 385 points, each squared. `curve` must hold 385 floats.
  void load(const float* curve) noexcept;
  // Back to the start of the curve (note start).
  void reset() noexcept;
  // Advances by one curve step and returns the curve's value there.
  [[nodiscard]] float next() noexcept {
    const Read read = advanced(position);
    follow(read);
    return valueAt(read);
  }

  // A read position one curve step on from `from`. Layers that were reset together and stepped
  // together share it, so an oscillator works it out once for all its layers.
  struct Read {
    float position;
    int32_t index;
    float fraction;
  };
  [[nodiscard]] static Read advanced(float from) noexcept {
    Read read{from + 0.3f, 0, 0.0f};
    read.index = static_cast<int32_t>(read.position);
    read.fraction = read.position - static_cast<float>(read.index);
    return read;
  }
  // Moves this layer to `read` (as next() would have).
  void follow(const Read& read) noexcept { position = read.position; }
  // The curve's value at `read`.
  [[nodiscard]] float valueAt(const Read& read) const noexcept {
    if (read.index >= kEndIndex) return 0.0f;
    const SharedValue<float>* p = points.data() + read.index;
    return interpolateFourPoint(p[0].load(), p[1].load(), p[2].load(), p[3].load(), read.fraction);
  }
  [[nodiscard]] float readPosition() const noexcept { return position; }
  // True while every point is zero: the curve then gives exactly +0 at any read position.
  [[nodiscard]] bool isSilent() const noexcept { return silent.load(); }

  [[nodiscard]] float point(int32_t k) const noexcept {
    return points[static_cast<std::size_t>(k)].load();
  }
  // The integer part of the read position (the last read's index).
  [[nodiscard]] int32_t readIndex() const noexcept { return static_cast<int32_t>(position); }

 private:
  std::array<SharedValue<float>, kPointCount + 2> points{};
  // Only the read position is kept: the last read's index and fraction follow from it.
  float position = 0.0f;
  SharedValue<bool> silent = true;
};
