// Plug-in entry point (placeholder until the shell classes land).
#include "host/vst2.h"

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback) {
  return nullptr;
}
extern "C" __attribute__((visibility("default"))) AEffect* vstMainAlias(audioMasterCallback cb)
    __asm__("main");
extern "C" AEffect* vstMainAlias(audioMasterCallback cb) { return VSTPluginMain(cb); }
