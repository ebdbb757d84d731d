// The sine table every oscillator reads: one period over 1021 entries plus three entries of
// look-ahead for the four-point interpolation. Process-wide, filled once on first use and never
// written again.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

class SineTable {
 public:
  static constexpr int32_t kSize = 1024;
  static constexpr int32_t kPeriod = 1021;

  SineTable() noexcept;

  [[nodiscard]] float operator[](int32_t k) const noexcept {
    return values[static_cast<std::size_t>(k)];
  }
  [[nodiscard]] const float* data() const noexcept { return values.data(); }

 private:
  std::array<float, kSize> values;
};

// The shared table; thread-safe first use.
const SineTable& sineTable();
