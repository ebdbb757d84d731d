// The cycle switch on the headless back end: clicks cycling the states, the held press with its
// looks and automation bracket, values in and out, and switches made with no states.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

#include "editor/GuiCycleSwitch.h"
#include "tests/editor/PanelControlFixture.h"

namespace {

using Step = HeadlessWindow::PointerStep;

constexpr GuiRect kSwitchRect{100, 100, 120, 110};
constexpr GuiPoint kInside{110, 105};
constexpr GuiPoint kOutside{150, 105};
constexpr std::int32_t kFrameHeight = 10;
// Frame f of the test bitmap is painted in kFrameColors[f]: state s released is frame 2s,
// pressed frame 2s + 1.
const std::vector<GuiColor> kFrameColors{kColorRed,    kColorGreen,   kColorBlue,
                                         kColorYellow, kColorMagenta, kColorCyan};

class CycleSwitchTest : public PanelControlTest {
 protected:
  GuiCycleSwitch* makeSwitch(std::int32_t states) {
    const BitmapRef bitmap{stripBitmap(20, kFrameHeight, kFrameColors)};
    auto* control =
        add(new GuiCycleSwitch(kSwitchRect, &listener, 21, states, kFrameHeight, bitmap, {0, 0}));
    frame->idle();
    return control;
  }
  // A press already released when the switch looks again.
  void quickClick() { press(kInside, {{kInside, kMouseLeft}}); }
  void held(std::vector<Step> steps) { press(kInside, std::move(steps)); }
  GuiColor shown() { return pixel(kInside.h, kInside.v); }
};

TEST_F(CycleSwitchTest, ClicksCycleThreeStatesThroughHalfAndOneBackToZero) {
  GuiCycleSwitch* control = makeSwitch(3);
  EXPECT_EQ(shown(), kColorRed) << "a new switch shows state 0 released";
  const std::array<float, 4> values{0.5f, 1.0f, 0.0f, 0.5f};
  const std::array<GuiColor, 4> released{kColorBlue, kColorMagenta, kColorRed, kColorBlue};
  for (std::size_t i = 0; i < values.size(); ++i) {
    quickClick();
    EXPECT_EQ(control->getValue(), values[i]) << "click " << i + 1;
    EXPECT_EQ(shown(), released[i]) << "click " << i + 1 << ": the released look after idle";
  }
  EXPECT_EQ(listener.values(), std::vector<float>(values.begin(), values.end()));
  EXPECT_TRUE(editTags(audioMasterBeginEdit).empty())
      << "a click that is over before the switch looks again has no automation bracket";
}

TEST_F(CycleSwitchTest, OneStateAndFewerStayAtStateZero) {
  for (std::int32_t states : {1, 0, -4}) {
    SCOPED_TRACE(states);
    GuiCycleSwitch* control = makeSwitch(states);
    EXPECT_EQ(control->getStateCount(), 1);
    quickClick();
    quickClick();
    EXPECT_EQ(control->getState(), 0);
    EXPECT_EQ(control->getValue(), 0.0f);
    control->setValue(1.0f);
    EXPECT_EQ(control->getState(), 0);
    EXPECT_EQ(shown(), kColorRed);
    frame->removeView(control);
  }
}

// Held over the switch it shows the next state pressed; moved off, the old state released; let go
// off it, the state stays, and the listener still hears once at the end.
TEST_F(CycleSwitchTest, PressMoveOutAndReleaseKeepsTheStateAndShowsEachLook) {
  GuiCycleSwitch* control = makeSwitch(3);
  std::vector<GuiColor> shownAtNotification;
  listener.onChange = [&](GuiControl*) { shownAtNotification.push_back(shown()); };
  held({{kInside, kMouseLeft},
        {kInside, kMouseLeft},
        {kInside, kMouseLeft},
        {kOutside, kMouseLeft},
        {kOutside, kMouseLeft}});
  EXPECT_EQ(control->getState(), 0);
  // Pressed over: 0.5 (the old look still on screen); moved off: 0.0 (the pressed look of state
  // 1 on screen); after release: 0.0, drawn released.
  EXPECT_EQ(listener.values(), (std::vector<float>{0.5f, 0.0f, 0.0f}));
  EXPECT_EQ(shownAtNotification, (std::vector<GuiColor>{kColorRed, kColorYellow, kColorRed}));
  EXPECT_EQ(editTags(audioMasterBeginEdit), std::vector<VstInt32>{21});
  EXPECT_EQ(editTags(audioMasterEndEdit), std::vector<VstInt32>{21});
}

TEST_F(CycleSwitchTest, AHeldPressReleasedOverTheSwitchAdvancesAndShowsReleasedAtTheNextIdle) {
  GuiCycleSwitch* control = makeSwitch(3);
  GuiColor shownAtEnd{};
  listener.onChange = [&](GuiControl*) { shownAtEnd = shown(); };
  window->pointer().scriptPointer(
      {{kInside, kMouseLeft}, {kInside, kMouseLeft}, {kInside, kMouseLeft}});
  window->postPress(kInside);
  frame->handleEvents();  // the press alone, without the idle's redraw
  EXPECT_EQ(control->getState(), 1);
  EXPECT_EQ(shownAtEnd, kColorYellow) << "the last draw shows the pressed look";
  EXPECT_FALSE(control->isPressed());
  EXPECT_TRUE(control->isDirty()) << "left dirty for the released look";
  frame->idle();
  EXPECT_EQ(shown(), kColorBlue);
  EXPECT_EQ(listener.values(), (std::vector<float>{0.5f, 0.5f}));
}

TEST_F(CycleSwitchTest, TheHostClosingTheEditorDuringAHeldPressEndsTheLoopAtOnce) {
  makeSwitch(3);
  const std::int32_t viewsBefore = GuiView::liveCount();
  effect.duringIdle = [&] { editor->close(); };
  backend.manualClock().advance(1000);  // the loop's first idle pump gives the host its idle
  held(
      {{kInside, kMouseLeft}, {kInside, kMouseLeft}, {kInside, kMouseLeft}, {kInside, kMouseLeft}});
  effect.duringIdle = nullptr;
  EXPECT_EQ(editor->getFrame(), nullptr);
  EXPECT_EQ(listener.values(), std::vector<float>{0.5f}) << "nothing after the close";
  EXPECT_EQ(GuiView::liveCount(), viewsBefore - 2) << "frame and switch are gone";
}

TEST_F(CycleSwitchTest, ModifierKeysAloneKeepTheHeldLoopGoing) {
  GuiCycleSwitch* control = makeSwitch(3);
  held({{kInside, kMouseLeft | kMouseShift}, {kInside, kMouseShift}, {kInside, kMouseShift}});
  EXPECT_EQ(control->getState(), 1);
  EXPECT_EQ(editTags(audioMasterBeginEdit).size(), 1u) << "a held press";
}

TEST_F(CycleSwitchTest, WithoutTheLeftButtonOrMouseNothingHappens) {
  GuiCycleSwitch* control = makeSwitch(3);
  held({{kInside, kMouseRight}});
  // A disabled switch is skipped by the frame; called directly it still refuses.
  control->setMouseEnabled(false);
  window->pointer().setPointer(kInside, kMouseLeft);
  control->onMouseDown(context().get(), kInside);
  EXPECT_EQ(control->getState(), 0);
  EXPECT_FALSE(control->isPressed());
  EXPECT_TRUE(listener.calls.empty());
}

TEST_F(CycleSwitchTest, SetValueTruncatesTowardZeroAndHoldsTheEnds) {
  struct Case {
    std::int32_t states;
    float value;
    std::int32_t state;
  };
  const std::array<Case, 10> cases{{{3, 0.99f, 1},
                                    {3, 1.0f, 2},
                                    {3, 0.5f, 1},
                                    {5, 0.75f, 3},
                                    {5, 0.7499f, 2},
                                    {5, 0.25f, 1},
                                    {3, -0.3f, 0},
                                    {3, -5.0f, 0},
                                    {3, 7.0f, 2},
                                    {3, 1e30f, 2}}};
  for (const Case& c : cases) {
    GuiCycleSwitch control(kSwitchRect, nullptr, 0, c.states, kFrameHeight, nullptr, {0, 0});
    control.setValue(c.value);
    EXPECT_EQ(control.getState(), c.state) << c.states << " states, value " << c.value;
  }
  GuiCycleSwitch three(kSwitchRect, nullptr, 0, 3, kFrameHeight, nullptr, {0, 0});
  three.setValue(0.99f);
  EXPECT_EQ(three.getValue(), 0.5f);
}

TEST_F(CycleSwitchTest, NonFiniteValuesAreIgnored) {
  GuiCycleSwitch control(kSwitchRect, nullptr, 0, 5, kFrameHeight, nullptr, {0, 0});
  control.setValue(0.5f);
  for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                    -std::numeric_limits<float>::infinity()}) {
    control.setValue(bad);
    EXPECT_EQ(control.getState(), 2) << bad;
  }
}

