// The curve editor's arithmetic: rows and values, painting a segment in both directions with
// point 0 and the end of the curve out of reach, and the smoothing with its two tapers checked
// against values worked out by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>

#include "editor/CurveShape.h"

namespace {

using curveshape::Points;

constexpr std::int32_t kPlotLeft = 202;  // the panel's curve editor: left 195 + 7
constexpr std::int32_t kBaseline = 324;  // its plot bottom: 344 - 20
constexpr float kSentinel = -7.0f;

// A curve on the heap of exactly 385 points, so that AddressSanitizer sees any write past it.
struct HeapCurve {
  HeapCurve() : data(new float[kEnvelopePointCount]) {
    std::fill(data.get(), data.get() + kEnvelopePointCount, kSentinel);
  }
  Points points() { return Points(data.get(), kEnvelopePointCount); }
  float operator[](std::size_t i) const { return data[i]; }
  std::unique_ptr<float[]> data;
};

TEST(CurveRows, ValuesAreRowsAboveTheBaselineOver120) {
  struct Case {
    std::int32_t y;
    float value;
  };
  for (const Case& c :
       {Case{324, 0.0f}, Case{264, 0.5f}, Case{204, 1.0f}, Case{384, -0.5f}, Case{354, -0.25f}}) {
    EXPECT_EQ(curveshape::valueAtRow(kBaseline, c.y), c.value) << "row " << c.y;
  }
}

TEST(CurveRows, TipRowsTruncateTowardZeroAndStayDefinedForAnyValue) {
  struct Case {
    std::int32_t baseline;
    float value;
    std::int32_t row;
  };
  const float inf = std::numeric_limits<float>::infinity();
  const std::array<Case, 9> cases{{{324, 0.5f, 264},
                                   {324, 0.004f, 323},   // 323.52
                                   {324, -0.004f, 324},  // 324.48
                                   {264, -0.5f, 324},
                                   {10, 0.1f, -2},  // -2.0
                                   {10, 0.09f, 0},  // -0.8 truncates up to 0
                                   {324, 1e30f, -16777216},
                                   {324, -inf, 16777216},
                                   {324, std::numeric_limits<float>::quiet_NaN(), 324}}};
  for (const Case& c : cases) {
    EXPECT_EQ(curveshape::rowOfValue(c.baseline, c.value), c.row)
        << "baseline " << c.baseline << ", value " << c.value;
  }
}

TEST(CurveSegment, MovingRightWritesThePreviousColumnAndNotTheCurrentOne) {
  HeapCurve curve;
  // From point 10 at the baseline to point 14 half a unit up.
  curveshape::paintSegment(curve.points(), kPlotLeft, kBaseline, {216, 264}, {212, 324});
  const std::array<float, 6> expected{kSentinel, 0.0f, 0.125f, 0.25f, 0.375f, kSentinel};
  for (std::size_t k = 0; k < expected.size(); ++k) {
    EXPECT_EQ(curve[9 + k], expected[k]) << "point " << 9 + k;
  }
}

TEST(CurveSegment, MovingLeftWritesThePreviousColumnDownToJustAfterTheCurrentOne) {
  HeapCurve curve;
  curveshape::paintSegment(curve.points(), kPlotLeft, kBaseline, {212, 324}, {216, 264});
  const std::array<float, 6> expected{kSentinel, kSentinel, 0.125f, 0.25f, 0.375f, 0.5f};
  for (std::size_t k = 0; k < expected.size(); ++k) {
    EXPECT_EQ(curve[9 + k], expected[k]) << "point " << 9 + k;
  }
  EXPECT_EQ(curve[15], kSentinel);
}

TEST(CurveSegment, ThirdsAreComputedInSinglePrecisionFromThePreviousPoint) {
  HeapCurve curve;
  // Three columns from 0.25 (row 294) to 1.0 (row 204): vp + k * 0.75 / 3.
  curveshape::paintSegment(curve.points(), kPlotLeft, kBaseline, {253, 204}, {250, 294});
  EXPECT_EQ(curve[48], 0.25f);
  EXPECT_EQ(curve[49], 0.5f);
  EXPECT_EQ(curve[50], 0.75f);
  EXPECT_EQ(curve[51], kSentinel);
}

TEST(CurveSegment, PointZeroIsNeverWritten) {
  HeapCurve curve;
  curveshape::paintSegment(curve.points(), kPlotLeft, kBaseline, {206, 264}, {202, 264});
  EXPECT_EQ(curve[0], kSentinel) << "moving right from the plot's left edge";
  curveshape::paintSegment(curve.points(), kPlotLeft, kBaseline, {196, 264}, {206, 204});
  EXPECT_EQ(curve[0], kSentinel) << "moving left past it";
  // From point 4 (value 1.0) toward point -6 (0.5): points 4, 3, 2, 1 are k = 0 ... 3 of 10.
  EXPECT_EQ(curve[4], 1.0f);
  EXPECT_NEAR(curve[1], 0.85, 1e-7);
}

// The panel's rectangle gives a plot 389 columns wide: columns past point 384 are dropped.
TEST(CurveSegment, AStrokeToThePlotsRightEdgeStopsAtPoint384) {
  HeapCurve curve;
  curveshape::paintSegment(curve.points(), kPlotLeft, kBaseline, {591, 264}, {580, 264});
  for (std::size_t i = 378; i <= 384; ++i) EXPECT_EQ(curve[i], 0.5f) << "point " << i;
  EXPECT_EQ(curve[377], kSentinel);
  curveshape::paintSegment(curve.points(), kPlotLeft, kBaseline, {570, 294}, {591, 264});
  // From column 389 (0.5) to 368 (0.25), 21 columns: point 384 is k = 5.
  EXPECT_NEAR(curve[384], 0.5 - 5 * 0.25 / 21, 1e-7) << "moving left from column 389";
  EXPECT_NEAR(curve[369], 0.5 - 20 * 0.25 / 21, 1e-7);
  EXPECT_EQ(curve[368], kSentinel);
}

TEST(CurveSegment, HostileCoordinatesWriteOnlyTheCurveAndFinish) {
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  for (const auto& [current, previous] :
       {std::pair<GuiPoint, GuiPoint>{{kMax, kMin}, {kMin, kMax}},
        std::pair<GuiPoint, GuiPoint>{{kMin, kMax}, {kMax, kMin}}}) {
    HeapCurve curve;
    curveshape::paintSegment(curve.points(), kPlotLeft, kBaseline, current, previous);
    EXPECT_EQ(curve[0], kSentinel);
    for (std::size_t i = 1; i <= 384; ++i) {
      ASSERT_TRUE(std::isfinite(curve[i])) << "point " << i;
      ASSERT_NE(curve[i], kSentinel) << "point " << i;
    }
  }
}

TEST(CurveSmoothing, AZeroCurveStaysZero) {
  HeapCurve curve;
  std::fill(curve.data.get(), curve.data.get() + kEnvelopePointCount, 0.0f);
  curveshape::smooth(curve.points());
  for (std::size_t i = 0; i < kEnvelopePointCount; ++i) EXPECT_EQ(curve[i], 0.0f) << i;
}

// A ramp of i / 128: every window of 12 sums to (12 i + 66) / 128 exactly, so each averaged
// point is (i + 5.5) / 128; the head rises to point 6's 11.5 / 128 in sixths; the tail falls
// from p = 373 / 128.
TEST(CurveSmoothing, ARampAveragesForwardAndTapersBothEnds) {
  HeapCurve curve;
  for (std::size_t i = 0; i < kEnvelopePointCount; ++i) curve.data[i] = static_cast<float>(i) / 128;
  curveshape::smooth(curve.points());
  const double q = 11.5 / 128;
  for (int k = 0; k < 6; ++k) EXPECT_NEAR(curve[k], (k + 1) * q / 6, 1e-7) << "head point " << k;
  for (std::size_t i = 6; i <= 372; ++i) {
    EXPECT_NEAR(curve[i], (static_cast<double>(i) + 5.5) / 128, 2e-7) << "point " << i;
  }
  const double p = 373.0 / 128;
  const std::array<double, 12> tail{p / 1.5, p / 2,  p / 3,  p / 4,  p / 6,  p / 8,
                                    p / 12,  p / 16, p / 24, p / 32, p / 48, 0.0};
  for (std::size_t k = 0; k < tail.size(); ++k) {
    EXPECT_NEAR(curve[373 + k], tail[k], 1e-6) << "tail point " << 373 + k;
  }
  EXPECT_EQ(curve[384], 0.0f);
}

// One point of 1.2 at 10: the windows starting at 0 ... 10 hold it (0.1 each), later ones not;
// the head then replaces points 0-5 with sixths of point 6.
TEST(CurveSmoothing, ASpikeSpreadsOverTheElevenWindowsThatHoldIt) {
  HeapCurve curve;
  std::fill(curve.data.get(), curve.data.get() + kEnvelopePointCount, 0.0f);
  curve.data[10] = 1.2f;
  curveshape::smooth(curve.points());
  for (int k = 0; k < 6; ++k) EXPECT_NEAR(curve[k], (k + 1) * 0.1 / 6, 1e-8) << k;
  for (int i = 6; i <= 10; ++i) EXPECT_NEAR(curve[i], 0.1, 1e-7) << i;
  for (std::size_t i = 11; i < kEnvelopePointCount; ++i) EXPECT_EQ(curve[i], 0.0f) << i;
}

TEST(CurveSmoothing, TheTailFallsMonotonicallyToZero) {
  HeapCurve curve;
  std::fill(curve.data.get(), curve.data.get() + kEnvelopePointCount, -0.75f);
  curveshape::smooth(curve.points());
  for (std::size_t i = 373; i < 384; ++i) {
    EXPECT_LT(curve[i], curve[i + 1]) << "a negative tail rises toward zero at " << i;
  }
  EXPECT_EQ(curve[384], 0.0f);
}

}  // namespace
