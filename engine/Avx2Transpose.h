// An 8 × 8 transpose of AVX2 float vectors, for code that runs only where the processor has AVX2
// (the function carries the target attribute).
#pragma once

#include <immintrin.h>

// s[k] holds element k of rows 0..7; afterwards s[j] holds row j's elements 0..7.
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