TEST_F(CycleSwitchTest, DirtyFollowsStateAndLookAgainstTheLastDraw) {
  GuiCycleSwitch* control = makeSwitch(3);
  EXPECT_FALSE(control->isDirty()) << "drawn by the idle";
  control->setDirty(true);
  EXPECT_TRUE(control->isDirty());
  control->setDirty(false);
  EXPECT_FALSE(control->isDirty());
  control->setValue(1.0f);
  EXPECT_TRUE(control->isDirty());
  frame->idle();
  EXPECT_FALSE(control->isDirty());
  EXPECT_EQ(shown(), kColorMagenta);
}

TEST_F(CycleSwitchTest, AKeyedSwitchLetsWhiteFramesShowWhatLiesBeneath) {
  add(new ProbeView(kSwitchRect, kColorGreen));
  const BitmapRef white{stripBitmap(20, kFrameHeight, {kColorWhite, kColorWhite})};
  auto* control =
      add(new GuiCycleSwitch(kSwitchRect, &listener, 21, 1, kFrameHeight, white, {0, 0}));
  frame->idle();
  EXPECT_EQ(shown(), kColorWhite);
  control->setTransparent(true);
  frame->setDirty(true);  // a full redraw: the view beneath first
  frame->idle();
  EXPECT_EQ(shown(), kColorGreen);
}

}  // namespace
