// The snapshot command's panel words and the pointer gestures planned from them: targets and
// kinds by name, curve values in range, a painted curve's path over the curve editor, and only
// the clicks that change the panel's state, in the panel's own places.
#include <gtest/gtest.h>

#include "editor/PanelLayout.h"
#include "overtonic-host/app/PanelScript.h"

namespace {

using hostapp::PanelPaint;
using hostapp::PanelRequest;
using hostapp::PointerGesture;

GuiPoint centreOfTag(std::int32_t tag) {
  const panel::ControlSpec* spec = panel::findByTag(tag);
  if (!spec) return {-1, -1};
  return {(spec->rect.left + spec->rect.right) / 2, (spec->rect.top + spec->rect.bottom) / 2};
}

struct TargetCase {
  const char* text;
  std::int32_t target;  // -1: refused
};

TEST(PanelScriptTest, TargetsAreOscillatorsByNumberAndGroupsByName) {
  const TargetCase cases[] = {{"1", 0},    {"32", 31},   {"lower", 32},  {"upper", 33},
                              {"odd", 34}, {"even", 35}, {"octave", 36}, {"fourth", 40},
                              {"0", -1},   {"33", -1},   {"", -1},       {"1x", -1},
                              {"Odd", -1}, {"-1", -1}};
  for (const TargetCase& c : cases) {
    auto parsed = hostapp::parseTarget(c.text);
    EXPECT_EQ(parsed.ok(), c.target >= 0) << c.text;
    if (parsed.ok()) {
      EXPECT_EQ(parsed.value(), c.target) << c.text;
    }
  }
  EXPECT_EQ(hostapp::parseCurveKind("phase").value(), panel::kPhaseCurve);
  EXPECT_FALSE(hostapp::parseCurveKind("pitch").ok());
}

TEST(PanelScriptTest, PaintWordsAreCheckedAgainstTheKindsRange) {
  auto good = hostapp::parsePaint("odd:detune:-0.4,0.4,0");
  ASSERT_TRUE(good.ok()) << good.error();
  EXPECT_EQ(good.value().target, panel::kGroupTarget + 2);
  EXPECT_EQ(good.value().kind, panel::kDetuneCurve);
  EXPECT_EQ(good.value().values, (std::vector<float>{-0.4f, 0.4f, 0.0f}));
  for (const char* bad :
       {"1:volume:0.5", "1:volume:-0.1,0.5", "1:volume:0,1.2", "1:detune:0,0.6", "1:volume:0,nan",
        "1:volume:0,,1", "1:volume", "40:volume:0,1", "1:pitch:0,0.5", "1:volume:0,0.5:3"}) {
    EXPECT_FALSE(hostapp::parsePaint(bad).ok()) << bad;
  }
}

TEST(PanelScriptTest, APaintedCurveIsOneDragPointPerColumnAtTheValuesRow) {
  const panel::CurvePlot plot = panel::curvePlotOf(panel::kCurveEditorRect);
  const PointerGesture rising = hostapp::paintGesture(panel::kVolumeCurve, {0.0f, 0.5f});
  ASSERT_EQ(rising.path.size(), 385u) << "points 1-384 and one column past the last";
  EXPECT_EQ(rising.path.front(), (GuiPoint{plot.left + 1, plot.bottom})) << "value 0 on the bottom";
  EXPECT_EQ(rising.path.back(), (GuiPoint{plot.left + 385, plot.bottom - 60})) << "0.5 is 60 px up";
  for (std::size_t i = 1; i < rising.path.size(); ++i) {
    EXPECT_EQ(rising.path[i].h, rising.path[i - 1].h + 1) << "every column, left to right";
    EXPECT_LE(rising.path[i].v, rising.path[i - 1].v) << "a rising curve never goes down";
  }
  const PointerGesture centred = hostapp::paintGesture(panel::kPhaseCurve, {-0.25f, 0.25f});
  EXPECT_EQ(centred.path.front().v, plot.middle + 30) << "detune and phase lie around the middle";
  EXPECT_EQ(centred.path.back().v, plot.middle - 30);
  const GuiRect plotArea{plot.left, plot.top, plot.right + 1, plot.bottom + 1};
  for (const GuiPoint& p : centred.path) EXPECT_TRUE(plotArea.pointInside(p));
}

TEST(PanelScriptTest, OnlyClicksThatChangeThePanelArePlanned) {
  PanelRequest request;
  request.paints.push_back(PanelPaint{0, panel::kVolumeCurve, {0.0f, 0.5f}});
  request.paints.push_back(PanelPaint{0, panel::kDetuneCurve, {0.0f, 0.2f}});
  request.paints.push_back(PanelPaint{panel::kGroupTarget + 8, panel::kDetuneCurve, {0.1f, 0.0f}});
  request.kind = panel::kVolumeCurve;
  request.target = panel::kGroupTarget + 8;  // already selected by the last paint
  request.layer = panel::kPhaseCurve;
  const std::vector<PointerGesture> plan = hostapp::planPanel(request);
  ASSERT_EQ(plan.size(), 8u);
  EXPECT_EQ(plan[0].path, std::vector<GuiPoint>{centreOfTag(50)}) << "oscillator 1";
  EXPECT_EQ(plan[1].path.size(), 385u) << "the volume kind is on from the start: paint at once";
  EXPECT_EQ(plan[2].path, std::vector<GuiPoint>{centreOfTag(6)}) << "detune kind";
  EXPECT_EQ(plan[3].path.size(), 385u);
  EXPECT_EQ(plan[4].path, std::vector<GuiPoint>{centreOfTag(17)}) << "group Fourth 1/4";
  EXPECT_EQ(plan[5].path.size(), 385u) << "the detune kind stays on";
  EXPECT_EQ(plan[6].path, std::vector<GuiPoint>{centreOfTag(5)}) << "back to volume at the end";
  EXPECT_EQ(plan[7].path, std::vector<GuiPoint>{centreOfTag(4)}) << "the phase layer";
  EXPECT_TRUE(hostapp::planPanel(PanelRequest{}).empty());
}

TEST(PanelScriptTest, BarGesturesEndWhereTheBarTakesTheValue) {
  const auto volume = hostapp::barGesture(82, 0.75f);
  ASSERT_TRUE(volume);
  EXPECT_EQ(volume->path.front(), (GuiPoint{209, 160})) << "from the bottom row, value 0";
  EXPECT_EQ(volume->path.back(), (GuiPoint{209, 85})) << "(160 - 85) / 100 = 0.75";
  const auto delay = hostapp::barGesture(180, 0.5f);
  ASSERT_TRUE(delay);
  EXPECT_EQ(delay->path.back(), (GuiPoint{73, 445})) << "(73 - 48) / 50 = 0.5";
  EXPECT_FALSE(hostapp::barGesture(50, 0.5f)) << "a button is no bar";
  EXPECT_FALSE(hostapp::barGesture(196, 0.5f));
  EXPECT_FALSE(hostapp::clickOn(8)) << "curve editors are painted, not clicked";
}

}  // namespace
