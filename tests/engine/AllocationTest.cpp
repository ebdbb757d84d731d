// Rendering never allocates: this binary links the allocation counter (it replaces the global
// allocator), then renders thousands of host blocks of odd sizes with note starts, parameter
// changes, envelope loads and gate changes in between.
#include <gtest/gtest.h>

#include <vector>

#include "EngineSetup.h"
#include "engine/SynthEngine.h"
#include "tests/support/AllocationCounter.h"

namespace {

// One parameter change per block, walking through every setting.
void changeSomething(SynthEngine& engine, int32_t step) {
  const float v = static_cast<float>(step % 11) / 10.0f;
  const int32_t osc = step % SynthEngine::kOscillatorCount;
  switch (step % 12) {
    case 0: engine.setOscillatorVolume(osc, v); break;
    case 1: engine.setOscillatorPhase(osc, v); break;
    case 2: engine.setOscillatorDetune(osc, 0.4f + v * 0.2f); break;
    case 3: engine.setRouting(osc, static_cast<float>(step % 5) * 0.25f); break;
    case 4: engine.setMainDetune(0.45f + v * 0.1f); break;
    case 5: engine.setDelayTime(v); break;
    case 6:
      engine.setFlangerCentreDelay(v);
      engine.setFlangerWaveform(v);
      break;
    case 7:
      engine.setFlangerRate(v);
      engine.setPhaserRate(v);
      break;
    case 8:
      engine.setPhaserMinimum(v);
      engine.setPhaserMaximum(1.0f - v);
      break;
    case 9:
      engine.setReverbRoomSize(v);
      engine.setReverbDamping(v);
      break;
    case 10:
      engine.setReverbWet(v);
      engine.setReverbWidth(v);
      break;
    default: engine.setMainVolume(0.5f + v * 0.5f); break;
  }
}

TEST(Allocation, RenderingThousandsOfBlocksNeverAllocates) {
  SynthEngine engine;
  engine_setup::richPatch(engine);
  const auto ramp = engine_setup::constantCurve(0.7f);
  constexpr int32_t kSizes[] = {16, 64, 256, 777, 2049, 1, 4100};
  std::vector<float> out(4100, 0.0f);
  long renderedFrames = 0;

  allocation_counter::start();
  for (int32_t block = 0; block < 2000; ++block) {
    if (block % 40 == 0) engine.startAllOscillators(noteFrequency(36 + block % 48), 0.8f);
    if (block % 97 == 0) {
      engine.loadEnvelopeLayer(block % 32, static_cast<EnvelopeBank>(block % 3), block % 5,
                               ramp.data());
    }
    changeSomething(engine, block);
    const int32_t frames = kSizes[block % 7];
    const bool gate = block % 13 != 0;
    engine.processHostBlock(out.data(), frames, gate, block % 3 == 0 ? 10 : 0, block % 2 == 0);
    renderedFrames += frames;
  }
  const allocation_counter::Tally tally = allocation_counter::stop();

  EXPECT_EQ(tally.blocks, 0u) << "allocations while rendering " << renderedFrames << " frames";
  EXPECT_GT(renderedFrames, 2'000'000) << "fewer frames than planned";
}

TEST(Allocation, TheCounterSeesAllocations) {
  allocation_counter::start();
  const std::vector<float> probe(100, 1.0f);
  const allocation_counter::Tally tally = allocation_counter::stop();
  EXPECT_EQ(probe.back(), 1.0f);
  EXPECT_EQ(tally.blocks, 1u) << "the replaced allocator is not in use";
  EXPECT_EQ(tally.bytes, 100 * sizeof(float));
}

}  // namespace
