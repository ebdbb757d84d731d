// Polynomial sine on SSE2 (two angles at a time) and AVX2 (four), with the check that makes the
// float result exact. Range reduction: k = nearest integer to x·2/π, r = (x − k·P1) − k·P1t with
// P1 = π/2 to 33 bits (k·P1 and the first subtraction are exact for |x| ≤ 4096) and P1t the
// rest; then the sine or cosine polynomial of r by the quadrant. The error stays below 2^-51;
// the check allows 2^-46.
#include "engine/BlockSine.h"

#include <immintrin.h>

#include <cmath>

namespace {

constexpr double kTwoOverPi = 6.36619772367581382433e-01;
constexpr double kPiOver2High = 1.57079632673412561417e+00;
constexpr double kPiOver2Low = 6.07710050650619224932e-11;
constexpr double kLargestAngle = 4096.0;
constexpr double kTolerance = 1.4210854715202004e-14;  // 2^-46
// Minimax polynomials for sin and cos on [-π/4, π/4] (error below 2^-58).
constexpr double kS1 = -1.66666666666666324348e-01;
constexpr double kS2 = 8.33333333332248946124e-03;
constexpr double kS3 = -1.98412698298579493134e-04;
constexpr double kS4 = 2.75573137070700676789e-06;
constexpr double kS5 = -2.50507602534068634195e-08;
constexpr double kS6 = 1.58969099521155010221e-10;
constexpr double kC1 = 4.16666666666666019037e-02;
constexpr double kC2 = -1.38888888888741095749e-03;
constexpr double kC3 = 2.48015872894767294178e-05;
constexpr double kC4 = -2.75573143513906633035e-07;
constexpr double kC5 = 2.08757232129817482790e-09;
constexpr double kC6 = -1.13596475577881948265e-11;

float librarySine(double x) noexcept { return float(std::sin(x)); }

// ---- SSE2 ----

inline __m128d polySin2(__m128d r, __m128d z) noexcept {
  __m128d p = _mm_add_pd(_mm_set1_pd(kS5), _mm_mul_pd(z, _mm_set1_pd(kS6)));
  p = _mm_add_pd(_mm_set1_pd(kS4), _mm_mul_pd(z, p));
  p = _mm_add_pd(_mm_set1_pd(kS3), _mm_mul_pd(z, p));
  p = _mm_add_pd(_mm_set1_pd(kS2), _mm_mul_pd(z, p));
  p = _mm_add_pd(_mm_set1_pd(kS1), _mm_mul_pd(z, p));
  return _mm_add_pd(r, _mm_mul_pd(_mm_mul_pd(r, z), p));
}

inline __m128d polyCos2(__m128d z) noexcept {
  __m128d p = _mm_add_pd(_mm_set1_pd(kC5), _mm_mul_pd(z, _mm_set1_pd(kC6)));
  p = _mm_add_pd(_mm_set1_pd(kC4), _mm_mul_pd(z, p));
  p = _mm_add_pd(_mm_set1_pd(kC3), _mm_mul_pd(z, p));
  p = _mm_add_pd(_mm_set1_pd(kC2), _mm_mul_pd(z, p));
  p = _mm_add_pd(_mm_set1_pd(kC1), _mm_mul_pd(z, p));
  const __m128d half = _mm_mul_pd(_mm_set1_pd(0.5), z);
  return _mm_add_pd(_mm_sub_pd(_mm_set1_pd(1.0), half), _mm_mul_pd(_mm_mul_pd(z, z), p));
}

// Two sines; returns a mask (bit per lane) of the lanes whose float result is not certain.
inline int sine2(__m128d x, float* out) noexcept {
  const __m128d magnitude = _mm_andnot_pd(_mm_set1_pd(-0.0), x);
  const int inRange = _mm_movemask_pd(_mm_cmple_pd(magnitude, _mm_set1_pd(kLargestAngle)));
  const __m128d safeX = _mm_and_pd(x, _mm_cmple_pd(magnitude, _mm_set1_pd(kLargestAngle)));
  const __m128i quadrant = _mm_cvtpd_epi32(_mm_mul_pd(safeX, _mm_set1_pd(kTwoOverPi)));
  const __m128d k = _mm_cvtepi32_pd(quadrant);
  __m128d r = _mm_sub_pd(safeX, _mm_mul_pd(k, _mm_set1_pd(kPiOver2High)));
  r = _mm_sub_pd(r, _mm_mul_pd(k, _mm_set1_pd(kPiOver2Low)));
  const __m128d z = _mm_mul_pd(r, r);
  const __m128d s = polySin2(r, z);
  const __m128d c = polyCos2(z);
  // Quadrant q: sin, cos, −sin, −cos. Lane masks from bits 0 and 1 of q.
  const __m128i q64 = _mm_unpacklo_epi32(quadrant, quadrant);
  const __m128d useCos = _mm_castsi128_pd(
      _mm_cmpeq_epi32(_mm_and_si128(q64, _mm_set1_epi32(1)), _mm_set1_epi32(1)));
  const __m128d negate = _mm_castsi128_pd(
      _mm_slli_epi64(_mm_srli_epi64(_mm_and_si128(q64, _mm_set1_epi64x(2)), 1), 63));
  __m128d v = _mm_or_pd(_mm_and_pd(useCos, c), _mm_andnot_pd(useCos, s));
  v = _mm_xor_pd(v, negate);
  const __m128 low = _mm_cvtpd_ps(_mm_sub_pd(v, _mm_set1_pd(kTolerance)));
  const __m128 high = _mm_cvtpd_ps(_mm_add_pd(v, _mm_set1_pd(kTolerance)));
  const int certain = _mm_movemask_ps(_mm_cmpeq_ps(low, high)) & 3 & inRange;
  alignas(16) float values[4];
  _mm_store_ps(values, low);
  out[0] = values[0];
  out[1] = values[1];
  return ~certain & 3;
}

void sineToFloatPortable(const double* angles, float* out, int32_t count) noexcept {
  int32_t k = 0;
  for (; k + 2 <= count; k += 2) {
    const int uncertain = sine2(_mm_loadu_pd(angles + k), out + k);
    if (uncertain & 1) out[k] = librarySine(angles[k]);
    if (uncertain & 2) out[k + 1] = librarySine(angles[k + 1]);
  }
  for (; k < count; ++k) out[k] = librarySine(angles[k]);
}

// ---- AVX2 ----

[[gnu::target("avx2")]] inline __m256d poly(__m256d z, double a0, double a1, double a2,
                                            double a3, double a4, double a5) noexcept {
  __m256d p = _mm256_add_pd(_mm256_set1_pd(a4), _mm256_mul_pd(z, _mm256_set1_pd(a5)));
  p = _mm256_add_pd(_mm256_set1_pd(a3), _mm256_mul_pd(z, p));
  p = _mm256_add_pd(_mm256_set1_pd(a2), _mm256_mul_pd(z, p));
  p = _mm256_add_pd(_mm256_set1_pd(a1), _mm256_mul_pd(z, p));
  return _mm256_add_pd(_mm256_set1_pd(a0), _mm256_mul_pd(z, p));
}

[[gnu::target("avx2")]] inline int sine4(__m256d x, float* out) noexcept {
  const __m256d magnitude = _mm256_andnot_pd(_mm256_set1_pd(-0.0), x);
  const __m256d inside = _mm256_cmp_pd(magnitude, _mm256_set1_pd(kLargestAngle), _CMP_LE_OQ);
  const int inRange = _mm256_movemask_pd(inside);
  const __m256d safeX = _mm256_and_pd(x, inside);
  const __m256d k = _mm256_round_pd(_mm256_mul_pd(safeX, _mm256_set1_pd(kTwoOverPi)),
                                    _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
  __m256d r = _mm256_sub_pd(safeX, _mm256_mul_pd(k, _mm256_set1_pd(kPiOver2High)));
  r = _mm256_sub_pd(r, _mm256_mul_pd(k, _mm256_set1_pd(kPiOver2Low)));
  const __m256d z = _mm256_mul_pd(r, r);
  const __m256d s =
      _mm256_add_pd(r, _mm256_mul_pd(_mm256_mul_pd(r, z), poly(z, kS1, kS2, kS3, kS4, kS5, kS6)));
  const __m256d c = _mm256_add_pd(
      _mm256_sub_pd(_mm256_set1_pd(1.0), _mm256_mul_pd(_mm256_set1_pd(0.5), z)),
      _mm256_mul_pd(_mm256_mul_pd(z, z), poly(z, kC1, kC2, kC3, kC4, kC5, kC6)));
  const __m256i q = _mm256_cvtepi32_epi64(_mm256_cvtpd_epi32(k));
  const __m256d useCos = _mm256_castsi256_pd(
      _mm256_cmpeq_epi64(_mm256_and_si256(q, _mm256_set1_epi64x(1)), _mm256_set1_epi64x(1)));
  const __m256d negate = _mm256_castsi256_pd(
      _mm256_slli_epi64(_mm256_srli_epi64(_mm256_and_si256(q, _mm256_set1_epi64x(2)), 1), 63));
  const __m256d v = _mm256_xor_pd(_mm256_blendv_pd(s, c, useCos), negate);
  const __m128 low = _mm256_cvtpd_ps(_mm256_sub_pd(v, _mm256_set1_pd(kTolerance)));
  const __m128 high = _mm256_cvtpd_ps(_mm256_add_pd(v, _mm256_set1_pd(kTolerance)));
  _mm_storeu_ps(out, low);
  const int certain = _mm_movemask_ps(_mm_cmpeq_ps(low, high)) & inRange;
  return ~certain & 0xF;
}

[[gnu::target("avx2")]] void sineToFloatAvx2(const double* angles, float* out,
                                             int32_t count) noexcept {
  int32_t k = 0;
  for (; k + 4 <= count; k += 4) {
    const int uncertain = sine4(_mm256_loadu_pd(angles + k), out + k);
    if (uncertain != 0) {
      for (int32_t j = 0; j < 4; ++j) {
        if (uncertain & (1 << j)) out[k + j] = librarySine(angles[k + j]);
      }
    }
  }
  for (; k < count; ++k) out[k] = librarySine(angles[k]);
}

}  // namespace

void sineToFloat(const double* angles, float* out, int32_t count, RenderPath path) noexcept {
  switch (path) {
    case RenderPath::reference:
      for (int32_t k = 0; k < count; ++k) out[k] = librarySine(angles[k]);
      break;
    case RenderPath::avx2:
    case RenderPath::avx512:
      sineToFloatAvx2(angles, out, count);
      break;
    case RenderPath::portable:
      sineToFloatPortable(angles, out, count);
      break;
  }
}
