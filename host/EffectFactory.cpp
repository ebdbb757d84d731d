// The plug-in's wiring, built only into the plug-in itself: the one file that sees every layer.
// It makes the instrument, then its editor panel on the X11 back end, which registers itself as
// the instrument's editor and panel. The layers below know nothing of each other's upper
// neighbours: the synth never sees the editor, the toolkit never picks a window system.
#include "host/EffectFactory.h"

#include <memory>
#include <new>

#include "editor/SynthEditor.h"
#include "gui/platform/x11/X11FrameWindow.h"
#include "synth/SynthPlugin.h"

namespace {

// One back end for every editor of the process; it lives as long as the library.
FrameBackend& x11Backend() {
  static X11FrameBackend backend;
  return backend;
}

}  // namespace

// An instance whose editor cannot be allocated is refused (and freed); only that instance: the
// next request starts afresh.
EffectBase* createEffectInstance(audioMasterCallback hostCallback) noexcept {
  try {
    std::unique_ptr<SynthPlugin> plugin(new (std::nothrow) SynthPlugin(hostCallback));
    if (!plugin) return nullptr;
    // From here on the instance owns the editor and destroys it with itself.
    if (!new (std::nothrow) SynthEditor(plugin.get(), x11Backend())) return nullptr;
    return plugin.release();
  } catch (...) {
    return nullptr;
  }
}
