// Second-generation shell: opcodes 25-68 and the host calls beyond the first generation.
// Boolean answers reach the host as exactly 1 or 0; opcodes that read or write through a null
// pointer answer 0 and touch nothing.
#include "host/EffectBaseX.h"

#include <cmath>
#include <cstdint>

namespace {

VstIntPtr answer(bool value) { return value ? 1 : 0; }

// The low byte of a float's integer part; a value the integer cannot hold gives 0.
unsigned char lowByteOf(float value) {
  if (!(std::fabs(value) < 2147483647.0f)) return 0;
  return static_cast<unsigned char>(static_cast<uint32_t>(static_cast<int32_t>(value)) & 0xFF);
}

}  // namespace

EffectBaseX::EffectBaseX(audioMasterCallback callback, VstInt32 programCount,
                         VstInt32 parameterCount)
    : EffectBase(callback, programCount, parameterCount) {}

VstIntPtr EffectBaseX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                  float opt) {
  // Opcodes 25-68 are answered here; unsigned arithmetic sends every other one, negative ones
  // included, to the first-generation handler.
  if (static_cast<uint32_t>(opcode) - uint32_t{effProcessEvents} >
      uint32_t{effEndSetProgram - effProcessEvents}) {
    return EffectBase::dispatcher(opcode, index, value, ptr, opt);
  }
  char* text = static_cast<char*>(ptr);
  switch (opcode) {
    case effProcessEvents: return ptr ? handleEvents(static_cast<VstEvents*>(ptr)) : 0;
    case effCanBeAutomated: return answer(canParameterBeAutomated(index));
    case effString2Parameter: return text ? answer(parameterFromText(index, text)) : 0;
    case effGetNumProgramCategories: return programCategoryCount();
    case effGetProgramNameIndexed:
      return text ? answer(readProgramNameAt(static_cast<VstInt32>(value), index, text)) : 0;
    case effCopyProgram: return answer(duplicateProgram(index));
    case effConnectInput: inputConnected(index, value != 0); return 1;
    case effConnectOutput: outputConnected(index, value != 0); return 1;
    case effGetInputProperties:
      return ptr ? answer(readInputProperties(index, static_cast<VstPinProperties*>(ptr))) : 0;
    case effGetOutputProperties:
      return ptr ? answer(readOutputProperties(index, static_cast<VstPinProperties*>(ptr))) : 0;
    case effGetPlugCategory: return readPlugCategory();
    case effGetCurrentPosition: return currentPosition();
    case effGetDestinationBuffer: return reinterpret_cast<VstIntPtr>(destinationBuffer());
    case effOfflineNotify:
      return ptr ? answer(offlineNotify(ptr, static_cast<VstInt32>(value), index != 0)) : 0;
    case effOfflinePrepare:
      return ptr ? answer(offlinePrepare(ptr, static_cast<VstInt32>(value))) : 0;
    case effOfflineRun: return ptr ? answer(offlineRun(ptr, static_cast<VstInt32>(value))) : 0;
    case effProcessVarIo: return ptr ? answer(processVariableIo(ptr)) : 0;
    case effSetSpeakerArrangement:
      return answer(setSpeakerArrangement(reinterpret_cast<void*>(value), ptr));
    case effSetBlockSizeAndSampleRate:
      setBlockSizeAndSampleRate(static_cast<VstInt32>(value), opt);
      return 1;
    case effSetBypass: return answer(setBypass(value != 0));
    case effGetEffectName: return text ? answer(readEffectName(text)) : 0;
    case effGetErrorText: return text ? answer(readErrorText(text)) : 0;
    case effGetVendorString: return text ? answer(readVendorString(text)) : 0;
    case effGetProductString: return text ? answer(readProductString(text)) : 0;
    case effGetVendorVersion: return readVendorVersion();
    case effVendorSpecific: return vendorCall(index, value, ptr, opt);
    case effCanDo: return text ? answerCanDo(text) : 0;
    case effGetTailSize: return tailSize();
    case effIdle: return idleTick();
    case effGetIcon: return reinterpret_cast<VstIntPtr>(icon());
    case effSetViewPosition: return answer(setViewPosition(index, static_cast<VstInt32>(value)));
    case effGetParameterProperties: return ptr ? answer(readParameterProperties(index, ptr)) : 0;
    case effKeysRequired: return keysRequired() ? 0 : 1;
    case effGetVstVersion: return interfaceVersion();
    case effEditKeyDown:
    case effEditKeyUp: return dispatchKey(opcode, index, value, opt);
    case effSetEditKnobMode: return editor ? editor->setDragMode(static_cast<VstInt32>(value)) : 0;
    case effGetMidiProgramName: return ptr ? midiProgramName(index, ptr) : 0;
    case effGetCurrentMidiProgram: return ptr ? currentMidiProgram(index, ptr) : 0;
    case effGetMidiProgramCategory: return ptr ? midiProgramCategory(index, ptr) : 0;
    case effHasMidiProgramsChanged: return answer(midiProgramsChanged(index));
    case effGetMidiKeyName: return ptr ? answer(midiKeyName(index, ptr)) : 0;
    case effBeginSetProgram: return answer(beginSetProgram());
    case effEndSetProgram: return answer(endSetProgram());
    default: return 0;
  }
}

