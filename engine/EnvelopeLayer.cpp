// Curve playback of one envelope layer.
#include "engine/EnvelopeLayer.h"

#include "engine/Interpolation.h"

void EnvelopeLayer::load(const float* curve) noexcept {
  for (int32_t k = 0; k < kPointCount; ++k) points[std::size_t(k)] = curve[k] * curve[k];
}

void EnvelopeLayer::reset() noexcept {
  position = 0.0f;
  index = 0;
}

float EnvelopeLayer::next() noexcept {
  position += 0.3f;
  index = int32_t(position);
  fraction = position - float(index);
  if (index >= kEndIndex) return 0.0f;
  const float* p = points.data() + index;
  return interpolateFourPoint(p[0], p[1], p[2], p[3], fraction);
}
