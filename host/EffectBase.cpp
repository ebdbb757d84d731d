// The first-generation shell: the record, its five entry functions, opcodes 0-24 and the first
// host calls. Texts and records exchanged through a null pointer are refused without touching
// anything, and no exception ever leaves an entry function.
#include "host/EffectBase.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

EffectBase* instanceOf(AEffect* record) {
  return record ? static_cast<EffectBase*>(record->object) : nullptr;
}

void writeEmpty(char* text) {
  if (text) text[0] = '\0';
}

}  // namespace

EffectBase::EffectBase(audioMasterCallback callback, VstInt32 programCount, VstInt32 parameterCount)
    : hostCallback(callback), numPrograms(programCount), numParams(parameterCount) {
  std::memset(&effect, 0, sizeof(effect));
  effect.magic = kEffectMagic;
  effect.dispatcher = &EffectBase::dispatchEntry;
  effect.process = &EffectBase::processEntry;
  effect.setParameter = &EffectBase::setParameterEntry;
  effect.getParameter = &EffectBase::getParameterEntry;
  effect.processReplacing = &EffectBase::processReplacingEntry;
  effect.numPrograms = programCount;
  effect.numParams = parameterCount;
  effect.numInputs = 1;
  effect.numOutputs = 2;
  effect.flags = 0;
  effect.ioRatio = 1.0f;
  effect.object = this;
  effect.user = nullptr;
  effect.uniqueID = fourCharCode("NoEf");
  effect.version = 1;
}

EffectBase::~EffectBase() {
  delete editor;
  editor = nullptr;
}

// ---- the record's functions -------------------------------------------------------------

VstIntPtr EffectBase::dispatchEntry(AEffect* record, VstInt32 opcode, VstInt32 index,
                                    VstIntPtr value, void* ptr, float opt) {
  EffectBase* instance = instanceOf(record);
  if (!instance) return 0;
  try {
    if (opcode == effClose) {
      instance->dispatcher(opcode, index, value, ptr, opt);
      delete instance;
      return 1;
    }
    return instance->dispatcher(opcode, index, value, ptr, opt);
  } catch (...) {
    return 0;
  }
}

void EffectBase::processEntry(AEffect* record, float** inputs, float** outputs, VstInt32 frames) {
  EffectBase* instance = instanceOf(record);
  if (!instance) return;
  try {
    instance->process(inputs, outputs, frames);
  } catch (...) {
  }
}

void EffectBase::processReplacingEntry(AEffect* record, float** inputs, float** outputs,
                                       VstInt32 frames) {
  EffectBase* instance = instanceOf(record);
  if (!instance) return;
  try {
    instance->processReplacing(inputs, outputs, frames);
  } catch (...) {
  }
}

void EffectBase::setParameterEntry(AEffect* record, VstInt32 index, float value) {
  EffectBase* instance = instanceOf(record);
  if (!instance) return;
  try {
    instance->setParameter(index, value);
  } catch (...) {
  }
}

float EffectBase::getParameterEntry(AEffect* record, VstInt32 index) {
  EffectBase* instance = instanceOf(record);
  if (!instance) return 0.0f;
  try {
    return instance->getParameter(index);
  } catch (...) {
    return 0.0f;
  }
}

// ---- dispatcher, opcodes 0-24 --------------------------------------------------------------

VstIntPtr EffectBase::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                 float opt) {
  char* text = static_cast<char*>(ptr);
  switch (opcode) {
    case effOpen: onOpen(); return 0;
    case effClose: onClose(); return 0;
    case effSetProgram:
      if (value >= 0 && value < numPrograms) selectProgram(static_cast<VstInt32>(value));
      return 0;
    case effGetProgram: return currentProgramIndex();
    case effSetProgramName:
      if (text) renameProgram(text);
      return 0;
    case effGetProgramName:
      if (text) readProgramName(text);
      return 0;
    case effGetParamLabel:
      if (text) readParameterLabel(index, text);
      return 0;
    case effGetParamDisplay:
      if (text) readParameterDisplay(index, text);
      return 0;
    case effGetParamName:
      if (text) readParameterName(index, text);
      return 0;
    case effGetVu: {
      const double level = static_cast<double>(vuLevel()) * 32767.0;
      // A level the integer cannot hold (or NaN) has no meaningful answer.
      if (!(std::fabs(level) < 2147483647.0)) return 0;
      return static_cast<VstIntPtr>(level);
    }
    case effSetSampleRate: changeSampleRate(opt); return 0;
    case effSetBlockSize: changeBlockSize(static_cast<VstInt32>(value)); return 0;
    case effMainsChanged:
      if (value == 0) {
        onSuspend();
      } else {
        onResume();
      }
      return 0;
    case effEditGetRect:
      if (!editor || !ptr) return 0;
      return editor->getRect(static_cast<ERect**>(ptr));
    case effEditOpen: return editor ? editor->open(ptr) : 0;
    case effEditClose:
      if (editor) editor->close();
      return 0;
    case effEditIdle:
      if (editor) editor->idle();
      return 0;
    case effIdentify: return fourCharCode("NvEf");
    case effGetChunk:
      if (!ptr) return 0;
      return readChunk(static_cast<void**>(ptr), index != 0);
    case effSetChunk:
      // The size travels in a pointer-sized word: one that does not fit the operation's
      // 32-bit size is refused rather than cut.
      if (!ptr || value <= 0 || value > INT32_MAX) return 0;
      return writeChunk(ptr, static_cast<VstInt32>(value), index != 0);
    default: return 0;
  }
}

