// What the panel tests share: the real instrument with its editor on the headless back end, a
// host callback that records every call, and the panel worked with the scripted pointer: presses
// delivered by the frame window as the window system delivers them, the controls' own tracking
// loops meeting the scripted steps.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "editor/GuiCurveEditor.h"
#include "editor/PanelLayout.h"
#include "editor/SynthEditor.h"
#include "gui/GuiBitmap.h"
#include "gui/GuiControl.h"
#include "gui/GuiFrame.h"
#include "gui/platform/headless/HeadlessFrameWindow.h"
#include "synth/SynthPlugin.h"

namespace paneltest {

using Step = HeadlessWindow::PointerStep;

struct HostCall {
  VstInt32 opcode;
  VstInt32 index;
  float opt;
};

inline std::vector<HostCall>& hostCalls() {
  static std::vector<HostCall> calls;
  return calls;
}

// Runs inside the host's idle call (audioMasterIdle), when set.
inline std::function<void()>& duringHostIdle() {
  static std::function<void()> action;
  return action;
}

inline VstIntPtr recordingHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*,
                               float opt) {
  hostCalls().push_back({opcode, index, opt});
  if (opcode == audioMasterIdle && duringHostIdle()) duringHostIdle()();
  return opcode == audioMasterVersion ? 2400 : 0;
}

// The automation reports (audioMasterAutomate) since the last clear, as (index, value).
inline std::vector<std::pair<VstInt32, float>> automation() {
  std::vector<std::pair<VstInt32, float>> reports;
  for (const HostCall& call : hostCalls()) {
    if (call.opcode == audioMasterAutomate) reports.emplace_back(call.index, call.opt);
  }
  return reports;
}

inline void* const kParent = reinterpret_cast<void*>(std::uintptr_t{0xABC});

inline GuiPoint centreOf(const GuiRect& r) {
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The instrument with its editor on the headless back end, as the plug-in's wiring makes them on
// X11; every view and bitmap made during a test must be gone at its end.
class PanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hostCalls().clear();
    duringHostIdle() = nullptr;
    liveViews = GuiView::liveCount();
    liveBitmaps = GuiBitmap::liveCount();
    plugin = std::make_unique<SynthPlugin>(&recordingHost);
    ASSERT_EQ(plugin->getEditorPointer(), nullptr) << "the instrument alone makes no editor";
    editor = new SynthEditor(plugin.get(), backend);
  }
  void TearDown() override {
    duringHostIdle() = nullptr;
    plugin.reset();
    EXPECT_EQ(GuiView::liveCount(), liveViews) << "views left alive";
    EXPECT_EQ(GuiBitmap::liveCount(), liveBitmaps) << "bitmaps left alive";
  }

  // Opens the panel and gives it its first paint.
  void openPanel() {
    ASSERT_EQ(editor->open(kParent), 1);
    window().postPaint();
    editor->idle();
    hostCalls().clear();
  }
  HeadlessFrameWindow& window() { return *backend.lastWindow(); }
  GuiFrame& frame() { return *editor->getFrame(); }
  GuiControl& control(std::int32_t tag) {
    GuiControl* found = editor->getControl(tag);
    EXPECT_NE(found, nullptr) << "tag " << tag;
    return found ? *found : *editor->getControl(0);
  }
  float shown(std::int32_t tag) { return control(tag).getValue(); }
  bool onShow(GuiView* view) { return view && frame().containsView(view); }
  bool onShow(std::int32_t tag) { return onShow(editor->getControl(tag)); }
  // The curve editors on show, by slot.
  std::vector<std::int32_t> curvesOnShow() {
    std::vector<std::int32_t> slots;
    for (std::int32_t slot = 0; slot < kEnvelopeSlotCount; ++slot) {
      if (onShow(editor->getCurveEditor(slot))) slots.push_back(slot);
    }
    return slots;
  }
  // How many of a layer's 32 bars are on show.
  int barsOnShow(std::int32_t kind) {
    int count = 0;
    for (std::int32_t k = 0; k < 32; ++k) {
      count += onShow(panel::kLayerFirstTags[static_cast<std::size_t>(kind)] + k) ? 1 : 0;
    }
    return count;
  }
  // Every view of the frame is in it once.
  bool noViewTwice() {
    std::vector<GuiView*> views;
    for (std::int32_t i = 0; i < frame().getViewCount(); ++i) views.push_back(frame().getView(i));
    std::sort(views.begin(), views.end());
    return std::adjacent_find(views.begin(), views.end()) == views.end();
  }

  // A press handled as the window system delivers it: the frame takes it at the next idle, and
  // the control's tracking loop meets the steps, one per button query; then the buttons read as
  // released.
  void press(GuiPoint at, std::vector<Step> steps) {
    window().pointer().setPointer(at, 1);
    window().pointer().scriptPointer(std::move(steps));
    window().postPress(at);
    editor->idle();
  }
  // A click in the middle of a control: the button is down for the press and one more query.
  void click(std::int32_t tag) {
    const GuiPoint at = centreOf(control(tag).getSize());
    press(at, {{at, 1}, {at, 1}, {at, 0}});
  }
  // A drag along `path` with the left button, from its first point.
  void drag(const std::vector<GuiPoint>& path) {
    std::vector<Step> steps;
    for (const GuiPoint& p : path) steps.push_back({p, 1});
    steps.push_back({path.back(), 0});
    press(path.front(), std::move(steps));
  }
  // Paints a straight line on the curve editor on show from (x0, y0) to (x1, y1), a step per
  // column.
  void paintLine(GuiPoint from, GuiPoint to) {
    std::vector<GuiPoint> path;
    const std::int32_t columns = std::max(1, std::abs(to.h - from.h));
    for (std::int32_t i = 0; i <= columns; ++i) {
      path.push_back(
          {from.h + (to.h - from.h) * i / columns, from.v + (to.v - from.v) * i / columns});
    }
    drag(path);
  }
  const EnvelopeCurve& storedCurve(std::int32_t slot) {
    return plugin->program(plugin->currentProgramIndex()).curve(slot);
  }
  EnvelopeCurve curveOf(std::int32_t slot) {
    EnvelopeCurve points{};
    editor->getCurveEditor(slot)->getCurve(points.data());
    return points;
  }

  HeadlessFrameBackend backend;
  std::unique_ptr<SynthPlugin> plugin;
  SynthEditor* editor = nullptr;  // owned by the plug-in
  std::int32_t liveViews = 0;
  std::int32_t liveBitmaps = 0;
};

}  // namespace paneltest
