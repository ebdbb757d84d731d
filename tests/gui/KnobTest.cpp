// The knob on the headless back end: handle geometry, the value under a point with its dead
// zone, linear and circular drags with the scripted pointer (shift's fine step without a jump,
// alt inverting the knob mode, the pin at the end across the dead zone), control-click, the
// wheel, the host's automation bracket, and the pixels of both handle kinds.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "gui/GuiKnob.h"
#include "tests/gui/ControlTestSupport.h"
#include "tests/gui/PixelPicture.h"

namespace {

constexpr GuiRect kKnobRect{100, 60, 140, 100};  // 40 x 40: radius 20
constexpr GuiPoint kKnobCentre{120, 80};

// Restores the toolkit-wide knob mode after a test.
class KnobModeScope {
 public:
  explicit KnobModeScope(EditorBase& editor, std::int32_t mode) : editor_(editor) {
    editor_.setDragMode(mode);
  }
  ~KnobModeScope() { editor_.setDragMode(0); }
  KnobModeScope(const KnobModeScope&) = delete;
  KnobModeScope& operator=(const KnobModeScope&) = delete;

 private:
  EditorBase& editor_;
};

class KnobTest : public ControlFixture {
 protected:
  GuiKnob* addKnob(float start, GuiBitmap* handle = nullptr) {
    auto* knob = add(new GuiKnob(kKnobRect, &listener, 7, nullptr, handle, {0, 0}));
    knob->setValue(start);
    knob->setDirty(false);
    return knob;
  }
  // A point on the circle of radius 15 around the knob's centre at `degrees` (counter-clockwise
  // from the right), in frame coordinates.
  static GuiPoint atAngle(double degrees) {
    const double r = degrees * std::numbers::pi / 180.0;
    return {kKnobCentre.h + static_cast<std::int32_t>(std::lround(15.0 * std::cos(r))),
            kKnobCentre.v - static_cast<std::int32_t>(std::lround(15.0 * std::sin(r)))};
  }
  // Points from `from` moving by (dx, dy) in `steps` equal steps.
  static std::vector<GuiPoint> line(GuiPoint from, std::int32_t dx, std::int32_t dy, int steps) {
    std::vector<GuiPoint> points;
    for (int i = 1; i <= steps; ++i)
      points.push_back({from.h + dx * i / steps, from.v + dy * i / steps});
    return points;
  }
};

// ---- geometry -----------------------------------------------------------------------------

TEST_F(KnobTest, PointForValueHalfIsTheTopCentreInsetPixelsInsideTheRim) {
  GuiKnob* plain = addKnob(0.5f);
  GuiPoint p;
  plain->pointForValue(p);
  EXPECT_EQ(p, (GuiPoint{20, 3})) << "no handle bitmap: inset 3";

  BitmapRef handle{paintedBitmap(11, 9, [](DrawContext&) {})};
  GuiKnob* withHandle = addKnob(0.5f, handle);
  EXPECT_EQ(withHandle->getInset(), 8) << "trunc(11 * 0.5 + 2.5)";
  withHandle->pointForValue(p);
  EXPECT_EQ(p, (GuiPoint{20, 8}));
}

TEST_F(KnobTest, TheEndsOfTheSweepLieLowerLeftAndLowerRightMirrored) {
  GuiKnob* knob = addKnob(0.0f);
  GuiPoint low, high;
  knob->pointForValue(low);
  knob->setValue(1.0f);
  knob->pointForValue(high);
  EXPECT_LT(low.h, 20);
  EXPECT_GT(low.v, 20);
  EXPECT_EQ(high.v, low.v) << "both ends at the same height";
  EXPECT_EQ(high.h - 20, 20 - low.h) << "mirrored about the vertical axis";
}

struct AngleCase {
  const char* where;
  double degrees;
  float expected;
};

TEST_F(KnobTest, ValueAtPointFollowsTheSweepAndSplitsTheDeadZone) {
  GuiKnob* knob = addKnob(0.0f);
  const AngleCase cases[] = {{"top centre", 90.0, 0.5f},
                             {"lower-left end", 225.0, 0.0f},
                             {"lower-right end", -45.0, 1.0f},
                             {"right", 0.0, 5.0f / 6.0f},
                             {"left", 180.0, 1.0f / 6.0f},
                             {"dead zone near the start", 260.0, 0.0f},
                             {"dead zone near the end", 280.0, 1.0f}};
  for (const AngleCase& c : cases) {
    const GuiPoint p = atAngle(c.degrees);
    const float got = knob->valueAtPoint({p.h - kKnobRect.left, p.v - kKnobRect.top});
    EXPECT_NEAR(got, c.expected, 0.02f) << c.where;
  }
}

TEST_F(KnobTest, ANewRangeMovesTheAngleMappingWithIt) {
  GuiKnob* knob = addKnob(0.0f);
  knob->setMin(-1.0f);
  knob->setMax(1.0f);
  GuiPoint p;
  knob->pointForValue(p);
  EXPECT_EQ(p, (GuiPoint{20, 3})) << "0 is the middle of -1..1";
  EXPECT_NEAR(knob->valueAtPoint({20, 3}), 0.0f, 1e-5f);
}

TEST_F(KnobTest, DegenerateAnglesAndRangesNeverGiveAnUndefinedHandle) {
  GuiKnob* knob = addKnob(0.3f);
  knob->setRangeAngle(0.0f);
  knob->setStartAngle(std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(knob->getRangeAngle(), GuiKnob::kDefaultRangeAngle);
  EXPECT_EQ(knob->getStartAngle(), GuiKnob::kDefaultStartAngle);
  knob->setMax(0.0f);  // an empty range
  GuiPoint p{-99, -99};
  knob->pointForValue(p);
  EXPECT_TRUE(p.h >= 0 && p.h <= 40 && p.v >= 0 && p.v <= 40) << p.h << "," << p.v;
  knob->setFineDivisor(0.0f);
  knob->setFineDivisor(std::numeric_limits<float>::infinity());
  EXPECT_EQ(knob->getFineDivisor(), 1.5f);
}

// ---- linear drags -------------------------------------------------------------------------

TEST_F(KnobTest, LinearHundredRightAndHundredDownLeavesTheValueUnchanged) {
  const KnobModeScope mode(*editor, 2);
  GuiKnob* knob = addKnob(0.5f);
  std::vector<GuiPoint> path = line(kKnobCentre, 100, 0, 10);
  const std::vector<GuiPoint> down = line(path.back(), 0, 100, 10);
  path.insert(path.end(), down.begin(), down.end());
  drag(kKnobCentre, path);
  EXPECT_FLOAT_EQ(knob->getValue(), 0.5f);
  EXPECT_FALSE(listener.calls.empty()) << "the value moved on the way";
}

struct LinearCase {
  const char* name;
  std::int32_t up;
  std::int32_t modifiers;
  float expected;
};

TEST_F(KnobTest, LinearTwoHundredPixelsUpCrossTheRangeOrThreeHundredWithShift) {
  const KnobModeScope mode(*editor, 2);
  const LinearCase cases[] = {{"100 up", 100, 0, 0.5f},
                              {"200 up", 200, 0, 1.0f},
                              {"250 up (clamped)", 250, 0, 1.0f},
                              {"200 up with shift", 200, kMouseShift, 2.0f / 3.0f},
                              {"300 up with shift", 300, kMouseShift, 1.0f}};
  for (const LinearCase& c : cases) {
    GuiKnob* knob = addKnob(0.0f);
    drag(kKnobCentre, line(kKnobCentre, 0, -c.up, 20), c.modifiers);
    EXPECT_NEAR(knob->getValue(), c.expected, 1e-5f) << c.name;
    frame->removeView(knob);
  }
}

TEST_F(KnobTest, ShiftChangingMidDragChangesTheStepWithoutAJump) {
  const KnobModeScope mode(*editor, 2);
  GuiKnob* knob = addKnob(0.0f);
  const GuiPoint a{120, 80};
  const GuiPoint b{120, -20};  // 100 up: 0.5
  const GuiPoint c{120, -50};  // 30 more with shift: + 0.1
  const GuiPoint d{120, -80};  // 30 more without: + 0.15
  press(a, {{a, kMouseLeft},
            {b, kMouseLeft},
            {b, kMouseLeft | kMouseShift},
            {c, kMouseLeft | kMouseShift},
            {c, kMouseLeft},
            {d, kMouseLeft},
            {d, 0}});
  const std::vector<float> seen = listener.values();
  ASSERT_FALSE(seen.empty());
  EXPECT_NEAR(seen.back(), 0.75f, 1e-5f);
  EXPECT_NEAR(knob->getValue(), 0.75f, 1e-5f);
  for (std::size_t i = 1; i < seen.size(); ++i) {
    EXPECT_LE(std::fabs(seen[i] - seen[i - 1]), 0.51f) << "no jump at step " << i;
  }
  EXPECT_NEAR(seen[0], 0.5f, 1e-5f);
  EXPECT_NEAR(seen[1], 0.6f, 1e-5f);
}

// ---- circular drags and the knob mode -----------------------------------------------------

TEST_F(KnobTest, CircularDragAcrossTheDeadZoneStaysPinnedAtTheMaximum) {
  GuiKnob* knob = addKnob(0.0f);
  const std::vector<GuiPoint> path{atAngle(-50.0),  atAngle(-70.0),  atAngle(-90.0),
                                   atAngle(-110.0), atAngle(-130.0), atAngle(-140.0)};
  drag(atAngle(-40.0), path);
  EXPECT_EQ(knob->getValue(), 1.0f);
  for (const RecordingListener::Call& call : listener.calls) EXPECT_GT(call.value, 0.9f);
}

TEST_F(KnobTest, CircularDragFollowsThePointerInsideTheSweep) {
  GuiKnob* knob = addKnob(0.0f);
  drag(atAngle(200.0), {atAngle(150.0), atAngle(90.0)});
  EXPECT_NEAR(knob->getValue(), 0.5f, 0.02f);
  EXPECT_EQ(listener.calls.size(), 3u) << "the click point and both moves";
}

struct ModeCase {
  std::int32_t mode;
  std::int32_t modifiers;
  bool linear;
};

TEST_F(KnobTest, KnobModeTwoMakesLinearTheDefaultAndAltInvertsItForOneDrag) {
  const ModeCase cases[] = {
      {0, 0, false}, {0, kMouseAlt, true}, {2, 0, true}, {2, kMouseAlt, false}, {1, 0, false}};
  for (const ModeCase& c : cases) {
    const KnobModeScope mode(*editor, c.mode);
    GuiKnob* knob = addKnob(0.0f);
    // Pressing at the top centre and moving 40 pixels right: circular jumps to about 0.5 and
    // beyond; linear moves by 40 / 200.
    const GuiPoint top{120, 65};
    drag(top, {{160, 65}}, c.modifiers);
    if (c.linear) {
      EXPECT_NEAR(knob->getValue(), 0.2f, 1e-5f)
          << "mode " << c.mode << " modifiers " << c.modifiers;
    } else {
      EXPECT_GT(knob->getValue(), 0.5f) << "mode " << c.mode << " modifiers " << c.modifiers;
    }
    frame->removeView(knob);
  }
}

// ---- clicks, the wheel and the bracket ----------------------------------------------------

TEST_F(KnobTest, ControlClickSetsTheDefaultAndNotifiesOnceWithoutABracket) {
  GuiKnob* knob = addKnob(0.8f);
  click(kKnobCentre, kMouseControl);
  EXPECT_EQ(knob->getValue(), 0.5f);
  ASSERT_EQ(listener.calls.size(), 1u);
  EXPECT_EQ(listener.calls[0].value, 0.5f);
  EXPECT_EQ(bracket(), "");
  click(kKnobCentre, kMouseControl | kMouseShift);  // not exactly left + control: a drag
  EXPECT_EQ(bracket(), "be");
}

TEST_F(KnobTest, ADragIsOneGestureForTheHost) {
  addKnob(0.2f);
  drag(kKnobCentre, line(kKnobCentre, 0, -30, 3));
  EXPECT_EQ(bracket(), "be");
  for (const RecordedHostCall& call : effect.calls) {
    if (call.opcode == audioMasterBeginEdit || call.opcode == audioMasterEndEdit) {
      EXPECT_EQ(call.index, 7) << "the knob's tag";
    }
  }
}

TEST_F(KnobTest, NothingHappensWithoutTheLeftButtonOrWhenMouseDisabled) {
  GuiKnob* knob = addKnob(0.2f);
  press(kKnobCentre, {{kKnobCentre, kMouseRight}, {{120, 0}, kMouseRight}});
  knob->setMouseEnabled(false);
  auto ctx = context();
  window->pointer().setPointer(kKnobCentre, kMouseLeft);
  knob->onMouseDown(ctx.get(), kKnobCentre);
  EXPECT_EQ(knob->getValue(), 0.2f);
  EXPECT_TRUE(listener.calls.empty());
  EXPECT_EQ(bracket(), "");
}

struct WheelCase {
  const char* name;
  float start;
  float distance;
  std::int32_t modifiers;
  float expected;
};

TEST_F(KnobTest, TheWheelStepsByTheIncrementATenthWithShiftAndClamps) {
  const WheelCase cases[] = {{"0.95 + 1 clamps", 0.95f, 1.0f, 0, 1.0f},
                             {"0.5 + 1", 0.5f, 1.0f, 0, 0.6f},
                             {"0.5 - 2", 0.5f, -2.0f, 0, 0.3f},
                             {"0.05 - 1 clamps", 0.05f, -1.0f, 0, 0.0f},
                             {"0.5 + 1 with shift", 0.5f, 1.0f, kMouseShift, 0.51f}};
  for (const WheelCase& c : cases) {
    GuiKnob* knob = addKnob(c.start);
    listener.calls.clear();
    window->pointer().setPointer(kKnobCentre, c.modifiers);
    auto ctx = context();
    EXPECT_TRUE(knob->onWheel(ctx.get(), kKnobCentre, c.distance)) << c.name;
    EXPECT_NEAR(knob->getValue(), c.expected, 1e-6f) << c.name;
    EXPECT_EQ(listener.calls.size(), 1u) << c.name;
    frame->removeView(knob);
  }
}

TEST_F(KnobTest, TheWheelIsRefusedWhenMouseDisabledOrNotANumber) {
  GuiKnob* knob = addKnob(0.5f);
  auto ctx = context();
  EXPECT_FALSE(knob->onWheel(ctx.get(), kKnobCentre, std::numeric_limits<float>::quiet_NaN()));
  knob->setMouseEnabled(false);
  EXPECT_FALSE(knob->onWheel(ctx.get(), kKnobCentre, 1.0f));
  EXPECT_EQ(knob->getValue(), 0.5f);
  EXPECT_TRUE(listener.calls.empty());
}

TEST_F(KnobTest, TheFramesWheelReachesTheKnobUnderThePointer) {
  GuiKnob* knob = addKnob(0.5f);
  window->pointer().setPointer(kKnobCentre, 0);
  window->postWheel(kKnobCentre, 1.0f);
  frame->idle();
  EXPECT_NEAR(knob->getValue(), 0.6f, 1e-6f);
}

TEST_F(KnobTest, AKnobWithoutAListenerCanBeDraggedClickedAndWheeled) {
  auto* knob = add(new GuiKnob(kKnobRect, nullptr, 3, nullptr, nullptr, {0, 0}));
  drag(kKnobCentre, line(kKnobCentre, 0, -30, 3));
  click(kKnobCentre, kMouseControl);
  auto ctx = context();
  EXPECT_TRUE(knob->onWheel(ctx.get(), kKnobCentre, 1.0f));
  EXPECT_NEAR(knob->getValue(), 0.6f, 1e-6f);
}

// ---- drawing ------------------------------------------------------------------------------

TEST_F(KnobTest, WithoutAHandleBitmapTheHandleIsAShadowLineAndAHandleLine) {
  DrawSurface surface(20, 20);
  GuiKnob knob({0, 0, 20, 20}, nullptr, 0, nullptr, nullptr, {0, 0});
  knob.setValue(0.5f);  // handle point (10, 3), centre (9, 10)
  knob.setShadowColor(kColorRed);
  knob.setHandleColor(kColorYellow);
  {
    DrawContext ctx(nullptr, &surface, nullptr);
    knob.draw(&ctx);
  }
  EXPECT_FALSE(knob.isDirty());
  // Columns 0..10, rows 0..10: the shadow from (9,3) down to (9,9), the handle from (10,2) to
  // (10,8); neither end point is painted.
  std::string want;
  for (const char* row :
       {"...........", "...........", "..........Y", ".........RY", ".........RY", ".........RY",
        ".........RY", ".........RY", ".........RY", ".........R.", "..........."}) {
    (want += row) += '\n';
  }
  EXPECT_EQ(
      picture(surface, {0, 0, 11, 11}, {{'.', kColorBlack}, {'R', kColorRed}, {'Y', kColorYellow}}),
      want);
}

TEST_F(KnobTest, TheBackgroundComesFromTheOffsetAndTheHandleBitmapIsKeyedOnThePoint) {
  // Background bitmap: left half blue, right half green; the knob shows 10 x 10 from (10, 0).
  BitmapRef backgroundBitmap{paintedBitmap(20, 10, [](DrawContext& c) {
    c.setFillColor(kColorBlue);
    c.fillRect({-1, -1, 10, 10});
    c.setFillColor(kColorGreen);
    c.fillRect({9, -1, 20, 10});
  })};
  // Handle 3 x 3: a red centre on white (white is knocked out).
  BitmapRef handle{paintedBitmap(3, 3, [](DrawContext& c) {
    c.setFillColor(kColorWhite);
    c.fillRect({-1, -1, 3, 3});
    c.drawPoint({1, 1}, kColorRed);
  })};
  GuiKnob knob({0, 0, 10, 10}, nullptr, 0, backgroundBitmap, handle, {10, 0});
  EXPECT_EQ(knob.getInset(), 4) << "trunc(3 * 0.5 + 2.5)";
  knob.setValue(0.5f);  // point (5, 4)
  DrawSurface surface(10, 10);
  {
    DrawContext ctx(nullptr, &surface, nullptr);
    knob.draw(&ctx);
  }
  EXPECT_EQ(surface.pixel(0, 0), kColorGreen);
  EXPECT_EQ(surface.pixel(9, 9), kColorGreen);
  EXPECT_EQ(surface.pixel(5, 4), kColorRed);
  EXPECT_EQ(surface.pixel(4, 3), kColorGreen) << "the handle's white is knocked out";
  EXPECT_EQ(backgroundBitmap->getRefCount(), 2);
  EXPECT_EQ(handle->getRefCount(), 2);
}

TEST_F(KnobTest, SetHandleBitmapSwapsReferencesAndNullKeepsTheInset) {
  BitmapRef first{paintedBitmap(9, 9, [](DrawContext&) {})};
  BitmapRef second{paintedBitmap(15, 15, [](DrawContext&) {})};
  {
    GuiKnob knob(kKnobRect, nullptr, 0, nullptr, first, {0, 0});
    EXPECT_EQ(knob.getInset(), 7);
    knob.setHandleBitmap(second);
    EXPECT_EQ(first->getRefCount(), 1);
    EXPECT_EQ(second->getRefCount(), 2);
    EXPECT_EQ(knob.getInset(), 10);
    knob.setHandleBitmap(nullptr);
    EXPECT_EQ(second->getRefCount(), 1);
    EXPECT_EQ(knob.getInset(), 10);
    knob.setHandleBitmap(first);
  }
  EXPECT_EQ(first->getRefCount(), 1) << "the destructor released the handle";
}

TEST_F(KnobTest, ADraggedKnobIsRedrawnByTheIdlePumpDuringTheDrag) {
  const KnobModeScope mode(*editor, 2);
  GuiKnob* knob = addKnob(0.0f);
  knob->setHandleColor(kColorYellow);
  frame->idle();
  EXPECT_EQ(backBuffer().pixel(108, 91), kColorYellow) << "value 0: handle at the lower left";
  drag(kKnobCentre, line(kKnobCentre, 0, -200, 4));
  EXPECT_EQ(knob->getValue(), 1.0f);
  // At value 1 the handle point is (32, 32): the handle line starts at (132, 91).
  EXPECT_EQ(backBuffer().pixel(132, 91), kColorYellow);
  EXPECT_FALSE(knob->isDirty()) << "drawn by the frame's idle during the drag";
}

}  // namespace
