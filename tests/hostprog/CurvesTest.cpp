// Curves from the command line: the SLOT=FILE / SLOT=SHAPE syntax, curve text files, and what
// each named shape puts into the 385 points (measured at the times the shape names).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "overtonic-host/app/Curves.h"

namespace {

using hostapp::CurvePoints;
using hostapp::kSecondsPerCurvePoint;
using hostapp::parseCurveRequest;
using hostapp::parseCurveText;
using ::testing::HasSubstr;

// The point nearest to `seconds` into the note.
float at(const CurvePoints& points, double seconds) {
  return points[static_cast<size_t>(std::lround(seconds / kSecondsPerCurvePoint))];
}

CurvePoints shape(const std::string& text) {
  auto request = parseCurveRequest("0=" + text);
  EXPECT_TRUE(request.ok()) << request.error();
  return request.ok() ? request.value().points : CurvePoints{};
}

TEST(CurveRequest, SlotsAndRangesAreCheckedAndFilesAreNamed) {
  auto file = parseCurveRequest("40=my curve.txt");
  ASSERT_TRUE(file.ok()) << file.error();
  EXPECT_EQ(file.value().firstSlot, 40);
  EXPECT_EQ(file.value().lastSlot, 40);
  EXPECT_EQ(file.value().file, "my curve.txt");
  auto range = parseCurveRequest("96-101=const:0.5");
  ASSERT_TRUE(range.ok()) << range.error();
  EXPECT_EQ(range.value().firstSlot, 96);
  EXPECT_EQ(range.value().lastSlot, 101);
  EXPECT_TRUE(range.value().file.empty());
  EXPECT_EQ(range.value().points[200], 0.5f);
}

TEST(CurveRequest, MistakesAreRefusedWithTheReason) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"5", "is not SLOT=FILE or SLOT=SHAPE:ARGUMENTS"},
      {"5=", "is not SLOT=FILE"},
      {"123=const:1", "slot 123 is outside 0 to 122"},
      {"-1=const:1", "slot -1 is outside 0 to 122"},
      {"x=const:1", "slot 'x' is not a whole number"},
      {"10-5=const:1", "last slot 5 is outside 10 to 122"},
      {"0=const", "the shape is const:VALUE"},
      {"0=const:1:2", "the shape is const:VALUE"},
      {"0=ad:0.1", "the shape is ad:ATTACK:DECAY[:PEAK]"},
      {"0=ad:-1:1", "ATTACK -1 is outside 0 to 6"},
      {"0=ramp:0:nan", "TO 'nan' is not a number"},
      {"0=vibrato:13:5", "SEMITONES 13 is outside 0 to 12"},
  };
  for (const auto& [text, reason] : cases) {
    auto request = parseCurveRequest(text);
    ASSERT_FALSE(request.ok()) << text;
    EXPECT_THAT(request.error(), HasSubstr(reason)) << text;
  }
}

TEST(CurveShapes, ConstantAndRampSpanTheWholeCurve) {
  const CurvePoints constant = shape("const:-0.75");
  EXPECT_TRUE(std::all_of(constant.begin(), constant.end(), [](float p) { return p == -0.75f; }));
  const CurvePoints ramp = shape("ramp:1:0");
  EXPECT_EQ(ramp.front(), 1.0f);
  EXPECT_NEAR(ramp[192], 0.5f, 1e-6f);
  EXPECT_NEAR(ramp.back(), 0.0f, 1e-6f);
}

TEST(CurveShapes, AttackDecayPeaksAtTheAttackTimeAndEndsAtZero) {
  const CurvePoints points = shape("ad:0.3:1.5:0.8");
  EXPECT_EQ(points[0], 0.0f);
  EXPECT_NEAR(at(points, 0.15), 0.4f, 0.03f);
  EXPECT_NEAR(*std::max_element(points.begin(), points.end()), 0.8f, 0.01f);
  EXPECT_NEAR(at(points, 0.3), 0.8f, 0.01f);
  EXPECT_NEAR(at(points, 1.05), 0.4f, 0.01f);
  EXPECT_EQ(at(points, 1.9), 0.0f);
  EXPECT_EQ(points.back(), 0.0f);
}