// Key opcodes carry the character in index, the virtual key in value and the modifiers in opt.
VstIntPtr EffectBaseX::dispatchKey(VstInt32 opcode, VstInt32 index, VstIntPtr value, float opt) {
  if (!editor) return 0;
  VstKeyCode keyCode{};
  keyCode.character = index;
  keyCode.virt = static_cast<unsigned char>(value & 0xFF);
  keyCode.modifier = lowByteOf(opt);
  return opcode == effEditKeyDown ? editor->onKeyDown(keyCode) : editor->onKeyUp(keyCode);
}

// ---- neutral defaults ------------------------------------------------------------------------

EffectEditor* EffectBaseX::getEditor() { return editor; }
VstInt32 EffectBaseX::handleEvents(VstEvents*) { return 0; }
bool EffectBaseX::canParameterBeAutomated(VstInt32) { return true; }
bool EffectBaseX::parameterFromText(VstInt32, char*) { return false; }
float EffectBaseX::channelParameter(VstInt32, VstInt32) { return 0.0f; }
VstInt32 EffectBaseX::programCategoryCount() { return 1; }
bool EffectBaseX::readProgramNameAt(VstInt32, VstInt32, char*) { return false; }
bool EffectBaseX::duplicateProgram(VstInt32) { return false; }
void EffectBaseX::inputConnected(VstInt32, bool) {}
void EffectBaseX::outputConnected(VstInt32, bool) {}
bool EffectBaseX::readInputProperties(VstInt32, VstPinProperties*) { return false; }
bool EffectBaseX::readOutputProperties(VstInt32, VstPinProperties*) { return false; }
VstInt32 EffectBaseX::readPlugCategory() { return hasFlag(effFlagsIsSynth) ? 2 : 0; }
void EffectBaseX::setAsynchronous(bool on) { setFlag(effFlagsExtIsAsync, on); }
void EffectBaseX::setExternalBuffer(bool on) { setFlag(effFlagsExtHasBuffer, on); }
VstInt32 EffectBaseX::currentPosition() { return 0; }
float* EffectBaseX::destinationBuffer() { return nullptr; }
bool EffectBaseX::offlineNotify(void*, VstInt32, bool) { return false; }
bool EffectBaseX::offlinePrepare(void*, VstInt32) { return false; }
bool EffectBaseX::offlineRun(void*, VstInt32) { return false; }
VstInt32 EffectBaseX::offlinePassCount() { return 0; }
VstInt32 EffectBaseX::offlineMetaPassCount() { return 0; }
void EffectBaseX::setIsSynth(bool on) { setFlag(effFlagsIsSynth, on); }
void EffectBaseX::setNoTail(bool on) { setFlag(effFlagsNoSoundInStop, on); }
bool EffectBaseX::processVariableIo(void*) { return false; }
bool EffectBaseX::setSpeakerArrangement(void*, void*) { return false; }

