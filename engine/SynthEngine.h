// The sound engine: 32 oscillators (harmonics 1-32 of the note), each added onto one of five
// buses by its routing value (0 dry, 0.25 flanger, 0.5 delay, 0.75 phaser, 1 reverb, anything
// else unheard); the four effects turn their send buses into return buses; the dry bus and the
// returns, times the square of the main volume, form the mono output. Everything is allocated at
// construction or in setSampleRate; the render path never allocates, locks or calls the system.
//
// Settings take the host's raw value and apply the designed transform; getters return the
// designed read-back value. Non-finite values and bad indexes are ignored (getters answer 0 for a
// bad index). Before the synth core pushes its first program the oscillator and effect switches
// are off, the main volume is 0 and the main detune 0.5.
//
// The render path (RenderPath.h) says how a block is computed: the fastest the processor offers
// unless chosen otherwise; every path gives the same samples. Its kernels (RenderKernels.h) are
// looked up once, when the path is set.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/Delay.h"
#include "engine/EnvelopeLayer.h"
#include "engine/Flanger.h"
#include "engine/FloatGuards.h"
#include "engine/NoteTable.h"
#include "engine/Oscillator.h"
#include "engine/OscillatorBank.h"
#include "engine/Phaser.h"
#include "engine/RenderKernels.h"
#include "engine/RenderPath.h"
#include "engine/Reverb.h"
#include "engine/SharedField.h"
#include "engine/SineTable.h"

class SynthEngine {
 public:
  static constexpr int32_t kOscillatorCount = 32;
  static constexpr int32_t kBlockLimit = 2000;

  SynthEngine();
  SynthEngine(const SynthEngine&) = delete;
  SynthEngine& operator=(const SynthEngine&) = delete;

  // The designed block render of at most kBlockLimit frames. An offset in 0..count-1 skips that
  // many output frames (they are not written); any other offset renders from frame 0. A null
  // output or count ≤ 0 does nothing; frames beyond kBlockLimit are not written.
  void renderBlock(float* out, int32_t count, int32_t offset) noexcept;
  // Host-facing: any length, rendered from the offset on in pieces of at most kBlockLimit frames.
  // An offset outside 0..frames-1 counts as 0. replacing=true writes 0 to the frames before the
  // offset (processReplacing); replacing=false leaves them untouched (process).
  void renderHostBlock(float* out, int32_t frames, int32_t offset, bool replacing) noexcept;
  // The audio entry points' whole job: with the gate set, renderHostBlock; with the gate clear,
  // zeros over the block when replacing, the block untouched otherwise.
  void processHostBlock(float* out, int32_t frames, bool gate, int32_t offset,
                        bool replacing) noexcept;

  // Chooses how blocks are computed; false (and no change) for a path this processor lacks.
  // Call it between blocks.
  bool setRenderPath(RenderPath path) noexcept;
  [[nodiscard]] RenderPath renderPath() const noexcept { return kernels->path; }

  // Note start: every oscillator, in index order. Non-finite arguments are ignored.
  void startAllOscillators(float frequency, float amplitude) noexcept;
  // Loads one layer (0-4) of one bank of one oscillator from 385 points, each squared.
  void loadEnvelopeLayer(int32_t oscillator, EnvelopeBank bank, int32_t layer,
                         const float* curve) noexcept;

  // Retunes everything for the rate (may allocate: the host has suspended the instance). Keeps
  // the previous tuning if memory is short. Ignores non-finite and non-positive rates; rates
  // outside 8000-384000 Hz are tuned for the nearest bound.
  void setSampleRate(float rate);
  [[nodiscard]] float getSampleRate() const noexcept { return sampleRate; }

  void setMainVolume(float v) noexcept;
  [[nodiscard]] float getMainVolume() const noexcept;
  void setMainDetune(float v) noexcept;
  [[nodiscard]] float getMainDetune() const noexcept { return mainDetune.load(); }

