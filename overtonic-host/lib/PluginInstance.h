// PluginInstance: one effect created by a loaded plug-in, driven only through its AEffect record
// (dispatcher, setParameter, getParameter, process, processReplacing) the way a host drives it.
// Every call the plug-in makes to our host callback is answered and recorded, so tests can check
// what the plug-in asked of its host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "host/vst2.h"

namespace hostlib {

// One call the plug-in made to our host callback.
struct HostCall {
  int32_t opcode = 0;
  int32_t index = 0;
  intptr_t value = 0;
  float opt = 0;
  std::string text;         // ptr read as a C string for audioMasterCanDo, else empty
  bool nullEffect = false;  // the plug-in passed a null effect (as the entry does for the version)
  const void* ptr = nullptr;
};

// The host's own file selector: what the user chose for a file-select record, or nullopt when
// the selection was cancelled.
using HostFileSelector =
    std::function<std::optional<std::vector<std::string>>(const VstFileSelect& selection)>;

// What our host answers and announces before start() sets the real values.
struct HostOptions {
  intptr_t versionAnswer = kVstVersion;  // answer to audioMasterVersion (0 plays a host too old)
  float sampleRate = 44100;
  int32_t blockSize = 512;
  // When set, the host offers its own file selector: it answers yes to "openFileSelector" and
  // "closeFileSelector" and fills the record of audioMasterOpenFileSelector with what this
  // returns (one path into the plug-in's buffer, or into one of the host's; several as an array
  // of the host's), until audioMasterCloseFileSelector hands the record back. Most Linux hosts
  // offer none.
  HostFileSelector fileSelector;
};

// Our host's identity as the plug-in can ask for it.
inline constexpr const char* kHostVendor = "Overtonic Project";
inline constexpr const char* kHostProduct = "overtonic-host";
inline constexpr intptr_t kHostVendorVersion = 1000;

// Size of every text buffer handed to the plug-in; zero-filled before each call.
inline constexpr size_t kTextBufferSize = 256;

namespace detail {
struct CallbackAccess;
}

class PluginInstance {
 public:
  ~PluginInstance();  // suspends if started, then sends effClose if still open
  PluginInstance(const PluginInstance&) = delete;
  PluginInstance& operator=(const PluginInstance&) = delete;

  // The record, or null once the instance is closed.
  AEffect* effect() { return effect_; }
  const AEffect* effect() const { return effect_; }
  bool isOpen() const { return effect_ != nullptr; }

  // Raw dispatcher call; 0 once closed. effClose goes through close() instead.
  intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                    float opt = 0);

  // Texts read into zero-filled buffers of kTextBufferSize bytes, returned byte for byte (blanks
  // included) up to the first zero.
  std::string parameterName(int32_t index);
  std::string parameterLabel(int32_t index);
  std::string parameterDisplay(int32_t index);
  std::string programName();
  std::optional<std::string> programNameAt(int32_t index);  // nullopt when the plug-in says no
  std::string effectName();
  std::string vendor();
  std::string product();
  intptr_t vendorVersion();
  intptr_t canDo(const std::string& what);

  void setParameter(int32_t index, float value);
  float getParameter(int32_t index);
  void setProgram(int32_t program) { dispatch(effSetProgram, 0, program); }
  int32_t program() { return static_cast<int32_t>(dispatch(effGetProgram)); }

  // Saved state: effGetChunk copied out of the plug-in's memory (empty when it offers none), and
  // effSetChunk, true when the plug-in took it. `program` selects index 1 (the current program)
  // instead of index 0 (the bank).
  bool offersChunks() const;
  std::vector<unsigned char> getChunk(bool program);
  bool setChunk(std::span<const unsigned char> chunk, bool program);

  // effOpen was sent by instantiate. start: effSetSampleRate, effSetBlockSize, effMainsChanged(1).
  void start(float sampleRate, int32_t blockSize);
  void stop();  // effMainsChanged(0)
  bool isStarted() const { return started; }

  // Builds a VstEvents list of copies of the events and sends it with effProcessEvents.
  intptr_t sendEvents(std::span<const VstMidiEvent> events);

  // Audio: out is the first output channel; further channels (if the record declares any) go to
  // scratch buffers, inputs are silent scratch buffers. frames is passed on as given.
  void processReplacing(float* out, int32_t frames);
  void process(float* out, int32_t frames);  // accumulating entry: out must hold what to add to

  // effClose (after effMainsChanged(0) when started); returns its result. The record is gone
  // afterwards: every later call is a harmless no-op.
  intptr_t close();

  // The host calls recorded so far. Not to be read while another thread drives the instance.
  const std::vector<HostCall>& calls() const { return calls_; }
  void clearCalls();
  size_t countCalls(int32_t opcode) const;

  float sampleRate() const { return sampleRate_; }
  int32_t blockSize() const { return blockSize_; }
  const std::string& pluginPath() const { return path_; }

 private:
  friend class PluginLibrary;
  friend struct detail::CallbackAccess;

  PluginInstance(std::shared_ptr<void> library, std::string path, const HostOptions& options);

  intptr_t answerHostCall(bool nullEffect, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                          float opt);
  intptr_t openFileSelector(VstFileSelect* selection);
  intptr_t closeFileSelector(VstFileSelect* selection);
  std::string readText(int32_t opcode, int32_t index);
  void prepareChannels(int32_t frames);
  void runAudio(AEffectProcessProc entry, float* out, int32_t frames);

  std::shared_ptr<void> library_;  // keeps the .so loaded while the instance lives
  std::string path_;
  HostOptions options_;
  AEffect* effect_ = nullptr;
  float sampleRate_;
  int32_t blockSize_;
  bool started = false;

  mutable std::mutex callsMutex;
  std::vector<HostCall> calls_;

  std::vector<std::vector<float>> scratch;  // extra outputs, then inputs
  std::vector<float*> outputs_;
  std::vector<float*> inputs_;
  std::vector<VstMidiEvent> eventCopies;
  std::vector<intptr_t> eventList;  // word-aligned storage of the VstEvents list

  // What the host's file selector handed over, per record, until the record comes back.
  struct HostSelection {
    std::vector<std::string> paths;
    std::vector<char*> pointers;  // the array of several paths
    bool ownsSinglePath = false;  // paths[0] is the record's returnPath
  };
  std::mutex selectionsMutex;
  std::map<const VstFileSelect*, std::unique_ptr<HostSelection>> selections;
};

}  // namespace hostlib
