// The plug-in's entry point. Hosts look up VSTPluginMain (current Linux hosts) or main (the
// classic name); both are the same function. It asks the host for its interface version, builds
// one instance and hands back its record, or null. No exception leaves it.
#include "host/EffectFactory.h"

#define OVERTONIC_EXPORT extern "C" __attribute__((visibility("default")))

OVERTONIC_EXPORT AEffect* VSTPluginMain(audioMasterCallback hostCallback) {
  try {
    if (!hostCallback) return nullptr;
    // A host that does not answer the version question is too old: nothing is allocated.
    if (hostCallback(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    EffectBase* instance = createEffectInstance(hostCallback);
    return instance ? instance->getAEffect() : nullptr;
  } catch (...) {
    return nullptr;
  }
}

// "main" cannot be declared as a C++ function of this signature, so it is an assembler-level
// alias of the same entry.
OVERTONIC_EXPORT AEffect* classicMain(audioMasterCallback hostCallback) __asm__("main");
OVERTONIC_EXPORT AEffect* classicMain(audioMasterCallback hostCallback) {
  return VSTPluginMain(hostCallback);
}
