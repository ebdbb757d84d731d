// The kernels on AVX2: eight float lanes (the eight oscillator lanes in one vector; the eight
// combs with combs 0-3 in the low half and 4-7 in the high half), four double lanes. Everything
// after the target pragma is compiled for AVX2 and runs only where RenderKernels found it, so the
// plug-in still loads and runs on any x86-64 processor. Every header the kernels need is included
// before the pragma, so that none of their inline functions is compiled for AVX2 here.
#include <immintrin.h>

#include <array>
#include <cmath>
#include <cstdint>

#include "engine/CombLanes.h"
#include "engine/FloatGuards.h"
#include "engine/LaneKernels.h"
#include "engine/RenderKernels.h"
#include "engine/SimdKernels.h"

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

#include "engine/SimdKernelBodies.h"

namespace {

// Transposes four vectors within each 128-bit half.
void transposeHalves(__m256& v0, __m256& v1, __m256& v2, __m256& v3) noexcept {
  const __m256 t0 = _mm256_unpacklo_ps(v0, v1);
  const __m256 t1 = _mm256_unpackhi_ps(v0, v1);
  const __m256 t2 = _mm256_unpacklo_ps(v2, v3);
  const __m256 t3 = _mm256_unpackhi_ps(v2, v3);
  v0 = _mm256_shuffle_ps(t0, t2, _MM_SHUFFLE(1, 0, 1, 0));
  v1 = _mm256_shuffle_ps(t0, t2, _MM_SHUFFLE(3, 2, 3, 2));
  v2 = _mm256_shuffle_ps(t1, t3, _MM_SHUFFLE(1, 0, 1, 0));
  v3 = _mm256_shuffle_ps(t1, t3, _MM_SHUFFLE(3, 2, 3, 2));
}

// Rows at byte offsets `low` and `high`, broadcast from memory and blended (no lane-crossing
// shuffle): `low` in the low half, `high` in the high half.
__m256 rowPair(const char* rows, int32_t low, int32_t high) noexcept {
  return _mm256_blend_ps(_mm256_broadcast_ps(reinterpret_cast<const __m128*>(rows + low)),
                         _mm256_broadcast_ps(reinterpret_cast<const __m128*>(rows + high)), 0xF0);
}

struct Avx2 {
  using Floats = __m256;
  using Ints = __m256i;
  using Doubles = __m256d;
  static constexpr int32_t kWidth = 8;
  static constexpr int kAllLanes = 0xFF;
  static constexpr int32_t kDoubles = 4;
  static constexpr int32_t kSineVectorsPerTurn = 2;

  static Floats load(const float* p) noexcept { return _mm256_loadu_ps(p); }
  static Floats loadAligned(const float* p) noexcept { return _mm256_load_ps(p); }
  static void store(float* p, Floats v) noexcept { _mm256_storeu_ps(p, v); }
  static void storeAligned(float* p, Floats v) noexcept { _mm256_store_ps(p, v); }
  static Floats broadcast(float v) noexcept { return _mm256_set1_ps(v); }
  static Floats zero() noexcept { return _mm256_setzero_ps(); }
  static Floats add(Floats a, Floats b) noexcept { return _mm256_add_ps(a, b); }
  static Floats sub(Floats a, Floats b) noexcept { return _mm256_sub_ps(a, b); }
  static Floats mul(Floats a, Floats b) noexcept { return _mm256_mul_ps(a, b); }
  static Floats bitAnd(Floats a, Floats b) noexcept { return _mm256_and_ps(a, b); }
  static Floats atLeast(Floats a, Floats b) noexcept { return _mm256_cmp_ps(a, b, _CMP_GE_OQ); }
  static Floats below(Floats a, Floats b) noexcept { return _mm256_cmp_ps(a, b, _CMP_LT_OQ); }
  static int mask(Floats v) noexcept { return _mm256_movemask_ps(v); }
  static Ints truncate(Floats v) noexcept { return _mm256_cvttps_epi32(v); }
  static Floats toFloats(Ints v) noexcept { return _mm256_cvtepi32_ps(v); }

