// The instrument's core. Parameters are described once, as a table of groups that say how a
// host value reaches the engine and how it reads back; setting a parameter, reading it and
// selecting a program all walk that table. Host values that are not finite are ignored.
#include "synth/SynthCore.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/NoteTable.h"
#include "synth/EnvelopeSlots.h"
#include "synth/ParameterTable.h"

using namespace parameters;

namespace {

// A run of parameter indexes that share one engine setting: a single setting, or one per
// oscillator (the offset in the run is the oscillator number).
struct ParameterGroup {
  VstInt32 first;
  VstInt32 count;
  void (SynthEngine::*set)(float);
  float (SynthEngine::*get)() const;
  void (SynthEngine::*setAt)(int32_t, float);
  float (SynthEngine::*getAt)(int32_t) const;

  void apply(SynthEngine& engine, VstInt32 offset, float value) const {
    if (set) {
      (engine.*set)(value);
    } else {
      (engine.*setAt)(offset, value);
    }
  }
  float read(const SynthEngine& engine, VstInt32 offset) const {
    return get ? (engine.*get)() : (engine.*getAt)(offset);
  }
};

constexpr ParameterGroup setting(VstInt32 index, void (SynthEngine::*set)(float),
                                 float (SynthEngine::*get)() const) {
  return {index, 1, set, get, nullptr, nullptr};
}

constexpr ParameterGroup perOscillator(VstInt32 first, void (SynthEngine::*set)(int32_t, float),
                                       float (SynthEngine::*get)(int32_t) const) {
  return {first, kOscillators, nullptr, nullptr, set, get};
}

using E = SynthEngine;

// In the order a program is selected: main settings, oscillators, routing, delay, flanger,
// phaser, reverb, switches.
constexpr ParameterGroup kEngineGroups[] = {
    setting(kMainDetune, &E::setMainDetune, &E::getMainDetune),
    setting(kMainVolume, &E::setMainVolume, &E::getMainVolume),
    perOscillator(kPhaseFirst, &E::setOscillatorPhase, &E::getOscillatorPhase),
    perOscillator(kVolumeFirst, &E::setOscillatorVolume, &E::getOscillatorVolume),
    perOscillator(kDetuneFirst, &E::setOscillatorDetune, &E::getOscillatorDetune),
    perOscillator(kRoutingFirst, &E::setRouting, &E::getRouting),
    setting(kDelayVolume, &E::setDelayLevel, &E::getDelayLevel),
    setting(kDelayFeedback, &E::setDelayFeedback, &E::getDelayFeedback),
    setting(kDelayTime, &E::setDelayTime, &E::getDelayTime),
    setting(181, &E::setFlangerCentreDelay, &E::getFlangerCentreDelay),
    setting(182, &E::setFlangerDryLevel, &E::getFlangerDryLevel),
    setting(183, &E::setFlangerWetLevel, &E::getFlangerWetLevel),
    setting(184, &E::setFlangerInputGain, &E::getFlangerInputGain),
    setting(185, &E::setFlangerSweepDepth, &E::getFlangerSweepDepth),
    setting(186, &E::setFlangerRate, &E::getFlangerRate),
    setting(187, &E::setFlangerWaveform, &E::getFlangerWaveform),
    setting(kPhaserDepth, &E::setPhaserDepth, &E::getPhaserDepth),
    setting(kPhaserFeedback, &E::setPhaserFeedback, &E::getPhaserFeedback),
    setting(kPhaserMaxFreq, &E::setPhaserMaximum, &E::getPhaserMaximum),
    setting(kPhaserMinFreq, &E::setPhaserMinimum, &E::getPhaserMinimum),
    setting(kPhaserRate, &E::setPhaserRate, &E::getPhaserRate),
    setting(kReverbDamping, &E::setReverbDamping, &E::getReverbDamping),
    setting(kReverbDry, &E::setReverbDry, &E::getReverbDry),
    setting(kReverbRoomSize, &E::setReverbRoomSize, &E::getReverbRoomSize),
    setting(kReverbWet, &E::setReverbWet, &E::getReverbWet),
    setting(kReverbWidth, &E::setReverbWidth, &E::getReverbWidth),
    perOscillator(kOscSwitchFirst, &E::setOscillatorSwitch, &E::getOscillatorSwitch),
    setting(kDelaySwitch, &E::setDelaySwitch, &E::getDelaySwitch),
    setting(kFlangerSwitch, &E::setFlangerSwitch, &E::getFlangerSwitch),
    setting(kPhaserSwitch, &E::setPhaserSwitch, &E::getPhaserSwitch),
    setting(kReverbSwitch, &E::setReverbSwitch, &E::getReverbSwitch),
};

const ParameterGroup* engineGroupOf(VstInt32 index) {
  for (const ParameterGroup& group : kEngineGroups) {
    if (index >= group.first && index < group.first + group.count) return &group;
  }
  return nullptr;
}

// Copies values one at a time: another thread may read them meanwhile.
template <std::size_t N>
void storeEach(std::array<float, N>& to, const std::array<float, N>& from) {
  for (std::size_t k = 0; k < N; ++k) storeRelaxed(to[k], from[k]);
}

constexpr char kEffectName[] = "Tallowmere Overtonic";
constexpr char kVendorName[] = "Tallowmere Recordings";
constexpr char kProductName[] = "Overtonicum";
constexpr VstInt32 kTestNoteNumber = 64;
constexpr VstInt32 kTestNoteVelocity = 100;
constexpr double kVelocityScale = 0.007874015748031496;  // 1 / 127

}  // namespace

