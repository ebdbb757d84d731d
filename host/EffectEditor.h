// The editor as the host boundary sees it: the operations the dispatcher's editor opcodes reach,
// in their fixed order. The GUI toolkit's editor base implements them; the shell owns the editor
// and destroys it with the instance.
#pragma once

#include "host/vst2.h"

class EffectEditor {
 public:
  EffectEditor() = default;
  EffectEditor(const EffectEditor&) = delete;
  EffectEditor& operator=(const EffectEditor&) = delete;

  virtual ~EffectEditor() = default;
  // Hands out the address of the editor rectangle; answers 1 when it did.
  virtual VstIntPtr getRect(ERect** rect) = 0;
  // Opens the panel inside the host's window (on X11 the parent window id).
  virtual VstIntPtr open(void* systemWindow) = 0;
  virtual void close() = 0;
  virtual void idle() = 0;
  virtual void update() = 0;
  virtual void requestUpdate() = 0;
  virtual VstIntPtr onKeyDown(VstKeyCode& keyCode) = 0;
  virtual VstIntPtr onKeyUp(VstKeyCode& keyCode) = 0;
  virtual VstIntPtr setDragMode(VstInt32 mode) = 0;
};
