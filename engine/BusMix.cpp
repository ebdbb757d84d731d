// SSE2 (x86-64 baseline) and AVX2 forms of the bus sums.
#include "engine/BusMix.h"

#include <immintrin.h>

namespace {

void sumBusPortable(float* bus, const float* const* sources, int32_t n,
                    int32_t count) noexcept {
  int32_t k = 0;
  for (; k + 4 <= count; k += 4) {
    __m128 sum = _mm_setzero_ps();
    for (int32_t j = 0; j < n; ++j) sum = _mm_add_ps(sum, _mm_loadu_ps(sources[j] + k));
    _mm_storeu_ps(bus + k, sum);
  }
  for (; k < count; ++k) {
    float sum = 0.0f;
    for (int32_t j = 0; j < n; ++j) sum += sources[j][k];
    bus[k] = sum;
  }
}

[[gnu::target("avx2")]] void sumBusAvx2(float* bus, const float* const* sources, int32_t n,
                                        int32_t count) noexcept {
  int32_t k = 0;
  for (; k + 8 <= count; k += 8) {
    __m256 sum = _mm256_setzero_ps();
    for (int32_t j = 0; j < n; ++j) sum = _mm256_add_ps(sum, _mm256_loadu_ps(sources[j] + k));
    _mm256_storeu_ps(bus + k, sum);
  }
  for (; k < count; ++k) {
    float sum = 0.0f;
    for (int32_t j = 0; j < n; ++j) sum += sources[j][k];
    bus[k] = sum;
  }
}

inline void sumLoop(float* out, const OutputBuses& b, float gain, int32_t count) noexcept {
  for (int32_t k = 0; k < count; ++k) {
    out[k] = (b.flanger[k] + b.reverb[k] + b.delay[k] + b.dry[k] + b.phaser[k]) * gain;
  }
}

// The plain loop again, vectorised by the compiler for AVX2.
[[gnu::target("avx2")]] void sumLoopAvx2(float* out, const OutputBuses& b, float gain,
                                         int32_t count) noexcept {
  sumLoop(out, b, gain, count);
}

bool useAvx2(RenderPath path) noexcept { return path == RenderPath::avx2; }

}  // namespace

void sumOntoClearedBus(float* bus, const float* const* sources, int32_t n, int32_t count,
                       RenderPath path) noexcept {
  if (useAvx2(path)) {
    sumBusAvx2(bus, sources, n, count);
  } else {
    sumBusPortable(bus, sources, n, count);
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
