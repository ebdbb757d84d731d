// The AVX2 kernel of the oscillator bank: eight oscillators per vector. Only the functions
// marked with the target attribute use AVX2; the bank calls them only where the processor has it.
#include <immintrin.h>

#include "engine/LaneKernels.h"

namespace {

constexpr int32_t kLanes = 8;

// The rows at byte offsets at[0..7] as four vectors c0..c3, lane j holding row at[j]. Each pair
// of rows is broadcast from memory and blended (no lane-crossing shuffle), then transposed
// within 128-bit halves.
[[gnu::target("avx2")]] inline __m256 rowPair(const char* rows, int32_t low,
                                              int32_t high) noexcept {
  return _mm256_blend_ps(_mm256_broadcast_ps(reinterpret_cast<const __m128*>(rows + low)),
                         _mm256_broadcast_ps(reinterpret_cast<const __m128*>(rows + high)),
                         0xF0);
}

[[gnu::target("avx2")]] inline void loadRows(const char* rows, const int32_t* at, __m256& c0,
                                             __m256& c1, __m256& c2, __m256& c3) noexcept {
  const __m256 r04 = rowPair(rows, at[0], at[4]);
  const __m256 r15 = rowPair(rows, at[1], at[5]);
  const __m256 r26 = rowPair(rows, at[2], at[6]);
  const __m256 r37 = rowPair(rows, at[3], at[7]);
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
template <bool kCheckStray>
[[gnu::target("avx2")]] inline __m256 laneSample(LaneBlock& lanes, __m256& position, __m256 step,
                                                 __m256 scale, __m256 level,
                                                 __m256 length) noexcept {
  const __m256i index = _mm256_cvttps_epi32(position);
  const __m256 fraction = _mm256_sub_ps(position, _mm256_cvtepi32_ps(index));
  alignas(32) int32_t at[8];
  _mm256_store_si256(reinterpret_cast<__m256i*>(at),
                     _mm256_slli_epi32(index, 4));  // byte offsets of the rows
  // Read them back through memory: the load ports are idle here, the vector ports are not.
  asm("" : "+m"(at));
  __m256 c0, c1, c2, c3;
  loadRows(reinterpret_cast<const char*>(lanes.rows), at, c0, c1, c2, c3);
  __m256 value = _mm256_add_ps(c2, _mm256_mul_ps(fraction, c3));
  value = _mm256_add_ps(c1, _mm256_mul_ps(fraction, value));
  value = _mm256_add_ps(c0, _mm256_mul_ps(fraction, value));
  const __m256 result = _mm256_mul_ps(_mm256_mul_ps(value, scale), level);
  position = _mm256_add_ps(position, step);
  position = _mm256_sub_ps(
      position, _mm256_and_ps(_mm256_cmp_ps(position, length, _CMP_GE_OQ), length));
  if (!kCheckStray) return result;
  const __m256 inside = _mm256_and_ps(_mm256_cmp_ps(position, _mm256_setzero_ps(), _CMP_GE_OQ),
                                      _mm256_cmp_ps(position, length, _CMP_LT_OQ));
  if (_mm256_movemask_ps(inside) != 0xFF) {
    _mm256_store_ps(lanes.position.data(), position);
    wrapStrayLanes(lanes, 0, 8);
    position = _mm256_load_ps(lanes.position.data());
  }
  return result;
}

// s[k] holds sample k of lanes 0..7: writes samples k0 .. k0+7 of each lane to out[lane]. The
// transpose stays within 128-bit halves (lane j and lane j+4 share a vector) and the halves are
// stored separately, which avoids lane-crossing shuffles (slow on several processors).
[[gnu::target("avx2")]] inline void storeTransposed(const __m256* s, float* const* out,
                                                    int32_t k0) noexcept {
  for (int32_t half = 0; half < 2; ++half) {
    const __m256* q = s + 4 * half;
    const __m256 t0 = _mm256_unpacklo_ps(q[0], q[1]);
    const __m256 t1 = _mm256_unpackhi_ps(q[0], q[1]);
    const __m256 t2 = _mm256_unpacklo_ps(q[2], q[3]);
    const __m256 t3 = _mm256_unpackhi_ps(q[2], q[3]);
    const __m256 lanes[4] = {_mm256_shuffle_ps(t0, t2, _MM_SHUFFLE(1, 0, 1, 0)),
                             _mm256_shuffle_ps(t0, t2, _MM_SHUFFLE(3, 2, 3, 2)),
                             _mm256_shuffle_ps(t1, t3, _MM_SHUFFLE(1, 0, 1, 0)),
                             _mm256_shuffle_ps(t1, t3, _MM_SHUFFLE(3, 2, 3, 2))};
    const int32_t at = k0 + 4 * half;
    for (int32_t j = 0; j < 4; ++j) {
      _mm_storeu_ps(out[j] + at, _mm256_castps256_ps128(lanes[j]));
      _mm_storeu_ps(out[j + 4] + at, _mm256_extractf128_ps(lanes[j], 1));
    }
  }
}

template <bool kCheckStray>
[[gnu::target("avx2")]] void renderRun(LaneBlock& lanes, int32_t offset, int32_t count) noexcept {
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
    for (__m256& sample : s) {
      sample = laneSample<kCheckStray>(lanes, position, step, scale, level, length);
    }
    storeTransposed(s, out, k);
  }
  for (; k < count; ++k) {
    alignas(32) float sample[8];
    _mm256_store_ps(sample,
                    laneSample<kCheckStray>(lanes, position, step, scale, level, length));
    for (int32_t j = 0; j < 8; ++j) out[j][k] = sample[j];
  }
  _mm256_store_ps(lanes.position.data(), position);
}

}  // namespace

[[gnu::target("avx2")]] void renderLanesAvx2(LaneBlock& lanes, int32_t offset,
                                             int32_t count) noexcept {
  if (lanesStaySteady(lanes, kLanes)) {
    renderRun<false>(lanes, offset, count);
  } else {
    renderRun<true>(lanes, offset, count);
  }
}