// Stores both fields directly, without the sample-rate and block-size operations.
void EffectBaseX::setBlockSizeAndSampleRate(VstInt32 size, float rate) {
  blockSize = size;
  sampleRate = rate;
}

bool EffectBaseX::setBypass(bool) { return false; }
bool EffectBaseX::readEffectName(char*) { return false; }
bool EffectBaseX::readErrorText(char*) { return false; }
bool EffectBaseX::readVendorString(char*) { return false; }
bool EffectBaseX::readProductString(char*) { return false; }
VstInt32 EffectBaseX::readVendorVersion() { return 0; }
VstIntPtr EffectBaseX::vendorCall(VstInt32, VstIntPtr, void*, float) { return 0; }
VstInt32 EffectBaseX::answerCanDo(char*) { return 0; }
void* EffectBaseX::icon() { return nullptr; }
bool EffectBaseX::setViewPosition(VstInt32, VstInt32) { return false; }
VstInt32 EffectBaseX::tailSize() { return 0; }
VstInt32 EffectBaseX::idleTick() { return 0; }
bool EffectBaseX::readParameterProperties(VstInt32, void*) { return false; }
bool EffectBaseX::keysRequired() { return false; }
VstInt32 EffectBaseX::interfaceVersion() { return 2200; }
VstInt32 EffectBaseX::midiProgramName(VstInt32, void*) { return 0; }
VstInt32 EffectBaseX::currentMidiProgram(VstInt32, void*) { return -1; }
VstInt32 EffectBaseX::midiProgramCategory(VstInt32, void*) { return 0; }
bool EffectBaseX::midiProgramsChanged(VstInt32) { return false; }
bool EffectBaseX::midiKeyName(VstInt32, void*) { return false; }
bool EffectBaseX::beginSetProgram() { return false; }
bool EffectBaseX::endSetProgram() { return false; }

// ---- host calls ------------------------------------------------------------------------------

VstIntPtr EffectBaseX::requestMidi(VstInt32 filter) {
  return callHost(audioMasterWantMidi, 0, filter);
}

VstTimeInfo* EffectBaseX::hostTimeInfo(VstInt32 filter) {
  return reinterpret_cast<VstTimeInfo*>(callHost(audioMasterGetTime, 0, filter));
}

VstIntPtr EffectBaseX::hostTempoAt(VstInt32 samplePosition) {
  return callHost(audioMasterTempoAt, 0, samplePosition);
}

VstIntPtr EffectBaseX::hostAutomatableParameterCount() {
  return callHost(audioMasterGetNumAutomatableParameters);
}

VstIntPtr EffectBaseX::hostParameterQuantization() {
  return callHost(audioMasterGetParameterQuantization);
}

bool EffectBaseX::hostIOChanged() { return callHost(audioMasterIOChanged) != 0; }
bool EffectBaseX::hostNeedIdle() { return callHost(audioMasterNeedIdle) != 0; }

bool EffectBaseX::hostSizeWindow(VstInt32 width, VstInt32 height) {
  return callHost(audioMasterSizeWindow, width, height) != 0;
}

// The host is asked, but the stored value is the answer.
float EffectBaseX::updateSampleRate() {
  callHost(audioMasterGetSampleRate);
  return sampleRate;
}

VstInt32 EffectBaseX::updateBlockSize() {
  callHost(audioMasterGetBlockSize);
  return blockSize;
}

VstIntPtr EffectBaseX::hostInputLatency() { return callHost(audioMasterGetInputLatency); }
VstIntPtr EffectBaseX::hostOutputLatency() { return callHost(audioMasterGetOutputLatency); }

AEffect* EffectBaseX::hostPreviousPlug(VstInt32) {
  return reinterpret_cast<AEffect*>(callHost(audioMasterGetPreviousPlug));
}

AEffect* EffectBaseX::hostNextPlug(VstInt32) {
  return reinterpret_cast<AEffect*>(callHost(audioMasterGetNextPlug));
}

