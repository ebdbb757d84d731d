// The headless back end behind a drawing context: scripted pointer and modifiers, the location
// relative to the window origin, second clicks, presenting what was painted, the manual clock.
#include <gtest/gtest.h>

#include "gui/DrawContext.h"
#include "gui/platform/headless/HeadlessWindow.h"

namespace {

struct ButtonCase {
  const char* name;
  std::int32_t buttons;
  std::int32_t expected;
};

TEST(HeadlessPointer, QueryMouseButtonsReportsButtonAndModifierBits) {
  const ButtonCase cases[] = {
      {"left + control", kMouseLeft | kMouseControl, 17},
      {"left", kMouseLeft, 1},
      {"middle", kMouseMiddle, 2},
      {"right + shift", kMouseRight | kMouseShift, 12},
      {"left + alt", kMouseLeft | kMouseAlt, 33},
      {"nothing", 0, 0},
  };
  for (const ButtonCase& c : cases) {
    HeadlessWindow window;
    window.setPointer({5, 5}, c.buttons);
    DrawContext ctx(nullptr, nullptr, &window);
    EXPECT_EQ(ctx.queryMouseButtons(), c.expected) << c.name;
  }
}

TEST(HeadlessPointer, LocationIsThePointerMinusTheOriginReadAtConstruction) {
  HeadlessWindow window;
  window.setOrigin({100, 50});
  window.setPointer({130, 75}, 0);
  DrawContext ctx(nullptr, nullptr, &window);
  window.setOrigin({0, 0});  // read once: a later move of the window is not seen
  GuiPoint where;
  ctx.queryMouseLocation(where);
  EXPECT_EQ(where, (GuiPoint{30, 25}));
  EXPECT_EQ(ctx.getWindowOrigin(), (GuiPoint{100, 50}));
}

TEST(HeadlessPointer, ScriptedStepsAreTakenOnePerButtonQueryThenReleased) {
  HeadlessWindow window;
  window.scriptPointer(
      {{{1, 1}, kMouseLeft}, {{4, 2}, kMouseLeft}, {{9, 3}, kMouseLeft | kMouseShift}});
  DrawContext ctx(nullptr, nullptr, &window);
  std::vector<std::pair<std::int32_t, GuiPoint>> seen;
  while (true) {
    const std::int32_t buttons = ctx.queryMouseButtons();
    GuiPoint where;
    ctx.queryMouseLocation(where);
    seen.emplace_back(buttons, where);
    if (buttons == 0) break;
    ASSERT_LT(seen.size(), 10u) << "the script never released the button";
  }
  const std::vector<std::pair<std::int32_t, GuiPoint>> expected{
      {1, {1, 1}}, {1, {4, 2}}, {9, {9, 3}}, {0, {9, 3}}};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(window.buttonQueries(), 4);
  EXPECT_EQ(window.pendingSteps(), 0u);
}

TEST(HeadlessPointer, SecondClickIsAnsweredFromQueuedClicks) {
  HeadlessWindow window;
  DrawContext ctx(nullptr, nullptr, &window);
  EXPECT_FALSE(ctx.awaitSecondClick());
  window.queueSecondClick();
  EXPECT_TRUE(ctx.awaitSecondClick());
  EXPECT_FALSE(ctx.awaitSecondClick());
}

TEST(HeadlessPresent, PaintedAreaIsPresentedAtMouseQueriesAndAtTheEnd) {
  HeadlessWindow window;
  DrawSurface backBuffer(50, 40);
  {
    DrawContext ctx(nullptr, &backBuffer, &window);
    ctx.setFillColor(kColorRed);
    ctx.fillRect({9, 9, 20, 15});
    EXPECT_EQ(window.presentCount(), 0);
    ctx.queryMouseButtons();
    EXPECT_EQ(window.presentCount(), 1);
    EXPECT_EQ(window.lastPresentedArea(), (GuiRect{10, 10, 20, 15}));
    ctx.queryMouseButtons();
    EXPECT_EQ(window.presentCount(), 1) << "nothing new to present";
    ctx.drawPoint({30, 30}, kColorBlue);
    ctx.drawPoint({35, 32}, kColorBlue);
  }
  EXPECT_EQ(window.presentCount(), 2);
  EXPECT_EQ(window.lastPresentedArea(), (GuiRect{30, 30, 36, 33}));
}

TEST(ManualClock, MovesOnlyWhenAdvancedOrSleptOn) {
  ManualClock clock;
  EXPECT_EQ(clock.ticks(), 0);
  clock.sleep(4);
  clock.advance(100);
  clock.sleep(-3);
  EXPECT_EQ(clock.ticks(), 104);
  EXPECT_EQ(clock.totalSlept(), 4);
}

}  // namespace
