// What the tests of the panel's own controls share: a headless frame inside an editor whose
// plug-in shell records its host calls (the automation bracket), a listener that records every
// notification, presses handled through the frame with a scripted pointer, pixels read from the
// frame's back buffer, and bitmaps painted for a test.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <ostream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "gui/ControlListener.h"
#include "gui/DrawContext.h"
#include "gui/DrawSurface.h"
#include "gui/EditorBase.h"
#include "gui/GuiBitmap.h"
#include "gui/GuiControl.h"
#include "gui/GuiFrame.h"
#include "gui/platform/headless/HeadlessFrameWindow.h"
#include "tests/gui/FrameTestSupport.h"

// Colours in failure messages as (r, g, b).
inline void PrintTo(const GuiColor& color, std::ostream* out) {
  *out << '(' << int{color.red} << ", " << int{color.green} << ", " << int{color.blue} << ')';
}

namespace controltest {

using Step = HeadlessWindow::PointerStep;

// One notification: the control and the value it had when it told its listener.
struct Notification {
  GuiControl* control;
  float value;
};

class RecordingListener : public ControlListener {
 public:
  void valueChanged(DrawContext* context, GuiControl* control) override {
    notes.push_back({control, control->getValue()});
    if (onChange) onChange(context, control);
  }
  std::vector<float> values() const {
    std::vector<float> result;
    for (const Notification& note : notes) result.push_back(note.value);
    return result;
  }
  std::vector<Notification> notes;
  std::function<void(DrawContext*, GuiControl*)> onChange;
};

// An editor whose frame, made at open, has the rig's size and lives on the headless back end.
class RigEditor : public EditorBase {
 public:
  RigEditor(EffectBaseX* owner, HeadlessFrameBackend* frameBackend, const GuiRect& frameSize)
      : EditorBase(owner, frameBackend), frameSize_(frameSize) {}
  ~RigEditor() override { RigEditor::close(); }
  VstIntPtr open(void* window) override {
    EditorBase::open(window);
    frame = new GuiFrame(frameSize_, window, this, &getBackend());
    return 1;
  }
  void close() override {
    delete frame;
    frame = nullptr;
  }

 private:
  GuiRect frameSize_;
};

class ControlRig {
 public:
  explicit ControlRig(const GuiRect& frameSize = {0, 0, 600, 600})
      : editor(new RigEditor(&effect, &backend, frameSize)) {
    editor->open(reinterpret_cast<void*>(std::uintptr_t{0x5151}));
    window().postPaint();
    editor->idle();  // the first paint: from now on idle redraws what is dirty
  }
  ~ControlRig() { editor->close(); }
  ControlRig(const ControlRig&) = delete;
  ControlRig& operator=(const ControlRig&) = delete;

  GuiFrame& frame() const { return *editor->getFrame(); }
  HeadlessFrameWindow& window() const { return *backend.lastWindow(); }
  HeadlessWindow& pointer() const { return window().pointer(); }
  const DrawSurface& pixels() const { return *frame().getBackBuffer(); }
  GuiColor pixel(std::int32_t x, std::int32_t y) const { return pixels().pixel(x, y); }

  // The frame takes over the control's reference.
  template <class Control>
  Control* attach(Control* control) {
    frame().addView(control);
    return control;
  }

  // A press at the first step's point, handled by the frame as the window system delivers it;
  // the control's tracking loop then meets the steps one per button query, and the buttons read
  // as released after the last one. Then an idle, as the host gives after every event.
  void press(std::vector<Step> steps) {
    const GuiPoint where = steps.empty() ? GuiPoint{} : steps.front().where;
    pointer().scriptPointer(std::move(steps));
    window().postPress(where);
    editor->idle();
  }
  void idle() { editor->idle(); }

  // The host calls with `opcode`, as (opcode, index) pairs.
  std::vector<VstInt32> hostCallIndexes(VstInt32 opcode) const {
    std::vector<VstInt32> indexes;
    for (const RecordedHostCall& call : effect.calls) {
      if (call.opcode == opcode) indexes.push_back(call.index);
    }
    return indexes;
  }

  // In this order: the effect deletes the editor, which needs the back end until then.
  HeadlessFrameBackend backend;
  RecordingListener listener;
  RecordingEffect effect;
  RigEditor* editor;
};

// A bitmap painted by `paint` on a width x height surface (through a PNG file, as resources
// arrive). The caller owns the returned reference.
inline GuiBitmap* paintedBitmap(std::int32_t width, std::int32_t height,
                                const std::function<void(DrawContext&)>& paint) {
  DrawSurface surface(width, height);
  {
    DrawContext context(nullptr, &surface, nullptr);
    paint(context);
  }
  // ctest runs test cases as parallel processes: each writes under its own name.
  const std::string path =
      ::testing::TempDir() + "overtonic-controls-" + std::to_string(::getpid()) + ".png";
  EXPECT_TRUE(surface.writePng(path).ok);
  std::ifstream in(path, std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                        std::istreambuf_iterator<char>()};
  std::remove(path.c_str());
  return new GuiBitmap(bytes);
}

inline void fillArea(DrawContext& context, const GuiRect& area, GuiColor color) {
  context.setFillColor(color);
  context.fillRect({area.left - 1, area.top - 1, area.right, area.bottom});
}

}  // namespace controltest