  void setRouting(int32_t osc, float v) noexcept;
  [[nodiscard]] float getRouting(int32_t osc) const noexcept;
  void setOscillatorSwitch(int32_t osc, float v) noexcept;
  [[nodiscard]] float getOscillatorSwitch(int32_t osc) const noexcept;
  void setOscillatorVolume(int32_t osc, float v) noexcept;
  [[nodiscard]] float getOscillatorVolume(int32_t osc) const noexcept;
  void setOscillatorPhase(int32_t osc, float v) noexcept;
  [[nodiscard]] float getOscillatorPhase(int32_t osc) const noexcept;
  void setOscillatorDetune(int32_t osc, float v) noexcept;
  [[nodiscard]] float getOscillatorDetune(int32_t osc) const noexcept;
  [[nodiscard]] bool isOscillatorActive(int32_t osc) const noexcept;
  // Read-only view of an oscillator (0-31) for tests and tools.
  [[nodiscard]] const Oscillator& oscillator(int32_t osc) const noexcept {
    return oscillators[static_cast<size_t>(osc)];
  }

  void setDelaySwitch(float v) noexcept { assignFinite(delaySwitch, v); }
  [[nodiscard]] float getDelaySwitch() const noexcept { return delaySwitch.load(); }
  void setDelayTime(float v) noexcept { delay.setTime(v); }
  [[nodiscard]] float getDelayTime() const noexcept { return delay.getTime(); }
  void setDelayFeedback(float v) noexcept { delay.setFeedback(v); }
  [[nodiscard]] float getDelayFeedback() const noexcept { return delay.getFeedback(); }
  void setDelayLevel(float v) noexcept { delay.setLevel(v); }
  [[nodiscard]] float getDelayLevel() const noexcept { return delay.getLevel(); }

  void setFlangerSwitch(float v) noexcept { assignFinite(flangerSwitch, v); }
  [[nodiscard]] float getFlangerSwitch() const noexcept { return flangerSwitch.load(); }
  void setFlangerCentreDelay(float v) noexcept { flanger.setCentreDelay(v); }
  [[nodiscard]] float getFlangerCentreDelay() const noexcept { return flanger.getCentreDelay(); }
  void setFlangerDryLevel(float v) noexcept { flanger.setDryLevel(v); }
  [[nodiscard]] float getFlangerDryLevel() const noexcept { return flanger.getDryLevel(); }
  void setFlangerWetLevel(float v) noexcept { flanger.setWetLevel(v); }
  [[nodiscard]] float getFlangerWetLevel() const noexcept { return flanger.getWetLevel(); }
  void setFlangerInputGain(float v) noexcept { flanger.setInputGain(v); }
  [[nodiscard]] float getFlangerInputGain() const noexcept { return flanger.getInputGain(); }
  void setFlangerSweepDepth(float v) noexcept { flanger.setSweepDepth(v); }
  [[nodiscard]] float getFlangerSweepDepth() const noexcept { return flanger.getSweepDepth(); }
  void setFlangerRate(float v) noexcept { flanger.setRate(v); }
  [[nodiscard]] float getFlangerRate() const noexcept { return flanger.getRate(); }
  void setFlangerWaveform(float v) noexcept { flanger.setWaveform(v); }
  [[nodiscard]] float getFlangerWaveform() const noexcept { return flanger.getWaveform(); }

  void setPhaserSwitch(float v) noexcept { assignFinite(phaserSwitch, v); }
  [[nodiscard]] float getPhaserSwitch() const noexcept { return phaserSwitch.load(); }
  void setPhaserDepth(float v) noexcept { phaser.setDepth(v); }
  [[nodiscard]] float getPhaserDepth() const noexcept { return phaser.getDepth(); }
  void setPhaserFeedback(float v) noexcept { phaser.setFeedback(v); }
  [[nodiscard]] float getPhaserFeedback() const noexcept { return phaser.getFeedback(); }
  void setPhaserMinimum(float v) noexcept { phaser.setMinimum(v); }
  [[nodiscard]] float getPhaserMinimum() const noexcept { return phaser.getMinimum(); }
  void setPhaserMaximum(float v) noexcept { phaser.setMaximum(v); }
  [[nodiscard]] float getPhaserMaximum() const noexcept { return phaser.getMaximum(); }
  void setPhaserRate(float v) noexcept { phaser.setRate(v); }
  [[nodiscard]] float getPhaserRate() const noexcept { return phaser.getRate(); }

