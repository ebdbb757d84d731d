// Curve playback of one envelope layer.
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "engine/EnvelopeLayer.h"

namespace {

std::array<float, 385> filled(float value) {
  std::array<float, 385> curve;
  curve.fill(value);
  return curve;
}

TEST(EnvelopeLayer, LoadsTheSquareOfEveryPoint) {
  EnvelopeLayer layer;
  std::array<float, 385> curve = filled(0.0f);
  curve[0] = 0.5f;
  curve[1] = -0.5f;
  curve[384] = 3.0f;
  layer.load(curve.data());
  EXPECT_EQ(layer.point(0), 0.25f);
  EXPECT_EQ(layer.point(1), 0.25f);
  EXPECT_EQ(layer.point(384), 9.0f);
  EXPECT_EQ(layer.point(385), 0.0f);
  EXPECT_EQ(layer.point(386), 0.0f);
}

TEST(EnvelopeLayer, AllOnesGivesOneThenEasesOutThenZero) {
  EnvelopeLayer layer;
  const auto ones = filled(1.0f);
  layer.load(ones.data());
  int32_t steps = 0;
  float previous = 1.0f;
  int32_t easingSteps = 0;
  while (steps < 2000) {
    const float value = layer.next();
    ++steps;
    const int32_t index = layer.readIndex();
    if (index <= 381) {
      ASSERT_EQ(value, 1.0f) << "step " << steps << " index " << index;
    } else if (index == 382) {  // the cubic sees the first 0 ahead and overshoots a little
      ++easingSteps;
      EXPECT_GT(value, 1.0f) << "step " << steps;
      EXPECT_LT(value, 1.1f) << "step " << steps;
    } else if (index == 383) {  // from 1 down toward 0
      ++easingSteps;
      EXPECT_LT(value, 1.0f) << "step " << steps;
      EXPECT_GE(value, 0.0f) << "step " << steps;
      if (previous <= 1.0f) {
        EXPECT_LE(value, previous) << "step " << steps;
      }
    } else {
      ASSERT_EQ(value, 0.0f) << "step " << steps << " index " << index;
    }
    previous = value;
  }
  // Two points of easing at 0.3 points per step, ending after about 1280 steps.
  EXPECT_GE(easingSteps, 6);
  EXPECT_LE(easingSteps, 7);
}

TEST(EnvelopeLayer, ReachesTheEndAfterAboutTwelveHundredEightySteps) {
  EnvelopeLayer layer;
  const auto ones = filled(1.0f);
  layer.load(ones.data());
  int32_t steps = 0;
  while (layer.next() != 0.0f) ++steps;
  EXPECT_NEAR(steps, 1280, 2);
}

TEST(EnvelopeLayer, ResetStartsTheCurveAgain) {
  EnvelopeLayer layer;
  std::array<float, 385> curve = filled(0.0f);
  for (std::size_t k = 0; k < curve.size(); ++k) curve[k] = static_cast<float>(k) / 384.0f;
  layer.load(curve.data());
  std::array<float, 50> first{};
  for (float& value : first) value = layer.next();
  for (int32_t k = 0; k < 500; ++k) (void)layer.next();
  layer.reset();
  EXPECT_EQ(layer.readIndex(), 0);
  for (std::size_t k = 0; k < first.size(); ++k) EXPECT_EQ(layer.next(), first[k]) << k;
}

TEST(EnvelopeLayer, FollowsARampBetweenItsPoints) {
  EnvelopeLayer layer;
  std::array<float, 385> curve{};
  for (std::size_t k = 0; k < curve.size(); ++k)
    curve[k] = std::sqrt(static_cast<float>(k));  // squares: k
  layer.load(curve.data());
  // Inside the ramp the cubic is exact: the value is index + 1 + fraction (the curve is read
  // one point ahead: y1 is the point after the read index).
  for (int32_t step = 1; step < 1000; ++step) {
    const float value = layer.next();
    const float position = 0.3f * static_cast<float>(step);
    EXPECT_NEAR(value, position + 1.0f, 2e-2f) << "step " << step;
  }
}

}  // namespace
