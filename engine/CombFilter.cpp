// Set-up of a comb filter.
#include "engine/CombFilter.h"

void CombFilter::attach(float* line, int32_t size) noexcept {
  buffer_ = line;
  bufferSize_ = size;
  bufferIndex_ = 0;
  filterStore_ = 0.0f;
}

void CombFilter::setDamp(float value) noexcept {
  damp1_ = value;
  damp2_ = 1.0f - value;
}
