// Plain loops, compiled twice: for the x86-64 baseline and, through the target attribute, with
// AVX2 (the compiler vectorises both; neither reorders a sum).
#include "engine/BusMix.h"

namespace {

inline void addLoop(float* bus, const float* source, int32_t count, bool first) noexcept {
  if (first) {
    for (int32_t k = 0; k < count; ++k) bus[k] = source[k] + 0.0f;
  } else {
    for (int32_t k = 0; k < count; ++k) bus[k] += source[k];
  }
}

inline void sumLoop(float* out, const OutputBuses& b, float gain, int32_t count) noexcept {
  for (int32_t k = 0; k < count; ++k) {
    out[k] = (b.flanger[k] + b.reverb[k] + b.delay[k] + b.dry[k] + b.phaser[k]) * gain;
  }
}

[[gnu::target("avx2")]] void addLoopAvx2(float* bus, const float* source, int32_t count,
                                         bool first) noexcept {
  addLoop(bus, source, count, first);
}

[[gnu::target("avx2")]] void sumLoopAvx2(float* out, const OutputBuses& b, float gain,
                                         int32_t count) noexcept {
  sumLoop(out, b, gain, count);
}

bool useAvx2(RenderPath path) noexcept {
  return path == RenderPath::avx2 || path == RenderPath::avx512;
}

}  // namespace

void addToBus(float* bus, const float* source, int32_t count, bool first,
              RenderPath path) noexcept {
  if (useAvx2(path)) {
    addLoopAvx2(bus, source, count, first);
  } else {
    addLoop(bus, source, count, first);
  }
}

void sumOutput(float* out, const OutputBuses& buses, float gain, int32_t count,
               RenderPath path) noexcept {
  if (useAvx2(path)) {
    sumLoopAvx2(out, buses, gain, count);
  } else {
    sumLoop(out, buses, gain, count);
  }
}
