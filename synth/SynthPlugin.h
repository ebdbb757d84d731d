// The final instrument class: sets the instrument's unique identifier, turns parameter 8 into the
// envelope command and tells the panel of every other parameter change and of program changes.
// The panel arrives through the SynthPanel seam; the plug-in's wiring attaches the editor, which
// the shell then owns (an instance without one works, silently, without a panel).
#pragma once

#include "synth/SynthCore.h"
#include "synth/SynthPanel.h"

class SynthPlugin : public SynthCore {
 public:
  explicit SynthPlugin(audioMasterCallback hostCallback);
  ~SynthPlugin() override;

  void setParameter(VstInt32 index, float value) override;
  // Selects the program, then tells the panel that everything it shows may have changed.
  void selectProgram(VstInt32 program) override;
  // Restores saved state, then tells the panel as a program selection does.
  VstInt32 writeChunk(void* data, VstInt32 byteSize, bool isPreset) override;

  // The panel side of the editor (the editor itself is owned through the shell's editor field);
  // null detaches it.
  void attachPanel(SynthPanel* newPanel) { panel = newPanel; }

 private:
  void runEnvelopeCommand(float value);

  SynthPanel* panel = nullptr;
};
