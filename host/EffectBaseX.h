// Second-generation shell: answers dispatcher opcodes 25-68 (handing every other opcode to the
// first-generation handler) and offers the rest of the host calls. No data of its own; the
// virtual operations continue the base table in their fixed order.
#pragma once

#include "host/EffectBase.h"

class EffectBaseX : public EffectBase {
 public:
  EffectBaseX(audioMasterCallback hostCallback, VstInt32 programCount, VstInt32 parameterCount);

  VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                       float opt) override;

  virtual EffectEditor* getEditor();
  virtual VstIntPtr requestMidi(VstInt32 filter);
  virtual VstTimeInfo* hostTimeInfo(VstInt32 filter);
  virtual VstIntPtr hostTempoAt(VstInt32 samplePosition);
  virtual VstInt32 handleEvents(VstEvents* events);
  virtual VstIntPtr hostAutomatableParameterCount();
  virtual VstIntPtr hostParameterQuantization();
  virtual bool canParameterBeAutomated(VstInt32 index);
  virtual bool parameterFromText(VstInt32 index, char* text);
  virtual float channelParameter(VstInt32 channel, VstInt32 index);
  virtual VstInt32 programCategoryCount();
  virtual bool readProgramNameAt(VstInt32 category, VstInt32 index, char* text);
  virtual bool duplicateProgram(VstInt32 destination);
  virtual bool hostIOChanged();
  virtual bool hostNeedIdle();
  virtual bool hostSizeWindow(VstInt32 width, VstInt32 height);
  virtual float updateSampleRate();
  virtual VstInt32 updateBlockSize();
  virtual VstIntPtr hostInputLatency();
  virtual VstIntPtr hostOutputLatency();
  virtual AEffect* hostPreviousPlug(VstInt32 pin);
  virtual AEffect* hostNextPlug(VstInt32 pin);
  virtual void inputConnected(VstInt32 index, bool state);
  virtual void outputConnected(VstInt32 index, bool state);
  virtual bool readInputProperties(VstInt32 index, VstPinProperties* properties);
  virtual bool readOutputProperties(VstInt32 index, VstPinProperties* properties);
  virtual VstInt32 readPlugCategory();
  virtual VstIntPtr hostWillReplaceOrAccumulate();
  virtual VstIntPtr hostCurrentProcessLevel();
  virtual VstIntPtr hostAutomationState();
  virtual void setAsynchronous(bool on);
  virtual void setExternalBuffer(bool on);
  virtual VstInt32 currentPosition();
  virtual float* destinationBuffer();
  virtual bool hostOfflineRead(void* task, VstInt32 option, bool readSource);
  virtual bool hostOfflineWrite(void* task, VstInt32 option);
  virtual bool hostOfflineStart(void* files, VstInt32 fileCount, VstInt32 newFileCount);
  virtual bool hostOfflineCurrentPass();
  virtual bool hostOfflineCurrentMetaPass();
  virtual bool offlineNotify(void* files, VstInt32 count, bool start);
  virtual bool offlinePrepare(void* tasks, VstInt32 count);
  virtual bool offlineRun(void* tasks, VstInt32 count);
  virtual VstInt32 offlinePassCount();
  virtual VstInt32 offlineMetaPassCount();
  virtual VstIntPtr hostSetOutputSampleRate(float rate);
  virtual bool hostSpeakerArrangement(void* first, void* second);
  virtual bool hostVendorString(char* text);
  virtual bool hostProductString(char* text);
  virtual VstIntPtr hostVendorVersion();
  virtual VstIntPtr hostVendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt);
  virtual bool hostCanDo(char* text);
  virtual void setIsSynth(bool on);
  virtual void setNoTail(bool on);
  virtual VstIntPtr hostLanguage();
  virtual void* hostOpenWindow(VstWindow* window);
  virtual bool hostCloseWindow(VstWindow* window);
  virtual void* hostDirectory();
  virtual bool hostUpdateDisplay();
  virtual bool processVariableIo(void* record);
  virtual bool setSpeakerArrangement(void* input, void* output);
  virtual void setBlockSizeAndSampleRate(VstInt32 size, float rate);
  virtual bool setBypass(bool on);
  virtual bool readEffectName(char* text);
  virtual bool readErrorText(char* text);
  virtual bool readVendorString(char* text);
  virtual bool readProductString(char* text);
  virtual VstInt32 readVendorVersion();
  virtual VstIntPtr vendorCall(VstInt32 index, VstIntPtr value, void* ptr, float opt);
  virtual VstInt32 answerCanDo(char* text);
  virtual void* icon();
  virtual bool setViewPosition(VstInt32 x, VstInt32 y);
  virtual VstInt32 tailSize();
  virtual VstInt32 idleTick();
  virtual bool readParameterProperties(VstInt32 index, void* properties);
  virtual bool keysRequired();
  virtual VstInt32 interfaceVersion();
  virtual VstInt32 midiProgramName(VstInt32 channel, void* record);
  virtual VstInt32 currentMidiProgram(VstInt32 channel, void* record);
  virtual VstInt32 midiProgramCategory(VstInt32 channel, void* record);
  virtual bool midiProgramsChanged(VstInt32 channel);
  virtual bool midiKeyName(VstInt32 channel, void* record);
  virtual bool beginSetProgram();
  virtual bool endSetProgram();
  virtual bool hostBeginEdit(VstInt32 index);
  virtual bool hostEndEdit(VstInt32 index);
  virtual bool hostOpenFileSelector(VstFileSelect* selection);

  // Host calls outside the virtual table.
  bool hostProcessEvents(VstEvents* events);
  bool hostCloseFileSelector(VstFileSelect* selection);
  bool hostChunkFile(void* nativePath);

 private:
  VstIntPtr dispatchKey(VstInt32 opcode, VstInt32 index, VstIntPtr value, float opt);
};
