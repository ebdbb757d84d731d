// First-generation shell of a plug-in instance: holds the host connection and the AEffect record
// handed to the host, turns dispatcher opcodes 0-24 into virtual operations with neutral defaults,
// offers the first host calls and the fixed-width value-to-text helpers. The virtual operations
// are declared in their fixed slot order; subclasses extend the table at its end.
#pragma once

#include <atomic>

#include "host/EffectEditor.h"
#include "host/vst2.h"

class EffectBase {
 public:
  EffectBase(audioMasterCallback hostCallback, VstInt32 programCount, VstInt32 parameterCount);
  EffectBase(const EffectBase&) = delete;
  EffectBase& operator=(const EffectBase&) = delete;

  // Destroys the editor if one is set.
  virtual ~EffectBase();

  virtual void setParameter(VstInt32 index, float value);
  virtual float getParameter(VstInt32 index);
  // Applies the value, then reports it to the host as automation.
  virtual void setParameterAndNotify(VstInt32 index, float value);
  virtual void process(float** inputs, float** outputs, VstInt32 sampleFrames) = 0;
  virtual void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames);
  virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float opt);
  virtual void onOpen();
  virtual void onClose();
  virtual VstInt32 currentProgramIndex();
  virtual void selectProgram(VstInt32 program);
  virtual void renameProgram(char* text);
  virtual void readProgramName(char* text);
  virtual void readParameterLabel(VstInt32 index, char* text);
  virtual void readParameterDisplay(VstInt32 index, char* text);
  virtual void readParameterName(VstInt32 index, char* text);
  virtual float vuLevel();
  virtual VstInt32 readChunk(void** data, bool isPreset);
  virtual VstInt32 writeChunk(void* data, VstInt32 byteSize, bool isPreset);
  virtual void changeSampleRate(float rate);
  virtual void changeBlockSize(VstInt32 size);
  virtual void onSuspend();
  virtual void onResume();
  virtual void setUniqueId(VstInt32 id);
  virtual void setInputCount(VstInt32 count);
  virtual void setOutputCount(VstInt32 count);
  virtual void setHasVu(bool on);
  virtual void setHasClip(bool on);
  virtual void setCanMono(bool on);
  virtual void setCanReplacing(bool on);
  virtual void setProgramsAreChunks(bool on);
  virtual void setRealtimeQualities(VstInt32 qualities);
  virtual void setOfflineQualities(VstInt32 qualities);
  virtual void setInitialDelay(VstInt32 delay);
  virtual float getSampleRate();
  virtual VstInt32 getBlockSize();
  // Host calls: see the table in EffectBase.cpp for arguments and no-host answers.
  virtual VstIntPtr hostVersion();
  virtual VstIntPtr hostCurrentId();
  virtual VstIntPtr hostIdle();
  virtual bool isInputConnected(VstInt32 pin);
  virtual bool isOutputConnected(VstInt32 pin);
  // Value-to-text helpers: at most 8 characters plus the terminating zero.
  virtual void formatDecibels(float value, char* text);
  virtual void formatHertz(float samples, char* text);
  virtual void formatMilliseconds(float samples, char* text);
  virtual void formatFloat(float value, char* text);
  virtual void formatInteger(VstInt32 value, char* text);

  AEffect* getAEffect() { return &effect; }
  // The editor registers itself here from its own constructor; the shell owns it from then on.
  void setEditor(EffectEditor* newEditor) { editor = newEditor; }
  EffectEditor* getEditorPointer() const { return editor; }
  audioMasterCallback getHostCallback() const { return hostCallback; }
  // Sets or clears effFlagsHasEditor.
  void setHasEditor(bool on) { setFlag(effFlagsHasEditor, on); }

  // The record's five functions: each reaches the instance through AEffect::object.
  static VstIntPtr dispatchEntry(AEffect* record, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                 void* ptr, float opt);
  static void processEntry(AEffect* record, float** inputs, float** outputs, VstInt32 frames);
  static void processReplacingEntry(AEffect* record, float** inputs, float** outputs,
                                    VstInt32 frames);
  static void setParameterEntry(AEffect* record, VstInt32 index, float value);
  static float getParameterEntry(AEffect* record, VstInt32 index);

 protected:
  // Calls the host with this instance's record; 0 without a host.
  VstIntPtr callHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f) const;
  void setFlag(VstInt32 flag, bool on);
  bool hasFlag(VstInt32 flag) const { return (effect.flags & flag) != 0; }
  // The current program is set on the host's main thread and read on the audio thread, where
  // automation lands in it: each access is one relaxed atomic load or store.
  VstInt32 loadProgramIndex() const {
    return std::atomic_ref<VstInt32>(const_cast<VstInt32&>(curProgram))
        .load(std::memory_order_relaxed);
  }
  void storeProgramIndex(VstInt32 program) {
    std::atomic_ref<VstInt32>(curProgram).store(program, std::memory_order_relaxed);
  }

  float sampleRate = 44100.0f;
  EffectEditor* editor = nullptr;
  audioMasterCallback hostCallback;
  VstInt32 numPrograms;
  VstInt32 numParams;
  VstInt32 blockSize = 1024;
  AEffect effect;

 private:
  static_assert(std::atomic_ref<VstInt32>::is_always_lock_free);
  alignas(std::atomic_ref<VstInt32>::required_alignment) VstInt32 curProgram = 0;
};
