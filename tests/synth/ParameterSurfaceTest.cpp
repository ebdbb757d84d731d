// All 237 parameters as a host meets them on a fresh instance of the built plug-in: name, label,
// default value, the display text of that default, and whether the value is kept per program.
// The expectations are the documented parameter and program tables, written out run by run.
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/PluginFixture.h"

namespace {

constexpr char kUntouched[] = "untouched";

// One run of indexes that share their documented facts. A per-oscillator name is " Osc" plus the
// oscillator number from 1 plus `name`; null name or label: the host's buffer is left alone.
struct Documented {
  VstInt32 first;
  VstInt32 count;
  bool perOscillatorName;
  const char* name;
  const char* label;
  float defaultValue;
  const char* defaultDisplay;
  bool storedInProgram;
};

constexpr char kDb[] = "   dB   ";
constexpr char kHz[] = "   Hz   ";
constexpr char kMinusInfinity[] = "  -oo   ";
constexpr char kHalfDb[] = "-6.02060";  // decibels of 0.5

const std::vector<Documented>& documentedRuns() {
  static const std::vector<Documented> runs = {
      {0, 1, false, " Main Volume ", kDb, 0.9f, "-0.91515", true},
      {1, 1, false, " Main Detune ", kHz, 0.5f, "0.500000", true},
      {2, 1, false, nullptr, nullptr, 1.0f, "", true},  // volume layer button
      {3, 2, false, nullptr, nullptr, 0.0f, "", true},
      {5, 1, false, nullptr, nullptr, 1.0f, "", true},  // volume curve kind
      {6, 2, false, nullptr, nullptr, 0.0f, "", true},
      {8, 1, false, nullptr, nullptr, 0.0f, "", false},   // envelope command
      {9, 9, false, nullptr, nullptr, 0.0f, "", true},    // group buttons
      {18, 32, false, nullptr, nullptr, 0.0f, "", true},  // routing
      {50, 1, false, nullptr, nullptr, 1.0f, "", true},   // oscillator 1 selected
      {51, 31, false, nullptr, nullptr, 0.0f, "", true},
      {82, 32, true, " Vol", kDb, 0.0f, kMinusInfinity, true},
      {114, 32, true, " Phase ", "   Phase   ", 0.5f, kHalfDb, true},
      {146, 32, true, " Detune ", kHz, 0.5f, kHalfDb, true},
      {178, 1, false, " Delay Time ", "   Time   ", 0.5f, kHalfDb, true},
      {179, 1, false, " Delay Feedb.", "   Feedback   ", 0.3f, "-10.4575", true},
      {180, 1, false, " Delay Vol ", kDb, 0.5f, kHalfDb, true},
      {181, 1, false, " Flanger Delay ", kDb, 0.5f, kHalfDb, true},
      {182, 1, false, " Flanger Dry Vol ", kDb, 0.5f, kHalfDb, true},
      {183, 4, false, " Flanger ", kDb, 0.5f, kHalfDb, true},
      {187, 1, false, " Flanger ", kDb, 0.0f, kMinusInfinity, true},  // sine sweep
      {188, 2, false, nullptr, nullptr, 0.5f, kHalfDb, true},
      {190, 2, false, nullptr, nullptr, 0.5f, "-70.1030", true},  // decibels of 0.5 / 1600
      {192, 4, false, nullptr, nullptr, 0.5f, kHalfDb, true},
      {196, 1, false, nullptr, nullptr, 0.0f, "", false},
      {197, 2, false, nullptr, nullptr, 0.5f, kHalfDb, true},
      {199, 16, false, nullptr, nullptr, 1.0f, "0.000000", true},  // oscillators 1-16 on
      {215, 16, false, nullptr, nullptr, 0.0f, kMinusInfinity, true},
      {231, 4, false, nullptr, nullptr, 0.0f, kMinusInfinity, true},  // effects off
      {235, 1, false, nullptr, nullptr, 0.0f, "", false},
      {236, 1, false, nullptr, nullptr, 0.0f, "", false},  // test note
  };
  return runs;
}

struct Expected {
  std::string name;
  std::string label;
  float defaultValue;
  std::string defaultDisplay;
  bool storedInProgram;
};

// The documented facts of every index 0-236, in index order.
std::vector<Expected> expectedByIndex() {
  std::vector<Expected> table;
  for (const Documented& run : documentedRuns()) {
    EXPECT_EQ(run.first, static_cast<VstInt32>(table.size())) << "runs must cover 0-236 in order";
    for (VstInt32 k = 0; k < run.count; ++k) {
      std::string name = kUntouched;
      if (run.name)
        name = run.perOscillatorName ? " Osc" + std::to_string(k + 1) + run.name : run.name;
      table.push_back({name, run.label ? run.label : kUntouched, run.defaultValue,
                       run.defaultDisplay, run.storedInProgram});
    }
  }
  EXPECT_EQ(table.size(), 237u);
  return table;
}

std::string readText(hostlib::PluginInstance& plugin, VstInt32 opcode, VstInt32 index) {
  char buffer[256] = {};
  std::strcpy(buffer, kUntouched);
  plugin.dispatch(opcode, index, 0, buffer, 0.0f);
  return buffer;
}

// A value of its own for every index, inside 0-1 and never below 0.5 for the test note.
float distinctValue(VstInt32 index) { return 0.55f + static_cast<float>(index) / 1000.0f; }

using ParameterSurface = PluginTest;

TEST_F(ParameterSurface, AFreshInstanceAnswersTheDocumentedTextsAndDefaultsForEveryIndex) {
  const std::vector<Expected> expected = expectedByIndex();
  for (VstInt32 index = 0; index < static_cast<VstInt32>(expected.size()); ++index) {
    const Expected& e = expected[static_cast<size_t>(index)];
    EXPECT_EQ(readText(*plugin, effGetParamName, index), e.name) << "name of " << index;
    EXPECT_EQ(readText(*plugin, effGetParamLabel, index), e.label) << "label of " << index;
    EXPECT_NEAR(plugin->getParameter(index), e.defaultValue, 2e-6f) << "default of " << index;
    EXPECT_EQ(readText(*plugin, effGetParamDisplay, index), e.defaultDisplay)
        << "display of the default of " << index;
  }
}

TEST_F(ParameterSurface, EveryStoredIndexKeepsItsOwnValueInItsProgramAndInACopy) {
  const std::vector<Expected> expected = expectedByIndex();
  const auto count = static_cast<VstInt32>(expected.size());
  plugin->setProgram(1);
  for (VstInt32 index = 0; index < count; ++index) {
    if (index != 8) plugin->setParameter(index, distinctValue(index));
  }
  ASSERT_EQ(plugin->dispatch(effCopyProgram, 5), 1);

  plugin->setProgram(2);
  for (VstInt32 index = 0; index < count; ++index) {
    EXPECT_NEAR(plugin->getParameter(index), expected[static_cast<size_t>(index)].defaultValue,
                2e-6f)
        << "program 2 keeps the default of " << index;
  }
  for (VstInt32 program : {1, 5}) {
    plugin->setProgram(program);
    for (VstInt32 index = 0; index < count; ++index) {
      const float stored =
          expected[static_cast<size_t>(index)].storedInProgram ? distinctValue(index) : 0.0f;
      EXPECT_NEAR(plugin->getParameter(index), stored, 2e-6f)
          << "index " << index << " after selecting program " << program;
    }
  }
}

}  // namespace
