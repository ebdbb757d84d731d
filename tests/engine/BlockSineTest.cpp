// The block sine gives float(std::sin(x)) bit for bit on every path: over the phaser's and the
// flanger's angle ranges, near every quadrant boundary, and for angles no LFO produces (zero,
// denormals, huge values, inf, NaN), with and without flush-to-zero.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "engine/FloatGuards.h"
#include "engine/RenderKernels.h"
#include "engine/RenderPath.h"

namespace {

std::vector<double> testAngles() {
  std::vector<double> angles;
  // The phaser: float phases in [0, 6.28318).
  for (int32_t k = 0; k < 400000; ++k)
    angles.push_back(static_cast<double>(static_cast<float>(k) * 6.28318f / 400000.0f));
  // The flanger: a double phase stepping up to its restart at 3141.592, at an odd step.
  for (double phase = -3141.592; phase < 3141.592; phase += 0.0137) angles.push_back(phase);
  // Around multiples of π/2, where the quadrant changes.
  for (int32_t q = -2600; q <= 2600; q += 7) {
    const double centre = static_cast<double>(q) * 1.5707963267948966;
    for (double offset : {-1e-9, -1e-13, 0.0, 1e-13, 1e-9}) angles.push_back(centre + offset);
  }
  const double inf = std::numeric_limits<double>::infinity();
  for (double special :
       {0.0, -0.0, 1e-300, -1e-300, 4.9e-324, 1e-20, 4096.0, -4096.0, 4097.0, -4097.0, 1e10, -1e10,
        1e300, inf, -inf, std::numeric_limits<double>::quiet_NaN()}) {
    angles.push_back(special);
  }
  return angles;
}

int64_t mismatches(RenderPath path, const std::vector<double>& angles) {
  std::vector<float> out(angles.size(), 0.0f);
  renderKernels(path).sines(angles.data(), out.data(), static_cast<int32_t>(angles.size()));
  int64_t wrong = 0;
  for (std::size_t k = 0; k < angles.size(); ++k) {
    const float expected = static_cast<float>(std::sin(angles[k]));
    if (std::memcmp(&expected, &out[k], sizeof(float)) != 0 && ++wrong <= 3) {
      ADD_FAILURE() << renderPathName(path) << ": sin(" << angles[k] << ") expected " << expected
                    << ", got " << out[k];
    }
  }
  return wrong;
}

TEST(BlockSine, EveryPathRoundsLikeTheLibrarySine) {
  const std::vector<double> angles = testAngles();
  for (RenderPath path : kRenderPaths) {
    if (!renderPathSupported(path)) continue;
    EXPECT_EQ(mismatches(path, angles), 0) << renderPathName(path);
    DenormalScope flushDenormals;
    EXPECT_EQ(mismatches(path, angles), 0) << renderPathName(path) << " with flush-to-zero";
  }
}

TEST(BlockSine, BlocksOfEveryLengthAreFilledCompletely) {
  std::vector<double> angles(13);
  for (std::size_t k = 0; k < angles.size(); ++k) angles[k] = 0.3 * static_cast<double>(k + 1);
  for (RenderPath path : kRenderPaths) {
    if (!renderPathSupported(path)) continue;
    for (int32_t count = 0; count <= 13; ++count) {
      std::vector<float> out(angles.size(), -7.0f);
      renderKernels(path).sines(angles.data(), out.data(), count);
      for (std::size_t k = 0; k < out.size(); ++k) {
        const float expected =
            static_cast<int32_t>(k) < count ? static_cast<float>(std::sin(angles[k])) : -7.0f;
        EXPECT_EQ(out[k], expected)
            << renderPathName(path) << ": count " << count << ", index " << k;
      }
    }
  }
}

}  // namespace