VstIntPtr EffectBaseX::hostWillReplaceOrAccumulate() {
  return callHost(audioMasterWillReplaceOrAccumulate);
}

VstIntPtr EffectBaseX::hostCurrentProcessLevel() {
  return callHost(audioMasterGetCurrentProcessLevel);
}

VstIntPtr EffectBaseX::hostAutomationState() { return callHost(audioMasterGetAutomationState); }

bool EffectBaseX::hostOfflineRead(void* task, VstInt32 option, bool readSource) {
  return callHost(audioMasterOfflineRead, readSource ? 1 : 0, option, task) != 0;
}

bool EffectBaseX::hostOfflineWrite(void* task, VstInt32 option) {
  return callHost(audioMasterOfflineWrite, 0, option, task) != 0;
}

bool EffectBaseX::hostOfflineStart(void* files, VstInt32 fileCount, VstInt32 newFileCount) {
  return callHost(audioMasterOfflineStart, newFileCount, fileCount, files) != 0;
}

bool EffectBaseX::hostOfflineCurrentPass() {
  return callHost(audioMasterOfflineGetCurrentPass) != 0;
}

bool EffectBaseX::hostOfflineCurrentMetaPass() {
  return callHost(audioMasterOfflineGetCurrentMetaPass) != 0;
}

VstIntPtr EffectBaseX::hostSetOutputSampleRate(float rate) {
  return callHost(audioMasterSetOutputSampleRate, 0, 0, nullptr, rate);
}

bool EffectBaseX::hostSpeakerArrangement(void* first, void* second) {
  return callHost(audioMasterGetOutputSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(first),
                  second) != 0;
}

bool EffectBaseX::hostVendorString(char* text) {
  return callHost(audioMasterGetVendorString, 0, 0, text) != 0;
}

bool EffectBaseX::hostProductString(char* text) {
  return callHost(audioMasterGetProductString, 0, 0, text) != 0;
}

VstIntPtr EffectBaseX::hostVendorVersion() { return callHost(audioMasterGetVendorVersion); }

VstIntPtr EffectBaseX::hostVendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  return callHost(audioMasterVendorSpecific, index, value, ptr, opt);
}

// Hosts answer 1 for yes, 0 for "don't know" and -1 for no: only a positive answer is a yes.
bool EffectBaseX::hostCanDo(char* text) { return callHost(audioMasterCanDo, 0, 0, text) > 0; }
VstIntPtr EffectBaseX::hostLanguage() { return callHost(audioMasterGetLanguage); }

void* EffectBaseX::hostOpenWindow(VstWindow* window) {
  return reinterpret_cast<void*>(callHost(audioMasterOpenWindow, 0, 0, window));
}

bool EffectBaseX::hostCloseWindow(VstWindow* window) {
  return callHost(audioMasterCloseWindow, 0, 0, window) != 0;
}

void* EffectBaseX::hostDirectory() {
  return reinterpret_cast<void*>(callHost(audioMasterGetDirectory));
}

bool EffectBaseX::hostUpdateDisplay() { return callHost(audioMasterUpdateDisplay) != 0; }

bool EffectBaseX::hostBeginEdit(VstInt32 index) {
  return callHost(audioMasterBeginEdit, index) != 0;
}

bool EffectBaseX::hostEndEdit(VstInt32 index) { return callHost(audioMasterEndEdit, index) != 0; }

bool EffectBaseX::hostOpenFileSelector(VstFileSelect* selection) {
  if (!selection) return false;
  return callHost(audioMasterOpenFileSelector, 0, 0, selection) != 0;
}

bool EffectBaseX::hostProcessEvents(VstEvents* events) {
  return callHost(audioMasterProcessEvents, 0, 0, events) == 1;
}

bool EffectBaseX::hostCloseFileSelector(VstFileSelect* selection) {
  if (!selection) return false;
  return callHost(audioMasterCloseFileSelector, 0, 0, selection) != 0;
}

bool EffectBaseX::hostChunkFile(void* nativePath) {
  if (!nativePath) return false;
  return callHost(audioMasterGetChunkFile, 0, 0, nativePath) != 0;
}
