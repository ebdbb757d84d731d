// What the control tests share: an editor with a headless frame on a plug-in shell that records
// its host calls, a listener that records every notification, bitmaps painted in code, and
// presses delivered the way the window system delivers them (a press event handled at the
// frame's idle, the pointer following a script while the control polls it).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/ControlListener.h"
#include "gui/DrawContext.h"
#include "gui/DrawSurface.h"
#include "gui/GuiBitmap.h"
#include "gui/GuiChoiceMenu.h"
#include "gui/GuiControl.h"
#include "gui/GuiFrame.h"
#include "gui/MenuLayout.h"
#include "gui/platform/headless/HeadlessFrameWindow.h"
#include "tests/gui/FrameTestSupport.h"

// Every valueChanged: which control and the value it had at that moment.
class RecordingListener : public ControlListener {
 public:
  struct Call {
    GuiControl* control;
    float value;
    bool hadContext;
  };
  void valueChanged(DrawContext* context, GuiControl* control) override {
    calls.push_back({control, control->getValue(), context != nullptr});
    if (onChange) onChange(control);
  }
  std::vector<float> values() const {
    std::vector<float> v;
    for (const Call& call : calls) v.push_back(call.value);
    return v;
  }
  std::vector<Call> calls;
  std::function<void(GuiControl*)> onChange;
};

// An editor whose frame (of any size) lives on the given back end.
class ControlEditor : public EditorBase {
 public:
  ControlEditor(EffectBaseX* owner, FrameBackend* frameBackend, GuiRect frameSize)
      : EditorBase(owner, *frameBackend), frameSize_(frameSize) {}
  ~ControlEditor() override { ControlEditor::close(); }
  VstIntPtr open(void* window) override {
    EditorBase::open(window);
    frame = new GuiFrame(frameSize_, window, this, getBackend());
    return 1;
  }
  void close() override {
    delete frame;
    frame = nullptr;
  }

 private:
  GuiRect frameSize_;
};

// An open editor with a frame of `frameSize`, ready for controls. The frame has had its first
// paint, so idle redraws what is dirty.
class ControlFixture : public ::testing::Test {
 protected:
  static constexpr GuiRect kFrameSize{0, 0, 320, 240};

  void SetUp() override {
    editor = new ControlEditor(&effect, &backend, kFrameSize);  // owned by the effect
    editor->open(reinterpret_cast<void*>(std::uintptr_t{0x51}));
    frame = editor->getFrame();
    window = backend.lastWindow();
    ASSERT_NE(window, nullptr);
    window->postPaint();
    frame->idle();
  }
  void TearDown() override { editor->close(); }

  // Adds the control to the frame (which takes the reference) and returns it.
  template <class Control>
  Control* add(Control* control) {
    EXPECT_TRUE(frame->addView(control));
    return control;
  }

  // A press at `where` handled as the window system delivers it: the press event is read at the
  // frame's idle and the control then polls the pointer, which takes one scripted step per poll
  // of the buttons (and reads as released once the script is used up).
  void press(GuiPoint where, std::vector<HeadlessWindow::PointerStep> script) {
    window->pointer().scriptPointer(std::move(script));
    window->postPress(where);
    frame->idle();
  }
  // A click: the press is still down at the control's first poll, released at the second.
  void click(GuiPoint where, std::int32_t modifiers = 0) {
    press(where, {{where, kMouseLeft | modifiers}, {where, modifiers}});
  }
  // A drag from `from` through `path`, holding `modifiers`; released at the last point.
  void drag(GuiPoint from, const std::vector<GuiPoint>& path, std::int32_t modifiers = 0) {
    std::vector<HeadlessWindow::PointerStep> script{{from, kMouseLeft | modifiers}};
    for (GuiPoint p : path) script.push_back({p, kMouseLeft | modifiers});
    script.push_back({path.empty() ? from : path.back(), modifiers});
    press(from, std::move(script));
  }
  // A context on the frame's window, as the frame makes for a press or a wheel step.
  std::unique_ptr<DrawContext> context() {
    return std::make_unique<DrawContext>(frame, frame->getBackBuffer(), frame->getPlatformWindow(),
                                         frame->getSize());
  }
  // The host calls of the automation bracket, in order: 'b' begin, 'e' end.
  std::string bracket() const {
    std::string calls;
    for (const RecordedHostCall& call : effect.calls) {
      if (call.opcode == audioMasterBeginEdit) calls += 'b';
      if (call.opcode == audioMasterEndEdit) calls += 'e';
    }
    return calls;
  }
  DrawSurface& backBuffer() { return *frame->getBackBuffer(); }
  GuiColor at(std::int32_t x, std::int32_t y) { return backBuffer().pixel(x, y); }

  // Declared first: the effect deletes the editor, which needs the back end until then.
  HeadlessFrameBackend backend;
  RecordingEffect effect;
  ControlEditor* editor = nullptr;
  GuiFrame* frame = nullptr;
  HeadlessFrameWindow* window = nullptr;
  RecordingListener listener;
};

// A bitmap of width x height painted by `paint`; the caller owns the one reference.
inline GuiBitmap* paintedBitmap(std::int32_t width, std::int32_t height,
                                const std::function<void(DrawContext&)>& paint) {
  auto surface = std::make_unique<DrawSurface>(width, height);
  {
    DrawContext ctx(nullptr, surface.get(), nullptr);
    paint(ctx);
  }
  return new GuiBitmap(std::move(surface));
}

// A vertical strip of `frames` frames, each width x frameHeight, frame i filled with colours[i].
inline GuiBitmap* stripBitmap(std::int32_t width, std::int32_t frameHeight,
                              const std::vector<GuiColor>& colours) {
  const auto frames = static_cast<std::int32_t>(colours.size());
  return paintedBitmap(width, frameHeight * frames, [&](DrawContext& ctx) {
    for (std::int32_t i = 0; i < frames; ++i) {
      ctx.setFillColor(colours[static_cast<std::size_t>(i)]);
      ctx.fillRect({-1, i * frameHeight - 1, width, (i + 1) * frameHeight});
    }
  });
}

// Releases a bitmap at the end of a scope.
struct BitmapRef {
  GuiBitmap* bitmap;
  ~BitmapRef() { bitmap->release(); }
  GuiBitmap* operator->() const { return bitmap; }
  operator GuiBitmap*() const { return bitmap; }
};

// Fills the whole surface with one colour.
inline void clearSurface(DrawSurface& surface, GuiColor color) {
  DrawContext ctx(nullptr, &surface, nullptr);
  ctx.setFillColor(color);
  ctx.fillRect({-1, -1, surface.width(), surface.height()});
}

// Where entry `index` of `menu`'s list lies in the list (as the menu lays it out), and its
// middle.
inline GuiRect menuEntryRect(GuiChoiceMenu& menu, std::int32_t index) {
  std::vector<MenuEntry> entries;
  for (std::int32_t i = 0; i < menu.getEntryCount(); ++i) {
    entries.push_back(MenuEntry::parse(menu.getEntry(i)));
  }
  DrawSurface scratch(1, 1);
  DrawContext measure(nullptr, &scratch, nullptr);
  measure.setFont(menu.getFont(), 0, menu.getFontStyle());
  return MenuLayout(entries, menu.getEntriesPerColumn(), measure).entryRect(index);
}
inline GuiPoint middleOf(const GuiRect& r) {
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}
