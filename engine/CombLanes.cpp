// The per-sample comb step and the portable (SSE2) kernel: four samples per run, the combs in two
// vectors of four.
#include "engine/CombLanes.h"

#include <emmintrin.h>
#include <xmmintrin.h>

#include "engine/FloatGuards.h"

namespace {

// flushToZero on four lanes: zero, denormal, inf and NaN give 0.
inline __m128 flushLanes(__m128 v) noexcept {
  const __m128i exponentMask = _mm_set1_epi32(0x7F800000);
  const __m128i exponent = _mm_and_si128(_mm_castps_si128(v), exponentMask);
  const __m128i bad = _mm_or_si128(_mm_cmpeq_epi32(exponent, _mm_setzero_si128()),
                                   _mm_cmpeq_epi32(exponent, exponentMask));
  return _mm_andnot_ps(_mm_castsi128_ps(bad), v);
}

// Four samples of combs first..first+3, whose reads `o` were loaded a comb per vector. Returns
// the values to write, a comb per vector.
inline void filterFour(CombLanes& combs, int32_t first, const float* inputs, __m128* o) noexcept {
  _MM_TRANSPOSE4_PS(o[0], o[1], o[2], o[3]);  // now a sample per vector
  __m128 store = _mm_loadu_ps(combs.store.data() + first);
  const __m128 damp1 = _mm_loadu_ps(combs.damp1.data() + first);
  const __m128 damp2 = _mm_loadu_ps(combs.damp2.data() + first);
  const __m128 feedback = _mm_loadu_ps(combs.feedback.data() + first);
  for (int32_t s = 0; s < 4; ++s) {
    store = flushLanes(_mm_add_ps(_mm_mul_ps(o[s], damp2), _mm_mul_ps(store, damp1)));
    o[s] = _mm_add_ps(_mm_set1_ps(inputs[s]), _mm_mul_ps(store, feedback));
  }
  _mm_storeu_ps(combs.store.data() + first, store);
  _MM_TRANSPOSE4_PS(o[0], o[1], o[2], o[3]);  // a comb per vector again
}

}  // namespace

bool combsRunFree(const CombLanes& combs, int32_t run) noexcept {
  for (int32_t c = 0; c < CombLanes::kCombs; ++c) {
    if (combs.index[std::size_t(c)] + run > combs.size[std::size_t(c)]) return false;
  }
  return true;
}

float combSample(CombLanes& combs, float input) noexcept {
  float sum = 0.0f;
  for (std::size_t c = 0; c < std::size_t(CombLanes::kCombs); ++c) {
    float* line = combs.line[c];
    int32_t& index = combs.index[c];
    const float out = flushToZero(line[index]);
    combs.store[c] = flushToZero(out * combs.damp2[c] + combs.store[c] * combs.damp1[c]);
    line[index] = input + combs.store[c] * combs.feedback[c];
    if (++index >= combs.size[c]) index = 0;
    sum += out;
  }
  return sum;
}

void runCombsPortable(CombLanes& combs, const float* in, float gain, float* sums,
                      int32_t count) noexcept {
  int32_t k = 0;
  while (k < count) {
    if (count - k < 4 || !combsRunFree(combs, 4)) {
      sums[k] = combSample(combs, in[k] * gain);
      ++k;
      continue;
    }
    const float inputs[4] = {in[k] * gain, in[k + 1] * gain, in[k + 2] * gain, in[k + 3] * gain};
    __m128 o[8];
    __m128 sum = _mm_setzero_ps();
    for (std::size_t c = 0; c < 8; ++c) {
      o[c] = flushLanes(_mm_loadu_ps(combs.line[c] + combs.index[c]));
      sum = _mm_add_ps(sum, o[c]);
    }
    _mm_storeu_ps(sums + k, sum);
    filterFour(combs, 0, inputs, o);
    filterFour(combs, 4, inputs, o + 4);
    for (std::size_t c = 0; c < 8; ++c) {
      _mm_storeu_ps(combs.line[c] + combs.index[c], o[c]);
      combs.index[c] += 4;
      if (combs.index[c] >= combs.size[c]) combs.index[c] = 0;
    }
    k += 4;
  }
}
