// The per-sample comb step of the reverb's block form.
#include "engine/CombLanes.h"

#include "engine/FloatGuards.h"

float combSample(CombLanes& combs, float input) noexcept {
  float sum = 0.0f;
  for (std::size_t c = 0; c < static_cast<std::size_t>(CombLanes::kCombs); ++c) {
    float* line = combs.line[c];
    int32_t& index = combs.index[c];
    const float out = flushToZero(line[index]);
    combs.store[c] = flushToZero(out * combs.damp2[c] + combs.store[c] * combs.damp1[c]);
    line[index] = input + combs.store[c] * combs.feedback[c];
    if (++index >= combs.size[c]) index = 0;
    sum += out;
  }
  return sum;
}
