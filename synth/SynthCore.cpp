// The instrument's core. Every parameter fact comes from the parameter table (ParameterTable.h):
// setting a parameter, reading it and selecting a program all walk it. Host values that are not
// finite are ignored.
#include "synth/SynthCore.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <span>

#include "engine/NoteTable.h"
#include "synth/EnvelopeSlots.h"
#include "synth/ParameterTable.h"
#include "synth/ProgramChunk.h"

using namespace parameters;

namespace {

static_assert(SynthCore::kParameterCount == kCount);

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
    // The curves have no parameters: only a chunk carries them into a host's project.
    setProgramsAreChunks(true);
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
  const ParameterRun* run = runOf(index);
  if (!run || !std::isfinite(value)) return;
  const VstInt32 offset = index - run->indexes.first;
  if (float* field = run->fieldIn(currentRecord(), offset)) storeRelaxed(*field, value);
  applyLive(*run, offset, value);
}

void SynthCore::applyLive(const ParameterRun& run, VstInt32 offset, float value) {
  switch (run.live) {
    case LiveValue::engine: run.engine.set(engine, offset, value); break;
    case LiveValue::panelSwitch:
      storeRelaxed(*run.program.panel(panelValues, offset), value);
      break;
    case LiveValue::testNote:
      if (value < 0.5f) {
        noteStart(kTestNoteNumber, kTestNoteVelocity, 0);
      } else {
        noteGate.store(false);
      }
      break;
    case LiveValue::envelopeCommand:
    case LiveValue::none: break;
  }
}

float SynthCore::getParameter(VstInt32 index) {
  const ParameterRun* run = runOf(index);
  if (!run) return 0.0f;
  const VstInt32 offset = index - run->indexes.first;
  switch (run->live) {
    case LiveValue::engine: return run->engine.get(engine, offset);
    case LiveValue::panelSwitch: return loadRelaxed(*run->program.panel(panelValues, offset));
    case LiveValue::envelopeCommand:
    case LiveValue::testNote:
    case LiveValue::none: break;
  }
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
  storeProgramIndex(program);
  applyProgram(programs[static_cast<size_t>(program)]);
}

// Pushes every stored value into the engine and the panel values in the table's order, then every
// curve into the oscillators' envelope layers.
void SynthCore::applyProgram(ProgramRecord& record) {
  for (const ParameterRun& run : kParameterRuns) {
    for (VstInt32 offset = 0; offset < run.indexes.count; ++offset) {
      if (const float* stored = run.fieldIn(record, offset)) {
        applyLive(run, offset, loadRelaxed(*stored));
      }
    }
  }
  for (VstInt32 slot = 0; slot < kEnvelopeSlotCount; ++slot) {
    loadEnvelopeLayers(slot, record.readCurve(slot).data());
  }
}

// The name is padded with zeros, as strncpy pads it.
void SynthCore::renameProgram(char* text) {
  if (!text) return;
  char name[kProgramNameSize] = {};
  std::strncpy(name, text, kProgramNameSize - 1);
  currentRecord().writeName(name);
}

void SynthCore::readProgramName(char* text) {
  if (!text) return;
  currentRecord().readName(text);
}

bool SynthCore::readProgramNameAt(VstInt32, VstInt32 index, char* text) {
  if (!text || index < 0 || index >= kProgramCount) return false;
  programs[static_cast<size_t>(index)].readName(text);
  return true;
}

bool SynthCore::duplicateProgram(VstInt32 destination) {
  if (destination < 0 || destination >= kProgramCount) return false;
  programs[static_cast<size_t>(destination)] = currentRecord();
  return true;
}

VstInt32 SynthCore::readChunk(void** data, bool isPreset) {
  if (!data) return 0;
  chunkData = isPreset
                  ? programchunk::encodeProgram(currentRecord())
                  : programchunk::encodeBank({programs.get(), kProgramCount}, loadProgramIndex());
  *data = chunkData.data();
  return static_cast<VstInt32>(chunkData.size());
}

// Everything that can fail (reading, allocation) happens before the first record changes; the
// programs are then applied the way a program selection applies them.
VstInt32 SynthCore::writeChunk(void* data, VstInt32 byteSize, bool isPreset) {
  if (!data || byteSize <= 0) return 0;
  const std::span bytes(static_cast<const unsigned char*>(data), static_cast<size_t>(byteSize));
  const chunkformat::ReadResult chunk =
      programchunk::decode(bytes, isPreset ? chunkformat::Kind::program : chunkformat::Kind::bank);
  if (chunk.refusal != chunkformat::Refusal::none) return 0;
  const auto defaults = std::make_unique<ProgramRecord>();
  if (isPreset) {
    programchunk::assign(chunk.state.programs.front(), *defaults, currentRecord());
  } else {
    for (VstInt32 p = 0; p < kProgramCount; ++p) {
      ProgramRecord& record = programs[static_cast<size_t>(p)];
      if (static_cast<size_t>(p) < chunk.state.programs.size()) {
        programchunk::assign(chunk.state.programs[static_cast<size_t>(p)], *defaults, record);
      } else {
        record = *defaults;
      }
    }
    storeProgramIndex(static_cast<VstInt32>(chunk.state.currentProgram));
  }
  applyProgram(currentRecord());
  return 1;
}

void SynthCore::applyEnvelope(VstInt32 slot, const float* curve) {
  if (loadEnvelopeLayers(slot, curve)) currentRecord().writeCurve(slot, curve);
}

bool SynthCore::loadEnvelopeLayers(VstInt32 slot, const float* curve) {
  EnvelopeSlotTarget target{};
  if (!curve || !envelopeSlotTarget(slot, target)) return false;
  const auto bank = static_cast<EnvelopeBank>(target.bank);
  for (VstInt32 k = 0; k < target.count; ++k) {
    engine.loadEnvelopeLayer(target.firstOscillator + k * target.step, bank, target.layer, curve);
  }
  return true;
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
  const auto amplitude =
      static_cast<float>(static_cast<double>(engine.getMainVolume()) * velocity * kVelocityScale);
  engine.startAllOscillators(frequency, amplitude);
}
