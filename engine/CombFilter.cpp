// Set-up of a comb filter.
#include "engine/CombFilter.h"

void CombFilter::attach(float* line, int32_t size) noexcept {
  buffer = line;
  bufferSize = size;
  bufferIndex = 0;
  filterStore = 0.0f;
}

void CombFilter::setDamp(float value) noexcept {
  damp1 = value;
  damp2 = 1.0f - value;
}