SynthCore::SynthCore(audioMasterCallback callback)
    : EffectBaseX(callback, kProgramCount, kParameterCount),
      programs(std::make_unique<ProgramRecord[]>(kProgramCount)) {
  if (callback) {
    setInputCount(0);
    setOutputCount(1);
    setCanReplacing(true);
    setHasVu(false);
    setHasClip(false);
    setIsSynth(true);
    setUniqueId(fourCharCode("TMOV"));
  }
  noteFrequencyTable();  // filled once per process, before any instance renders
  selectProgram(0);
}

SynthCore::~SynthCore() = default;

// ---- audio -----------------------------------------------------------------------------------

// The gate is read once per block: a note may start or end on another thread meanwhile.
void SynthCore::process(float**, float** outputs, VstInt32 sampleFrames) {
  if (!outputs || !outputs[0]) return;
  const bool gate = noteGate.load();
  engine.processHostBlock(outputs[0], sampleFrames, gate, noteOffset.load(), false);
  if (gate) noteOffset.store(0);
}

void SynthCore::processReplacing(float**, float** outputs, VstInt32 sampleFrames) {
  if (!outputs || !outputs[0]) return;
  const bool gate = noteGate.load();
  engine.processHostBlock(outputs[0], sampleFrames, gate, noteOffset.load(), true);
  if (gate) noteOffset.store(0);
}

// ---- parameters ------------------------------------------------------------------------------

void SynthCore::setParameter(VstInt32 index, float value) {
  if (!isIndex(index) || !std::isfinite(value)) return;
  if (float* field = currentRecord().fieldFor(index)) *field = value;
  applyParameter(index, value);
}

void SynthCore::applyParameter(VstInt32 index, float value) {
  if (const ParameterGroup* group = engineGroupOf(index)) {
    group->apply(engine, index - group->first, value);
  } else if (float* panelValue = panelValues.find(index)) {
    storeRelaxed(*panelValue, value);
  } else if (index == kTestNote) {
    if (value < 0.5f) {
      noteStart(kTestNoteNumber, kTestNoteVelocity, 0);
    } else {
      noteGate.store(false);
    }
  }
}

float SynthCore::getParameter(VstInt32 index) {
  if (const ParameterGroup* group = engineGroupOf(index)) {
    return group->read(engine, index - group->first);
  }
  if (const float* panelValue = panelValues.find(index)) return loadRelaxed(*panelValue);
  return 0.0f;
}

void SynthCore::readParameterName(VstInt32 index, char* text) { writeName(index, text); }

void SynthCore::readParameterLabel(VstInt32 index, char* text) { writeLabel(index, text); }

void SynthCore::readParameterDisplay(VstInt32 index, char* text) {
  if (!text) return;
  text[0] = '\0';
  switch (displayKind(index)) {
    case DisplayKind::decibels: formatDecibels(getParameter(index), text); break;
    case DisplayKind::decibelsOf1600th: formatDecibels(getParameter(index) / 1600.0f, text); break;
    case DisplayKind::floatText: formatFloat(getParameter(index), text); break;
    case DisplayKind::none: break;
  }
}

// ---- programs --------------------------------------------------------------------------------

void SynthCore::selectProgram(VstInt32 program) {
  if (program < 0 || program >= kProgramCount) return;
  curProgram = program;
  applyProgram(currentRecord());
}

// Pushes every stored value into the engine and the panel values, then every curve into the
// oscillators' envelope layers.
void SynthCore::applyProgram(const ProgramRecord& record) {
  for (const ParameterGroup& group : kEngineGroups) {
    for (VstInt32 offset = 0; offset < group.count; ++offset) {
      group.apply(engine, offset, *record.fieldFor(group.first + offset));
    }
  }
  storeEach(panelValues.switches, record.panel.switches);
  storeEach(panelValues.toggles, record.panel.toggles);
  storeEach(panelValues.selectors, record.panel.selectors);
  for (VstInt32 slot = 0; slot < kEnvelopeSlotCount; ++slot) {
    applyEnvelope(slot, record.curve(slot).data());
  }
}

