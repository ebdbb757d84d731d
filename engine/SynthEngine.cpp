// The engine's construction, block render, routing, host-block splitting, retuning and the
// settings that belong to the engine itself.
#include "engine/SynthEngine.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "engine/EngineRate.h"
#include "engine/FloatGuards.h"

SynthEngine::SynthEngine()
    : oscillators(static_cast<std::size_t>(kOscillatorCount)),
      oscillatorBuffers(static_cast<std::size_t>(kOscillatorCount * kBlockLimit), 0.0f),
      buses(static_cast<std::size_t>(busCount * kBlockLimit), 0.0f) {
  const SineTable& table = sineTable();
  noteFrequencyTable();  // both process-wide tables exist before the first render
  for (int32_t i = 0; i < kOscillatorCount; ++i) {
    oscillators[static_cast<std::size_t>(i)].init(table, SineTable::kPeriod, i + 1, sampleRate);
  }
}

// ---- rendering ---------------------------------------------------------------------------

// Render side, after the oscillator took up its settings.
bool SynthEngine::sounding(int32_t osc) const noexcept {
  return oscillators[static_cast<std::size_t>(osc)].inAudibleBand() &&
         oscillatorSwitches[static_cast<std::size_t>(osc)].load() > 0.5f;
}

void SynthEngine::renderBlock(float* out, int32_t count, int32_t offset) noexcept {
  if (!out || count <= 0) return;
  if (offset >= 0) {
    if (offset >= count) offset = 0;
    out += offset;
    count -= offset;
  }
  count = std::min(count, kBlockLimit);
  DenormalScope flushDenormals;
  // The oscillators take up note starts and settings made since the last block (if any were).
  if (const uint32_t settings = loadShared(oscillatorSettings); settings != appliedSettings) {
    appliedSettings = settings;
    for (Oscillator& oscillator : oscillators) oscillator.applySettings();
  }
  renderAndMixOscillators(count);
  runEffects(count);
  writeOutput(out, count);
}

bool SynthEngine::setRenderPath(RenderPath wanted) noexcept {
  if (!renderPathSupported(wanted)) return false;
  kernels = &renderKernels(wanted);
  return true;
}

// Every sounding oscillator fills its buffer (the others keep theirs); then each send and the
// dry bus is written once with the sum of its oscillators in index order (the designed
// additions onto the cleared bus). An oscillator that left the audible band inside the block is
// not mixed. The switches are read once per block, so a switch turned on meanwhile cannot mix a
// buffer that was not rendered.
void SynthEngine::renderAndMixOscillators(int32_t count) noexcept {
  // Only the entries written are read: the arrays are left uninitialised.
  std::array<Oscillator*, kOscillatorCount> list;
  std::array<float*, kOscillatorCount> buffers;
  std::array<int32_t, kOscillatorCount> indexes;
  int32_t n = 0;
  for (int32_t i = 0; i < kOscillatorCount; ++i) {
    if (!sounding(i)) continue;
    list[static_cast<std::size_t>(n)] = &oscillators[static_cast<std::size_t>(i)];
    buffers[static_cast<std::size_t>(n)] = oscillatorBuffer(i);
    indexes[static_cast<std::size_t>(n)] = i;
    ++n;
  }
  kernels->oscillators(*kernels, oscillatorBank, list.data(), buffers.data(), n, count);
  std::array<std::array<const float*, kOscillatorCount>, busCount> sources;
  std::array<int32_t, busCount> routed{};
  for (int32_t j = 0; j < n; ++j) {
    if (!list[static_cast<std::size_t>(j)]->inAudibleBand()) continue;
    const Bus target =
        routingBus[static_cast<std::size_t>(indexes[static_cast<std::size_t>(j)])].load();
    if (target == busCount) continue;
    sources[target][static_cast<std::size_t>(routed[target]++)] =
        buffers[static_cast<std::size_t>(j)];
  }
  for (Bus send : {flangerSend, delaySend, phaserSend, reverbSend, dry}) {
    kernels->sumBus(bus(send), sources[send].data(), routed[send], count);
  }
}

// Exact comparison on the single-precision routing value; busCount for none.
SynthEngine::Bus SynthEngine::busForRouting(float routingValue) noexcept {
  if (routingValue == 0.0f) return dry;
  if (routingValue == 0.25f) return flangerSend;
  if (routingValue == 0.5f) return delaySend;
  if (routingValue == 0.75f) return phaserSend;
  if (routingValue == 1.0f) return reverbSend;
  return busCount;
}

// Reverb, delay, phaser, flanger; an effect switched off passes its send through.
void SynthEngine::runEffects(int32_t count) noexcept {
  for (const EffectSlot& slot : effects) {
    if (slot.switchValue->load() > 0.5f) {
      kernels->effect(*slot.effect, bus(slot.send), bus(slot.ret), count, *kernels);
    } else {
      std::copy_n(bus(slot.send), count, bus(slot.ret));
    }
  }
}

// Sum of the dry bus and the four returns times the main volume.
void SynthEngine::writeOutput(float* out, int32_t count) noexcept {
  const OutputBuses returns{bus(flangerReturn), bus(reverbReturn), bus(delayReturn), bus(dry),
                            bus(phaserReturn)};
  kernels->sumOutput(out, returns, mainVolume.load(), count);
}

