// Helpers of the frame, view and editor tests: a view and a control that record what the frame
// asks of them and paint a known colour, a plug-in shell whose host callback records every call
// and can answer the window requests, and an editor with a headless frame.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gui/DrawContext.h"
#include "gui/EditorBase.h"
#include "gui/GuiControl.h"
#include "gui/GuiFrame.h"
#include "gui/GuiView.h"
#include "gui/platform/headless/HeadlessFrameWindow.h"
#include "host/EffectBaseX.h"

// A view that counts every call and paints its rectangle in its colour.
class ProbeView : public GuiView {
 public:
  ProbeView(const GuiRect& rect, GuiColor color = kColorRed) : GuiView(rect), color_(color) {}

  void draw(DrawContext* context) override {
    ++draws;
    if (!context) return;
    context->setFillColor(color_);
    context->fillRect({size.left - 1, size.top - 1, size.right, size.bottom});
  }
  void update(DrawContext* context) override {
    ++updates;
    GuiView::update(context);
  }
  void onMouseDown(DrawContext* context, GuiPoint where) override {
    ++presses;
    lastPress = where;
    if (onPress) onPress(context, where);
  }
  bool onWheel(DrawContext*, GuiPoint where, float distance) override {
    ++wheels;
    lastWheelAt = where;
    lastDistance = distance;
    return acceptsWheel;
  }
  bool onDrop(void**, std::int32_t count, std::int32_t type, GuiPoint) override {
    ++drops;
    lastDropCount = count;
    lastDropType = type;
    return acceptsDrop;
  }
  void loseFocus(DrawContext* context) override {
    ++focusLosses;
    lostFocusWithNullContext = context == nullptr;
  }
  bool onAttached(GuiView* parent) override {
    ++attaches;
    lastParent = parent;
    return true;
  }
  bool onRemoved(GuiView* parent) override {
    ++removals;
    lastParent = parent;
    return true;
  }

  int draws = 0;
  int updates = 0;
  int presses = 0;
  int wheels = 0;
  int drops = 0;
  int focusLosses = 0;
  int attaches = 0;
  int removals = 0;
  bool lostFocusWithNullContext = false;
  bool acceptsWheel = true;
  bool acceptsDrop = true;
  GuiPoint lastPress{-1, -1};
  GuiPoint lastWheelAt{-1, -1};
  float lastDistance = 0.0f;
  std::int32_t lastDropCount = 0;
  std::int32_t lastDropType = -1;
  GuiView* lastParent = nullptr;
  std::function<void(DrawContext*, GuiPoint)> onPress;

 private:
  GuiColor color_;
};

// The smallest concrete control: paints its rectangle and counts draws.
class ProbeControl : public GuiControl {
 public:
  ProbeControl(const GuiRect& rect, ControlListener* owner, std::int32_t controlTag,
               GuiBitmap* bitmap = nullptr)
      : GuiControl(rect, owner, controlTag, bitmap) {}
  void draw(DrawContext* context) override {
    ++draws;
    if (!context) return;
    context->setFillColor(kColorGreen);
    context->fillRect({size.left - 1, size.top - 1, size.right, size.bottom});
  }
  int draws = 0;
};

// One call the shell made to its host.
struct RecordedHostCall {
  VstInt32 opcode;
  VstInt32 index;
  void* ptr;
};

// A second-generation shell whose host records every call. Only one exists at a time (the
// callback is a plain function and reaches it through a process-wide pointer).
class RecordingEffect : public EffectBaseX {
 public:
  RecordingEffect() : EffectBaseX(&RecordingEffect::hostCallback, 1, 4) { current() = this; }
  ~RecordingEffect() override { current() = nullptr; }
  void process(float**, float**, VstInt32) override {}

  int count(VstInt32 opcode) const {
    int n = 0;
    for (const RecordedHostCall& call : calls) n += call.opcode == opcode ? 1 : 0;
    return n;
  }

  std::vector<RecordedHostCall> calls;
  VstIntPtr windowAnswer = 0;        // audioMasterOpenWindow's answer
  VstIntPtr editAnswer = 1;          // audioMasterBeginEdit / EndEdit answers
  std::function<void()> duringIdle;  // runs inside audioMasterIdle

 private:
  static RecordingEffect*& current() {
    static RecordingEffect* instance = nullptr;
    return instance;
  }
  static VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void* ptr,
                                float) {
    RecordingEffect* self = current();
    if (!self) return opcode == audioMasterVersion ? 2400 : 0;
    self->calls.push_back({opcode, index, ptr});
    switch (opcode) {
      case audioMasterVersion: return 2400;
      case audioMasterIdle:
        if (self->duringIdle) self->duringIdle();
        return 0;
      case audioMasterOpenWindow: return self->windowAnswer;
      case audioMasterBeginEdit:
      case audioMasterEndEdit: return self->editAnswer;
      default: return 0;
    }
  }
};

// An editor that builds a 100 x 100 frame on the headless back end in open and counts its
// updates.
class CountingEditor : public EditorBase {
 public:
  CountingEditor(EffectBaseX* owner, HeadlessFrameBackend& frameBackend)
      : EditorBase(owner, frameBackend) {}
  ~CountingEditor() override { CountingEditor::close(); }
  VstIntPtr open(void* window) override {
    EditorBase::open(window);
    frame = new GuiFrame({0, 0, 100, 100}, window, this, getBackend());
    return 1;
  }
  void close() override {
    delete frame;
    frame = nullptr;
  }
  void update() override { ++updates; }
  int updates = 0;
};
