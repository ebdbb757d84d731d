// The interpolation rows of the sine table, the wrap of stray lanes and the portable (SSE2,
// x86-64 baseline) kernel: eight oscillators as two vectors of four.
#include "engine/LaneKernels.h"

#include <emmintrin.h>
#include <xmmintrin.h>

#include "engine/Oscillator.h"
#include "engine/SineTable.h"

namespace {

struct RowTable {
  std::array<InterpolationRow, SineTable::kSize> rows{};

  // The same expressions, in the same order, as interpolateFourPoint.
  RowTable() noexcept {
    const float* table = sineTable().data();
    for (int32_t k = 0; k + 3 < SineTable::kSize; ++k) {
      const float y0 = table[k];
      const float y1 = table[k + 1];
      const float y2 = table[k + 2];
      const float y3 = table[k + 3];
      rows[std::size_t(k)] = {y1, (y2 - y0) * 0.5f, (y0 + 2.0f * y2) - (5.0f * y1 + y3) * 0.5f,
                              (y3 + 3.0f * (y1 - y2) - y0) * 0.5f};
    }
  }
};

// One sample of four lanes: the interpolated read scaled by gain and amplitude, then the
// phase step with its single subtraction of the period.
template <bool kCheckStray>
inline __m128 laneSample(LaneBlock& lanes, int32_t first, __m128& position, __m128 step,
                         __m128 scale, __m128 level, __m128 length) noexcept {
  const __m128i index = _mm_cvttps_epi32(position);
  const __m128 fraction = _mm_sub_ps(position, _mm_cvtepi32_ps(index));
  alignas(16) int32_t at[4];  // byte offsets of the rows
  _mm_store_si128(reinterpret_cast<__m128i*>(at), _mm_slli_epi32(index, 4));
  // Read them back through memory: the load ports are idle here, the vector ports are not.
  asm("" : "+m"(at));
  const char* rows = reinterpret_cast<const char*>(lanes.rows);
  __m128 c0 = _mm_load_ps(reinterpret_cast<const float*>(rows + at[0]));
  __m128 c1 = _mm_load_ps(reinterpret_cast<const float*>(rows + at[1]));
  __m128 c2 = _mm_load_ps(reinterpret_cast<const float*>(rows + at[2]));
  __m128 c3 = _mm_load_ps(reinterpret_cast<const float*>(rows + at[3]));
  _MM_TRANSPOSE4_PS(c0, c1, c2, c3);
  __m128 value = _mm_add_ps(c2, _mm_mul_ps(fraction, c3));
  value = _mm_add_ps(c1, _mm_mul_ps(fraction, value));
  value = _mm_add_ps(c0, _mm_mul_ps(fraction, value));
  const __m128 result = _mm_mul_ps(_mm_mul_ps(value, scale), level);
  position = _mm_add_ps(position, step);
  position = _mm_sub_ps(position, _mm_and_ps(_mm_cmpge_ps(position, length), length));
  if (!kCheckStray) return result;
  const __m128 inside =
      _mm_and_ps(_mm_cmpge_ps(position, _mm_setzero_ps()), _mm_cmplt_ps(position, length));
  if (_mm_movemask_ps(inside) != 0xF) {
    _mm_store_ps(lanes.position.data() + first, position);
    wrapStrayLanes(lanes, first, 4);
    position = _mm_load_ps(lanes.position.data() + first);
  }
  return result;
}

}  // namespace

const InterpolationRow* sineInterpolationRows() noexcept {
  static const RowTable table;
  return table.rows.data();
}

// On processors whose 256-bit units are pairs of 128-bit halves (the first Zen generation)
// a 256-bit lane group costs as much as two 128-bit ones and its transposes more: the portable
// kernel measures faster there.
LaneKernel laneKernelFor(RenderPath path) noexcept {
  static const bool halvesOnly = [] {
    __builtin_cpu_init();
    return bool(__builtin_cpu_is("znver1"));
  }();
  return path == RenderPath::avx2 && !halvesOnly ? renderLanesAvx2 : renderLanesPortable;
}

bool lanesStaySteady(const LaneBlock& lanes, int32_t width) noexcept {
  for (int32_t j = 0; j < width; ++j) {
    const float step = lanes.step[std::size_t(j)];
    if (!(step >= 0.0f && step < lanes.length)) return false;
  }
  return true;
}

void wrapStrayLanes(LaneBlock& lanes, int32_t first, int32_t width) noexcept {
  for (int32_t j = first; j < first + width; ++j) {
    float& position = lanes.position[std::size_t(j)];
    if (!(position >= 0.0f && position < lanes.length)) {
      position = wrapOscillatorPhase(position, lanes.period);
    }
  }
}

namespace {

// One group of four lanes over a run, its state in registers.
template <bool kCheckStray>
void renderQuad(LaneBlock& lanes, int32_t first, int32_t offset, int32_t count) noexcept {
  const __m128 length = _mm_set1_ps(lanes.length);
  __m128 position = _mm_load_ps(lanes.position.data() + first);
  const __m128 step = _mm_load_ps(lanes.step.data() + first);
  const __m128 scale = _mm_load_ps(lanes.scale.data() + first);
  const __m128 level = _mm_load_ps(lanes.level.data() + first);
  float* out[4];
  for (int32_t j = 0; j < 4; ++j) out[j] = lanes.out[std::size_t(first + j)] + offset;
  int32_t k = 0;
  for (; k + 4 <= count; k += 4) {
    __m128 s[4];
    for (__m128& sample : s) {
      sample = laneSample<kCheckStray>(lanes, first, position, step, scale, level, length);
    }
    _MM_TRANSPOSE4_PS(s[0], s[1], s[2], s[3]);
    for (int32_t j = 0; j < 4; ++j) _mm_storeu_ps(out[j] + k, s[j]);
  }
  for (; k < count; ++k) {
    alignas(16) float sample[4];
    _mm_store_ps(sample,
                 laneSample<kCheckStray>(lanes, first, position, step, scale, level, length));
    for (int32_t j = 0; j < 4; ++j) out[j][k] = sample[j];
  }
  _mm_store_ps(lanes.position.data() + first, position);
}

// Eight lanes as two groups of four, one after the other.
template <bool kCheckStray>
void renderRun(LaneBlock& lanes, int32_t offset, int32_t count) noexcept {
  renderQuad<kCheckStray>(lanes, 0, offset, count);
  renderQuad<kCheckStray>(lanes, 4, offset, count);
}

}  // namespace

void renderLanesPortable(LaneBlock& lanes, int32_t offset, int32_t count) noexcept {
  if (lanesStaySteady(lanes, 8)) {
    renderRun<false>(lanes, offset, count);
  } else {
    renderRun<true>(lanes, offset, count);
  }
}