  // Interpolation rows are 16 bytes: the byte offset of row i is i << 4.
  static void storeRowOffsets(int32_t* at, Ints index) noexcept {
    _mm256_store_si256(reinterpret_cast<__m256i*>(at), _mm256_slli_epi32(index, 4));
  }
  // Lane j takes row at[j]: rows j and j + 4 share a vector, transposed within the halves.
  static void loadRows(const char* rows, const int32_t* at, Floats& c0, Floats& c1, Floats& c2,
                       Floats& c3) noexcept {
    c0 = rowPair(rows, at[0], at[4]);
    c1 = rowPair(rows, at[1], at[5]);
    c2 = rowPair(rows, at[2], at[6]);
    c3 = rowPair(rows, at[3], at[7]);
    transposeHalves(c0, c1, c2, c3);
  }
  // s[k] holds sample k0 + k of the eight lanes. The transpose stays within 128-bit halves (lane
  // j and lane j + 4 share a vector) and the halves are stored separately, which avoids
  // lane-crossing shuffles (slow on several processors).
  static void storeTransposed(Floats* s, float* const* out, int32_t k0) noexcept {
    for (int32_t half = 0; half < 2; ++half) {
      Floats* q = s + 4 * half;
      transposeHalves(q[0], q[1], q[2], q[3]);
      const int32_t at = k0 + 4 * half;
      for (int32_t j = 0; j < 4; ++j) {
        _mm_storeu_ps(out[j] + at, _mm256_castps256_ps128(q[j]));
        _mm_storeu_ps(out[j + 4] + at, _mm256_extractf128_ps(q[j], 1));
      }
    }
  }

  // flushToZero on every lane: zero, denormal, inf and NaN give 0.
  static Floats flush(Floats v) noexcept {
    const __m256i exponentMask = _mm256_set1_epi32(0x7F800000);
    const __m256i exponent = _mm256_and_si256(_mm256_castps_si256(v), exponentMask);
    const __m256i bad = _mm256_or_si256(_mm256_cmpeq_epi32(exponent, _mm256_setzero_si256()),
                                        _mm256_cmpeq_epi32(exponent, exponentMask));
    return _mm256_andnot_ps(_mm256_castsi256_ps(bad), v);
  }
  // One group; row j: comb j in the low half, comb j + 4 in the high half.
  static Floats loadCombRun(const CombLanes& combs, int32_t, int32_t j) noexcept {
    const auto c = static_cast<std::size_t>(j);
    return _mm256_insertf128_ps(
        _mm256_castps128_ps256(_mm_loadu_ps(combs.line[c] + combs.index[c])),
        _mm_loadu_ps(combs.line[c + 4] + combs.index[c + 4]), 1);
  }
  static void storeCombRun(CombLanes& combs, int32_t, int32_t j, Floats v) noexcept {
    const auto c = static_cast<std::size_t>(j);
    _mm_storeu_ps(combs.line[c] + combs.index[c], _mm256_castps256_ps128(v));
    _mm_storeu_ps(combs.line[c + 4] + combs.index[c + 4], _mm256_extractf128_ps(v, 1));
  }
  static __m128 combRun(const Floats (*v)[4], int32_t c) noexcept {
    return c < 4 ? _mm256_castps256_ps128(v[0][c]) : _mm256_extractf128_ps(v[0][c - 4], 1);
  }
  static void transposeQuads(Floats* v) noexcept { transposeHalves(v[0], v[1], v[2], v[3]); }

  static Doubles load(const double* p) noexcept { return _mm256_loadu_pd(p); }
  static Doubles broadcast(double v) noexcept { return _mm256_set1_pd(v); }
  static Doubles add(Doubles a, Doubles b) noexcept { return _mm256_add_pd(a, b); }
  static Doubles sub(Doubles a, Doubles b) noexcept { return _mm256_sub_pd(a, b); }
  static Doubles mul(Doubles a, Doubles b) noexcept { return _mm256_mul_pd(a, b); }
  static Doubles bitAnd(Doubles a, Doubles b) noexcept { return _mm256_and_pd(a, b); }
  static Doubles bitAndNot(Doubles a, Doubles b) noexcept { return _mm256_andnot_pd(a, b); }
  static Doubles bitXor(Doubles a, Doubles b) noexcept { return _mm256_xor_pd(a, b); }
  static Doubles atMost(Doubles a, Doubles b) noexcept { return _mm256_cmp_pd(a, b, _CMP_LE_OQ); }
  static int mask(Doubles v) noexcept { return _mm256_movemask_pd(v); }
  static void nearestInteger(Doubles x, Doubles& k, Doubles& oddSign) noexcept {
    k = _mm256_round_pd(x, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
    oddSign =
        _mm256_castsi256_pd(_mm256_slli_epi64(_mm256_cvtepi32_epi64(_mm256_cvtpd_epi32(k)), 63));
  }
  static __m128 toFloats(Doubles v) noexcept { return _mm256_cvtpd_ps(v); }
  static void storeFloats(float* out, __m128 v) noexcept { _mm_storeu_ps(out, v); }
};

constexpr SimdKernels kAvx2Kernels = simd_kernels::kernelSet<Avx2>();

}  // namespace

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

// Compiled for the baseline: the table takes these pointers on every processor.
const SimdKernels& avx2Kernels() noexcept { return kAvx2Kernels; }
