// Parameter names, labels and display texts as a host reads them from the built plug-in: exact
// texts with their blanks, and the indexes that leave the host's buffer untouched.
#include <cstring>
#include <string>

#include "tests/support/PluginFixture.h"

namespace {

constexpr char kSentinel[] = "sentinel-untouched";

// Reads a text through the dispatcher into a buffer pre-filled with a sentinel text.
std::string readText(hostlib::PluginInstance& plugin, VstInt32 opcode, VstInt32 index) {
  char buffer[256];
  std::memset(buffer, 0, sizeof buffer);
  std::strcpy(buffer, kSentinel);
  plugin.dispatch(opcode, index, 0, buffer, 0.0f);
  return buffer;
}

std::string expectedName(VstInt32 index) {
  const std::string n = std::to_string((index - 82) % 32 + 1);
  if (index == 0) return " Main Volume ";
  if (index == 1) return " Main Detune ";
  if (index >= 82 && index <= 113) return " Osc" + n + " Vol";
  if (index >= 114 && index <= 145) return " Osc" + n + " Phase ";
  if (index >= 146 && index <= 177) return " Osc" + n + " Detune ";
  switch (index) {
    case 178: return " Delay Time ";
    case 179: return " Delay Feedb.";
    case 180: return " Delay Vol ";
    case 181: return " Flanger Delay ";
    case 182: return " Flanger Dry Vol ";
    case 183:
    case 184:
    case 185:
    case 186:
    case 187: return " Flanger ";
    default: return kSentinel;
  }
}

std::string expectedLabel(VstInt32 index) {
  if (index == 0 || (index >= 82 && index <= 113) || (index >= 180 && index <= 187))
    return "   dB   ";
  if (index == 1 || (index >= 146 && index <= 177)) return "   Hz   ";
  if (index >= 114 && index <= 145) return "   Phase   ";
  if (index == 178) return "   Time   ";
  if (index == 179) return "   Feedback   ";
  return kSentinel;
}

using ParameterText = PluginTest;

TEST_F(ParameterText, EveryNameIsExactAndUnnamedIndexesLeaveTheBufferAlone) {
  for (VstInt32 index = -2; index < 240; ++index) {
    EXPECT_EQ(readText(*plugin, effGetParamName, index), expectedName(index)) << "index " << index;
  }
}

TEST_F(ParameterText, SpotChecksOfNames) {
  EXPECT_EQ(plugin->parameterName(82), " Osc1 Vol");
  EXPECT_EQ(plugin->parameterName(113), " Osc32 Vol");
  EXPECT_EQ(plugin->parameterName(114), " Osc1 Phase ");
  EXPECT_EQ(plugin->parameterName(177), " Osc32 Detune ");
  EXPECT_EQ(plugin->parameterName(183), " Flanger ");
}

TEST_F(ParameterText, EveryLabelIsExactAndUnlabelledIndexesLeaveTheBufferAlone) {
  for (VstInt32 index = -2; index < 240; ++index) {
    EXPECT_EQ(readText(*plugin, effGetParamLabel, index), expectedLabel(index))
        << "index " << index;
  }
}

enum class Shown { empty, decibelsOfOne, scaledDecibelsOfOne, floatOne };

Shown expectedDisplay(VstInt32 index) {
  if (index == 1) return Shown::floatOne;
  if (index == 190 || index == 191) return Shown::scaledDecibelsOfOne;
  if (index == 0 || (index >= 82 && index <= 189) || (index >= 192 && index <= 195) ||
      (index >= 197 && index <= 234)) {
    return Shown::decibelsOfOne;
  }
  return Shown::empty;
}

// With every parameter set to 1.0 each shown value reads back as (about) 1: decibel texts are
// (about) 0 dB, the frequency bounds are shown as decibels of 1/1600.
TEST_F(ParameterText, DisplayUsesTheDesignedHelperForEveryIndex) {
  for (VstInt32 index = 0; index < 237; ++index) {
    if (index != 8 && index != 236) plugin->setParameter(index, 1.0f);
  }
  for (VstInt32 index = -1; index < 238; ++index) {
    const std::string text = readText(*plugin, effGetParamDisplay, index);
    switch (expectedDisplay(index)) {
      case Shown::empty: EXPECT_EQ(text, "") << "index " << index; break;
      case Shown::floatOne: EXPECT_EQ(text, "1.000000") << "index " << index; break;
      case Shown::decibelsOfOne:
        ASSERT_EQ(text.size(), 8u) << "index " << index << ": " << text;
        EXPECT_NEAR(std::stod(text), 0.0, 2e-6) << "index " << index << ": " << text;
        break;
      case Shown::scaledDecibelsOfOne:
        EXPECT_EQ(text.substr(0, 6), "-64.08") << "index " << index << ": " << text;
        break;
    }
  }
}

TEST_F(ParameterText, DisplayOfKnownValues) {
  plugin->setParameter(0, 0.5f);
  EXPECT_EQ(plugin->parameterDisplay(0), "-6.02060");
  plugin->setParameter(82, 0.0f);
  EXPECT_EQ(plugin->parameterDisplay(82), "  -oo   ");
  plugin->setParameter(1, 0.25f);
  EXPECT_EQ(plugin->parameterDisplay(1), "0.250000");
  plugin->setParameter(50, 1.0f);
  EXPECT_EQ(plugin->parameterDisplay(50), "") << "a stored panel value shows no text";
  EXPECT_EQ(plugin->getParameter(50), 1.0f);
  plugin->setParameter(82, 0.7f);
  EXPECT_EQ(plugin->parameterName(82), " Osc1 Vol");
  EXPECT_EQ(plugin->parameterLabel(82), "   dB   ");
  EXPECT_EQ(plugin->parameterDisplay(82), "-3.09803");
}

}  // namespace
