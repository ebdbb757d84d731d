// The kernels on SSE2, the x86-64 baseline: four float lanes (the eight oscillator lanes and the
// eight combs as two groups of four), two double lanes.
#include <emmintrin.h>
#include <xmmintrin.h>

#include "engine/SimdKernelBodies.h"
#include "engine/SimdKernels.h"

namespace {

struct Sse2 {
  using Floats = __m128;
  using Ints = __m128i;
  using Doubles = __m128d;
  static constexpr int32_t kWidth = 4;
  static constexpr int kAllLanes = 0xF;
  static constexpr int32_t kDoubles = 2;
  static constexpr int32_t kSineVectorsPerTurn = 1;

  static Floats load(const float* p) noexcept { return _mm_loadu_ps(p); }
  static Floats loadAligned(const float* p) noexcept { return _mm_load_ps(p); }
  static void store(float* p, Floats v) noexcept { _mm_storeu_ps(p, v); }
  static void storeAligned(float* p, Floats v) noexcept { _mm_store_ps(p, v); }
  static Floats broadcast(float v) noexcept { return _mm_set1_ps(v); }
  static Floats zero() noexcept { return _mm_setzero_ps(); }
  static Floats add(Floats a, Floats b) noexcept { return _mm_add_ps(a, b); }
  static Floats sub(Floats a, Floats b) noexcept { return _mm_sub_ps(a, b); }
  static Floats mul(Floats a, Floats b) noexcept { return _mm_mul_ps(a, b); }
  static Floats bitAnd(Floats a, Floats b) noexcept { return _mm_and_ps(a, b); }
  static Floats atLeast(Floats a, Floats b) noexcept { return _mm_cmpge_ps(a, b); }
  static Floats below(Floats a, Floats b) noexcept { return _mm_cmplt_ps(a, b); }
  static int mask(Floats v) noexcept { return _mm_movemask_ps(v); }
  static Ints truncate(Floats v) noexcept { return _mm_cvttps_epi32(v); }
  static Floats toFloats(Ints v) noexcept { return _mm_cvtepi32_ps(v); }

  // Interpolation rows are 16 bytes: the byte offset of row i is i << 4.
  static void storeRowOffsets(int32_t* at, Ints index) noexcept {
    _mm_store_si128(reinterpret_cast<__m128i*>(at), _mm_slli_epi32(index, 4));
  }
  static void loadRows(const char* rows, const int32_t* at, Floats& c0, Floats& c1, Floats& c2,
                       Floats& c3) noexcept {
    c0 = _mm_load_ps(reinterpret_cast<const float*>(rows + at[0]));
    c1 = _mm_load_ps(reinterpret_cast<const float*>(rows + at[1]));
    c2 = _mm_load_ps(reinterpret_cast<const float*>(rows + at[2]));
    c3 = _mm_load_ps(reinterpret_cast<const float*>(rows + at[3]));
    _MM_TRANSPOSE4_PS(c0, c1, c2, c3);
  }
  // s[k] holds sample k0 + k of the four lanes: each lane's four samples go to its buffer.
  static void storeTransposed(Floats* s, float* const* out, int32_t k0) noexcept {
    _MM_TRANSPOSE4_PS(s[0], s[1], s[2], s[3]);
    for (int32_t j = 0; j < 4; ++j) _mm_storeu_ps(out[j] + k0, s[j]);
  }

  // flushToZero on every lane: zero, denormal, inf and NaN give 0.
  static Floats flush(Floats v) noexcept {
    const __m128i exponentMask = _mm_set1_epi32(0x7F800000);
    const __m128i exponent = _mm_and_si128(_mm_castps_si128(v), exponentMask);
    const __m128i bad = _mm_or_si128(_mm_cmpeq_epi32(exponent, _mm_setzero_si128()),
                                     _mm_cmpeq_epi32(exponent, exponentMask));
    return _mm_andnot_ps(_mm_castsi128_ps(bad), v);
  }
  // Group g, row j: comb 4g + j.
  static Floats loadCombRun(const CombLanes& combs, int32_t g, int32_t j) noexcept {
    const auto c = static_cast<std::size_t>(4 * g + j);
    return _mm_loadu_ps(combs.line[c] + combs.index[c]);
  }
  static void storeCombRun(CombLanes& combs, int32_t g, int32_t j, Floats v) noexcept {
    const auto c = static_cast<std::size_t>(4 * g + j);
    _mm_storeu_ps(combs.line[c] + combs.index[c], v);
  }
  static __m128 combRun(const Floats (*v)[4], int32_t c) noexcept { return v[c / 4][c % 4]; }
  static void transposeQuads(Floats* v) noexcept { _MM_TRANSPOSE4_PS(v[0], v[1], v[2], v[3]); }

  static Doubles load(const double* p) noexcept { return _mm_loadu_pd(p); }
  static Doubles broadcast(double v) noexcept { return _mm_set1_pd(v); }
  static Doubles add(Doubles a, Doubles b) noexcept { return _mm_add_pd(a, b); }
  static Doubles sub(Doubles a, Doubles b) noexcept { return _mm_sub_pd(a, b); }
  static Doubles mul(Doubles a, Doubles b) noexcept { return _mm_mul_pd(a, b); }
  static Doubles bitAnd(Doubles a, Doubles b) noexcept { return _mm_and_pd(a, b); }
  static Doubles bitAndNot(Doubles a, Doubles b) noexcept { return _mm_andnot_pd(a, b); }
  static Doubles bitXor(Doubles a, Doubles b) noexcept { return _mm_xor_pd(a, b); }
  static Doubles atMost(Doubles a, Doubles b) noexcept { return _mm_cmple_pd(a, b); }
  static int mask(Doubles v) noexcept { return _mm_movemask_pd(v); }
  // SSE2 has no rounding instruction: through 32-bit integers (|x| ≤ 4096 / π here).
  static void nearestInteger(Doubles x, Doubles& k, Doubles& oddSign) noexcept {
    const __m128i half = _mm_cvtpd_epi32(x);
    k = _mm_cvtepi32_pd(half);
    oddSign = _mm_castsi128_pd(_mm_slli_epi64(_mm_unpacklo_epi32(half, half), 63));
  }
  static __m128 toFloats(Doubles v) noexcept { return _mm_cvtpd_ps(v); }
  static void storeFloats(float* out, __m128 v) noexcept {
    alignas(16) float values[4];
    _mm_store_ps(values, v);
    out[0] = values[0];
    out[1] = values[1];
  }
};

constexpr SimdKernels kPortableKernels = simd_kernels::kernelSet<Sse2>();

}  // namespace

const SimdKernels& portableKernels() noexcept { return kPortableKernels; }
