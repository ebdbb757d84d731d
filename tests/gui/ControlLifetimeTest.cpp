// Controls and the frame's life: a control taken out of its frame has no frame any more, and a
// host that closes the editor while a control's tracking loop gives it idle time (the frame is
// destroyed under the loop) ends the loop at once without touching anything destroyed.
#include <gtest/gtest.h>

#include "gui/GuiKnob.h"
#include "gui/GuiMomentaryButton.h"
#include "gui/GuiThreeWaySwitch.h"
#include "tests/gui/ControlTestSupport.h"

namespace {

class ControlLifetimeTest : public ControlFixture {
 protected:
  // A long drag, so that the loop would run on for a while if it did not stop.
  std::vector<HeadlessWindow::PointerStep> longPress(GuiPoint at) {
    std::vector<HeadlessWindow::PointerStep> script;
    for (int i = 0; i < 50; ++i) script.push_back({{at.h, at.v - i}, kMouseLeft});
    script.push_back({{at.h, at.v - 50}, 0});
    return script;
  }
};

TEST_F(ControlLifetimeTest, AViewTakenOutOfTheFrameHasNoFrame) {
  auto* knob = add(new GuiKnob({0, 0, 20, 20}, &listener, 1, nullptr, nullptr, {0, 0}));
  EXPECT_EQ(knob->getFrame(), frame);
  frame->removeView(knob, false);
  EXPECT_EQ(knob->getFrame(), nullptr);
  add(knob);
  knob->retain();
  frame->removeAll(true);
  EXPECT_EQ(knob->getFrame(), nullptr);
  knob->release();
}

struct CloseCase {
  const char* name;
  std::function<GuiControl*(ControlListener*)> make;
};

TEST_F(ControlLifetimeTest, TheHostClosingTheEditorDuringATrackingLoopEndsTheLoopSafely) {
  const CloseCase cases[] = {
      {"knob",
       [](ControlListener* l) {
         return new GuiKnob({10, 10, 50, 50}, l, 1, nullptr, nullptr, {0, 0});
       }},
      {"momentary button",
       [](ControlListener* l) {
         return new GuiMomentaryButton({10, 10, 50, 50}, l, 2, 10, nullptr, {0, 0});
       }},
      {"three-way switch",
       [](ControlListener* l) {
         return new GuiThreeWaySwitch({10, 10, 50, 50}, l, 3, 10, nullptr, {0, 0});
       }},
  };
  for (const CloseCase& c : cases) {
    if (!editor->getFrame()) {
      editor->open(reinterpret_cast<void*>(std::uintptr_t{0x51}));
      frame = editor->getFrame();
      window = backend.lastWindow();
      window->postPaint();
      frame->idle();
    }
    const std::int32_t viewsBefore = GuiView::liveCount();
    add(c.make(&listener));
    effect.calls.clear();
    listener.calls.clear();
    effect.duringIdle = [&] { editor->close(); };
    backend.manualClock().advance(1000);  // the loop's first idle pump gives the host its idle
    window->pointer().scriptPointer(longPress({30, 30}));
    window->postPress({30, 30});
    frame->idle();
    effect.duringIdle = nullptr;
    EXPECT_EQ(editor->getFrame(), nullptr) << c.name;
    EXPECT_EQ(effect.count(audioMasterIdle), 1) << c.name;
    EXPECT_LE(listener.calls.size(), 2u) << c.name << ": the loop stopped after the close";
    EXPECT_EQ(GuiView::liveCount(), viewsBefore - 1) << c.name << ": frame and control are gone";
    EXPECT_EQ(backend.liveWindows(), 0) << c.name << ": the frame's window is gone";
  }
}

}  // namespace
