// The final instrument class and the factory the entry point calls.
#include "synth/SynthPlugin.h"

#include <new>

#include "host/EffectFactory.h"

SynthPlugin::SynthPlugin(audioMasterCallback callback) : SynthCore(callback) {
  setUniqueId(fourCharCode("QNTR"));
}

SynthPlugin::~SynthPlugin() = default;

// Only the instance whose editor could not be made is refused; later instances are unaffected.
EffectBase* createEffectInstance(audioMasterCallback hostCallback) noexcept {
  try {
    auto* plugin = new (std::nothrow) SynthPlugin(hostCallback);
    if (!plugin) return nullptr;
    if (plugin->editorAllocationFailed()) {
      delete plugin;
      return nullptr;
    }
    return plugin;
  } catch (...) {
    return nullptr;
  }
}
