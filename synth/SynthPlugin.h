// The final instrument class: sets the instrument's unique identifier and owns the editor.
#pragma once

#include "synth/SynthCore.h"

class SynthPlugin : public SynthCore {
 public:
  explicit SynthPlugin(audioMasterCallback hostCallback);
  ~SynthPlugin() override;

  // True when this instance's editor could not be allocated; the entry point then refuses it.
  bool editorAllocationFailed() const { return editorMissing; }

 private:
  bool editorMissing = false;
};
