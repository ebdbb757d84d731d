// Settings made on another thread while blocks render are never lost: a delay time or an
// oscillator phase set during a block reaches the sound by the next block, and the sound agrees
// with what the parameter reads back. One thread renders without pause while another sets, for
// as long as it takes the setter to finish; nothing here depends on timing to pass.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "EngineSetup.h"
#include "engine/Delay.h"
#include "engine/SynthEngine.h"

namespace {

constexpr int32_t kSettings = 20000;
constexpr int32_t kBlock = 64;

// Runs `render` over and over on a second thread until `set` (run here) has returned; answers
// how many times `render` ran.
template <class Render, class Set>
int64_t renderWhileSetting(Render render, Set set) {
  std::atomic<bool> setterDone{false};
  std::atomic<bool> rendering{false};
  int64_t blocks = 0;
  std::thread renderer([&] {
    rendering = true;
    while (!setterDone.load()) {
      render();
      ++blocks;
    }
  });
  while (!rendering.load()) std::this_thread::yield();
  set();
  setterDone = true;
  renderer.join();
  return blocks;
}

// Where an impulse fed in now comes out again, in samples (or -1 within two seconds).
int32_t echoDistance(Delay& delay) {
  std::vector<float> in(88200 + 1, 0.0f);
  std::vector<float> out(in.size(), 0.0f);
  in[0] = 1.0f;
  for (std::size_t done = 0; done < in.size(); done += 2000) {
    const auto count = int32_t(std::min<std::size_t>(2000, in.size() - done));
    delay.processSamples(in.data() + done, out.data() + done, count);
  }
  for (std::size_t k = 1; k < out.size(); ++k) {
    if (out[k] != 0.0f) return int32_t(k);
  }
  return -1;
}

TEST(ConcurrentSettings, DelayTimeSetDuringBlocksMovesTheEchoToTheLastSetting) {
  Delay delay;
  std::vector<float> silence(kBlock, 0.0f);
  std::vector<float> out(kBlock, 0.0f);
  const int64_t blocks = renderWhileSetting(
      [&] { delay.processSamples(silence.data(), out.data(), kBlock); },
      [&] {
        for (int32_t k = 0; k < kSettings; ++k) delay.setTime(float(k % 97) / 97.0f + 0.004f);
        delay.setTime(0.25f);
      });
  EXPECT_GT(blocks, 0);
  EXPECT_EQ(delay.getTime(), 0.25f);
  EXPECT_EQ(echoDistance(delay), 22050) << "the echo must follow the last time setting";
}

TEST(ConcurrentSettings, PhaseSetDuringBlocksShiftsTheSoundByEveryChange) {
  // Rising settings only: every change shifts the phase forward, so the shifts add up exactly
  // to the last setting's and the design's wrap below zero never comes into play.
  SynthEngine shifted;
  SynthEngine twin;
  for (SynthEngine* engine : {&shifted, &twin}) {
    engine_setup::soloOscillator(*engine, 0);
    engine->setOscillatorPhase(0, 0.5f);
    engine_setup::startNote(*engine, 69);
  }
  std::vector<float> out(kBlock, 0.0f);
  float last = 0.5f;
  const int64_t blocks = renderWhileSetting(
      [&] { shifted.renderHostBlock(out.data(), kBlock, 0, true); },
      [&] {
        for (int32_t k = 1; k <= kSettings; ++k) {
          last = 0.5f + float(k) * 0.01f;
          shifted.setOscillatorPhase(0, last);
        }
      });
  ASSERT_GT(blocks, 0);
  shifted.renderHostBlock(out.data(), kBlock, 0, true);
  // The twin renders as many frames with the last setting made before it started.
  twin.setOscillatorPhase(0, last);
  for (int64_t b = 0; b <= blocks; ++b) twin.renderHostBlock(out.data(), kBlock, 0, true);

  EXPECT_EQ(shifted.getOscillatorPhase(0), last);
  const double apart = std::remainder(double(shifted.oscillator(0).currentPhase()) -
                                          double(twin.oscillator(0).currentPhase()),
                                      1021.0);
  EXPECT_LT(std::fabs(apart), 1.0)
      << "each setting moves the phase by 5.1 table entries; " << apart
      << " entries apart means settings were lost";
}

}  // namespace
