// The shape the four effects share: on every render path the block form gives the per-sample
// form's samples bit for bit (flanger with both LFOs), at 44.1 kHz and at a prepared rate, in
// blocks of any length; and a reset effect sounds exactly like a fresh one.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/BusEffect.h"
#include "engine/Delay.h"
#include "engine/Flanger.h"
#include "engine/Phaser.h"
#include "engine/RenderKernels.h"
#include "engine/RenderPath.h"
#include "engine/Reverb.h"

namespace {

struct EffectCase {
  std::string name;
  std::function<std::unique_ptr<BusEffect>()> make;
};

template <class Effect, class Setup>
EffectCase effectCase(const char* name, Setup setup) {
  return {name, [setup] {
            auto effect = std::make_unique<Effect>();
            setup(*effect);
            return std::unique_ptr<BusEffect>(std::move(effect));
          }};
}

std::vector<EffectCase> effectCases() {
  return {
      effectCase<Delay>("delay",
                        [](Delay& d) {
                          d.setTime(0.01f);
                          d.setFeedback(0.6f);
                          d.setLevel(0.8f);
                        }),
      effectCase<Phaser>("phaser",
                         [](Phaser& p) {
                           p.setRate(3.0f);
                           p.setFeedback(0.8f);
                           p.setMinimum(0.1f);
                           p.setMaximum(1.0f);
                         }),
      effectCase<Flanger>("flanger with the sine LFO",
                          [](Flanger& f) {
                            f.setRate(0.9f);
                            f.setSweepDepth(0.8f);
                            f.setWetLevel(0.7f);
                          }),
      effectCase<Flanger>("flanger with the triangle LFO",
                          [](Flanger& f) {
                            f.setWaveform(1.0f);
                            f.setRate(0.9f);
                          }),
      effectCase<Reverb>("reverb",
                         [](Reverb& r) {
                           r.setRoomSize(0.9f);
                           r.setDry(0.3f);
                         }),
  };
}

// Two seconds of a decaying chord with a click, so every line fills and the tails carry.
std::vector<float> testSignal(float rate) {
  std::vector<float> signal(static_cast<std::size_t>(2.0f * rate));
  for (std::size_t k = 0; k < signal.size(); ++k) {
    const double t = static_cast<double>(k) / static_cast<double>(rate);
    signal[k] =
        static_cast<float>(std::exp(-2.0 * t) * (0.4 * std::sin(6.283185307179586 * 220.0 * t) +
                                                 0.3 * std::sin(6.283185307179586 * 1375.0 * t))) +
        (k == 100 ? 1.0f : 0.0f);
  }
  return signal;
}

constexpr int32_t kBlocks[] = {512, 1, 7, 2000, 64, 333, 4, 1999};

// The signal through the effect in blocks of the sizes above, in place (in and out the same).
template <class Process>
std::vector<float> run(const std::vector<float>& signal, Process process) {
  std::vector<float> out = signal;
  std::size_t done = 0;
  for (std::size_t n = 0; done < out.size(); ++n) {
    const auto block = std::min<std::size_t>(
        static_cast<std::size_t>(kBlocks[n % std::size(kBlocks)]), out.size() - done);
    process(out.data() + done, static_cast<int32_t>(block));
    done += block;
  }
  return out;
}

void prepareFor(BusEffect& effect, float rate) {
  effect.prepare(rate,
                 std::vector<float>(static_cast<std::size_t>(effect.storageLength(rate)), 0.0f));
}

void expectSameSamples(const std::vector<float>& expected, const std::vector<float>& actual,
                       const std::string& what) {
  ASSERT_EQ(expected.size(), actual.size()) << what;
  for (std::size_t k = 0; k < expected.size(); ++k) {
    if (std::memcmp(&expected[k], &actual[k], sizeof(float)) != 0) {
      ADD_FAILURE() << what << ": sample " << k << " expected " << expected[k] << ", got "
                    << actual[k];
      return;
    }
  }
}

TEST(BusEffects, BlockFormGivesThePerSampleFormsSamplesOnEveryPath) {
  for (const EffectCase& c : effectCases()) {
    for (float rate : {44100.0f, 96000.0f}) {
      const std::vector<float> signal = testSignal(rate);
      auto plain = c.make();
      prepareFor(*plain, rate);
      const std::vector<float> expected =
          run(signal, [&](float* x, int32_t n) { plain->processSamples(x, x, n); });
      for (RenderPath path : kRenderPaths) {
        if (!renderPathSupported(path)) continue;
        const RenderKernels& kernels = renderKernels(path);
        auto blocked = c.make();
        prepareFor(*blocked, rate);
        const std::vector<float> actual =
            run(signal, [&](float* x, int32_t n) { blocked->processBlock(x, x, n, kernels); });
        expectSameSamples(expected, actual,
                          c.name + " at " + std::to_string(static_cast<int>(rate)) + " Hz, path " +
                              renderPathName(path));
      }
    }
  }
}

TEST(BusEffects, AResetEffectSoundsLikeAFreshOne) {
  const std::vector<float> signal = testSignal(44100.0f);
  const auto process = [](BusEffect& effect) {
    return [&effect](float* x, int32_t n) { effect.processSamples(x, x, n); };
  };
  for (const EffectCase& c : effectCases()) {
    auto fresh = c.make();
    const std::vector<float> expected = run(signal, process(*fresh));
    auto kept = c.make();
    auto reset = c.make();
    for (BusEffect* effect : {kept.get(), reset.get()}) (void)run(signal, process(*effect));
    reset->reset();
    EXPECT_NE(run(signal, process(*kept)), expected) << c.name << ": no state was left to clear";
    expectSameSamples(expected, run(signal, process(*reset)), c.name + " after reset");
  }
}

}  // namespace