TEST(CurveShapes, AdsrHoldsItsSustainAndReleasesAtTheCurvesEnd) {
  const CurvePoints points = shape("adsr:0.1:0.2:0.6:1");
  EXPECT_NEAR(at(points, 0.1), 1.0f, 0.02f);
  EXPECT_NEAR(at(points, 2.0), 0.6f, 1e-6f);
  EXPECT_NEAR(at(points, 4.5), 0.6f, 1e-6f);
  EXPECT_NEAR(at(points, 5.334), 0.3f, 0.01f) << "half way down the last second";
  EXPECT_NEAR(points.back(), 0.0f, 1e-6f);
}

TEST(CurveShapes, VibratoSquaresSwingBetweenZeroAndTheSemitoneFactor) {
  const CurvePoints points = shape("vibrato:1:4:0.5");
  EXPECT_EQ(at(points, 0.4), 0.0f) << "nothing before the delay";
  const double semitone = std::exp2(1.0 / 12) - 1;
  float highest = 0;
  for (float p : points) highest = std::max(highest, p * p);
  EXPECT_NEAR(highest, semitone, semitone * 0.02);
  // A full swing every quarter second: the square is at its top an eighth after the delay.
  EXPECT_NEAR(at(points, 0.625) * at(points, 0.625), semitone, semitone * 0.05);
  EXPECT_NEAR(at(points, 0.75) * at(points, 0.75), 0.0, semitone * 0.05);
}

TEST(CurveText, NumbersCommentsAndSeparatorsAreRead) {
  auto points = parseCurveText("# my pluck\n0, 1 0.5\n\t0.25 # tail\n-0.5\n", "pluck.txt");
  ASSERT_TRUE(points.ok()) << points.error();
  EXPECT_EQ(points.value()[0], 0.0f);
  EXPECT_EQ(points.value()[1], 1.0f);
  EXPECT_EQ(points.value()[2], 0.5f);
  EXPECT_EQ(points.value()[3], 0.25f);
  EXPECT_EQ(points.value()[4], -0.5f);
  EXPECT_EQ(points.value()[5], 0.0f) << "points not given are 0";
}

TEST(CurveText, BadFilesAreRefusedWithTheLine) {
  std::string tooMany;
  for (int i = 0; i < 386; ++i) tooMany += "0.1\n";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", "c.txt: holds no points"},
      {"# only a comment\n", "c.txt: holds no points"},
      {"0.1\n0.2\nbanana\n", "c.txt: line 3: 'banana' is not a number"},
      {"1e400", "c.txt: line 1: '1e400' is not a number"},
      {"0.5 inf", "'inf' is not a number"},
      {"9", "9 is outside -8 to 8"},
      {tooMany, "c.txt: more than 385 points"},
  };
  for (const auto& [text, reason] : cases) {
    auto points = parseCurveText(text, "c.txt");
    ASSERT_FALSE(points.ok()) << text;
    EXPECT_THAT(points.error(), HasSubstr(reason)) << text;
  }
}

TEST(CurveSlots, NamesSayBankAndOscillators) {
  EXPECT_EQ(hostapp::describeSlot(0), "amplitude, oscillator 1");
  EXPECT_EQ(hostapp::describeSlot(63), "pitch, oscillator 32");
  EXPECT_EQ(hostapp::describeSlot(64), "phase, oscillator 1");
  EXPECT_EQ(hostapp::describeSlot(96), "amplitude, layer 1 of oscillators 1-16");
  EXPECT_EQ(hostapp::describeSlot(103), "pitch, layer 2 of oscillators 1, 3 ... 31");
  EXPECT_EQ(hostapp::describeSlot(110), "phase, layer 3 of oscillators 1, 7, 13, 19, 25, 31");
  EXPECT_EQ(hostapp::describeSlot(122), "phase, layer 4 of oscillators 25-32");
}

}  // namespace
