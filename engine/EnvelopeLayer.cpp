// Curve playback of one envelope layer.
#include "engine/EnvelopeLayer.h"

void EnvelopeLayer::load(const float* curve) noexcept {
  bool allZero = true;
  for (int32_t k = 0; k < kPointCount; ++k) {
    const float point = curve[k] * curve[k];
    points[std::size_t(k)] = point;
    allZero = allZero && point == 0.0f;
  }
  silent = allZero;
}

void EnvelopeLayer::reset() noexcept { position = 0.0f; }
