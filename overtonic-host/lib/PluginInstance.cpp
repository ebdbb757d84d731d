// PluginInstance: the host side of one effect. Sends opcodes in the order hosts use them, reads
// texts into zero-filled buffers, builds event lists, supplies channel buffers for the audio
// entries and answers (and records) the plug-in's calls to the host.
#include "overtonic-host/lib/PluginInstance.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>
#include <utility>

#include "overtonic-host/lib/HostCallback.h"

namespace hostlib {
namespace {

// More channels than any real plug-in declares; a record claiming more gets only these.
constexpr int32_t kMaxChannels = 64;

// What our host can do, as the plug-in may ask with audioMasterCanDo.
constexpr std::array<std::string_view, 2> kHostCanDo = {"sendVstEvents", "sendVstMidiEvent"};

// Answers of the host-callback opcodes that mean "handled" rather than a value.
constexpr intptr_t kHandled = 1;
constexpr intptr_t kProcessLevelUser = 1;
constexpr intptr_t kProcessLevelRealtime = 2;
constexpr intptr_t kAutomationOff = 1;
constexpr intptr_t kLanguageEnglish = 1;

intptr_t copyHostText(void* ptr, const char* text) {
  if (ptr == nullptr) return 0;
  std::memcpy(ptr, text, std::strlen(text) + 1);
  return kHandled;
}

}  // namespace

PluginInstance::PluginInstance(std::shared_ptr<void> library, std::string path,
                               const HostOptions& options)
    : library_(std::move(library)),
      path_(std::move(path)),
      options_(options),
      sampleRate_(options.sampleRate),
      blockSize_(options.blockSize) {}

PluginInstance::~PluginInstance() { close(); }

intptr_t PluginInstance::dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                  float opt) {
  if (effect_ == nullptr) return 0;
  AEffect* effect = effect_;
  if (opcode == effClose) {
    // The record is freed by this call: forget it before anything else can use it.
    const intptr_t result = effect->dispatcher(effect, effClose, index, value, ptr, opt);
    detail::unregisterEffect(effect);
    effect_ = nullptr;
    started = false;
    return result;
  }
  return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

std::string PluginInstance::readText(int32_t opcode, int32_t index) {
  std::array<char, kTextBufferSize> buffer{};
  dispatch(opcode, index, 0, buffer.data());
  return std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
}

std::string PluginInstance::parameterName(int32_t index) {
  return readText(effGetParamName, index);
}
std::string PluginInstance::parameterLabel(int32_t index) {
  return readText(effGetParamLabel, index);
}
std::string PluginInstance::parameterDisplay(int32_t index) {
  return readText(effGetParamDisplay, index);
}
std::string PluginInstance::programName() { return readText(effGetProgramName, 0); }
std::string PluginInstance::effectName() { return readText(effGetEffectName, 0); }
std::string PluginInstance::vendor() { return readText(effGetVendorString, 0); }
std::string PluginInstance::product() { return readText(effGetProductString, 0); }
intptr_t PluginInstance::vendorVersion() { return dispatch(effGetVendorVersion); }

std::optional<std::string> PluginInstance::programNameAt(int32_t index) {
  std::array<char, kTextBufferSize> buffer{};
  if (dispatch(effGetProgramNameIndexed, index, 0, buffer.data()) == 0) return std::nullopt;
  return std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
}

intptr_t PluginInstance::canDo(const std::string& what) {
  return dispatch(effCanDo, 0, 0, const_cast<char*>(what.c_str()));
}

void PluginInstance::setParameter(int32_t index, float value) {
  if (effect_ != nullptr && effect_->setParameter != nullptr) {
    effect_->setParameter(effect_, index, value);
  }
}

float PluginInstance::getParameter(int32_t index) {
  if (effect_ == nullptr || effect_->getParameter == nullptr) return 0;
  return effect_->getParameter(effect_, index);
}

bool PluginInstance::offersChunks() const {
  return effect_ != nullptr && (effect_->flags & effFlagsProgramChunks) != 0;
}

std::vector<unsigned char> PluginInstance::getChunk(bool program) {
  void* data = nullptr;
  const intptr_t size = dispatch(effGetChunk, program ? 1 : 0, 0, &data);
  if (size <= 0 || data == nullptr) return {};
  const auto* bytes = static_cast<const unsigned char*>(data);
  return std::vector<unsigned char>(bytes, bytes + size);
}

// The plug-in receives its own copy: a plug-in may not keep the pointer, but must not be able to
// change the caller's bytes either.
bool PluginInstance::setChunk(std::span<const unsigned char> chunk, bool program) {
  if (chunk.empty()) return false;
  std::vector<unsigned char> copy(chunk.begin(), chunk.end());
  return dispatch(effSetChunk, program ? 1 : 0, static_cast<intptr_t>(copy.size()), copy.data()) !=
         0;
}

void PluginInstance::start(float sampleRate, int32_t blockSize) {
  if (effect_ == nullptr) return;
  sampleRate_ = sampleRate;
  blockSize_ = blockSize;
  dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
  dispatch(effSetBlockSize, 0, blockSize);
  prepareChannels(blockSize);
  dispatch(effMainsChanged, 0, 1);
  started = true;
}

void PluginInstance::stop() {
  if (effect_ == nullptr) return;
  dispatch(effMainsChanged, 0, 0);
  started = false;
}

intptr_t PluginInstance::sendEvents(std::span<const VstMidiEvent> events) {
  eventCopies.assign(events.begin(), events.end());
  const size_t count = eventCopies.size();
  // Header words (count, reserved) followed by one pointer per event; never shorter than the
  // declared record.
  eventList.assign(2 + std::max<size_t>(count, 2), 0);
  auto* base = reinterpret_cast<unsigned char*>(eventList.data());
  const auto numEvents = static_cast<VstInt32>(count);
  std::memcpy(base + offsetof(VstEvents, numEvents), &numEvents, sizeof numEvents);
  for (size_t i = 0; i < count; ++i) {
    auto* event = reinterpret_cast<VstEvent*>(&eventCopies[i]);
    std::memcpy(base + offsetof(VstEvents, events) + i * sizeof(VstEvent*), &event, sizeof event);
  }
  return dispatch(effProcessEvents, 0, 0, base);
}

void PluginInstance::prepareChannels(int32_t frames) {
  if (effect_ == nullptr) return;
  const int32_t outputs = std::clamp(effect_->numOutputs, 1, kMaxChannels);
  const int32_t inputs = std::clamp(effect_->numInputs, 0, kMaxChannels);
  const size_t length = static_cast<size_t>(std::max({frames, blockSize_, 1}));
  const size_t buffers = static_cast<size_t>(outputs - 1 + inputs);
  scratch.resize(buffers);
  for (auto& buffer : scratch) {
    if (buffer.size() < length) buffer.resize(length);
  }
  outputs_.assign(static_cast<size_t>(outputs), nullptr);
  inputs_.assign(static_cast<size_t>(inputs), nullptr);
  for (size_t i = 1; i < outputs_.size(); ++i) outputs_[i] = scratch[i - 1].data();
  for (size_t i = 0; i < inputs_.size(); ++i) {
    inputs_[i] = scratch[outputs_.size() - 1 + i].data();
  }
  // Inputs are silence; extra outputs start clear for the accumulating entry.
  for (auto& buffer : scratch) std::fill(buffer.begin(), buffer.end(), 0.0f);
}

void PluginInstance::processReplacing(float* out, int32_t frames) {
  if (effect_ != nullptr) runAudio(effect_->processReplacing, out, frames);
}

void PluginInstance::process(float* out, int32_t frames) {
  if (effect_ != nullptr) runAudio(effect_->process, out, frames);
}

void PluginInstance::runAudio(AEffectProcessProc entry, float* out, int32_t frames) {
  if (entry == nullptr) return;
  prepareChannels(frames);
  outputs_[0] = out;
  detail::AudioCallScope scope;
  entry(effect_, inputs_.data(), outputs_.data(), frames);
}

intptr_t PluginInstance::close() {
  if (effect_ == nullptr) return 0;
  if (started) stop();
  return dispatch(effClose);
}

void PluginInstance::clearCalls() {
  std::lock_guard lock(callsMutex);
  calls_.clear();
}

size_t PluginInstance::countCalls(int32_t opcode) const {
  std::lock_guard lock(callsMutex);
  return static_cast<size_t>(std::count_if(
      calls_.begin(), calls_.end(), [opcode](const HostCall& c) { return c.opcode == opcode; }));
}

intptr_t PluginInstance::answerHostCall(bool nullEffect, int32_t opcode, int32_t index,
                                        intptr_t value, void* ptr, float opt) {
  HostCall call{opcode, index, value, opt, {}, nullEffect, ptr};
  if (opcode == audioMasterCanDo && ptr != nullptr) {
    const auto* text = static_cast<const char*>(ptr);
    call.text.assign(text, strnlen(text, kTextBufferSize));
  }
  const std::string canDoText = call.text;
  {
    std::lock_guard lock(callsMutex);
    calls_.push_back(std::move(call));
  }
  switch (opcode) {
    case audioMasterVersion: return options_.versionAnswer;
    case audioMasterCurrentId: return effect_ != nullptr ? effect_->uniqueID : 0;
    case audioMasterWantMidi: return kHandled;
    case audioMasterGetSampleRate: return static_cast<intptr_t>(sampleRate_);
    case audioMasterGetBlockSize: return blockSize_;
    case audioMasterGetCurrentProcessLevel:
      return detail::AudioCallScope::active() ? kProcessLevelRealtime : kProcessLevelUser;
    case audioMasterGetAutomationState: return kAutomationOff;
    case audioMasterGetVendorString: return copyHostText(ptr, kHostVendor);
    case audioMasterGetProductString: return copyHostText(ptr, kHostProduct);
    case audioMasterGetVendorVersion: return kHostVendorVersion;
    case audioMasterCanDo:  // 0, not -1: plug-ins read any non-zero answer as yes
      if (options_.fileSelector &&
          (canDoText == "openFileSelector" || canDoText == "closeFileSelector")) {
        return 1;
      }
      return std::find(kHostCanDo.begin(), kHostCanDo.end(), canDoText) != kHostCanDo.end() ? 1 : 0;
    case audioMasterOpenFileSelector: return openFileSelector(static_cast<VstFileSelect*>(ptr));
    case audioMasterCloseFileSelector: return closeFileSelector(static_cast<VstFileSelect*>(ptr));
    case audioMasterGetLanguage: return kLanguageEnglish;
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
    case audioMasterUpdateDisplay: return kHandled;
    default: return 0;
  }
}

// One path goes into the plug-in's buffer when it gave one (refused when it does not fit), else
// into the host's; several always into an array of the host's.
intptr_t PluginInstance::openFileSelector(VstFileSelect* selection) {
  if (!options_.fileSelector || selection == nullptr) return 0;
  std::optional<std::vector<std::string>> chosen = options_.fileSelector(*selection);
  if (!chosen || chosen->empty()) return 0;
  auto kept = std::make_unique<HostSelection>();
  kept->paths = std::move(*chosen);
  if (selection->command == kVstMultipleFilesLoad) {
    for (std::string& path : kept->paths) kept->pointers.push_back(path.data());
    selection->returnMultiplePaths = kept->pointers.data();
    selection->nbReturnPath = static_cast<VstInt32>(kept->pointers.size());
  } else if (selection->returnPath != nullptr) {
    const std::string& path = kept->paths.front();
    const auto room = static_cast<size_t>(std::max<VstInt32>(selection->sizeReturnPath, 0));
    if (path.size() >= room) return 0;
    std::memcpy(selection->returnPath, path.c_str(), path.size() + 1);
    selection->nbReturnPath = 1;
  } else {
    kept->ownsSinglePath = true;
    selection->returnPath = kept->paths.front().data();
    selection->nbReturnPath = 1;
  }
  std::lock_guard lock(selectionsMutex);
  selections[selection] = std::move(kept);
  return kHandled;
}

// Frees what the selection handed over and takes it out of the record.
intptr_t PluginInstance::closeFileSelector(VstFileSelect* selection) {
  std::lock_guard lock(selectionsMutex);
  auto found = selections.find(selection);
  if (found == selections.end()) return 0;
  HostSelection& kept = *found->second;
  if (kept.ownsSinglePath && selection->returnPath == kept.paths.front().data()) {
    selection->returnPath = nullptr;
  }
  if (!kept.pointers.empty() && selection->returnMultiplePaths == kept.pointers.data()) {
    selection->returnMultiplePaths = nullptr;
  }
  selections.erase(found);
  return kHandled;
}

}  // namespace hostlib
