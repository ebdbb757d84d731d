// Polynomial sine on SSE2 (two angles at a time) and AVX2 (four), with the check that makes the
// float result exact. Range reduction: k = nearest integer to x/π, r = (x − k·Ph) − k·Pl with
// Ph = π to 34 bits (k·Ph and the first subtraction are exact for |x| ≤ 4096), Pl the rest,
// so sin x = (−1)^k sin r with |r| ≤ π/2; sin r by its Taylor series to r^15 (the first term
// left out, and so the error, stays below 6.2e-12 there). The check allows 2^-36 (1.46e-11): a
// float result is taken only when every value within 2^-36 of the polynomial's rounds to it,
// which leaves about one sine in five hundred to the library.
#include "engine/BlockSine.h"

#include <immintrin.h>

#include <cmath>

namespace {

constexpr double kOneOverPi = 3.18309886183790671538e-01;
constexpr double kPiHigh = 3.14159265346825122834e+00;
constexpr double kPiLow = 1.21542010130123844986e-10;
constexpr double kLargestAngle = 4096.0;
constexpr double kTolerance = 1.4551915228366852e-11;  // 2^-36
// Taylor coefficients of sin r / r − 1 in z = r²: −1/3!, 1/5!, ... −1/15!.
constexpr int32_t kTerms = 7;
constexpr double kTaylor[kTerms] = {-1.0 / 6.0,         1.0 / 120.0,
                                    -1.0 / 5040.0,      1.0 / 362880.0,
                                    -1.0 / 39916800.0,  1.0 / 6227020800.0,
                                    -1.0 / 1307674368000.0};

float librarySine(double x) noexcept { return float(std::sin(x)); }

// ---- SSE2 ----

// Two sines; returns a mask (bit per lane) of the lanes whose float result is not certain.
inline int sine2(__m128d x, float* out) noexcept {
  const __m128d magnitude = _mm_andnot_pd(_mm_set1_pd(-0.0), x);
  const __m128d inside = _mm_cmple_pd(magnitude, _mm_set1_pd(kLargestAngle));
  const int inRange = _mm_movemask_pd(inside);
  const __m128d safeX = _mm_and_pd(x, inside);
  const __m128i half = _mm_cvtpd_epi32(_mm_mul_pd(safeX, _mm_set1_pd(kOneOverPi)));
  const __m128d k = _mm_cvtepi32_pd(half);
  __m128d r = _mm_sub_pd(safeX, _mm_mul_pd(k, _mm_set1_pd(kPiHigh)));
  r = _mm_sub_pd(r, _mm_mul_pd(k, _mm_set1_pd(kPiLow)));
  const __m128d z = _mm_mul_pd(r, r);
  __m128d p = _mm_set1_pd(kTaylor[kTerms - 1]);
  for (int32_t i = kTerms - 2; i >= 0; --i) {
    p = _mm_add_pd(_mm_set1_pd(kTaylor[i]), _mm_mul_pd(z, p));
  }
  __m128d v = _mm_add_pd(r, _mm_mul_pd(_mm_mul_pd(r, z), p));
  // An odd k flips the sign.
  const __m128i odd = _mm_slli_epi64(_mm_unpacklo_epi32(half, half), 63);
  v = _mm_xor_pd(v, _mm_castsi128_pd(odd));
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

[[gnu::target("avx2")]] inline int sine4(__m256d x, float* out) noexcept {
  const __m256d magnitude = _mm256_andnot_pd(_mm256_set1_pd(-0.0), x);
  const __m256d inside = _mm256_cmp_pd(magnitude, _mm256_set1_pd(kLargestAngle), _CMP_LE_OQ);
  const int inRange = _mm256_movemask_pd(inside);
  const __m256d safeX = _mm256_and_pd(x, inside);
  const __m256d k = _mm256_round_pd(_mm256_mul_pd(safeX, _mm256_set1_pd(kOneOverPi)),
                                    _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
  __m256d r = _mm256_sub_pd(safeX, _mm256_mul_pd(k, _mm256_set1_pd(kPiHigh)));
  r = _mm256_sub_pd(r, _mm256_mul_pd(k, _mm256_set1_pd(kPiLow)));
  const __m256d z = _mm256_mul_pd(r, r);
  __m256d p = _mm256_set1_pd(kTaylor[kTerms - 1]);
  for (int32_t i = kTerms - 2; i >= 0; --i) {
    p = _mm256_add_pd(_mm256_set1_pd(kTaylor[i]), _mm256_mul_pd(z, p));
  }
  __m256d v = _mm256_add_pd(r, _mm256_mul_pd(_mm256_mul_pd(r, z), p));
  const __m256i odd = _mm256_slli_epi64(_mm256_cvtepi32_epi64(_mm256_cvtpd_epi32(k)), 63);
  v = _mm256_xor_pd(v, _mm256_castsi256_pd(odd));
  const __m128 low = _mm256_cvtpd_ps(_mm256_sub_pd(v, _mm256_set1_pd(kTolerance)));
  const __m128 high = _mm256_cvtpd_ps(_mm256_add_pd(v, _mm256_set1_pd(kTolerance)));
  _mm_storeu_ps(out, low);
  const int certain = _mm_movemask_ps(_mm_cmpeq_ps(low, high)) & inRange;
  return ~certain & 0xF;
}

[[gnu::target("avx2")]] void sineToFloatAvx2(const double* angles, float* out,
                                             int32_t count) noexcept {
  int32_t k = 0;
  // Two vectors per turn: their long polynomial chains overlap.
  for (; k + 8 <= count; k += 8) {
    const int uncertain = sine4(_mm256_loadu_pd(angles + k), out + k) |
                          sine4(_mm256_loadu_pd(angles + k + 4), out + k + 4) << 4;
    if (uncertain != 0) {
      for (int32_t j = 0; j < 8; ++j) {
        if (uncertain & (1 << j)) out[k + j] = librarySine(angles[k + j]);
      }
    }
  }
  for (; k + 4 <= count; k += 4) {
    const int uncertain = sine4(_mm256_loadu_pd(angles + k), out + k);
    for (int32_t j = 0; j < 4; ++j) {
      if (uncertain & (1 << j)) out[k + j] = librarySine(angles[k + j]);
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
      sineToFloatAvx2(angles, out, count);
      break;
    case RenderPath::portable:
      sineToFloatPortable(angles, out, count);
      break;
  }
}
