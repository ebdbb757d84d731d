// The one host callback every loaded plug-in receives, and the registry that routes each of its
// calls to the PluginInstance owning the effect. Internal to the host library.
#pragma once

#include "host/vst2.h"

namespace hostlib {
class PluginInstance;
}

namespace hostlib::detail {

VstIntPtr hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                       float opt);

// Returns false when the effect is already registered to another instance.
bool registerEffect(AEffect* effect, PluginInstance* instance);
void unregisterEffect(AEffect* effect);

// While alive, calls with a null or not yet registered effect on this thread go to `instance`:
// the entry asks for the host version before it has a record to pass.
class PendingInstance {
 public:
  explicit PendingInstance(PluginInstance* instance);
  ~PendingInstance();
  PendingInstance(const PendingInstance&) = delete;
  PendingInstance& operator=(const PendingInstance&) = delete;

 private:
  PluginInstance* previous;
};

// Marks the current thread as inside an audio call, for audioMasterGetCurrentProcessLevel.
class AudioCallScope {
 public:
  AudioCallScope();
  ~AudioCallScope();
  AudioCallScope(const AudioCallScope&) = delete;
  AudioCallScope& operator=(const AudioCallScope&) = delete;
  static bool active();
};

struct CallbackAccess {
  static VstIntPtr answer(PluginInstance& instance, bool nullEffect, VstInt32 opcode,
                          VstInt32 index, VstIntPtr value, void* ptr, float opt);
};

}  // namespace hostlib::detail
