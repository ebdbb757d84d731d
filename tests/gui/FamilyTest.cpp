// The rest of the control family on the headless back end: step switches, the three-way switch,
// the frame strip, the two-frame button, the animation, the sliders, the digit display, the
// popup image and the level meter. Each is checked for the frame it shows (pixels against the
// bitmap's frames) and for what a press, a drag, a control-click or the wheel does to its value.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <typeinfo>

#include "gui/ControlStyle.h"
#include "gui/GuiAnimation.h"
#include "gui/GuiDigitDisplay.h"
#include "gui/GuiFrameStrip.h"
#include "gui/GuiHorizontalSlider.h"
#include "gui/GuiHorizontalStepSwitch.h"
#include "gui/GuiLevelMeter.h"
#include "gui/GuiPopupImage.h"
#include "gui/GuiThreeWaySwitch.h"
#include "gui/GuiTwoFrameButton.h"
#include "gui/GuiVerticalSlider.h"
#include "gui/GuiVerticalStepSwitch.h"
#include "tests/gui/ControlTestSupport.h"

namespace {

// Distinct colours for the frames of test strips.
const std::vector<GuiColor> kFrames{kColorRed,    kColorGreen,   kColorBlue,
                                    kColorYellow, kColorMagenta, kColorCyan};

std::vector<GuiColor> firstFrames(std::size_t n) { return {kFrames.begin(), kFrames.begin() + n}; }

class FamilyTest : public ControlFixture {
 protected:
  // Redraws what is dirty and reads a pixel.
  GuiColor shownAt(std::int32_t x, std::int32_t y) {
    frame->idle();
    return at(x, y);
  }
};

// ---- step switches ------------------------------------------------------------------------

struct StepFrameCase {
  std::int32_t positions;
  std::int32_t bitmapFrames;
  float value;
  std::int32_t frameShown;
};

TEST_F(FamilyTest, StepSwitchShowsFrameKForValuesFromKOverNMinusOneAndTheLastForOne) {
  const StepFrameCase cases[] = {
      {4, 4, 0.0f, 0}, {4, 4, 0.32f, 0}, {4, 4, 0.34f, 1}, {4, 4, 0.67f, 2}, {4, 4, 0.99f, 2},
      {4, 4, 1.0f, 3}, {4, 4, 7.0f, 3},  {4, 4, -1.0f, 0}, {4, 2, 1.0f, 1},  {1, 4, 1.0f, 0}};
  for (const StepFrameCase& c : cases) {
    BitmapRef strip{stripBitmap(20, 10, firstFrames(4))};
    auto* sw = add(new GuiVerticalStepSwitch({10, 10, 30, 20}, &listener, 1, c.bitmapFrames, 10,
                                             c.positions, strip, {0, 0}));
    sw->setValue(c.value);
    EXPECT_EQ(sw->currentFrame(), c.frameShown) << c.positions << " positions, value " << c.value;
    EXPECT_EQ(shownAt(20, 15), kFrames[static_cast<std::size_t>(c.frameShown)])
        << c.positions << " positions, value " << c.value;
    frame->removeView(sw);
  }
}

struct BandCase {
  const char* name;
  std::int32_t offset;  // along the switch's axis, from its top or left
  float expected;
};

TEST_F(FamilyTest, VerticalStepSwitchBandsAreFrameHeightOverNRowsFromTheTop) {
  // Three positions, frame height 30: bands of 10 pixels.
  const BandCase cases[] = {{"first row", 0, 0.0f},       {"end of first", 9, 0.0f},
                            {"second", 10, 0.5f},         {"third", 29, 1.0f},
                            {"below the last", 45, 1.0f}, {"above the top", -5, 0.0f}};
  BitmapRef strip{stripBitmap(20, 30, firstFrames(3))};
  auto* sw =
      add(new GuiVerticalStepSwitch({10, 50, 30, 80}, &listener, 1, 3, 30, 3, strip, {0, 0}));
  for (const BandCase& c : cases) {
    EXPECT_EQ(sw->valueAt({20, 50 + c.offset}), c.expected) << c.name;
  }
}

TEST_F(FamilyTest, HorizontalStepSwitchBandsAreBitmapWidthOverNColumnsFromTheLeft) {
  // Four positions over a bitmap 40 wide: bands of 10 pixels, values 0, 1/3, 2/3, 1.
  const BandCase cases[] = {{"first", 0, 0.0f},
                            {"second", 12, 1.0f / 3.0f},
                            {"third", 25, 2.0f / 3.0f},
                            {"fourth", 39, 1.0f},
                            {"right of the last", 60, 1.0f}};
  BitmapRef strip{stripBitmap(40, 10, firstFrames(4))};
  auto* sw =
      add(new GuiHorizontalStepSwitch({100, 10, 140, 20}, &listener, 1, 4, 10, 4, strip, {0, 0}));
  for (const BandCase& c : cases) {
    EXPECT_FLOAT_EQ(sw->valueAt({100 + c.offset, 15}), c.expected) << c.name;
  }
}

TEST_F(FamilyTest, StepSwitchFollowsTheBandsWhileTheSameButtonsAreHeld) {
  BitmapRef strip{stripBitmap(20, 30, firstFrames(3))};
  auto* sw =
      add(new GuiVerticalStepSwitch({10, 50, 30, 80}, &listener, 4, 3, 30, 3, strip, {0, 0}));
  frame->idle();
  press({20, 52}, {{{20, 52}, kMouseLeft},
                   {{20, 62}, kMouseLeft},
                   {{20, 75}, kMouseLeft},
                   {{20, 75}, kMouseLeft},
                   {{20, 75}, kMouseLeft | kMouseShift},  // a modifier more ends the press
                   {{20, 52}, kMouseLeft | kMouseShift}});
  EXPECT_EQ(listener.values(), (std::vector<float>{0.5f, 1.0f}));
  EXPECT_EQ(sw->getValue(), 1.0f);
  EXPECT_EQ(bracket(), "be");
  EXPECT_EQ(window->pointer().pendingSteps(), 1u) << "not polled after the state changed";
}

TEST_F(FamilyTest, StepSwitchControlClickSetsTheDefault) {
  BitmapRef strip{stripBitmap(20, 30, firstFrames(3))};
  auto* sw =
      add(new GuiVerticalStepSwitch({10, 50, 30, 80}, &listener, 4, 3, 30, 3, strip, {0, 0}));
  sw->setValue(1.0f);
  sw->setDefaultValue(0.5f);
  click({20, 52}, kMouseControl);
  EXPECT_EQ(sw->getValue(), 0.5f);
  EXPECT_EQ(listener.values(), (std::vector<float>{0.5f}));
  EXPECT_EQ(bracket(), "");
}

// ---- three-way switch ---------------------------------------------------------------------

TEST_F(FamilyTest, ThreeWaySwitchShowsMinusOneZeroAndPlusOneFromTheStrip) {
  BitmapRef strip{stripBitmap(20, 20, firstFrames(3))};
  auto* sw = add(new GuiThreeWaySwitch({10, 10, 30, 30}, &listener, 2, 20, strip, {0, 0}));
  EXPECT_EQ(sw->getMin(), -1.0f);
  for (auto [v, colour] : {std::pair{-1.0f, kColorRed}, std::pair{0.0f, kColorGreen},
                           std::pair{1.0f, kColorBlue}, std::pair{5.0f, kColorBlue}}) {
    sw->setValue(v);
    EXPECT_EQ(shownAt(20, 20), colour) << v;
  }
}

struct HalfCase {
  const char* name;
  std::int32_t style;
  GuiPoint held;
  float expected;
};

TEST_F(FamilyTest, ThreeWaySwitchTakesTheHalfUnderThePointerAndSpringsBackToZero) {
  const HalfCase cases[] = {{"top half", 0, {20, 12}, -1.0f},
                            {"bottom half", 0, {20, 28}, 1.0f},
                            {"left half", GuiThreeWaySwitch::kHorizontal, {12, 20}, -1.0f},
                            {"right half", GuiThreeWaySwitch::kHorizontal, {28, 20}, 1.0f}};
  for (const HalfCase& c : cases) {
    auto* sw =
        add(new GuiThreeWaySwitch({10, 10, 30, 30}, &listener, 2, 20, nullptr, {0, 0}, c.style));
    listener.calls.clear();
    effect.calls.clear();
    press(c.held, {{c.held, kMouseLeft},
                   {c.held, kMouseLeft},
                   {{200, 200}, kMouseLeft},
                   {{200, 200}, kMouseLeft},
                   {{200, 200}, 0}});
    EXPECT_EQ(listener.values(), (std::vector<float>{c.expected, 0.0f}))
        << c.name << ": outside keeps the value, release gives 0";
    EXPECT_EQ(bracket(), "be") << c.name;
    frame->removeView(sw);
  }
}

TEST_F(FamilyTest, ThreeWaySwitchWheelIsATapAgainstTheDirection) {
  auto* sw = add(new GuiThreeWaySwitch({10, 10, 30, 30}, &listener, 2, 20, nullptr, {0, 0}));
  auto ctx = context();
  EXPECT_TRUE(sw->onWheel(ctx.get(), {20, 20}, 1.0f));
  EXPECT_TRUE(sw->onWheel(ctx.get(), {20, 20}, -1.0f));
  EXPECT_EQ(listener.values(), (std::vector<float>{-1.0f, 0.0f, 1.0f, 0.0f}));
  EXPECT_EQ(sw->getValue(), 0.0f);
}

// ---- frame strip --------------------------------------------------------------------------

TEST_F(FamilyTest, FrameStripRoundsTheValueToAFrameAndSetsValuesAboveOneBack) {
  const std::pair<float, std::int32_t> cases[] = {{0.0f, 0}, {0.12f, 0}, {0.13f, 1}, {0.5f, 2},
                                                  {1.0f, 4}, {3.0f, 4},  {-2.0f, 0}};
  BitmapRef strip{stripBitmap(10, 10, firstFrames(5))};
  auto* fs = add(new GuiFrameStrip({10, 10, 20, 20}, &listener, 3, 5, 10, strip, {0, 0}));
  for (auto [v, expected] : cases) {
    fs->setValue(v);
    EXPECT_EQ(shownAt(15, 15), kFrames[static_cast<std::size_t>(expected)]) << v;
    if (v > 1.0f) {
      EXPECT_EQ(fs->getValue(), 1.0f) << "set back to 1 by the draw";
    }
  }
  click({15, 15});
  EXPECT_TRUE(listener.calls.empty()) << "the strip takes no part in mouse handling";
}

// ---- two-frame button ---------------------------------------------------------------------

TEST_F(FamilyTest, TwoFrameButtonTogglesAndKeepsTheToggledValue) {
  auto* button = add(new GuiTwoFrameButton({10, 10, 30, 20}, &listener, 6, 10, nullptr, {0, 0}));
  click({20, 15});
  EXPECT_EQ(button->getValue(), 1.0f);
  click({20, 15});
  EXPECT_EQ(button->getValue(), 0.0f);
  EXPECT_EQ(listener.values(), (std::vector<float>{1.0f, 0.0f}));
  EXPECT_EQ(bracket(), "");
}

TEST_F(FamilyTest, TwoFrameButtonHeldPressEndsWhenTheButtonsOrModifiersChange) {
  auto* button = add(new GuiTwoFrameButton({10, 10, 30, 20}, &listener, 6, 10, nullptr, {0, 0}));
  const GuiPoint on{20, 15};
  const GuiPoint off{90, 90};
  press(on, {{on, kMouseLeft},
             {on, kMouseLeft},
             {off, kMouseLeft},
             {off, kMouseLeft},
             {on, kMouseLeft},
             {on, kMouseLeft},
             {on, kMouseLeft | kMouseAlt},  // a modifier more ends the press
             {off, kMouseLeft | kMouseAlt}});
  EXPECT_EQ(listener.values(), (std::vector<float>{1.0f, 0.0f, 1.0f}));
  EXPECT_EQ(button->getValue(), 1.0f) << "no reset after the press";
  EXPECT_EQ(bracket(), "be");
  EXPECT_EQ(window->pointer().pendingSteps(), 1u);
}

TEST_F(FamilyTest, TwoFrameButtonTakesItsFramesFromColumnZero) {
  // Left 10 columns red/green, right 10 columns blue/yellow; the offset's column is ignored.
  BitmapRef bitmap{paintedBitmap(20, 20, [](DrawContext& c) {
    const std::array<std::pair<GuiRect, GuiColor>, 4> parts{{{{-1, -1, 10, 10}, kColorRed},
                                                             {{-1, 9, 10, 20}, kColorGreen},
                                                             {{9, -1, 20, 10}, kColorBlue},
                                                             {{9, 9, 20, 20}, kColorYellow}}};
    for (const auto& [rect, colour] : parts) {
      c.setFillColor(colour);
      c.fillRect(rect);
    }
  })};
  auto* button = add(new GuiTwoFrameButton({10, 10, 20, 20}, &listener, 6, 10, bitmap, {10, 0}));
  EXPECT_EQ(shownAt(15, 15), kColorRed);
  button->setValue(1.0f);
  EXPECT_EQ(shownAt(15, 15), kColorGreen);
}

// ---- animation ----------------------------------------------------------------------------

TEST_F(FamilyTest, AnimationShowsItsRowOnlyWhileRunningAndStepsWrapBothWays) {
  BitmapRef strip{stripBitmap(10, 10, firstFrames(3))};
  BitmapRef panel{stripBitmap(320, 240, {kColorGrey})};
  frame->setBackground(panel);
  frame->setDirty(true);
  auto* animation = add(new GuiAnimation({10, 10, 20, 20}, &listener, 8, 3, 10, strip, {0, 0}));
  EXPECT_EQ(shownAt(15, 15), kColorGrey) << "not running: nothing drawn";
  click({15, 15});
  EXPECT_TRUE(animation->isRunning());
  EXPECT_EQ(listener.values(), (std::vector<float>{0.0f}));
  EXPECT_EQ(shownAt(15, 15), kColorRed);
  const std::pair<bool, GuiColor> steps[] = {{true, kColorGreen},
                                             {true, kColorBlue},
                                             {true, kColorRed},
                                             {false, kColorBlue},
                                             {false, kColorGreen}};
  for (auto [forward, colour] : steps) {
    forward ? animation->nextFrame() : animation->previousFrame();
    EXPECT_EQ(shownAt(15, 15), colour) << (forward ? "next" : "previous");
  }
  click({15, 15});
  EXPECT_FALSE(animation->isRunning());
  EXPECT_EQ(animation->getValue(), 0.0f);
  EXPECT_EQ(listener.calls.size(), 1u) << "stopping tells nothing";
  EXPECT_EQ(shownAt(15, 15), kColorGrey) << "the frame redrew what lies beneath";
}

// ---- sliders ------------------------------------------------------------------------------

class SliderTest : public FamilyTest {
 protected:
  // A 20 x 100 vertical slider at (50, 20): black background, a 20 x 10 red handle travelling
  // from 0 to 90; value 1 at the top (style 0x40: handle at 1 - value, drag gives 1 - fraction).
  GuiVerticalSlider* vertical(std::int32_t style = kStyleInvertedDrag, float start = 0.5f) {
    auto* slider = add(new GuiVerticalSlider({50, 20, 70, 120}, &listener, 11, 0, 90, handle,
                                             background, {0, 0}, style));
    slider->setValue(start);
    slider->setDirty(false);
    return slider;
  }
  BitmapRef handle{stripBitmap(20, 10, {kColorRed})};
  BitmapRef background{stripBitmap(20, 100, {kColorBlue})};
};

TEST_F(SliderTest, TheHandleSitsAtOneMinusTheValueOrAtTheValueWithStyle0x20) {
  const std::tuple<std::int32_t, float, std::int32_t> cases[] = {
      {kStyleInvertedDrag, 1.0f, 0},        {kStyleInvertedDrag, 0.0f, 90},
      {kStyleInvertedDrag, 0.5f, 45},       {kStyleHandleFollowsValue, 0.0f, 0},
      {kStyleHandleFollowsValue, 1.0f, 90}, {kStyleHandleFollowsValue, 2.0f, 90}};
  for (auto [style, v, top] : cases) {
    GuiVerticalSlider* slider = vertical(style, v);
    EXPECT_EQ(slider->handlePosition(), top) << "style " << style << " value " << v;
    slider->setDirty(true);
    frame->idle();
    EXPECT_EQ(at(60, 20 + top), kColorRed) << "style " << style << " value " << v;
    EXPECT_EQ(at(60, 20 + top + 10), top + 10 < 100 ? kColorBlue : kColorBlack);
    frame->removeView(slider);
  }
}

TEST_F(SliderTest, PressingOnTheHandleDragsItWithoutAJump) {
  GuiVerticalSlider* slider = vertical();  // handle rows 45..55
  drag({60, 70}, {{60, 70}, {60, 60}, {60, 60}});
  // The handle moved up 10 pixels: top at 35, value 1 - 35/90. The press itself moved nothing.
  ASSERT_EQ(listener.calls.size(), 1u);
  EXPECT_NEAR(listener.calls[0].value, 1.0f - 35.0f / 90.0f, 1e-5f);
  EXPECT_NEAR(slider->getValue(), 1.0f - 35.0f / 90.0f, 1e-5f);
  EXPECT_EQ(bracket(), "be");
}

TEST_F(SliderTest, PressingBesideTheHandleCentresItOnThePointer) {
  GuiVerticalSlider* slider = vertical();
  drag({60, 100}, {{60, 100}});
  // Handle centred on row 80 of the control: top at 75.
  EXPECT_NEAR(slider->getValue(), 1.0f - 75.0f / 90.0f, 1e-5f);
}

TEST_F(SliderTest, ShiftSlowsTheDragDownTenTimesAndReleasingItDoesNotJump) {
  GuiVerticalSlider* slider = vertical();
  const GuiPoint a{60, 70};
  press(a, {{a, kMouseLeft | kMouseShift},
            {{60, 20}, kMouseLeft | kMouseShift},  // 50 up with shift: 5 pixels
            {{60, 20}, kMouseLeft},
            {{60, 10}, kMouseLeft},  // 10 more without: 10 pixels
            {{60, 10}, 0}});
  const std::vector<float> seen = listener.values();
  ASSERT_GE(seen.size(), 2u);
  EXPECT_NEAR(seen[0], 1.0f - 40.0f / 90.0f, 1e-5f);
  EXPECT_NEAR(slider->getValue(), 1.0f - 30.0f / 90.0f, 1e-5f);
}

TEST_F(SliderTest, TheDragStopsAtTheEndsOfTheTravel) {
  GuiVerticalSlider* slider = vertical();
  drag({60, 70}, {{60, -300}, {60, -300}});
  EXPECT_EQ(slider->getValue(), 1.0f);
  drag({60, 25}, {{60, 500}, {60, 500}});
  EXPECT_EQ(slider->getValue(), 0.0f);
}

TEST_F(SliderTest, ControlClickSetsTheDefaultAndTheWheelStepsLikeAKnob) {
  GuiVerticalSlider* slider = vertical(kStyleInvertedDrag, 0.9f);
  click({60, 30}, kMouseControl);
  EXPECT_EQ(slider->getValue(), 0.5f);
  auto ctx = context();
  slider->setValue(0.95f);
  EXPECT_TRUE(slider->onWheel(ctx.get(), {60, 30}, 1.0f));
  EXPECT_EQ(slider->getValue(), 1.0f);
}

TEST_F(SliderTest, HorizontalSliderMovesItsHandleAlongX) {
  auto* slider = add(new GuiHorizontalSlider({20, 150, 120, 170}, &listener, 12, 0, 90, handle,
                                             background, {0, 0}, kStyleHandleFollowsValue));
  slider->setValue(0.0f);
  // The 20 x 10 handle is centred vertically; press on it and drag 45 right.
  drag({25, 160}, {{70, 160}, {70, 160}});
  EXPECT_NEAR(slider->getValue(), 0.5f, 1e-5f);
  frame->idle();
  EXPECT_EQ(at(20 + 45 + 5, 160), kColorRed);
}

TEST_F(SliderTest, ATransparentSliderShowsWhatLiesBeneathItsWhite) {
  BitmapRef white{stripBitmap(20, 100, {kColorWhite})};
  auto* slider = add(new GuiVerticalSlider({50, 20, 70, 120}, &listener, 11, 0, 90, handle, white,
                                           {0, 0}, kStyleInvertedDrag));
  slider->setTransparent(true);
  slider->setValue(1.0f);
  clearSurface(backBuffer(), kColorGreen);
  frame->idle();
  EXPECT_EQ(at(60, 60), kColorGreen);
  EXPECT_EQ(at(60, 25), kColorRed);
}

// ---- digit display ------------------------------------------------------------------------

// Digit d of the strip is painted in the colour (20 d + 10, 0, 0).
GuiColor digitColour(std::int32_t d) { return {static_cast<std::uint8_t>(20 * d + 10), 0, 0, 0}; }

class DigitTest : public FamilyTest {
 protected:
  BitmapRef digits{paintedBitmap(10, 100, [](DrawContext& c) {
    for (std::int32_t d = 0; d < 10; ++d) {
      c.setFillColor(digitColour(d));
      c.fillRect({-1, d * 10 - 1, 10, d * 10 + 10});
    }
  })};
  // The digits shown at the positions x = 0, 10, 20, ... of a display at (100, 100).
  std::string shown(std::int32_t count) {
    frame->idle();
    std::string text;
    for (std::int32_t i = 0; i < count; ++i) {
      const GuiColor c = at(100 + 10 * i + 5, 105);
      text += static_cast<char>('0' + (c.red - 10) / 20);
    }
    return text;
  }
};

TEST_F(DigitTest, TheIntegerPartIsShownOneDigitPerPositionClampedToTheDigits) {
  const std::array<std::int32_t, 3> xs{0, 10, 20};
  const std::array<std::int32_t, 3> ys{0, 0, 0};
  auto* display =
      add(new GuiDigitDisplay({100, 100, 130, 110}, nullptr, 0, 42.7f, 3, xs, ys, 10, 10, digits));
  EXPECT_EQ(shown(3), "042");
  const std::pair<float, const char*> cases[] = {
      {5000.0f, "999"}, {-3.0f, "000"}, {7.0f, "007"}, {999.9f, "999"}};
  for (auto [v, expected] : cases) {
    display->setValue(v);
    EXPECT_EQ(shown(3), expected) << v;
  }
}

TEST_F(DigitTest, MoreThanSevenDigitsOrShortPositionListsNeverReadPastTheLists) {
  const std::array<std::int32_t, 9> xs{0, 10, 20, 30, 40, 50, 60, 70, 80};
  const std::array<std::int32_t, 9> ys{};
  auto* wide =
      add(new GuiDigitDisplay({100, 100, 190, 110}, nullptr, 0, 1e9f, 9, xs, ys, 10, 10, digits));
  EXPECT_EQ(wide->getDigitCount(), 7);
  EXPECT_EQ(wide->shownNumber(), 9999999);
  EXPECT_EQ(shown(7), "9999999");
  frame->removeView(wide);

  const std::array<std::int32_t, 2> shortXs{0, 10};
  auto* cut = add(new GuiDigitDisplay({100, 100, 190, 110}, nullptr, 0, 123.0f, 5, shortXs, ys, 10,
                                      10, digits));
  EXPECT_EQ(cut->getDigitCount(), 2);
  EXPECT_EQ(shown(2), "99");
}

// ---- popup image --------------------------------------------------------------------------

TEST_F(FamilyTest, PopupImageBecomesModalOverItsDisplayRectAndTheNextClickClosesIt) {
  BitmapRef picture{stripBitmap(100, 80, {kColorMagenta})};
  auto* below = add(new GuiTwoFrameButton({150, 120, 170, 130}, nullptr, 1, 10, nullptr, {0, 0}));
  auto* popup =
      add(new GuiPopupImage({10, 10, 20, 20}, &listener, 9, picture, {100, 100, 200, 180}, {0, 0}));
  click({15, 15});
  EXPECT_TRUE(popup->isPoppedUp());
  EXPECT_EQ(frame->getModalView(), popup);
  EXPECT_EQ(popup->getSize(), (GuiRect{100, 100, 200, 180}));
  EXPECT_EQ(shownAt(150, 150), kColorMagenta);
  click({15, 15});  // outside the modal view: dropped
  EXPECT_TRUE(popup->isPoppedUp());
  click({160, 125});  // on the picture, over another control: the popup takes it
  EXPECT_EQ(below->getValue(), 0.0f);
  EXPECT_FALSE(popup->isPoppedUp());
  EXPECT_EQ(frame->getModalView(), nullptr);
  EXPECT_EQ(popup->getSize(), (GuiRect{10, 10, 20, 20}));
  EXPECT_EQ(listener.values(), (std::vector<float>{1.0f, 0.0f}));
}

TEST_F(FamilyTest, PopupImageCannotPopUpOverAnotherModalViewAndEndsTheModalStateWhenRemoved) {
  auto* popup =
      add(new GuiPopupImage({10, 10, 20, 20}, &listener, 9, nullptr, {100, 100, 200, 180}, {0, 0}));
  ProbeView other({0, 0, 5, 5});
  ASSERT_TRUE(frame->setModalView(&other));
  window->pointer().setPointer({15, 15}, kMouseLeft);
  popup->onMouseDown(context().get(), {15, 15});  // the frame would not route it; call it
  EXPECT_FALSE(popup->isPoppedUp());
  frame->setModalView(nullptr);
  click({15, 15});
  ASSERT_EQ(frame->getModalView(), popup);
  popup->retain();
  frame->removeView(popup);
  EXPECT_EQ(frame->getModalView(), nullptr) << "no dangling modal view";
  popup->release();
}

// ---- level meter --------------------------------------------------------------------------

TEST_F(FamilyTest, LevelMeterLightsWholeSegmentsFromTheBottomOrFromTheLeft) {
  BitmapRef on{stripBitmap(100, 100, {kColorGreen})};
  BitmapRef off{stripBitmap(100, 100, {kColorRed})};
  auto* vertical = add(new GuiLevelMeter({10, 10, 20, 110}, on, off, 10));
  vertical->setValue(0.55f);
  frame->idle();
  EXPECT_EQ(vertical->litSegments(), 5);
  EXPECT_EQ(at(15, 109), kColorGreen);
  EXPECT_EQ(at(15, 60), kColorGreen);
  EXPECT_EQ(at(15, 59), kColorRed);
  auto* horizontal =
      add(new GuiLevelMeter({30, 10, 130, 20}, on, off, 4, GuiLevelMeter::kHorizontal));
  horizontal->setValue(0.8f);
  frame->idle();
  EXPECT_EQ(horizontal->litSegments(), 3);
  EXPECT_EQ(at(30, 15), kColorGreen);
  EXPECT_EQ(at(104, 15), kColorGreen);
  EXPECT_EQ(at(105, 15), kColorRed);
}

TEST_F(FamilyTest, LevelMeterFallsByTheDecayPerRedrawAndKeepsRedrawingUntilDown) {
  auto* meter = add(new GuiLevelMeter({10, 10, 20, 110}, nullptr, nullptr, 10));
  meter->setDecay(0.25f);
  meter->setValue(1.0f);
  frame->idle();
  EXPECT_EQ(meter->litSegments(), 10);
  meter->setValue(0.0f);
  std::vector<std::int32_t> lit;
  for (int i = 0; i < 6 && meter->isDirty(); ++i) {
    frame->idle();
    lit.push_back(meter->litSegments());
  }
  EXPECT_EQ(lit, (std::vector<std::int32_t>{7, 5, 2, 0}));
  EXPECT_FALSE(meter->isDirty());
  meter->setValue(0.95f);
  frame->idle();
  EXPECT_EQ(meter->litSegments(), 9) << "a rise shows at once";
}

// ---- robustness ---------------------------------------------------------------------------

TEST_F(FamilyTest, EveryControlWithoutAListenerOrBitmapTakesPressesAndTheWheelSafely) {
  std::vector<GuiControl*> controls{
      new GuiVerticalStepSwitch({0, 0, 20, 20}, nullptr, 1, 3, 20, 3, nullptr, {0, 0}),
      new GuiHorizontalStepSwitch({0, 0, 20, 20}, nullptr, 1, 0, 0, 0, nullptr, {0, 0}),
      new GuiThreeWaySwitch({0, 0, 20, 20}, nullptr, 1, 20, nullptr, {0, 0}),
      new GuiFrameStrip({0, 0, 20, 20}, nullptr, 1, 0, 20, nullptr, {0, 0}),
      new GuiTwoFrameButton({0, 0, 20, 20}, nullptr, 1, 20, nullptr, {0, 0}),
      new GuiAnimation({0, 0, 20, 20}, nullptr, 1, 0, 0, nullptr, {0, 0}),
      new GuiVerticalSlider({0, 0, 20, 20}, nullptr, 1, 5, 5, nullptr, nullptr, {0, 0}),
      new GuiHorizontalSlider({0, 0, 20, 20}, nullptr, 1, 0, 10, nullptr, nullptr, {0, 0}),
      new GuiPopupImage({0, 0, 20, 20}, nullptr, 1, nullptr, {0, 0, 20, 20}, {0, 0}),
      new GuiLevelMeter({0, 0, 20, 20}, nullptr, nullptr, 0)};
  for (GuiControl* control : controls) {
    add(control);
    drag({10, 10}, {{12, 4}, {12, 4}});
    click({10, 10}, kMouseControl);
    auto ctx = context();
    control->onWheel(ctx.get(), {10, 10}, 1.0f);
    EXPECT_TRUE(std::isfinite(control->getValue())) << typeid(*control).name();
    control->setValue(-1e30f);
    frame->idle();
    control->setValue(1e30f);
    frame->idle();
    EXPECT_FALSE(frame->needsDrawing()) << typeid(*control).name() << " drew itself clean";
    frame->setModalView(nullptr);
    frame->removeView(control);
  }
  EXPECT_EQ(frame->getViewCount(), 0);
}

}  // namespace
