// Setting and reading back parameters through the built plug-in: each group's transform is
// inverted on read-back, values live in the current program, and bad indexes and non-finite
// values change nothing.
#include <cmath>
#include <limits>
#include <string>

#include "tests/support/PluginFixture.h"

namespace {

// Indexes that never read back what was set.
bool readsZero(VstInt32 index) {
  return index == 8 || index == 196 || index == 235 || index == 236;
}

float sampleValue(VstInt32 index) { return 0.3f + static_cast<float>(index % 7) * 0.05f; }

using ParameterValue = PluginTest;

TEST_F(ParameterValue, EveryParameterReadsBackWhatWasSet) {
  for (VstInt32 index = 0; index < 237; ++index) {
    if (index == 236) continue;  // the test note: a value below 0.5 would start it
    plugin->setParameter(index, sampleValue(index));
  }
  plugin->setParameter(236, 1.0f);
  for (VstInt32 index = 0; index < 237; ++index) {
    const float expected = readsZero(index) ? 0.0f : sampleValue(index);
    EXPECT_NEAR(plugin->getParameter(index), expected, 2e-6f) << "index " << index;
  }
}

struct ExactCase {
  VstInt32 index;
  float value;
  float readBack;
};

class ParameterExactTest : public PluginTest, public ::testing::WithParamInterface<ExactCase> {};

TEST_P(ParameterExactTest, ReadsBackExactly) {
  plugin->setParameter(GetParam().index, GetParam().value);
  EXPECT_EQ(plugin->getParameter(GetParam().index), GetParam().readBack);
}

std::string exactCaseName(const ::testing::TestParamInfo<ExactCase>& param) {
  return "index" + std::to_string(param.param.index) + "_" + std::to_string(param.index);
}

INSTANTIATE_TEST_SUITE_P(
    Groups, ParameterExactTest,
    ::testing::Values(ExactCase{0, 0.5f, 0.5f},      // square stored, root read back
                      ExactCase{114, 0.75f, 0.75f},  // phase offset +0.25
                      ExactCase{146, 0.0f, 0.0f},    // detune offset -0.5
                      ExactCase{18, 0.3f, 0.3f},     // an unrouted value is kept as is
                      ExactCase{18, 0.25f, 0.25f}, ExactCase{199, 0.0f, 0.0f},
                      ExactCase{231, 1.0f, 1.0f}, ExactCase{187, 0.6f, 0.6f},
                      ExactCase{3, 1.0f, 1.0f}, ExactCase{17, 1.0f, 1.0f},
                      ExactCase{81, 1.0f, 1.0f}, ExactCase{196, 0.7f, 0.0f},
                      ExactCase{235, 0.7f, 0.0f}, ExactCase{8, 3.0f, 0.0f},
                      ExactCase{178, 1.5f, 1.5f},  // out of range values are kept as they come
                      ExactCase{179, -2.0f, -2.0f}),
    exactCaseName);

TEST_F(ParameterValue, IndexesOutsideTheTableAreIgnoredAndReadZero) {
  for (VstInt32 index : {-1, 237, 1000, std::numeric_limits<VstInt32>::min(),
                         std::numeric_limits<VstInt32>::max()}) {
    plugin->setParameter(index, 0.7f);
    EXPECT_EQ(plugin->getParameter(index), 0.0f) << "index " << index;
  }
}

TEST_F(ParameterValue, NonFiniteValuesLeaveTheValueAsItWas) {
  plugin->setParameter(82, 0.7f);
  plugin->setParameter(1, 0.2f);
  for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                    -std::numeric_limits<float>::infinity()}) {
    plugin->setParameter(82, bad);
    plugin->setParameter(1, bad);
    plugin->setParameter(8, bad);
    plugin->setParameter(236, bad);
  }
  EXPECT_NEAR(plugin->getParameter(82), 0.7f, 1e-6f);
  EXPECT_EQ(plugin->getParameter(1), 0.2f);
}

TEST_F(ParameterValue, AValueSetUnderOneProgramSurvivesAProgramChangeAndBack) {
  plugin->setProgram(1);
  plugin->setParameter(82, 0.7f);
  plugin->setProgram(0);
  EXPECT_EQ(plugin->getParameter(82), 0.0f) << "program 0 keeps its own value";
  plugin->setProgram(1);
  EXPECT_NEAR(plugin->getParameter(82), 0.7f, 1e-6f);
}

TEST_F(ParameterValue, AFreshInstanceShowsProgramZerosDefaults) {
  struct Default {
    VstInt32 index;
    float value;
  };
  for (const Default& d :
       {Default{0, 0.9f},   Default{1, 0.5f},   Default{2, 1.0f},   Default{3, 0.0f},
        Default{5, 1.0f},   Default{50, 1.0f},  Default{51, 0.0f},  Default{82, 0.0f},
        Default{114, 0.5f}, Default{146, 0.5f}, Default{178, 0.5f}, Default{179, 0.3f},
        Default{180, 0.5f}, Default{187, 0.0f}, Default{199, 1.0f}, Default{214, 1.0f},
        Default{215, 0.0f}, Default{230, 0.0f}, Default{231, 0.0f}, Default{234, 0.0f}}) {
    EXPECT_NEAR(plugin->getParameter(d.index), d.value, 1e-6f) << "index " << d.index;
  }
}

}  // namespace