  void setReverbSwitch(float v) noexcept { assignFinite(reverbSwitch, v); }
  [[nodiscard]] float getReverbSwitch() const noexcept { return reverbSwitch.load(); }
  void setReverbRoomSize(float v) noexcept { reverb.setRoomSize(v); }
  [[nodiscard]] float getReverbRoomSize() const noexcept { return reverb.getRoomSize(); }
  void setReverbDamping(float v) noexcept { reverb.setDamping(v); }
  [[nodiscard]] float getReverbDamping() const noexcept { return reverb.getDamping(); }
  void setReverbWet(float v) noexcept { reverb.setWet(v); }
  [[nodiscard]] float getReverbWet() const noexcept { return reverb.getWet(); }
  void setReverbDry(float v) noexcept { reverb.setDry(v); }
  [[nodiscard]] float getReverbDry() const noexcept { return reverb.getDry(); }
  void setReverbWidth(float v) noexcept { reverb.setWidth(v); }
  [[nodiscard]] float getReverbWidth() const noexcept { return reverb.getWidth(); }

 private:
  // The nine mixing arrays, in the designed order.
  enum Bus : int32_t {
    reverbSend,
    reverbReturn,
    phaserSend,
    phaserReturn,
    delaySend,
    delayReturn,
    flangerSend,
    flangerReturn,
    dry,
    busCount
  };

  [[nodiscard]] static bool validOscillator(int32_t osc) noexcept {
    return osc >= 0 && osc < kOscillatorCount;
  }
  [[nodiscard]] bool sounding(int32_t osc) const noexcept;
  [[nodiscard]] float* bus(Bus which) noexcept { return buses.data() + which * kBlockLimit; }
  [[nodiscard]] float* oscillatorBuffer(int32_t osc) noexcept {
    return oscillatorBuffers.data() + osc * kBlockLimit;
  }
  [[nodiscard]] static Bus busForRouting(float routingValue) noexcept;
  // Setter side, after an oscillator's volume, tuning or note changed.
  void noteOscillatorSettings() noexcept {
    storeShared(oscillatorSettings, loadShared(oscillatorSettings) + 1);
  }
  void renderAndMixOscillators(int32_t count) noexcept;
  void runEffects(int32_t count) noexcept;
  void writeOutput(float* out, int32_t count) noexcept;

  // An effect between its send and return bus, on while its switch is above 0.5.
  static constexpr std::size_t kEffectCount = 4;
  struct EffectSlot {
    BusEffect* effect;
    const SharedValue<float>* switchValue;
    Bus send;
    Bus ret;
  };

  Delay delay;
  Phaser phaser;
  Flanger flanger;
  Reverb reverb;
  std::vector<Oscillator> oscillators;
  // Oscillator settings made (setter side) and taken up by the oscillators (render side).
  uint32_t oscillatorSettings = 1;
  uint32_t appliedSettings = 0;
  // Settings: written by the setters (any thread), read by the render.
  std::array<SharedValue<float>, kOscillatorCount> oscillatorSwitches{};
  SharedValue<float> delaySwitch = 0.0f;
  SharedValue<float> flangerSwitch = 0.0f;
  SharedValue<float> phaserSwitch = 0.0f;
  SharedValue<float> reverbSwitch = 0.0f;
  SharedValue<float> mainDetune = 0.5f;
  SharedValue<float> mainVolume = 0.0f;
  std::vector<float> oscillatorBuffers;
  std::vector<float> buses;
  float sampleRate = 44100.0f;
  std::array<SharedValue<float>, kOscillatorCount> routing{};
  // The bus each routing value selects, kept by the setter for the mixing.
  std::array<SharedValue<Bus>, kOscillatorCount> routingBus = [] {
    std::array<SharedValue<Bus>, kOscillatorCount> targets{};
    for (SharedValue<Bus>& target : targets) target.store(dry);
    return targets;
  }();
  const RenderKernels* kernels = &renderKernels(fastestRenderPath());
  OscillatorBank oscillatorBank;
  // In the designed order: reverb, delay, phaser, flanger.
  const std::array<EffectSlot, kEffectCount> effects = {
      EffectSlot{&reverb, &reverbSwitch, reverbSend, reverbReturn},
      EffectSlot{&delay, &delaySwitch, delaySend, delayReturn},
      EffectSlot{&phaser, &phaserSwitch, phaserSend, phaserReturn},
      EffectSlot{&flanger, &flangerSwitch, flangerSend, flangerReturn}};
};
