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
  [[nodiscard]] RenderPath renderPath() const noexcept { return kernels_->path; }

  // Note start: every oscillator, in index order. Non-finite arguments are ignored.
  void startAllOscillators(float frequency, float amplitude) noexcept;
  // Loads one layer (0-4) of one bank of one oscillator from 385 points, each squared.
  void loadEnvelopeLayer(int32_t oscillator, EnvelopeBank bank, int32_t layer,
                         const float* curve) noexcept;

  // Retunes everything for the rate (may allocate: the host has suspended the instance). Keeps
  // the previous tuning if memory is short. Ignores non-finite and non-positive rates; rates
  // outside 8000-384000 Hz are tuned for the nearest bound.
  void setSampleRate(float rate);
  [[nodiscard]] float getSampleRate() const noexcept { return sampleRate_; }

  void setMainVolume(float v) noexcept;
  [[nodiscard]] float getMainVolume() const noexcept;
  void setMainDetune(float v) noexcept;
  [[nodiscard]] float getMainDetune() const noexcept { return mainDetune_.load(); }

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
    return oscillators_[static_cast<size_t>(osc)];
  }

  void setDelaySwitch(float v) noexcept { assignFinite(delaySwitch_, v); }
  [[nodiscard]] float getDelaySwitch() const noexcept { return delaySwitch_.load(); }
  void setDelayTime(float v) noexcept { delay_.setTime(v); }
  [[nodiscard]] float getDelayTime() const noexcept { return delay_.getTime(); }
  void setDelayFeedback(float v) noexcept { delay_.setFeedback(v); }
  [[nodiscard]] float getDelayFeedback() const noexcept { return delay_.getFeedback(); }
  void setDelayLevel(float v) noexcept { delay_.setLevel(v); }
  [[nodiscard]] float getDelayLevel() const noexcept { return delay_.getLevel(); }

  void setFlangerSwitch(float v) noexcept { assignFinite(flangerSwitch_, v); }
  [[nodiscard]] float getFlangerSwitch() const noexcept { return flangerSwitch_.load(); }
  void setFlangerCentreDelay(float v) noexcept { flanger_.setCentreDelay(v); }
  [[nodiscard]] float getFlangerCentreDelay() const noexcept { return flanger_.getCentreDelay(); }
  void setFlangerDryLevel(float v) noexcept { flanger_.setDryLevel(v); }
  [[nodiscard]] float getFlangerDryLevel() const noexcept { return flanger_.getDryLevel(); }
  void setFlangerWetLevel(float v) noexcept { flanger_.setWetLevel(v); }
  [[nodiscard]] float getFlangerWetLevel() const noexcept { return flanger_.getWetLevel(); }
  void setFlangerInputGain(float v) noexcept { flanger_.setInputGain(v); }
  [[nodiscard]] float getFlangerInputGain() const noexcept { return flanger_.getInputGain(); }
  void setFlangerSweepDepth(float v) noexcept { flanger_.setSweepDepth(v); }
  [[nodiscard]] float getFlangerSweepDepth() const noexcept { return flanger_.getSweepDepth(); }
  void setFlangerRate(float v) noexcept { flanger_.setRate(v); }
  [[nodiscard]] float getFlangerRate() const noexcept { return flanger_.getRate(); }
  void setFlangerWaveform(float v) noexcept { flanger_.setWaveform(v); }
  [[nodiscard]] float getFlangerWaveform() const noexcept { return flanger_.getWaveform(); }

  void setPhaserSwitch(float v) noexcept { assignFinite(phaserSwitch_, v); }
  [[nodiscard]] float getPhaserSwitch() const noexcept { return phaserSwitch_.load(); }
  void setPhaserDepth(float v) noexcept { phaser_.setDepth(v); }
  [[nodiscard]] float getPhaserDepth() const noexcept { return phaser_.getDepth(); }
  void setPhaserFeedback(float v) noexcept { phaser_.setFeedback(v); }
  [[nodiscard]] float getPhaserFeedback() const noexcept { return phaser_.getFeedback(); }
  void setPhaserMinimum(float v) noexcept { phaser_.setMinimum(v); }
  [[nodiscard]] float getPhaserMinimum() const noexcept { return phaser_.getMinimum(); }
  void setPhaserMaximum(float v) noexcept { phaser_.setMaximum(v); }
  [[nodiscard]] float getPhaserMaximum() const noexcept { return phaser_.getMaximum(); }
  void setPhaserRate(float v) noexcept { phaser_.setRate(v); }
  [[nodiscard]] float getPhaserRate() const noexcept { return phaser_.getRate(); }

  void setReverbSwitch(float v) noexcept { assignFinite(reverbSwitch_, v); }
  [[nodiscard]] float getReverbSwitch() const noexcept { return reverbSwitch_.load(); }
  void setReverbRoomSize(float v) noexcept { reverb_.setRoomSize(v); }
  [[nodiscard]] float getReverbRoomSize() const noexcept { return reverb_.getRoomSize(); }
  void setReverbDamping(float v) noexcept { reverb_.setDamping(v); }
  [[nodiscard]] float getReverbDamping() const noexcept { return reverb_.getDamping(); }
  void setReverbWet(float v) noexcept { reverb_.setWet(v); }
  [[nodiscard]] float getReverbWet() const noexcept { return reverb_.getWet(); }
  void setReverbDry(float v) noexcept { reverb_.setDry(v); }
  [[nodiscard]] float getReverbDry() const noexcept { return reverb_.getDry(); }
  void setReverbWidth(float v) noexcept { reverb_.setWidth(v); }
  [[nodiscard]] float getReverbWidth() const noexcept { return reverb_.getWidth(); }

 private:
  // The nine mixing arrays, in the designed order.
  enum Bus : int32_t {
    reverbSend, reverbReturn, phaserSend, phaserReturn, delaySend, delayReturn,
    flangerSend, flangerReturn, dry, busCount
  };

  [[nodiscard]] static bool validOscillator(int32_t osc) noexcept {
    return osc >= 0 && osc < kOscillatorCount;
  }
  [[nodiscard]] bool sounding(int32_t osc) const noexcept;
  [[nodiscard]] float* bus(Bus which) noexcept { return buses_.data() + which * kBlockLimit; }
  [[nodiscard]] float* oscillatorBuffer(int32_t osc) noexcept {
    return oscillatorBuffers_.data() + osc * kBlockLimit;
  }
  [[nodiscard]] static Bus busForRouting(float routingValue) noexcept;
  // Setter side, after an oscillator's volume, tuning or note changed.
  void noteOscillatorSettings() noexcept {
    storeShared(oscillatorSettings_, loadShared(oscillatorSettings_) + 1);
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

  Delay delay_;
  Phaser phaser_;
  Flanger flanger_;
  Reverb reverb_;
  std::vector<Oscillator> oscillators_;
  // Oscillator settings made (setter side) and taken up by the oscillators (render side).
  uint32_t oscillatorSettings_ = 1;
  uint32_t appliedSettings_ = 0;
  // Settings: written by the setters (any thread), read by the render.
  std::array<SharedValue<float>, kOscillatorCount> oscillatorSwitches_{};
  SharedValue<float> delaySwitch_ = 0.0f;
  SharedValue<float> flangerSwitch_ = 0.0f;
  SharedValue<float> phaserSwitch_ = 0.0f;
  SharedValue<float> reverbSwitch_ = 0.0f;
  SharedValue<float> mainDetune_ = 0.5f;
  SharedValue<float> mainVolume_ = 0.0f;
  std::vector<float> oscillatorBuffers_;
  std::vector<float> buses_;
  float sampleRate_ = 44100.0f;
  std::array<SharedValue<float>, kOscillatorCount> routing_{};
  // The bus each routing value selects, kept by the setter for the mixing.
  std::array<SharedValue<Bus>, kOscillatorCount> routingBus_ = [] {
    std::array<SharedValue<Bus>, kOscillatorCount> targets{};
    for (SharedValue<Bus>& target : targets) target.store(dry);
    return targets;
  }();
  const RenderKernels* kernels_ = &renderKernels(fastestRenderPath());
  OscillatorBank oscillatorBank_;
  // In the designed order: reverb, delay, phaser, flanger.
  const std::array<EffectSlot, kEffectCount> effects_ = {
      EffectSlot{&reverb_, &reverbSwitch_, reverbSend, reverbReturn},
      EffectSlot{&delay_, &delaySwitch_, delaySend, delayReturn},
      EffectSlot{&phaser_, &phaserSwitch_, phaserSend, phaserReturn},
      EffectSlot{&flanger_, &flangerSwitch_, flangerSend, flangerReturn}};
};
