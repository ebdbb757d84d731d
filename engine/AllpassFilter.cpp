// Set-up of an allpass filter.
#include "engine/AllpassFilter.h"

void AllpassFilter::attach(float* line, int32_t size) noexcept {
  buffer = line;
  bufferSize = size;
  bufferIndex = 0;
}
