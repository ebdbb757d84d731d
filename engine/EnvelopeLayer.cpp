// Curve playback of one envelope layer.
#include "engine/EnvelopeLayer.h"

#include <bit>

// Squares are never -0, so the curve is silent exactly when every point's bits are zero. The
// squares and the check vectorise; the points are then stored one at a time.
void EnvelopeLayer::load(const float* curve) noexcept {
  std::array<float, kPointCount> squares;
  uint32_t bits = 0;
  for (std::size_t k = 0; k < squares.size(); ++k) {
    squares[k] = curve[k] * curve[k];
    bits |= std::bit_cast<uint32_t>(squares[k]);
  }
#pragma GCC unroll 8
  for (std::size_t k = 0; k < squares.size(); ++k) points[k].store(squares[k]);
  silent.store(bits == 0);
}

void EnvelopeLayer::reset() noexcept { position = 0.0f; }
