// Realtime factor of a rich patch: all 32 oscillators on with non-zero volumes, routed across
// all five buses, all four effects on. Renders a number of seconds in host blocks and prints how
// many times faster than realtime that was.
//
//   engine_rtf [seconds=30] [block frames=512] [sample rate=44100]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "engine/SynthEngine.h"

namespace {

void richPatch(SynthEngine& engine) {
  constexpr float kRoutings[] = {0.0f, 0.25f, 0.5f, 0.75f, 1.0f};
  std::vector<float> ones(385, 1.0f);
  std::vector<float> gentle(385, 0.1f);
  engine.setMainVolume(0.9f);
  engine.setMainDetune(0.5f);
  for (int32_t i = 0; i < SynthEngine::kOscillatorCount; ++i) {
    engine.setOscillatorSwitch(i, 1.0f);
    engine.setOscillatorVolume(i, 1.0f / float(i + 1));
    engine.setOscillatorDetune(i, 0.5f);
    engine.setOscillatorPhase(i, 0.5f);
    engine.setRouting(i, kRoutings[i % 5]);
    engine.loadEnvelopeLayer(i, EnvelopeBank::amplitude, 0, ones.data());
    engine.loadEnvelopeLayer(i, EnvelopeBank::amplitude, 1, ones.data());
    engine.loadEnvelopeLayer(i, EnvelopeBank::pitch, 1, gentle.data());
    engine.loadEnvelopeLayer(i, EnvelopeBank::phase, 2, gentle.data());
  }
  for (auto set : {&SynthEngine::setDelaySwitch, &SynthEngine::setFlangerSwitch,
                   &SynthEngine::setPhaserSwitch, &SynthEngine::setReverbSwitch}) {
    (engine.*set)(1.0f);
  }
  engine.setDelayTime(0.5f);
  engine.setDelayFeedback(0.3f);
  engine.setDelayLevel(0.5f);
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 30.0;
  const int32_t block = argc > 2 ? std::atoi(argv[2]) : 512;
  const float rate = argc > 3 ? float(std::atof(argv[3])) : 44100.0f;
  if (seconds <= 0.0 || block <= 0 || !(rate > 0.0f)) {
    std::fprintf(stderr, "usage: engine_rtf [seconds>0] [block frames>0] [sample rate>0]\n");
    return 2;
  }
  SynthEngine engine;
  engine.setSampleRate(rate);
  richPatch(engine);
  engine.startAllOscillators(noteFrequency(45), 0.9f);  // 110 Hz: all 32 harmonics audible

  std::vector<float> out(std::size_t(block), 0.0f);
  const long frames = long(seconds * double(rate));
  double checksum = 0.0;
  const auto start = std::chrono::steady_clock::now();
  for (long done = 0; done < frames; done += block) {
    engine.renderHostBlock(out.data(), block, 0, true);
    checksum += double(out[0]);
  }
  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  int32_t active = 0;
  for (int32_t i = 0; i < SynthEngine::kOscillatorCount; ++i) {
    active += engine.isOscillatorActive(i) ? 1 : 0;
  }
  std::printf("rendered %.1f s of audio at %.0f Hz in %d-frame blocks in %.3f s\n", seconds,
              double(rate), block, elapsed);
  std::printf("realtime factor %.1fx (%.2f%% of one core), %d of 32 oscillators active "
              "(checksum %g)\n",
              seconds / elapsed, 100.0 * elapsed / seconds, active, checksum);
  return 0;
}
