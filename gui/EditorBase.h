// EditorBase: the editor as the plug-in and the host see it. It registers itself with the
// plug-in (which owns it from then on and announces it to the host with effFlagsHasEditor),
// answers the host's editor requests (rectangle, open, close, idle, keys, knob mode, wheel) and
// keeps the host alive while a control tracks the mouse (pumpIdle). The subclass builds and
// destroys its GuiFrame in open and close; this class only holds it.
#pragma once

#include <cstdint>

#include "host/EffectEditor.h"
#include "host/vst2.h"

class EffectBaseX;
class FrameBackend;
class GuiFrame;

// The knob mode the host last asked for (effSetEditKnobMode), shared by every knob of the
// process.
std::int32_t toolkitKnobMode();

class EditorBase : public EffectEditor {
 public:
  // `backend` makes the frames' windows and tells the time; it must outlive the editor (the
  // plug-in hands in the X11 back end, tests the headless one). The effect may be null (then
  // nothing is registered and the host forwarders do nothing).
  EditorBase(EffectBaseX* effect, FrameBackend& backend);
  ~EditorBase() override;

  // Hands out the address of the editor rectangle; 1.
  VstIntPtr getRect(ERect** rect) override;
  // Stores the window and asks for an update; 0. The subclass builds its frame after this.
  VstIntPtr open(void* window) override;
  void close() override;
  // Nothing while the host's idle call runs; else the update when one was asked for, then the
  // frame's idle.
  void idle() override;
  void update() override;
  void requestUpdate() override;
  VstIntPtr onKeyDown(VstKeyCode& keyCode) override;  // -1: not handled
  VstIntPtr onKeyUp(VstKeyCode& keyCode) override;    // -1: not handled
  // Stores the knob mode for the whole toolkit; 1.
  VstIntPtr setDragMode(VstInt32 mode) override;
  // The wheel goes to the view under the pointer; false without a frame.
  virtual bool onWheel(float distance);
  // The base only asks for an update.
  virtual void setParameter(VstInt32 index, float value);
  // Redraws the whole frame at once; the rectangle is ignored.
  virtual void draw(ERect* rect);
  // Called by controls on every pass of a mouse-tracking loop: runs idle, handles one pending
  // paint and gives the host its idle call, at most once per 50 to 100 ms (see the .cpp).
  virtual void pumpIdle();

  EffectBaseX* getEffect() const { return effect; }
  GuiFrame* getFrame() const { return frame; }
  void* getSystemWindow() const { return systemWindow; }
  FrameBackend& getBackend() const { return backend; }
  bool isUpdatePending() const { return updatePending != 0; }
  bool isInIdle() const { return inIdle; }

 protected:
  EffectBaseX* effect;
  void* systemWindow = nullptr;
  std::int32_t updatePending = 0;
  ERect rect{};
  GuiFrame* frame = nullptr;
  std::int64_t lastIdleTicks;
  bool inIdle = false;

 private:
  FrameBackend& backend;
};
