// The instrument: 237 parameters, 32 programs with their envelope curves, MIDI intake and the
// note state, and the engine that renders them. It answers the host's identity and capability
// questions and the two audio entry points.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "engine/SharedField.h"
#include "engine/SynthEngine.h"
#include "host/EffectBaseX.h"
#include "synth/ProgramRecord.h"

namespace parameters {
struct ParameterRun;
}

class SynthCore : public EffectBaseX {
 public:
  static constexpr VstInt32 kProgramCount = 32;
  static constexpr VstInt32 kParameterCount = 237;

  explicit SynthCore(audioMasterCallback hostCallback);
  ~SynthCore() override;

  // Audio.
  void process(float** inputs, float** outputs, VstInt32 sampleFrames) override;
  void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;

  // Parameters.
  void setParameter(VstInt32 index, float value) override;
  float getParameter(VstInt32 index) override;
  void readParameterName(VstInt32 index, char* text) override;
  void readParameterLabel(VstInt32 index, char* text) override;
  void readParameterDisplay(VstInt32 index, char* text) override;

  // Programs.
  void selectProgram(VstInt32 program) override;
  void renameProgram(char* text) override;
  void readProgramName(char* text) override;
  bool readProgramNameAt(VstInt32 category, VstInt32 index, char* text) override;
  bool duplicateProgram(VstInt32 destination) override;

  // Saved state: the whole bank (isPreset false) or the current program as one chunk of bytes,
  // owned by the instance until the next call or effClose. A restore checks the whole chunk
  // first and answers 0, changing nothing, when it refuses it; it never starts a note.
  VstInt32 readChunk(void** data, bool isPreset) override;
  VstInt32 writeChunk(void* data, VstInt32 byteSize, bool isPreset) override;

  // Envelope curves: stores the curve of a slot in the current program and loads it into the
  // layers of the oscillators the slot addresses. Slots outside 0-122 change nothing.
  void applyEnvelope(VstInt32 slot, const float* curve);

  // Identity and capabilities.
  bool readEffectName(char* text) override;
  bool readVendorString(char* text) override;
  bool readProductString(char* text) override;
  VstInt32 readVendorVersion() override;
  VstInt32 answerCanDo(char* text) override;
  bool readOutputProperties(VstInt32 index, VstPinProperties* properties) override;
  void changeSampleRate(float rate) override;
  void onResume() override;

  // MIDI and notes.
  VstInt32 handleEvents(VstEvents* events) override;
  void noteStart(VstInt32 note, VstInt32 velocity, VstInt32 offset);

  // Read-only views for tests and tools.
  const SynthEngine& getEngine() const { return engine; }
  const ProgramRecord& program(VstInt32 index) const {
    return programs[static_cast<size_t>(index)];
  }
  VstInt32 getLastNote() const { return lastNote.load(); }
  VstInt32 getLastVelocity() const { return lastVelocity.load(); }
  VstInt32 getNoteOffset() const { return noteOffset.load(); }
  bool isNoteGateOpen() const { return noteGate.load(); }

 protected:
  ProgramRecord& currentRecord() { return programs[static_cast<size_t>(loadProgramIndex())]; }

 private:
  // Sets the live value of the index `offset` places into `run`.
  void applyLive(const parameters::ParameterRun& run, VstInt32 offset, float value);
  void applyProgram(ProgramRecord& record);
  // Loads a curve into the layers of the oscillators `slot` addresses; false for slots outside
  // 0-122.
  bool loadEnvelopeLayers(VstInt32 slot, const float* curve);

  SynthEngine engine;
  std::unique_ptr<ProgramRecord[]> programs;
  // Set on any thread and read on others: each value is loaded and stored on its own.
  PanelSwitchValues panelValues{};
  // The note state: MIDI on the audio thread, the test note on the host's thread.
  SharedValue<VstInt32> lastNote = -1;  // no event can carry this note number
  SharedValue<VstInt32> lastVelocity = 0;
  SharedValue<VstInt32> noteOffset = 0;
  SharedValue<bool> noteGate = false;
  std::vector<unsigned char> chunkData;  // the last chunk handed to the host
};
