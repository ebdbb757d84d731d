// The oscillator bank with each lane kernel this processor can run (whichever a render path
// picks here) against Oscillator::render, sample for sample and state for state: full and
// partial lane groups, curve steps on different samples per oscillator, envelopes, phase
// settings, and increments outside the table's range (the stray-lane wrap).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/LaneKernels.h"
#include "engine/OscillatorBank.h"
#include "engine/RenderPath.h"
#include "engine/SimdKernels.h"
#include "engine/SineTable.h"

namespace {

struct NamedKernel {
  const char* name;
  LaneKernel kernel;
};

std::vector<NamedKernel> availableKernels() {
  std::vector<NamedKernel> kernels{{"portable", portableKernels().lanes}};
  if (renderPathSupported(RenderPath::avx2)) kernels.push_back({"avx2", avx2Kernels().lanes});
  return kernels;
}

std::array<float, 385> ramp(float from, float to) {
  std::array<float, 385> curve{};
  for (std::size_t k = 0; k < curve.size(); ++k) {
    curve[k] = from + (to - from) * static_cast<float>(k) / 384.0f;
  }
  return curve;
}

// Eleven oscillators: a full group of eight and a partial one, with curves, detunes that push a
// few out of the table's range, and phases.
std::vector<Oscillator> makeOscillators() {
  std::vector<Oscillator> oscillators(11);
  for (std::size_t i = 0; i < oscillators.size(); ++i) {
    Oscillator& osc = oscillators[i];
    osc.init(sineTable(), SineTable::kPeriod, static_cast<int32_t>(i) * 3 + 1, 44100.0f);
    osc.setVolume(0.4f + 0.05f * static_cast<float>(i));
    osc.setDetune(i == 4 ? -40.0f : i == 7 ? 300.0f : 0.45f + 0.01f * static_cast<float>(i));
    osc.setPhase(0.1f * static_cast<float>(i));
    const auto amplitude = ramp(1.0f, 0.2f);
    const auto pitch = ramp(0.0f, 0.3f);
    const auto phase = ramp(0.0f, 0.5f);
    osc.loadEnvelopeLayer(EnvelopeBank::amplitude, 0, amplitude.data());
    osc.loadEnvelopeLayer(EnvelopeBank::pitch, static_cast<int32_t>(i % 5), pitch.data());
    osc.loadEnvelopeLayer(EnvelopeBank::phase, 0, phase.data());
    osc.start(220.0f, 0.9f);
  }
  return oscillators;
}

TEST(OscillatorBank, EveryLaneKernelRendersWhatEachOscillatorRendersAlone) {
  constexpr int32_t kBlocks[] = {512, 1, 200, 201, 7, 2000, 333, 64};
  for (const NamedKernel& kernel : availableKernels()) {
    SCOPED_TRACE(kernel.name);
    std::vector<Oscillator> alone = makeOscillators();
    std::vector<Oscillator> banked = makeOscillators();
    // Oscillator 2 skips the first blocks, so its curve steps fall on other samples.
    const auto n = static_cast<int32_t>(alone.size());
    std::vector<std::vector<float>> expected(alone.size(), std::vector<float>(2000));
    std::vector<std::vector<float>> actual(alone.size(), std::vector<float>(2000));
    OscillatorBank bank;
    for (int32_t round = 0; round < 3; ++round) {
      for (int32_t block : kBlocks) {
        std::vector<Oscillator*> list;
        std::vector<float*> buffers;
        for (int32_t i = 0; i < n; ++i) {
          if (i == 2 && round == 0) continue;
          alone[static_cast<std::size_t>(i)].render(expected[static_cast<std::size_t>(i)].data(),
                                                    block);
          list.push_back(&banked[static_cast<std::size_t>(i)]);
          buffers.push_back(actual[static_cast<std::size_t>(i)].data());
        }
        for (Oscillator* oscillator : list) oscillator->applySettings();
        bank.render(list.data(), buffers.data(), static_cast<int32_t>(list.size()), block,
                    kernel.kernel);
        for (int32_t i = 0; i < n; ++i) {
          const auto& e = expected[static_cast<std::size_t>(i)];
          const auto& a = actual[static_cast<std::size_t>(i)];
          ASSERT_EQ(std::memcmp(e.data(), a.data(), sizeof(float) * std::size_t(block)), 0)
              << "oscillator " << i << ", round " << round << ", block " << block;
          ASSERT_EQ(alone[std::size_t(i)].currentPhase(), banked[std::size_t(i)].currentPhase())
              << "oscillator " << i;
          ASSERT_EQ(alone[std::size_t(i)].isActive(), banked[std::size_t(i)].isActive())
              << "oscillator " << i;
        }
      }
      // A phase setting between blocks reaches both the same way.
      alone[5].setPhase(0.9f - 0.2f * static_cast<float>(round));
      banked[5].setPhase(0.9f - 0.2f * static_cast<float>(round));
    }
  }
}

TEST(OscillatorBank, OutOfRangeIncrementsAreRenderedAndLeaveTheOscillatorsInactive) {
  std::vector<Oscillator> oscillators = makeOscillators();
  EXPECT_FALSE(oscillators[4].isActive()) << "detune -40 gives a negative increment";
  EXPECT_FALSE(oscillators[7].isActive()) << "detune 300 gives an increment above the band";
  EXPECT_TRUE(oscillators[0].isActive());
}

TEST(LaneKernels, TheAvx2KernelIsChosenOnlyWhereTheProcessorHasAvx2) {
  const LaneKernel portable = portableKernels().lanes;
  EXPECT_EQ(laneKernelFor(RenderPath::portable), portable);
  const LaneKernel avx2 = laneKernelFor(RenderPath::avx2);
  EXPECT_TRUE(avx2 == portable || avx2 == avx2Kernels().lanes);
  if (!renderPathSupported(RenderPath::avx2)) {
    EXPECT_EQ(avx2, portable);
  }
}

}  // namespace
