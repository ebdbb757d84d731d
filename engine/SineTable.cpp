// Fills the sine table as designed: the angle advances by 2π / 1021 and is accumulated in single
// precision, so the table's period is 1021 entries with the float rounding of that sum.
#include "engine/SineTable.h"

#include <cmath>
#include <numbers>

SineTable::SineTable() noexcept {
  const float step = static_cast<float>(2.0 * std::numbers::pi) / static_cast<float>(kPeriod);
  float angle = 0.0f;
  for (float& value : values) {
    value = static_cast<float>(std::sin(static_cast<double>(angle)));
    angle += step;
  }
}

const SineTable& sineTable() {
  static const SineTable table;
  return table;
}
