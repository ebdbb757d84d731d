// The AVX2 comb kernel: four samples per run, the eight combs in one vector (combs 0-3 in the
// low half, 4-7 in the high half), so every transpose stays within 128-bit halves. Only functions
// with the target attribute use AVX2.
#include <immintrin.h>

#include "engine/CombLanes.h"

namespace {

[[gnu::target("avx2")]] inline __m256 flushLanes(__m256 v) noexcept {
  const __m256i exponentMask = _mm256_set1_epi32(0x7F800000);
  const __m256i exponent = _mm256_and_si256(_mm256_castps_si256(v), exponentMask);
  const __m256i bad = _mm256_or_si256(_mm256_cmpeq_epi32(exponent, _mm256_setzero_si256()),
                                      _mm256_cmpeq_epi32(exponent, exponentMask));
  return _mm256_andnot_ps(_mm256_castsi256_ps(bad), v);
}

// Transposes four vectors within each 128-bit half.
[[gnu::target("avx2")]] inline void transposeHalves(__m256* v) noexcept {
  const __m256 t0 = _mm256_unpacklo_ps(v[0], v[1]);
  const __m256 t1 = _mm256_unpackhi_ps(v[0], v[1]);
  const __m256 t2 = _mm256_unpacklo_ps(v[2], v[3]);
  const __m256 t3 = _mm256_unpackhi_ps(v[2], v[3]);
  v[0] = _mm256_shuffle_ps(t0, t2, _MM_SHUFFLE(1, 0, 1, 0));
  v[1] = _mm256_shuffle_ps(t0, t2, _MM_SHUFFLE(3, 2, 3, 2));
  v[2] = _mm256_shuffle_ps(t1, t3, _MM_SHUFFLE(1, 0, 1, 0));
  v[3] = _mm256_shuffle_ps(t1, t3, _MM_SHUFFLE(3, 2, 3, 2));
}

}  // namespace

[[gnu::target("avx2")]] void runCombsAvx2(CombLanes& combs, const float* in, float gain,
                                          float* sums, int32_t count) noexcept {
  const __m256 damp1 = _mm256_load_ps(combs.damp1.data());
  const __m256 damp2 = _mm256_load_ps(combs.damp2.data());
  const __m256 feedback = _mm256_load_ps(combs.feedback.data());
  int32_t k = 0;
  while (k < count) {
    if (count - k < 4 || !combsRunFree(combs, 4)) {
      sums[k] = combSample(combs, in[k] * gain);
      ++k;
      continue;
    }
    // v[j]: four samples of comb j (low half) and of comb j + 4 (high half), flushed.
    __m256 v[4];
    for (std::size_t j = 0; j < 4; ++j) {
      v[j] = flushLanes(_mm256_insertf128_ps(
          _mm256_castps128_ps256(_mm_loadu_ps(combs.line[j] + combs.index[j])),
          _mm_loadu_ps(combs.line[j + 4] + combs.index[j + 4]), 1));
    }
    // The sum in comb order: 0 + comb 0 + comb 1 ... + comb 7.
    __m128 sum = _mm_setzero_ps();
    for (const __m256& pair : v) sum = _mm_add_ps(sum, _mm256_castps256_ps128(pair));
    for (const __m256& pair : v) sum = _mm_add_ps(sum, _mm256_extractf128_ps(pair, 1));
    _mm_storeu_ps(sums + k, sum);
    transposeHalves(v);  // v[s]: sample s of combs 0-7
    __m256 store = _mm256_load_ps(combs.store.data());
    for (int32_t s = 0; s < 4; ++s) {
      store = flushLanes(_mm256_add_ps(_mm256_mul_ps(v[s], damp2), _mm256_mul_ps(store, damp1)));
      v[s] = _mm256_add_ps(_mm256_set1_ps(in[k + s] * gain), _mm256_mul_ps(store, feedback));
    }
    _mm256_store_ps(combs.store.data(), store);
    transposeHalves(v);  // back to four samples of comb j | comb j + 4
    for (std::size_t j = 0; j < 4; ++j) {
      _mm_storeu_ps(combs.line[j] + combs.index[j], _mm256_castps256_ps128(v[j]));
      _mm_storeu_ps(combs.line[j + 4] + combs.index[j + 4], _mm256_extractf128_ps(v[j], 1));
    }
    for (std::size_t c = 0; c < 8; ++c) {
      combs.index[c] += 4;
      if (combs.index[c] >= combs.size[c]) combs.index[c] = 0;
    }
    k += 4;
  }
}
