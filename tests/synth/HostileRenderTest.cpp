// Whatever value a host sends, the plug-in's output stays finite: every hostile value (NaN,
// infinities, huge values and values whose square or scaled form overflows) on every
// parameter index, rendered through both audio entry points of the built plug-in with a note
// playing; and a value whose designed transform overflows is ignored like a non-finite one.
#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/MidiMessage.h"
#include "tests/support/PluginFixture.h"
#include "tests/support/SignalMeasure.h"

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kLargest = std::numeric_limits<float>::max();
constexpr float kHostileValues[] = {std::numeric_limits<float>::quiet_NaN(),
                                    kInf,
                                    -kInf,
                                    1e30f,
                                    -1e30f,
                                    kLargest,
                                    -kLargest,
                                    2e19f,  // its square is the first to overflow
                                    -2e19f,
                                    1.2e38f,  // three times it overflows
                                    std::numeric_limits<float>::denorm_min()};
constexpr int32_t kBlock = 256;

std::string text(float value) {
  std::ostringstream out;
  out << value;
  return out.str();
}

void startNote(hostlib::PluginInstance& plugin) {
  const VstMidiEvent note = midi_message::event(0x90, 45, 100);
  plugin.sendEvents(std::span(&note, 1));
}

// One block through each audio entry point; the first non-finite sample, if any, is reported.
void expectFiniteBlocks(hostlib::PluginInstance& plugin, const std::string& what) {
  std::vector<float> out(kBlock, 0.25f);
  plugin.process(out.data(), kBlock);
  const auto accumulated = signal_measure::firstNonFinite(out);
  plugin.processReplacing(out.data(), kBlock);
  const auto replaced = signal_measure::firstNonFinite(out);
  EXPECT_FALSE(accumulated) << what << ": process wrote " << out[accumulated.value_or(0)]
                            << " at frame " << accumulated.value_or(0);
  EXPECT_FALSE(replaced) << what << ": processReplacing wrote " << out[replaced.value_or(0)]
                         << " at frame " << replaced.value_or(0);
}

using HostileRender = PluginTest;

TEST_F(HostileRender, EveryHostileValueOnEveryIndexLeavesTheOutputFinite) {
  for (float bad : kHostileValues) {
    auto instance = newInstance();
    ASSERT_TRUE(instance);
    instance->start(44100.0f, kBlock);
    for (VstInt32 index : {231, 232, 233, 234}) instance->setParameter(index, 1.0f);  // effects
    startNote(*instance);
    for (VstInt32 index = 0; index < 237; ++index) {
      instance->setParameter(index, bad);
      expectFiniteBlocks(*instance, "index " + std::to_string(index) + " = " + text(bad));
    }
  }
}

TEST_F(HostileRender, EveryIndexHostileAtOnceLeavesTheOutputFinite) {
  for (float bad : kHostileValues) {
    plugin->start(44100.0f, kBlock);
    startNote(*plugin);
    for (VstInt32 index = 0; index < 237; ++index) plugin->setParameter(index, bad);
    for (int32_t block = 0; block < 20; ++block) {
      expectFiniteBlocks(*plugin, "every index = " + text(bad));
    }
    plugin->stop();
  }
}

// The designed transforms (a square, a scale) of these values overflow: the setting keeps the
// value it had, as for inf and NaN; a large value whose transform stays finite is taken.
TEST_F(HostileRender, AValueWhoseTransformOverflowsIsIgnored) {
  struct Case {
    VstInt32 index;
    float overflowing;
    float large;  // taken as it comes
  };
  for (const Case c : {Case{0, 2e19f, 1e19f},        // main volume, squared
                       Case{82, -2e19f, -1e19f},     // an oscillator volume, squared
                       Case{197, 1.8e38f, 1.6e38f},  // reverb dry, × 2
                       Case{198, 1.2e38f, 1e38f},    // reverb wet, × 3
                       Case{190, 1e36f, 1e33f},      // phaser minimum, × 2600 ÷ (rate / 2)
                       Case{191, -1e36f, -1e33f},    // phaser maximum
                       Case{181, 1e36f, 1e30f},      // flanger centre, × 0.02 s of samples
                       Case{185, 1e36f, 1e30f}}) {   // flanger depth, × 0.01 s of samples
    plugin->setParameter(c.index, 0.25f);
    const float before = plugin->getParameter(c.index);
    plugin->setParameter(c.index, c.overflowing);
    EXPECT_EQ(plugin->getParameter(c.index), before)
        << "index " << c.index << " took " << c.overflowing;
    plugin->setParameter(c.index, c.large);
    EXPECT_NEAR(std::fabs(plugin->getParameter(c.index) / c.large), 1.0f, 1e-5f)
        << "index " << c.index << " refused " << c.large;  // squares read back as magnitudes
  }
}

}  // namespace
