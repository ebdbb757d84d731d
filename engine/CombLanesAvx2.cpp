// The AVX2 comb kernel: eight samples per run, the eight combs in one vector. Only functions with
// the target attribute use AVX2.
#include <immintrin.h>

#include "engine/Avx2Transpose.h"
#include "engine/CombLanes.h"

namespace {

[[gnu::target("avx2")]] inline __m256 flushLanes(__m256 v) noexcept {
  const __m256i exponentMask = _mm256_set1_epi32(0x7F800000);
  const __m256i exponent = _mm256_and_si256(_mm256_castps_si256(v), exponentMask);
  const __m256i bad = _mm256_or_si256(_mm256_cmpeq_epi32(exponent, _mm256_setzero_si256()),
                                      _mm256_cmpeq_epi32(exponent, exponentMask));
  return _mm256_andnot_ps(_mm256_castsi256_ps(bad), v);
}

}  // namespace

[[gnu::target("avx2")]] void runReverbAvx2(CombLanes& combs, AllpassChain& allpasses,
                                           const ReverbLevels& levels, const float* in,
                                           float* out, int32_t count) noexcept {
  const float gain = levels.gain;
  const __m256 damp1 = _mm256_load_ps(combs.damp1.data());
  const __m256 damp2 = _mm256_load_ps(combs.damp2.data());
  const __m256 feedback = _mm256_load_ps(combs.feedback.data());
  int32_t k = 0;
  while (k < count) {
    if (count - k < 8 || !combsRunFree(combs, 8)) {
      const float x = in[k];
      out[k] = allpasses.process(combSample(combs, x * gain)) * levels.wet + x * levels.dry;
      ++k;
      continue;
    }
    __m256 o[8];
    __m256 sum = _mm256_setzero_ps();
    for (std::size_t c = 0; c < 8; ++c) {
      o[c] = flushLanes(_mm256_loadu_ps(combs.line[c] + combs.index[c]));
      sum = _mm256_add_ps(sum, o[c]);
    }
    alignas(32) float sums[8];
    _mm256_store_ps(sums, sum);
    transpose8(o);  // a sample per vector
    __m256 store = _mm256_load_ps(combs.store.data());
    for (int32_t s = 0; s < 8; ++s) {
      store = flushLanes(_mm256_add_ps(_mm256_mul_ps(o[s], damp2), _mm256_mul_ps(store, damp1)));
      o[s] = _mm256_add_ps(_mm256_set1_ps(in[k + s] * gain), _mm256_mul_ps(store, feedback));
    }
    _mm256_store_ps(combs.store.data(), store);
    transpose8(o);  // a comb per vector again
    for (std::size_t c = 0; c < 8; ++c) {
      _mm256_storeu_ps(combs.line[c] + combs.index[c], o[c]);
      combs.index[c] += 8;
      if (combs.index[c] >= combs.size[c]) combs.index[c] = 0;
    }
    for (int32_t s = 0; s < 8; ++s) {
      const float x = in[k + s];
      out[k + s] = allpasses.process(sums[s]) * levels.wet + x * levels.dry;
    }
    k += 8;
  }
}
