// Curve playback of one envelope layer.
#include "engine/EnvelopeLayer.h"

#include <bit>

// Squares are never -0, so the curve is silent exactly when every point's bits are zero (the
// loop vectorises).
void EnvelopeLayer::load(const float* curve) noexcept {
  uint32_t bits = 0;
  for (int32_t k = 0; k < kPointCount; ++k) {
    const float point = curve[k] * curve[k];
    points[std::size_t(k)] = point;
    bits |= std::bit_cast<uint32_t>(point);
  }
  silent = bits == 0;
}

void EnvelopeLayer::reset() noexcept { position = 0.0f; }
