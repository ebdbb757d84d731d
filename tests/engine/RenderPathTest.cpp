// Every render path gives the reference path's samples, bit for bit, at 44.1 kHz (and at other
// rates): the full patch, a patch under a stream of setting changes, envelope loads, note
// restarts and hostile values, and the synth core with program changes and MIDI. Each path the
// processor supports is run; the others are reported as skipped.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/Interpolation.h"
#include "engine/LaneKernels.h"
#include "engine/RenderPath.h"
#include "engine/SineTable.h"
#include "engine/SynthEngine.h"
#include "tests/support/ChangeStream.h"
#include "tests/support/FullPatch.h"

namespace {

constexpr int32_t kBlockCycle[] = {512, 1, 37, 2000, 4096, 64, 333, 7, 1500};

// The first frame where two renders differ, or -1.
int64_t firstDifference(const std::vector<float>& expected, const std::vector<float>& actual) {
  if (expected.size() != actual.size()) return 0;
  for (std::size_t k = 0; k < expected.size(); ++k) {
    if (std::memcmp(&expected[k], &actual[k], sizeof(float)) != 0) return static_cast<int64_t>(k);
  }
  return -1;
}

void expectSameSamples(const std::vector<float>& expected, const std::vector<float>& actual,
                       RenderPath path, const std::string& what) {
  const int64_t at = firstDifference(expected, actual);
  if (at < 0) return;
  ADD_FAILURE() << what << ", path " << renderPathName(path) << ": frame " << at
                << " differs: reference " << expected[static_cast<std::size_t>(at)] << ", got "
                << actual[static_cast<std::size_t>(at)];
}

// Runs `body` for each fast path this processor has.
template <class Body>
void forEachFastPath(Body body) {
  int32_t run = 0;
  for (RenderPath path : kFastRenderPaths) {
    if (!renderPathSupported(path)) {
      std::printf("[   INFO   ] path %s not supported here\n", renderPathName(path));
      continue;
    }
    SCOPED_TRACE(renderPathName(path));
    body(path);
    ++run;
  }
  EXPECT_GE(run, 1) << "the portable path runs everywhere";
}

std::vector<float> renderFullPatch(RenderPath path, float rate, int64_t frames) {
  SynthEngine engine;
  EXPECT_TRUE(engine.setRenderPath(path));
  engine.setSampleRate(rate);
  full_patch::apply(engine);
  full_patch::Player player(engine);
  std::vector<float> out(static_cast<std::size_t>(frames), 0.0f);
  int64_t done = 0;
  for (std::size_t n = 0; done < frames; ++n) {
    const auto block = static_cast<int32_t>(
        std::min<int64_t>(kBlockCycle[n % std::size(kBlockCycle)], frames - done));
    player.render(out.data() + done, block);
    done += block;
  }
  return out;
}

TEST(RenderPaths, InterpolationRowsGiveTheFourPointInterpolationExactly) {
  const float* table = sineTable().data();
  const InterpolationRow* rows = sineInterpolationRows();
  int64_t mismatches = 0;
  for (int32_t k = 0; k < SineTable::kPeriod; ++k) {
    const InterpolationRow& row = rows[k];
    for (int32_t step = 0; step < 256; ++step) {
      const float f =
          static_cast<float>(step) / 256.0f + 0.0009765625f * static_cast<float>(step % 3);
      const float expected =
          interpolateFourPoint(table[k], table[k + 1], table[k + 2], table[k + 3], f);
      const float actual = row.c0 + f * (row.c1 + f * (row.c2 + f * row.c3));
      if (std::memcmp(&expected, &actual, sizeof(float)) != 0 && ++mismatches <= 3) {
        ADD_FAILURE() << "entry " << k << " fraction " << f << ": expected " << expected << ", got "
                      << actual;
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(RenderPaths, EveryPathRendersTheFullPatchLikeTheReferenceAt44100) {
  constexpr int64_t kFrames = 3 * 44100 + 777;  // a note restart included
  const std::vector<float> reference = renderFullPatch(RenderPath::reference, 44100.0f, kFrames);
  float peak = 0.0f;
  for (float sample : reference) peak = std::max(peak, std::fabs(sample));
  ASSERT_GT(peak, 0.01f) << "the full patch must be heard";
  forEachFastPath([&](RenderPath path) {
    expectSameSamples(reference, renderFullPatch(path, 44100.0f, kFrames), path,
                      "full patch at 44100 Hz");
  });
}

TEST(RenderPaths, EveryPathRendersTheFullPatchLikeTheReferenceAtOtherRates) {
  for (float rate : {22050.0f, 48000.0f, 96000.0f}) {
    const auto frames = static_cast<int64_t>(rate);
    const std::vector<float> reference = renderFullPatch(RenderPath::reference, rate, frames);
    forEachFastPath([&](RenderPath path) {
      expectSameSamples(reference, renderFullPatch(path, rate, frames), path,
                        "full patch at " + std::to_string(static_cast<int>(rate)) + " Hz");
    });
  }
}

using change_stream::Stream;

// One random change: settings (sometimes outside 0-1), switches, routings, envelope loads and
// note starts, including notes whose upper harmonics leave the audible band.
void randomChange(SynthEngine& engine, Stream& stream) {
  static constexpr float kRoutings[] = {0.0f, 0.25f, 0.5f, 0.75f, 1.0f, 0.3f};
  const int32_t osc = stream.below(SynthEngine::kOscillatorCount);
  const float v = stream.below(10) == 0 ? stream.unit() * 6.0f - 3.0f : stream.unit();
  switch (stream.below(14)) {
    case 0: engine.setOscillatorPhase(osc, v); break;
    case 1: engine.setOscillatorDetune(osc, v); break;
    case 2: engine.setOscillatorVolume(osc, v); break;
    case 3: engine.setRouting(osc, kRoutings[stream.below(6)]); break;
    case 4: engine.setOscillatorSwitch(osc, stream.unit()); break;
    case 5: engine.setMainDetune(0.4f + 0.2f * stream.unit()); break;
    case 6: engine.setDelayTime(v); break;
    case 7: engine.setFlangerWaveform(stream.unit()); break;
    case 8:
      engine.setFlangerRate(v);
      engine.setPhaserRate(v);
      break;
    case 9:
      engine.setPhaserMinimum(v);
      engine.setPhaserFeedback(stream.unit());
      break;
    case 10:
      engine.setReverbRoomSize(stream.unit());
      engine.setReverbDamping(v);
      break;
    case 11: {
      const auto curve = full_patch::shapedCurve(stream.unit(), stream.unit(), 0.2f, 3.0f);
      engine.loadEnvelopeLayer(osc, static_cast<EnvelopeBank>(stream.below(3)), stream.below(5),
                               curve.data());
      break;
    }
    case 12:
      engine.startAllOscillators(noteFrequency(20 + stream.below(100)), stream.unit());
      break;
    default: {
      const float one = stream.unit();
      engine.setDelaySwitch(one);
      engine.setFlangerSwitch(stream.unit());
      engine.setPhaserSwitch(stream.unit());
      engine.setReverbSwitch(stream.unit());
      break;
    }
  }
}

std::vector<float> renderChanging(RenderPath path, uint32_t seed, int64_t frames) {
  SynthEngine engine;
  EXPECT_TRUE(engine.setRenderPath(path));
  full_patch::apply(engine);
  engine.startAllOscillators(noteFrequency(full_patch::kNote), 0.8f);
  Stream stream(seed);
  std::vector<float> out(static_cast<std::size_t>(frames), 0.0f);
  for (int64_t done = 0; done < frames;) {
    for (int32_t n = stream.below(4); n > 0; --n) randomChange(engine, stream);
    const auto block =
        static_cast<int32_t>(std::min<int64_t>(1 + stream.below(2500), frames - done));
    engine.renderHostBlock(out.data() + done, block, stream.below(3) == 0 ? stream.below(64) : 0,
                           true);
    done += block;
  }
  return out;
}

TEST(RenderPaths, EveryPathFollowsChangesBetweenBlocksLikeTheReference) {
  constexpr int64_t kFrames = 4 * 44100;
  for (uint32_t seed : {1u, 2u, 3u}) {
    const std::vector<float> reference = renderChanging(RenderPath::reference, seed, kFrames);
    forEachFastPath([&](RenderPath path) {
      expectSameSamples(reference, renderChanging(path, seed, kFrames), path,
                        "changing patch, seed " + std::to_string(seed));
    });
  }
}

TEST(RenderPaths, UnsupportedPathIsRefusedAndTheCurrentOneKept) {
  SynthEngine engine;
  EXPECT_TRUE(engine.setRenderPath(RenderPath::reference));
  EXPECT_EQ(engine.renderPath(), RenderPath::reference);
  for (RenderPath path : kFastRenderPaths) {
    if (renderPathSupported(path)) continue;
    EXPECT_FALSE(engine.setRenderPath(path)) << renderPathName(path);
    EXPECT_EQ(engine.renderPath(), RenderPath::reference);
  }
  EXPECT_FALSE(engine.setRenderPath(RenderPath(99)));
  EXPECT_EQ(engine.renderPath(), RenderPath::reference);
}

TEST(RenderPaths, NewEnginesUseTheFastestSupportedPath) {
  SynthEngine engine;
  EXPECT_EQ(engine.renderPath(), fastestRenderPath());
  EXPECT_NE(fastestRenderPath(), RenderPath::reference);
  EXPECT_TRUE(renderPathSupported(fastestRenderPath()));
}

}  // namespace
