// The fixed-width value-to-text helpers: truncated digits, an 8-character budget, and a
// terminated text for every input, including values that cannot be shown.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "tests/host/TestEffect.h"

namespace {

enum class Helper { decibels, hertz, milliseconds, floatText, integer };

struct TextCase {
  Helper helper;
  double input;
  const char* expected;
};

std::string format(TestEffect& effect, Helper helper, double input) {
  char text[32];
  std::memset(text, 'x', sizeof text);
  text[31] = '\0';
  const auto value = static_cast<float>(input);
  switch (helper) {
    case Helper::decibels: effect.formatDecibels(value, text); break;
    case Helper::hertz: effect.formatHertz(value, text); break;
    case Helper::milliseconds: effect.formatMilliseconds(value, text); break;
    case Helper::floatText: effect.formatFloat(value, text); break;
    case Helper::integer: effect.formatInteger(static_cast<VstInt32>(input), text); break;
  }
  return text;
}

class TextFormatTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(TextFormatTest, WritesTheDesignedText) {
  TestEffect effect(nullptr);
  const TextCase& c = GetParam();
  const std::string text = format(effect, c.helper, c.input);
  EXPECT_EQ(text, c.expected) << "input " << c.input;
  EXPECT_LE(text.size(), 8u);
}

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::string textCaseName(const ::testing::TestParamInfo<TextCase>& param) {
  constexpr const char* kHelperNames[] = {"decibels", "hertz", "milliseconds", "float", "integer"};
  return std::string(kHelperNames[static_cast<int>(param.param.helper)]) + "_" +
         std::to_string(param.index);
}

INSTANTIATE_TEST_SUITE_P(
    Helpers, TextFormatTest,
    ::testing::Values(
        TextCase{Helper::floatText, 0.5, "0.500000"},
        TextCase{Helper::floatText, 123.456, "123.4560"},
        TextCase{Helper::floatText, -1.5, "-1.50000"},
        TextCase{Helper::floatText, 1234567.0, "1234567."},
        TextCase{Helper::floatText, 0.0, "0.000000"},
        TextCase{Helper::floatText, 0.999, "0.999000"},
        TextCase{Helper::floatText, -0.25, "-0.25000"},
        TextCase{Helper::floatText, 99999.0, "99999.00"},
        TextCase{Helper::floatText, -999999.0, "-999999."},
        // Integers too long for the point: every digit, no point.
        TextCase{Helper::floatText, 12345678.0, "12345678"},
        TextCase{Helper::floatText, 99999992.0, "99999992"},
        TextCase{Helper::floatText, -1234567.0, "-1234567"},
        TextCase{Helper::floatText, -9999999.0, "-9999999"},
        // Values that cannot be shown still leave a terminated text.
        TextCase{Helper::floatText, 100000000.0, " Huge!  "},
        TextCase{Helper::floatText, -10000000.0, " Huge!  "},
        TextCase{Helper::floatText, kInf, " Huge!  "},
        TextCase{Helper::floatText, -kInf, " Huge!  "},
        TextCase{Helper::floatText, kNaN, " Huge!  "}, TextCase{Helper::decibels, 1.0, "0.000000"},
        TextCase{Helper::decibels, 0.0, "  -oo   "}, TextCase{Helper::decibels, -0.5, "  -oo   "},
        TextCase{Helper::decibels, 0.5, "-6.02060"}, TextCase{Helper::decibels, 10.0, "20.00000"},
        TextCase{Helper::decibels, kNaN, " Huge!  "}, TextCase{Helper::hertz, 100.0, "441.0000"},
        TextCase{Helper::hertz, 0.0, "0.000000"}, TextCase{Helper::milliseconds, 441.0, "10.00000"},
        TextCase{Helper::integer, 42.0, "     42"}, TextCase{Helper::integer, 0.0, "      0"},
        TextCase{Helper::integer, 99999999.0, "99999999"},
        TextCase{Helper::integer, 100000000.0, " Huge!  "},
        TextCase{Helper::integer, -5.0, "     -5"},
        TextCase{Helper::integer, -2147483647.0, "-2147483"}),
    textCaseName);

TEST(TextFormat, MillisecondsAndHertzFollowTheInstanceSampleRate) {
  TestEffect effect(nullptr);
  effect.changeSampleRate(48000.0f);
  EXPECT_EQ(format(effect, Helper::milliseconds, 480.0), "10.00000");
  EXPECT_EQ(format(effect, Helper::hertz, 100.0), "480.0000");
}

TEST(TextFormat, EveryFloatTextFitsANineByteBuffer) {
  TestEffect effect(nullptr);
  for (double v = -2e7; v < 2e8; v = v * -3.7 + 1.3) {
    char text[16];
    std::memset(text, 'x', sizeof text);
    effect.formatFloat(static_cast<float>(v), text);
    ASSERT_NE(std::memchr(text, '\0', 9), nullptr) << "value " << v;
    if (std::fabs(v) > 1e9) break;
  }
}

}  // namespace
