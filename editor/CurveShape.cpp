// Curve arithmetic: row/value mapping, segment painting, smoothing and the two tapers.
#include "editor/CurveShape.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace curveshape {
namespace {

// The moving average: each point 0-372 becomes the mean of itself and the next 11.
constexpr std::int32_t kWindow = 12;
constexpr std::int32_t kLastAveraged = 372;
// The tail falls from the last unaveraged point p = curve[373]: point 373 + k is p divided by
// kTailDivisors[k]. The first eight divisors are the instrument's; 24, 32 and 48 continue the
// same fall (each pair of steps halves p), and the last point is 0.
constexpr std::int32_t kTailStart = kLastAveraged + 1;
constexpr std::array<float, 11> kTailDivisors{1.5f,  2.0f,  3.0f,  4.0f,  6.0f, 8.0f,
                                              12.0f, 16.0f, 24.0f, 32.0f, 48.0f};
static_assert(kTailStart + static_cast<std::int32_t>(kTailDivisors.size()) == kLastPoint);
// The head rises in six equal steps from point 0 to the averaged point 6.
constexpr std::int32_t kHeadPoints = 6;
// Rows beyond this are far outside any surface; holding them here keeps the conversion defined.
constexpr float kRowLimit = 16777216.0f;

}  // namespace

float valueAtRow(std::int32_t baseline, std::int32_t y) {
  return static_cast<float>(std::int64_t{baseline} - y) / kPixelsPerUnit;
}

std::int32_t rowOfValue(std::int32_t baseline, float value) {
  const float row = static_cast<float>(baseline) - value * kPixelsPerUnit;
  if (std::isnan(row)) return baseline;
  return static_cast<std::int32_t>(std::clamp(row, -kRowLimit, kRowLimit));
}

void paintSegment(Points curve, std::int32_t plotLeft, std::int32_t baseline, GuiPoint current,
                  GuiPoint previous) {
  const std::int64_t i0 = std::int64_t{previous.h} - plotLeft;
  const std::int64_t i1 = std::int64_t{current.h} - plotLeft;
  const float vp = valueAtRow(baseline, previous.v);
  const float d = valueAtRow(baseline, current.v) - vp;
  if (i0 < i1) {
    // curve[i0 + k] for k = 0 ... i1 - i0 - 1, limited to the points that may be painted.
    const std::int64_t span = i1 - i0;
    const std::int64_t first = std::max<std::int64_t>(0, kFirstPaintedPoint - i0);
    const std::int64_t last = std::min<std::int64_t>(span - 1, kLastPoint - i0);
    for (std::int64_t k = first; k <= last; ++k) {
      curve[static_cast<std::size_t>(i0 + k)] =
          vp + static_cast<float>(k) * d / static_cast<float>(span);
    }
  } else if (i0 > i1) {
    // curve[i0 - k] for k = 0 ... i0 - i1 - 1, limited the same way.
    const std::int64_t span = i0 - i1;
    const std::int64_t first = std::max<std::int64_t>(0, i0 - kLastPoint);
    const std::int64_t last = std::min<std::int64_t>(span - 1, i0 - kFirstPaintedPoint);
    for (std::int64_t k = first; k <= last; ++k) {
      curve[static_cast<std::size_t>(i0 - k)] =
          vp + static_cast<float>(k) * d / static_cast<float>(span);
    }
  }
}

void smooth(Points curve) {
  std::array<float, kEnvelopePointCount> t{};
  for (std::int32_t i = 0; i <= kLastAveraged; ++i) {
    float sum = curve[static_cast<std::size_t>(i)];
    for (std::int32_t j = 1; j < kWindow; ++j) sum += curve[static_cast<std::size_t>(i + j)];
    t[static_cast<std::size_t>(i)] = sum / static_cast<float>(kWindow);
  }
  const float p = curve[kTailStart];
  for (std::size_t k = 0; k < kTailDivisors.size(); ++k) t[kTailStart + k] = p / kTailDivisors[k];
  t[kLastPoint] = 0.0f;
  const float step = t[kHeadPoints] / static_cast<float>(kHeadPoints);
  for (std::int32_t k = 0; k < kHeadPoints; ++k) {
    t[static_cast<std::size_t>(k)] = static_cast<float>(k + 1) * step;
  }
  std::copy(t.begin(), t.end(), curve.begin());
}

}  // namespace curveshape