// ---- neutral defaults ------------------------------------------------------------------------

void EffectBase::setParameter(VstInt32, float) {}
float EffectBase::getParameter(VstInt32) { return 0.0f; }

void EffectBase::setParameterAndNotify(VstInt32 index, float value) {
  setParameter(index, value);
  callHost(audioMasterAutomate, index, 0, nullptr, value);
}

void EffectBase::processReplacing(float**, float**, VstInt32) {}
void EffectBase::onOpen() {}
void EffectBase::onClose() {}
VstInt32 EffectBase::currentProgramIndex() { return loadProgramIndex(); }
void EffectBase::selectProgram(VstInt32 program) { storeProgramIndex(program); }
void EffectBase::renameProgram(char* text) { writeEmpty(text); }
void EffectBase::readProgramName(char* text) { writeEmpty(text); }
void EffectBase::readParameterLabel(VstInt32, char* text) { writeEmpty(text); }
void EffectBase::readParameterDisplay(VstInt32, char* text) { writeEmpty(text); }
void EffectBase::readParameterName(VstInt32, char* text) { writeEmpty(text); }
float EffectBase::vuLevel() { return 0.0f; }
VstInt32 EffectBase::readChunk(void**, bool) { return 0; }
VstInt32 EffectBase::writeChunk(void*, VstInt32, bool) { return 0; }
void EffectBase::changeSampleRate(float rate) { sampleRate = rate; }
void EffectBase::changeBlockSize(VstInt32 size) { blockSize = size; }
void EffectBase::onSuspend() {}
void EffectBase::onResume() {}

// ---- record setters --------------------------------------------------------------------------

void EffectBase::setFlag(VstInt32 flag, bool on) {
  if (on) {
    effect.flags |= flag;
  } else {
    effect.flags &= ~flag;
  }
}

void EffectBase::setUniqueId(VstInt32 id) { effect.uniqueID = id; }
void EffectBase::setInputCount(VstInt32 count) { effect.numInputs = count; }
void EffectBase::setOutputCount(VstInt32 count) { effect.numOutputs = count; }
void EffectBase::setHasVu(bool on) { setFlag(effFlagsHasVu, on); }
void EffectBase::setHasClip(bool on) { setFlag(effFlagsHasClip, on); }
void EffectBase::setCanMono(bool on) { setFlag(effFlagsCanMono, on); }
void EffectBase::setCanReplacing(bool on) { setFlag(effFlagsCanReplacing, on); }
void EffectBase::setProgramsAreChunks(bool on) { setFlag(effFlagsProgramChunks, on); }
void EffectBase::setRealtimeQualities(VstInt32 qualities) { effect.realQualities = qualities; }
void EffectBase::setOfflineQualities(VstInt32 qualities) { effect.offQualities = qualities; }
void EffectBase::setInitialDelay(VstInt32 delay) { effect.initialDelay = delay; }
float EffectBase::getSampleRate() { return sampleRate; }
VstInt32 EffectBase::getBlockSize() { return blockSize; }

// ---- host calls ------------------------------------------------------------------------------

VstIntPtr EffectBase::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float opt) const {
  if (!hostCallback) return 0;
  return hostCallback(const_cast<AEffect*>(&effect), opcode, index, value, ptr, opt);
}

VstIntPtr EffectBase::hostVersion() {
  if (!hostCallback) return 1;
  const VstIntPtr answer = callHost(audioMasterVersion);
  return answer == 0 ? 1 : answer;
}

VstIntPtr EffectBase::hostCurrentId() { return callHost(audioMasterCurrentId); }
VstIntPtr EffectBase::hostIdle() { return callHost(audioMasterIdle); }

// The host answers 0 for a connected pin.
bool EffectBase::isInputConnected(VstInt32 pin) {
  if (!hostCallback) return true;
  return callHost(audioMasterPinConnected, pin, 0) == 0;
}

bool EffectBase::isOutputConnected(VstInt32 pin) {
  if (!hostCallback) return true;
  return callHost(audioMasterPinConnected, pin, 1) == 0;
}