void SynthCore::renameProgram(char* text) {
  if (!text) return;
  char* name = currentRecord().name;
  std::strncpy(name, text, kProgramNameSize - 1);
  name[kProgramNameSize - 1] = '\0';
}

void SynthCore::readProgramName(char* text) {
  if (!text) return;
  std::memcpy(text, currentRecord().name, kProgramNameSize);
}

bool SynthCore::readProgramNameAt(VstInt32, VstInt32 index, char* text) {
  if (!text || index < 0 || index >= kProgramCount) return false;
  std::memcpy(text, programs[static_cast<size_t>(index)].name, kProgramNameSize);
  return true;
}

bool SynthCore::duplicateProgram(VstInt32 destination) {
  if (destination < 0 || destination >= kProgramCount) return false;
  programs[static_cast<size_t>(destination)] = currentRecord();
  return true;
}

void SynthCore::applyEnvelope(VstInt32 slot, const float* curve) {
  EnvelopeSlotTarget target{};
  if (!curve || !envelopeSlotTarget(slot, target)) return;
  const auto bank = static_cast<EnvelopeBank>(target.bank);
  for (VstInt32 k = 0; k < target.count; ++k) {
    engine.loadEnvelopeLayer(target.firstOscillator + k * target.step, bank, target.layer, curve);
  }
  EnvelopeCurve& stored = currentRecord().curve(slot);
  if (stored.data() != curve) std::copy_n(curve, kEnvelopePointCount, stored.begin());
}

// ---- identity and capabilities ---------------------------------------------------------------

bool SynthCore::readEffectName(char* text) {
  std::memcpy(text, kEffectName, sizeof kEffectName);
  return true;
}

bool SynthCore::readVendorString(char* text) {
  std::memcpy(text, kVendorName, sizeof kVendorName);
  return true;
}

bool SynthCore::readProductString(char* text) {
  std::memcpy(text, kProductName, sizeof kProductName);
  return true;
}

VstInt32 SynthCore::readVendorVersion() { return 1; }

// Exact, case-sensitive comparison including the terminating zero.
VstInt32 SynthCore::answerCanDo(char* text) {
  if (!text) return -1;
  for (const char* capability : {"receiveVstEvents", "receiveVstMidiEvent"}) {
    if (std::strncmp(text, capability, std::strlen(capability) + 1) == 0) return 1;
  }
  return -1;
}

// One mono output pin; a negative index is refused like any index past the last pin.
bool SynthCore::readOutputProperties(VstInt32 index, VstPinProperties* properties) {
  if (!properties || index < 0 || index >= 1) return false;
  std::snprintf(properties->label, sizeof properties->label, "Vstx %1d", index + 1);
  properties->flags = kVstPinIsActive | kVstPinIsStereo;
  return true;
}

// Rates a host may announce are taken; anything not finite or not positive is ignored.
void SynthCore::changeSampleRate(float rate) {
  if (!std::isfinite(rate) || rate <= 0.0f) return;
  EffectBaseX::changeSampleRate(rate);
  engine.setSampleRate(rate);
}

void SynthCore::onResume() { requestMidi(1); }

// ---- MIDI ------------------------------------------------------------------------------------

VstInt32 SynthCore::handleEvents(VstEvents* events) {
  if (!events) return 1;
  // The count is read again before every step.
  for (VstInt32 i = 0; i < events->numEvents; ++i) {
    const VstEvent* event = events->events[i];
    if (!event || event->type != kVstMidiType) continue;
    const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
    const auto status = static_cast<unsigned char>(midi->midiData[0]) & 0xF0;
    const VstInt32 data1 = static_cast<unsigned char>(midi->midiData[1]) & 0x7F;
    VstInt32 data2 = static_cast<unsigned char>(midi->midiData[2]) & 0x7F;
    if (status == 0x90 || status == 0x80) {
      if (status == 0x80) data2 = 0;
      if (data2 == 0 && data1 == lastNote.load()) {
        noteGate.store(false);
      } else {
        noteStart(data1, data2, midi->deltaFrames);
      }
    } else if (status == 0xB0 && data1 == 126) {
      noteGate.store(false);
    }
  }
  return 1;
}

void SynthCore::noteStart(VstInt32 note, VstInt32 velocity, VstInt32 offset) {
  lastNote.store(note);
  lastVelocity.store(velocity);
  noteOffset.store(offset);
  const float frequency = noteFrequencyTable()[static_cast<size_t>(note & 0x7F)];
  noteGate.store(true);
  const auto amplitude = static_cast<float>(static_cast<double>(engine.getMainVolume()) *
                                            velocity * kVelocityScale);
  engine.startAllOscillators(frequency, amplitude);
}
