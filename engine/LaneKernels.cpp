// The interpolation rows of the sine table, the choice of lane kernel and the wrap of stray lanes.
#include "engine/LaneKernels.h"

#include "engine/Oscillator.h"
#include "engine/SimdKernels.h"
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
      rows[static_cast<std::size_t>(k)] = {y1, (y2 - y0) * 0.5f,
                                           (y0 + 2.0f * y2) - (5.0f * y1 + y3) * 0.5f,
                                           (y3 + 3.0f * (y1 - y2) - y0) * 0.5f};
    }
  }
};

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
    return (__builtin_cpu_is("znver1"));
  }();
  return path == RenderPath::avx2 && renderPathSupported(RenderPath::avx2) && !halvesOnly
             ? avx2Kernels().lanes
             : portableKernels().lanes;
}

bool lanesStaySteady(const LaneBlock& lanes, int32_t width) noexcept {
  for (int32_t j = 0; j < width; ++j) {
    const float step = lanes.step[static_cast<std::size_t>(j)];
    if (!(step >= 0.0f && step < lanes.length)) return false;
  }
  return true;
}

void wrapStrayLanes(LaneBlock& lanes, int32_t first, int32_t width) noexcept {
  for (int32_t j = first; j < first + width; ++j) {
    float& position = lanes.position[static_cast<std::size_t>(j)];
    if (!(position >= 0.0f && position < lanes.length)) {
      position = wrapOscillatorPhase(position, lanes.period);
    }
  }
}
