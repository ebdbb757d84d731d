// What the instrument needs of its editor panel: whether the panel is open, the curve of an
// envelope slot, and a notice of every parameter change. The editor implements it; until there
// is one, the instrument works without a panel.
#pragma once

#include "host/vst2.h"

class SynthPanel {
 public:
  SynthPanel() = default;
  SynthPanel(const SynthPanel&) = delete;
  SynthPanel& operator=(const SynthPanel&) = delete;
  virtual ~SynthPanel() = default;

  // True while the panel's window and its curve editors exist.
  virtual bool isPanelOpen() const = 0;
  // Copies the 385 points of a slot's curve editor into destination; false (nothing written)
  // when that slot has no curve editor.
  virtual bool getSlotCurve(VstInt32 slot, float* destination) = 0;
  // Every parameter set on the instrument other than the envelope command.
  virtual void parameterChanged(VstInt32 index, float value) = 0;
  // The whole program changed at once (another program selected, a saved state restored). May
  // come on any thread: the panel only notes it and re-reads its values and curves at its next
  // idle, on the user-interface thread.
  virtual void programChanged() = 0;
};