void SynthEngine::renderHostBlock(float* out, int32_t frames, int32_t offset,
                                  bool replacing) noexcept {
  if (!out || frames <= 0) return;
  if (offset < 0 || offset >= frames) offset = 0;
  if (replacing) std::fill_n(out, offset, 0.0f);
  for (int32_t done = offset; done < frames;) {
    const int32_t piece = std::min(frames - done, kBlockLimit);
    renderBlock(out + done, piece, 0);
    done += piece;
  }
}

void SynthEngine::processHostBlock(float* out, int32_t frames, bool gate, int32_t offset,
                                   bool replacing) noexcept {
  if (gate) {
    renderHostBlock(out, frames, offset, replacing);
  } else if (replacing && out && frames > 0) {
    std::fill_n(out, frames, 0.0f);
  }
}

// ---- notes, envelopes, rate --------------------------------------------------------------

void SynthEngine::startAllOscillators(float frequency, float amplitude) noexcept {
  if (!std::isfinite(frequency) || !std::isfinite(amplitude)) return;
  for (Oscillator& oscillator : oscillators) oscillator.start(frequency, amplitude);
  noteOscillatorSettings();
}

void SynthEngine::loadEnvelopeLayer(int32_t oscillator, EnvelopeBank bank, int32_t layer,
                                    const float* curve) noexcept {
  if (!validOscillator(oscillator)) return;
  oscillators[static_cast<std::size_t>(oscillator)].loadEnvelopeLayer(bank, layer, curve);
}

void SynthEngine::setSampleRate(float rate) {
  const float tuning = tuningRate(rate);
  if (tuning == 0.0f || rate == sampleRate) return;
  // Everything that may fail is allocated before anything changes.
  std::array<std::vector<float>, kEffectCount> storage;
  try {
    for (std::size_t i = 0; i < kEffectCount; ++i) {
      storage[i].assign(static_cast<std::size_t>(effects[i].effect->storageLength(tuning)), 0.0f);
    }
  } catch (const std::bad_alloc&) {
    return;
  }
  for (std::size_t i = 0; i < kEffectCount; ++i) {
    effects[i].effect->prepare(tuning, std::move(storage[i]));
  }
  for (Oscillator& oscillator : oscillators) oscillator.setSampleRate(tuning);
  noteOscillatorSettings();
  sampleRate = rate;
}

// ---- settings ----------------------------------------------------------------------------

// A value whose square overflows is ignored like a non-finite one.
void SynthEngine::setMainVolume(float v) noexcept {
  if (const float squared = v * v; std::isfinite(squared)) mainVolume.store(squared);
}

float SynthEngine::getMainVolume() const noexcept { return std::sqrt(mainVolume.load()); }

void SynthEngine::setMainDetune(float v) noexcept {
  if (!std::isfinite(v)) return;
  mainDetune.store(v);
  for (Oscillator& oscillator : oscillators) oscillator.setMainDetune(v);
  noteOscillatorSettings();
}

void SynthEngine::setRouting(int32_t osc, float v) noexcept {
  if (!validOscillator(osc) || !std::isfinite(v)) return;
  routing[static_cast<std::size_t>(osc)].store(v);
  routingBus[static_cast<std::size_t>(osc)].store(busForRouting(v));
}

float SynthEngine::getRouting(int32_t osc) const noexcept {
  return validOscillator(osc) ? routing[static_cast<std::size_t>(osc)].load() : 0.0f;
}

void SynthEngine::setOscillatorSwitch(int32_t osc, float v) noexcept {
  if (validOscillator(osc)) assignFinite(oscillatorSwitches[static_cast<std::size_t>(osc)], v);
}

float SynthEngine::getOscillatorSwitch(int32_t osc) const noexcept {
  return validOscillator(osc) ? oscillatorSwitches[static_cast<std::size_t>(osc)].load() : 0.0f;
}

void SynthEngine::setOscillatorVolume(int32_t osc, float v) noexcept {
  if (!validOscillator(osc)) return;
  oscillators[static_cast<std::size_t>(osc)].setVolume(v);
  noteOscillatorSettings();
}

float SynthEngine::getOscillatorVolume(int32_t osc) const noexcept {
  return validOscillator(osc) ? oscillators[static_cast<std::size_t>(osc)].getVolume() : 0.0f;
}

void SynthEngine::setOscillatorPhase(int32_t osc, float v) noexcept {
  if (validOscillator(osc)) oscillators[static_cast<std::size_t>(osc)].setPhase(v);
}

float SynthEngine::getOscillatorPhase(int32_t osc) const noexcept {
  return validOscillator(osc) ? oscillators[static_cast<std::size_t>(osc)].getPhase() : 0.0f;
}

void SynthEngine::setOscillatorDetune(int32_t osc, float v) noexcept {
  if (!validOscillator(osc)) return;
  oscillators[static_cast<std::size_t>(osc)].setDetune(v);
  noteOscillatorSettings();
}

float SynthEngine::getOscillatorDetune(int32_t osc) const noexcept {
  return validOscillator(osc) ? oscillators[static_cast<std::size_t>(osc)].getDetune() : 0.0f;
}

bool SynthEngine::isOscillatorActive(int32_t osc) const noexcept {
  return validOscillator(osc) && oscillators[static_cast<std::size_t>(osc)].isActive();
}
