// The on/off and momentary buttons with the scripted pointer: what a click does to the value,
// what the listener hears and when the host hears of a gesture, and which bitmap frame each
// value shows.
#include <gtest/gtest.h>

#include "gui/GuiMomentaryButton.h"
#include "gui/GuiOnOffButton.h"
#include "tests/gui/ControlTestSupport.h"

namespace {

constexpr GuiRect kButton{40, 40, 60, 50};  // 20 x 10
constexpr GuiPoint kInside{50, 45};
constexpr GuiPoint kOutside{150, 45};

class ButtonTest : public ControlFixture {
 protected:
  // Two frames of 20 x 10: red (off / released) above green (on / pressed).
  BitmapRef strip{stripBitmap(20, 10, {kColorRed, kColorGreen})};

  GuiColor shown() { return backBuffer().pixel(kInside.h, kInside.v); }
};

// ---- on/off -------------------------------------------------------------------------------

struct FlipCase {
  float start;
  float expected;
};

TEST_F(ButtonTest, OnOffClickSetsOneWhenTheIntegerPartIsZeroElseZero) {
  const FlipCase cases[] = {{0.0f, 1.0f}, {0.5f, 1.0f}, {0.99f, 1.0f}, {-0.5f, 1.0f},
                            {1.0f, 0.0f}, {2.7f, 0.0f}, {-1.0f, 0.0f}};
  for (const FlipCase& c : cases) {
    auto* button = add(new GuiOnOffButton(kButton, &listener, 5, strip));
    button->setValue(c.start);
    listener.calls.clear();
    click(kInside);
    EXPECT_EQ(button->getValue(), c.expected) << "from " << c.start;
    ASSERT_EQ(listener.calls.size(), 1u) << "from " << c.start;
    EXPECT_EQ(listener.calls[0].value, c.expected);
    frame->removeView(button);
  }
  EXPECT_EQ(bracket(), "") << "an on/off click is no gesture for the host";
}

TEST_F(ButtonTest, OnOffShowsTheNewLookAtOnceAndTakesAnyModifier) {
  auto* button = add(new GuiOnOffButton(kButton, &listener, 5, strip));
  frame->idle();
  EXPECT_EQ(shown(), kColorRed);
  press(kInside, {{kInside, kMouseLeft | kMouseShift | kMouseControl}});
  EXPECT_EQ(button->getValue(), 1.0f);
  EXPECT_EQ(shown(), kColorGreen) << "drawn by the click, before any idle";
  EXPECT_FALSE(button->isDirty());
  press(kInside, {{kInside, kMouseRight}});
  EXPECT_EQ(button->getValue(), 1.0f) << "the right button does nothing";
  EXPECT_EQ(listener.calls.size(), 1u);
}

TEST_F(ButtonTest, OnOffDrawsTheLowerHalfForEveryNonZeroValue) {
  auto* button = add(new GuiOnOffButton(kButton, &listener, 5, strip));
  for (float v : {0.0f, 0.25f, 1.0f, -3.0f}) {
    button->setValue(v);
    frame->idle();
    EXPECT_EQ(shown(), v == 0.0f ? kColorRed : kColorGreen) << v;
  }
}

TEST_F(ButtonTest, ATransparentButtonLetsWhiteShowTheFrameBeneath) {
  BitmapRef whiteOn{stripBitmap(20, 10, {kColorRed, kColorWhite})};
  frame->setBackground(nullptr);
  auto* button = add(new GuiOnOffButton(kButton, &listener, 5, whiteOn));
  button->setTransparent(true);
  clearSurface(backBuffer(), kColorBlue);
  button->setValue(1.0f);
  frame->idle();
  EXPECT_EQ(shown(), kColorBlue);
}

// ---- momentary ----------------------------------------------------------------------------

TEST_F(ButtonTest, MomentaryQuickClickNotifiesOneThenZero) {
  auto* button = add(new GuiMomentaryButton(kButton, &listener, 9, 10, strip, {0, 0}));
  click(kInside);
  EXPECT_EQ(listener.values(), (std::vector<float>{1.0f, 0.0f}));
  EXPECT_EQ(button->getValue(), 0.0f);
  EXPECT_EQ(bracket(), "") << "released before the second poll: no held gesture";
}

struct HoldCase {
  const char* name;
  GuiPoint at;                 // the press
  std::vector<GuiPoint> path;  // pointer positions while held; the last one is not looked at
  std::vector<float> expected;
};

TEST_F(ButtonTest, MomentaryHeldPressIsPressedOnlyOverTheButtonAndEndsAtZero) {
  const HoldCase cases[] = {
      {"held inside", kInside, {kInside, kInside}, {1.0f, 0.0f}},
      {"out and back", kInside, {kInside, kOutside, kInside, kInside}, {1.0f, 0.0f, 1.0f, 0.0f}},
      {"edge counts as inside", {60, 50}, {{60, 50}}, {1.0f, 0.0f}},
      {"out for good", kInside, {kOutside, kOutside}, {1.0f, 0.0f, 0.0f}},
  };
  for (const HoldCase& c : cases) {
    auto* button = add(new GuiMomentaryButton(kButton, &listener, 9, 10, strip, {0, 0}));
    listener.calls.clear();
    effect.calls.clear();
    std::vector<HeadlessWindow::PointerStep> script{{c.at, kMouseLeft}};
    for (GuiPoint p : c.path) script.push_back({p, kMouseLeft});
    script.push_back({c.path.back(), 0});
    press(c.at, script);
    EXPECT_EQ(listener.values(), c.expected) << c.name;
    EXPECT_EQ(bracket(), "be") << c.name;
    EXPECT_EQ(button->getValue(), 0.0f) << c.name;
    frame->removeView(button);
  }
}

TEST_F(ButtonTest, MomentaryStaysInItsLoopWhileAModifierIsHeld) {
  add(new GuiMomentaryButton(kButton, &listener, 9, 10, strip, {0, 0}));
  press(kInside, {{kInside, kMouseLeft | kMouseShift},
                  {kInside, kMouseLeft | kMouseShift},
                  {kInside, kMouseShift},
                  {kInside, kMouseShift},
                  {kInside, 0}});
  EXPECT_EQ(window->pointer().pendingSteps(), 0u) << "polled until nothing was held";
  EXPECT_EQ(bracket(), "be");
  EXPECT_EQ(listener.values(), (std::vector<float>{1.0f, 0.0f}));
}

TEST_F(ButtonTest, MomentaryShowsTheFrameBelowTheOffsetWhilePressed) {
  // Frames from offset (0, 10) of a three-frame strip: green released, blue pressed.
  BitmapRef three{stripBitmap(20, 10, {kColorRed, kColorGreen, kColorBlue})};
  add(new GuiMomentaryButton(kButton, &listener, 9, 10, three, {0, 10}));
  frame->idle();
  EXPECT_EQ(shown(), kColorGreen);
  std::vector<GuiColor> seenWhileHeld;
  listener.onChange = [&](GuiControl*) { seenWhileHeld.push_back(shown()); };
  backend.manualClock().advance(1000);
  press(kInside,
        {{kInside, kMouseLeft}, {kInside, kMouseLeft}, {kInside, kMouseLeft}, {kInside, 0}});
  // The second notification (the final 0) comes after the loop's idle drew the pressed look.
  ASSERT_EQ(seenWhileHeld.size(), 2u);
  EXPECT_EQ(seenWhileHeld[1], kColorBlue);
  frame->idle();
  EXPECT_EQ(shown(), kColorGreen) << "released look after the final 0";
}

TEST_F(ButtonTest, MomentaryDrawClampsTheValueIntoItsRange) {
  auto* button = add(new GuiMomentaryButton(kButton, &listener, 9, 10, strip, {0, 0}));
  button->setValue(7.0f);
  frame->idle();
  EXPECT_EQ(button->getValue(), 1.0f);
  EXPECT_EQ(shown(), kColorGreen);
}

TEST_F(ButtonTest, ButtonsWithoutAListenerOrBitmapAreSafeToClick) {
  auto* onOff = add(new GuiOnOffButton({0, 0, 10, 10}, nullptr, 1, nullptr));
  auto* momentary = add(new GuiMomentaryButton({20, 0, 30, 10}, nullptr, 2, 10, nullptr, {0, 0}));
  click({5, 5});
  press({25, 5}, {{{25, 5}, kMouseLeft}, {{25, 5}, kMouseLeft}, {{25, 5}, 0}});
  frame->idle();
  EXPECT_EQ(onOff->getValue(), 1.0f);
  EXPECT_EQ(momentary->getValue(), 0.0f);
}

}  // namespace
