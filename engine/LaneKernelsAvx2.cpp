// The AVX2 kernel of the oscillator bank: eight oscillators per vector. Only the functions
// marked with the target attribute use AVX2; the bank calls them only where the processor has it.
#include <immintrin.h>

#include "engine/LaneKernels.h"

namespace {

// Rows at[0..7] as four vectors c0..c3, lane j holding row at[j].
[[gnu::target("avx2")]] inline void loadRows(const float* rows, const int32_t* at, __m256& c0, __m256& c1,
                             __m256& c2, __m256& c3) noexcept {
  const __m256 r04 = _mm256_insertf128_ps(_mm256_castps128_ps256(_mm_load_ps(rows + 4 * at[0])),
                                          _mm_load_ps(rows + 4 * at[4]), 1);
  const __m256 r15 = _mm256_insertf128_ps(_mm256_castps128_ps256(_mm_load_ps(rows + 4 * at[1])),
                                          _mm_load_ps(rows + 4 * at[5]), 1);
  const __m256 r26 = _mm256_insertf128_ps(_mm256_castps128_ps256(_mm_load_ps(rows + 4 * at[2])),
                                          _mm_load_ps(rows + 4 * at[6]), 1);
  const __m256 r37 = _mm256_insertf128_ps(_mm256_castps128_ps256(_mm_load_ps(rows + 4 * at[3])),
                                          _mm_load_ps(rows + 4 * at[7]), 1);
  const __m256 t0 = _mm256_unpacklo_ps(r04, r15);
  const __m256 t1 = _mm256_unpackhi_ps(r04, r15);
  const __m256 t2 = _mm256_unpacklo_ps(r26, r37);
  const __m256 t3 = _mm256_unpackhi_ps(r26, r37);
  c0 = _mm256_shuffle_ps(t0, t2, _MM_SHUFFLE(1, 0, 1, 0));
  c1 = _mm256_shuffle_ps(t0, t2, _MM_SHUFFLE(3, 2, 3, 2));
  c2 = _mm256_shuffle_ps(t1, t3, _MM_SHUFFLE(1, 0, 1, 0));
  c3 = _mm256_shuffle_ps(t1, t3, _MM_SHUFFLE(3, 2, 3, 2));
}

// See the portable kernel: the same operations on eight lanes.
[[gnu::target("avx2")]] inline __m256 laneSample(LaneBlock& lanes, __m256& position, __m256 step, __m256 scale,
                                 __m256 level, __m256 length) noexcept {
  const __m256i index = _mm256_cvttps_epi32(position);
  const __m256 fraction = _mm256_sub_ps(position, _mm256_cvtepi32_ps(index));
  alignas(32) int32_t at[8];
  _mm256_store_si256(reinterpret_cast<__m256i*>(at), index);
  __m256 c0, c1, c2, c3;
  loadRows(&lanes.rows[0].c0, at, c0, c1, c2, c3);
  __m256 value = _mm256_add_ps(c2, _mm256_mul_ps(fraction, c3));
  value = _mm256_add_ps(c1, _mm256_mul_ps(fraction, value));
  value = _mm256_add_ps(c0, _mm256_mul_ps(fraction, value));
  const __m256 result = _mm256_mul_ps(_mm256_mul_ps(value, scale), level);
  position = _mm256_add_ps(position, step);
  position = _mm256_sub_ps(
      position, _mm256_and_ps(_mm256_cmp_ps(position, length, _CMP_GE_OQ), length));
  const __m256 inside = _mm256_and_ps(_mm256_cmp_ps(position, _mm256_setzero_ps(), _CMP_GE_OQ),
                                      _mm256_cmp_ps(position, length, _CMP_LT_OQ));
  if (_mm256_movemask_ps(inside) != 0xFF) {
    _mm256_store_ps(lanes.position.data(), position);
    wrapStrayLanes(lanes, 8);
    position = _mm256_load_ps(lanes.position.data());
  }
  return result;
}

// s[k] holds sample k of lanes 0..7; afterwards s[j] holds samples 0..7 of lane j.
[[gnu::target("avx2")]] inline void transpose8(__m256* s) noexcept {
  const __m256 t0 = _mm256_unpacklo_ps(s[0], s[1]);
  const __m256 t1 = _mm256_unpackhi_ps(s[0], s[1]);
  const __m256 t2 = _mm256_unpacklo_ps(s[2], s[3]);
  const __m256 t3 = _mm256_unpackhi_ps(s[2], s[3]);
  const __m256 t4 = _mm256_unpacklo_ps(s[4], s[5]);
  const __m256 t5 = _mm256_unpackhi_ps(s[4], s[5]);
  const __m256 t6 = _mm256_unpacklo_ps(s[6], s[7]);
  const __m256 t7 = _mm256_unpackhi_ps(s[6], s[7]);
  const __m256 u0 = _mm256_shuffle_ps(t0, t2, _MM_SHUFFLE(1, 0, 1, 0));
  const __m256 u1 = _mm256_shuffle_ps(t0, t2, _MM_SHUFFLE(3, 2, 3, 2));
  const __m256 u2 = _mm256_shuffle_ps(t1, t3, _MM_SHUFFLE(1, 0, 1, 0));
  const __m256 u3 = _mm256_shuffle_ps(t1, t3, _MM_SHUFFLE(3, 2, 3, 2));
  const __m256 u4 = _mm256_shuffle_ps(t4, t6, _MM_SHUFFLE(1, 0, 1, 0));
  const __m256 u5 = _mm256_shuffle_ps(t4, t6, _MM_SHUFFLE(3, 2, 3, 2));
  const __m256 u6 = _mm256_shuffle_ps(t5, t7, _MM_SHUFFLE(1, 0, 1, 0));
  const __m256 u7 = _mm256_shuffle_ps(t5, t7, _MM_SHUFFLE(3, 2, 3, 2));
  s[0] = _mm256_permute2f128_ps(u0, u4, 0x20);
  s[1] = _mm256_permute2f128_ps(u1, u5, 0x20);
  s[2] = _mm256_permute2f128_ps(u2, u6, 0x20);
  s[3] = _mm256_permute2f128_ps(u3, u7, 0x20);
  s[4] = _mm256_permute2f128_ps(u0, u4, 0x31);
  s[5] = _mm256_permute2f128_ps(u1, u5, 0x31);
  s[6] = _mm256_permute2f128_ps(u2, u6, 0x31);
  s[7] = _mm256_permute2f128_ps(u3, u7, 0x31);
}

}  // namespace

[[gnu::target("avx2")]] void renderLanesAvx2(LaneBlock& lanes, int32_t offset, int32_t count) noexcept {
  __m256 position = _mm256_load_ps(lanes.position.data());
  const __m256 step = _mm256_load_ps(lanes.step.data());
  const __m256 scale = _mm256_load_ps(lanes.scale.data());
  const __m256 level = _mm256_load_ps(lanes.level.data());
  const __m256 length = _mm256_set1_ps(lanes.length);
  float* out[8];
  for (int32_t j = 0; j < 8; ++j) out[j] = lanes.out[std::size_t(j)] + offset;
  int32_t k = 0;
  for (; k + 8 <= count; k += 8) {
    __m256 s[8];
    for (__m256& sample : s) sample = laneSample(lanes, position, step, scale, level, length);
    transpose8(s);
    for (int32_t j = 0; j < 8; ++j) _mm256_storeu_ps(out[j] + k, s[j]);
  }
  for (; k < count; ++k) {
    alignas(32) float sample[8];
    _mm256_store_ps(sample, laneSample(lanes, position, step, scale, level, length));
    for (int32_t j = 0; j < 8; ++j) out[j][k] = sample[j];
  }
  _mm256_store_ps(lanes.position.data(), position);
}
