// The host callback shared by all instances: finds the instance that owns the calling effect
// (or the one being created on this thread) and lets it answer and record the call.
#include "overtonic-host/lib/HostCallback.h"

#include <mutex>
#include <unordered_map>

#include "overtonic-host/lib/PluginInstance.h"

namespace hostlib::detail {
namespace {

std::mutex registryMutex;
std::unordered_map<AEffect*, PluginInstance*>& registry() {
  static std::unordered_map<AEffect*, PluginInstance*> map;
  return map;
}

thread_local PluginInstance* pendingInstance = nullptr;
thread_local int audioCallDepth = 0;

PluginInstance* findInstance(AEffect* effect) {
  if (effect != nullptr) {
    std::lock_guard lock(registryMutex);
    auto found = registry().find(effect);
    if (found != registry().end()) return found->second;
  }
  return pendingInstance;
}

}  // namespace

bool registerEffect(AEffect* effect, PluginInstance* instance) {
  std::lock_guard lock(registryMutex);
  return registry().emplace(effect, instance).second;
}

void unregisterEffect(AEffect* effect) {
  std::lock_guard lock(registryMutex);
  registry().erase(effect);
}

PendingInstance::PendingInstance(PluginInstance* instance) : previous(pendingInstance) {
  pendingInstance = instance;
}
PendingInstance::~PendingInstance() { pendingInstance = previous; }

AudioCallScope::AudioCallScope() { ++audioCallDepth; }
AudioCallScope::~AudioCallScope() { --audioCallDepth; }
bool AudioCallScope::active() { return audioCallDepth > 0; }

VstIntPtr CallbackAccess::answer(PluginInstance& instance, bool nullEffect, VstInt32 opcode,
                                 VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  return instance.answerHostCall(nullEffect, opcode, index, value, ptr, opt);
}

VstIntPtr hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                       float opt) {
  try {
    PluginInstance* instance = findInstance(effect);
    if (instance == nullptr) {
      // A call from an effect we do not know: answer the version question only.
      return opcode == audioMasterVersion ? kVstVersion : 0;
    }
    return CallbackAccess::answer(*instance, effect == nullptr, opcode, index, value, ptr, opt);
  } catch (...) {
    return 0;  // nothing may unwind into the plug-in
  }
}

}  // namespace hostlib::detail
