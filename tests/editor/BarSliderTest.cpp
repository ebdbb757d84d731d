// The three bar sliders on the headless back end at their panel rectangles: values from the
// pointer at the rows and columns that bound them, the lit segments on the frame, notifications
// on every accepted pass, what ends or skips a drag, no clamping, and the knob's wheel.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/GuiBarSlider.h"
#include "editor/GuiBipolarBarSlider.h"
#include "editor/GuiHorizontalBarSlider.h"
#include "tests/editor/PanelControlFixture.h"

namespace {

using Step = HeadlessWindow::PointerStep;

// The panel's main volume (vertical), main detune (bipolar) and delay volume (horizontal) bars.
constexpr GuiRect kVolumeRect{15, 54, 25, 154};
constexpr GuiRect kDetuneRect{39, 54, 49, 154};
constexpr GuiRect kDelayRect{48, 440, 98, 450};

class BarSliderTest : public PanelControlTest {
 protected:
  template <class Bar>
  Bar* makeBar(const GuiRect& rect, std::int32_t tag, float initial) {
    auto* bar = add(new Bar(rect, &listener, tag, nullptr, nullptr, {0, 0}));
    bar->setValue(initial);
    frame->idle();
    return bar;
  }
  // A drag through `steps`, all with exactly the left button unless a step says otherwise.
  void drag(std::vector<GuiPoint> points, std::int32_t buttons = kMouseLeft) {
    std::vector<Step> steps;
    for (GuiPoint p : points) steps.push_back({p, buttons});
    press(points.front(), std::move(steps));
  }
  // 'L' lit, 'D' dark, '?' other, for `count` pixels from `first` in steps of `step`.
  std::string segments(GuiPoint first, GuiPoint step, int count) {
    std::string text;
    for (int n = 0; n < count; ++n) {
      const GuiColor c = pixel(first.h + n * step.h, first.v + n * step.v);
      text += c == kSegmentLit ? 'L' : c == kSegmentDark ? 'D' : '?';
    }
    return text;
  }
};

std::string lit(int litCount, int total) {
  return std::string(static_cast<std::size_t>(litCount), 'L') +
         std::string(static_cast<std::size_t>(total - litCount), 'D');
}

TEST_F(BarSliderTest, AHundredPixelBarGivesZeroOnItsBottomRowAndOneOnItsTopRow) {
  auto* bar = makeBar<GuiBarSlider>(kVolumeRect, 0, 0.3f);
  drag({{20, 154}, {20, 54}, {20, 104}});
  EXPECT_EQ(listener.values(), (std::vector<float>{0.0f, 1.0f, 0.5f}));
  EXPECT_EQ(bar->getValue(), 0.5f);
  EXPECT_TRUE(editTags(audioMasterBeginEdit).empty()) << "a bar drag has no automation bracket";
}

TEST_F(BarSliderTest, AVerticalBarAtHalfLightsRowsZeroTo24OnTheFrame) {
  makeBar<GuiBarSlider>(kVolumeRect, 0, 0.5f);
  EXPECT_EQ(segments({15, 154}, {0, -2}, 50), lit(25, 50)) << "rows 154, 152 ... 56";
  EXPECT_EQ(segments({24, 154}, {0, -2}, 50), lit(25, 50)) << "up to the pixel before right";
}

TEST_F(BarSliderTest, ABipolarBarLightsTheCentreRowAndOutwardFromIt) {
  auto* bar = makeBar<GuiBipolarBarSlider>(kDetuneRect, 1, 0.5f);
  ASSERT_EQ(bar->getCentre(), 104);
  struct Case {
    float value;
    int above;  // lit rows among 102, 100 ... 56
    int below;  // lit rows among 106, 108 ... 154
  };
  for (const Case& c : {Case{0.5f, 0, 0}, Case{1.0f, 24, 0}, Case{0.0f, 0, 24}}) {
    bar->setValue(c.value);
    frame->idle();
    EXPECT_EQ(pixel(40, 104), kSegmentLit) << "value " << c.value;
    EXPECT_EQ(segments({40, 102}, {0, -2}, 24), lit(c.above, 24)) << "value " << c.value;
    EXPECT_EQ(segments({40, 106}, {0, 2}, 25), lit(c.below, 25)) << "value " << c.value;
  }
}

TEST_F(BarSliderTest, ABipolarBarTakesThePointerStrictlyBetweenItsEdges) {
  makeBar<GuiBipolarBarSlider>(kDetuneRect, 1, 0.5f);
  drag({{39, 54}, {40, 54}, {48, 154}, {49, 154}});
  EXPECT_EQ(listener.values(), (std::vector<float>{1.0f, 0.0f}));
}

TEST_F(BarSliderTest, AFiftyPixelHorizontalBarGivesZeroAtItsLeftAndOneFiftyPixelsOn) {
  auto* bar = makeBar<GuiHorizontalBarSlider>(kDelayRect, 180, 0.2f);
  drag({{48, 445}, {98, 445}, {73, 445}});
  EXPECT_EQ(listener.values(), (std::vector<float>{0.0f, 1.0f, 0.5f}));
  frame->idle();
  EXPECT_EQ(segments({48, 449}, {2, 0}, 25), lit(13, 25)) << "0.5 * 25 = 12.5: columns 0-12";
  EXPECT_EQ(bar->getTag(), 180);
}

TEST_F(BarSliderTest, AButtonHeldStillKeepsNotifyingTheSameValue) {
  makeBar<GuiBarSlider>(kVolumeRect, 0, 0.0f);
  drag({{20, 79}, {20, 79}, {20, 79}, {20, 79}});
  EXPECT_EQ(listener.values(), std::vector<float>(4, 0.75f));
}

TEST_F(BarSliderTest, PassesOutsideTheAcceptedAreaAreSkippedWithoutEndingTheDrag) {
  makeBar<GuiBarSlider>(kVolumeRect, 0, 0.0f);
  // 10 pixels beside the bar is out, 9 is in; above the top row is out.
  drag({{20, 104}, {5, 104}, {6, 84}, {34, 64}, {35, 64}, {20, 53}, {20, 154}});
  EXPECT_EQ(listener.values(), (std::vector<float>{0.5f, 0.7f, 0.9f, 0.0f}));
}

TEST_F(BarSliderTest, AModifierOrAnotherButtonEndsOrPreventsTheDrag) {
  auto* bar = makeBar<GuiBarSlider>(kVolumeRect, 0, 0.3f);
  for (std::int32_t buttons :
       {std::int32_t{kMouseLeft | kMouseShift}, kMouseLeft | kMouseControl, kMouseLeft | kMouseAlt,
        std::int32_t{kMouseRight}, kMouseLeft | kMouseRight}) {
    drag({{20, 54}}, buttons);
    EXPECT_EQ(bar->getValue(), 0.3f) << "buttons " << buttons;
  }
  EXPECT_TRUE(listener.calls.empty());
  press({20, 104}, {{{20, 104}, kMouseLeft}, {{20, 54}, kMouseLeft | kMouseShift}});
  EXPECT_EQ(listener.values(), std::vector<float>{0.5f}) << "shift ends a drag at once";
}

TEST_F(BarSliderTest, NothingIsClampedSoATallerBarGoesAboveOne) {
  auto* bar = makeBar<GuiBarSlider>({15, 4, 25, 154}, 0, 0.0f);
  drag({{20, 4}});
  EXPECT_EQ(bar->getValue(), 1.5f);
  frame->idle();
  EXPECT_EQ(segments({15, 154}, {0, -2}, 50), lit(50, 50));
}

TEST_F(BarSliderTest, TheWheelStepsTheValueAndClampsIt) {
  auto* bar = makeBar<GuiBarSlider>(kVolumeRect, 0, 0.95f);
  window->pointer().setPointer({20, 100}, 0);
  EXPECT_TRUE(editor->onWheel(1.0f));
  EXPECT_EQ(bar->getValue(), 1.0f);
  EXPECT_EQ(listener.values(), std::vector<float>{1.0f});
  window->pointer().setPointer({20, 100}, kMouseShift);
  EXPECT_TRUE(editor->onWheel(-1.0f));
  EXPECT_FLOAT_EQ(bar->getValue(), 0.99f) << "a tenth of the increment with shift";
}

TEST_F(BarSliderTest, TheBarDrawsOnlyItsSegments) {
  add(new ProbeView({0, 40, 60, 170}, kColorBlue));
  makeBar<GuiBarSlider>(kVolumeRect, 0, 1.0f);
  frame->setDirty(true);
  frame->idle();
  EXPECT_EQ(pixel(20, 155), kColorBlue) << "below the bottom row";
  EXPECT_EQ(pixel(20, 153), kColorBlue) << "between rows";
  EXPECT_EQ(pixel(25, 154), kColorBlue) << "right of the row's end";
  EXPECT_EQ(pixel(20, 54), kColorBlue) << "the top row is no segment";
  EXPECT_EQ(pixel(20, 56), kSegmentLit);
}

}  // namespace
