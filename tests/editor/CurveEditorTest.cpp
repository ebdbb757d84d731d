// The curve editor at the panel's rectangle (195, 205, 598, 344) on the headless back end:
// strokes painted with the scripted pointer and what the listener sees of them, the smoothing on
// release against values worked out by hand, what a stroke never touches (point 0, anything past
// point 384, the control's value), strokes leaving and re-entering, modifiers, both baseline
// modes, the bars and tips on the frame over an erased plot area, and hostile input.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "editor/CurveShape.h"
#include "editor/GuiCurveEditor.h"
#include "tests/editor/PanelControlFixture.h"

namespace {

using Step = HeadlessWindow::PointerStep;
using Curve = std::array<float, kEnvelopePointCount>;

constexpr GuiRect kPanelRect{195, 205, 598, 344};
// Its plot area: columns 202-591 (point i at 202 + i), rows 209-324, middle row 266.
constexpr std::int32_t kPlotLeft = 202;
constexpr std::int32_t kBottom = 324;
constexpr std::int32_t kMiddle = 266;
constexpr float kSlot = 36.0f;  // the detune curve of oscillator 5
constexpr GuiColor kGround{20, 60, 40, 0};

class CurveEditorTest : public PanelControlTest {
 protected:
  void SetUp() override {
    PanelControlTest::SetUp();
    if (HasFatalFailure()) return;
    const BitmapRef ground{paintedBitmap(600, 600, [](DrawContext& context) {
      context.setFillColor(kGround);
      context.fillRect({-1, -1, 600, 600});
    })};
    frame->setBackground(ground);
    curveEditor = add(new GuiCurveEditor(kPanelRect, &listener, 8, nullptr, nullptr, {0, 0}));
    curveEditor->setValue(kSlot);
    // Each notification's curve, as the editor would fetch it.
    listener.onChange = [this](GuiControl*) {
      Curve seen{};
      curveEditor->getCurve(seen.data());
      seenCurves.push_back(seen);
    };
    frame->setDirty(true);
    frame->idle();
  }

  // A stroke: the pointer is at the first point when the button goes down, then moves through
  // the rest with exactly the left button held (unless a step says otherwise), then lets go.
  void stroke(std::vector<Step> steps) {
    const Step first = steps.front();
    window->pointer().setPointer(first.where, first.buttons);
    press(first.where, std::move(steps));
  }
  void strokeThrough(const std::vector<GuiPoint>& points) {
    std::vector<Step> steps;
    for (GuiPoint p : points) steps.push_back({p, kMouseLeft});
    stroke(std::move(steps));
  }
  Curve curve() const {
    Curve out{};
    curveEditor->getCurve(out.data());
    return out;
  }
  Curve smoothed(Curve c) const {
    curveshape::smooth(c);
    return c;
  }

  GuiCurveEditor* curveEditor = nullptr;
  std::vector<Curve> seenCurves;
};

TEST_F(CurveEditorTest, ThePlotAreaAndBaselinesComeFromTheRectangle) {
  EXPECT_EQ(curveEditor->getPlotArea(), (GuiRect{202, 209, 591, 324}));
  EXPECT_EQ(curveEditor->getPlotMid(), kMiddle);
  EXPECT_EQ(curveEditor->baseline(), kBottom);
  curveEditor->setBaselineMode(GuiCurveEditor::kBaselineMiddle);
  EXPECT_EQ(curveEditor->baseline(), kMiddle);
  curveEditor->setBaselineMode(7);
  EXPECT_EQ(curveEditor->baseline(), kBottom) << "any mode but 1 is the bottom";
}

TEST_F(CurveEditorTest, AStrokeTellsTheListenerOncePerPaintedSegmentAndKeepsTheValue) {
  strokeThrough({{250, 300}, {260, 280}, {270, 280}});
  ASSERT_EQ(seenCurves.size(), 2u);
  EXPECT_EQ(curveEditor->getValue(), kSlot) << "the value is the slot, never the curve";
  for (const RecordingListener::Call& call : listener.calls) EXPECT_EQ(call.value, kSlot);
  // First segment: points 48-57 from 0.2 (row 300) toward 0.3667 (row 280); point 58 waits.
  const Curve& first = seenCurves[0];
  const float from = 0.2f;
  const float rise = 44.0f / 120.0f - from;
  for (int k = 0; k < 10; ++k) {
    EXPECT_EQ(first[48 + k], from + static_cast<float>(k) * rise / 10.0f) << "point " << 48 + k;
  }
  EXPECT_EQ(first[58], 0.0f);
  EXPECT_EQ(first[47], 0.0f);
  // Second segment: points 58-67 level.
  for (int i = 58; i < 68; ++i) EXPECT_EQ(seenCurves[1][i], 44.0f / 120.0f) << "point " << i;
  EXPECT_EQ(seenCurves[1][68], 0.0f);
  EXPECT_EQ(curve(), smoothed(seenCurves[1])) << "the release smooths what was painted";
}

// A level stroke at 0.5 over points 1-384 (point 0 stays 0). By hand: the averages are 0.5 but
// for point 0, (0 + 11 * 0.5) / 12; the head rises in twelfths to point 6's 0.5; the tail falls
// from p = 0.5.
TEST_F(CurveEditorTest, ReleasingSmoothsAndTapersAStrokeAsWorkedOutByHand) {
  strokeThrough({{203, 264}, {400, 264}, {591, 264}});
  EXPECT_EQ(seenCurves.size(), 2u);
  const Curve c = curve();
  for (int k = 0; k < 6; ++k) EXPECT_NEAR(c[k], (k + 1) / 12.0, 1e-7) << "head point " << k;
  for (int i = 6; i <= 372; ++i) EXPECT_EQ(c[i], 0.5f) << "point " << i;
  const std::array<double, 12> tail{1 / 3.0,  1 / 4.0,  1 / 6.0,  1 / 8.0,  1 / 12.0, 1 / 16.0,
                                    1 / 24.0, 1 / 32.0, 1 / 48.0, 1 / 64.0, 1 / 96.0, 0.0};
  for (int k = 0; k < 12; ++k) EXPECT_NEAR(c[373 + k], tail[k], 1e-7) << "point " << 373 + k;
}

TEST_F(CurveEditorTest, AClickWithoutMovementChangesNothingButTheReleaseSmooths) {
  Curve jagged{};
  for (int i = 0; i < kEnvelopePointCount; ++i) jagged[i] = (i % 7 == 0) ? 0.6f : 0.1f;
  curveEditor->setCurve(jagged.data());
  strokeThrough({{300, 250}, {300, 250}, {300, 280}});
  EXPECT_TRUE(listener.calls.empty());
  EXPECT_EQ(curve(), smoothed(jagged));
}

TEST_F(CurveEditorTest, PointZeroIsNeverPaintedAndMarginPointsAreClamped) {
  // From the left margin below the plot (clamped to column 202, row 324) to point 10 at 0.5.
  strokeThrough({{198, 335}, {212, 264}});
  ASSERT_EQ(seenCurves.size(), 1u);
  EXPECT_EQ(seenCurves[0][0], 0.0f);
  for (int k = 1; k < 10; ++k) {
    EXPECT_EQ(seenCurves[0][k], static_cast<float>(k) * 0.5f / 10.0f) << "point " << k;
  }
  Curve start{};
  start[0] = 0.75f;
  curveEditor->setCurve(start.data());
  seenCurves.clear();
  strokeThrough({{250, 264}, {196, 220}});
  ASSERT_EQ(seenCurves.size(), 1u);
  EXPECT_EQ(seenCurves[0][0], 0.75f) << "a stroke to the left edge stops at point 1";
  EXPECT_NE(seenCurves[0][1], 0.0f);
}

// The plot is 390 columns wide for 385 points: columns past point 384 are dropped, and nothing
// after the curve in the control changes.
TEST_F(CurveEditorTest, AStrokeToTheRightEdgeTouchesNothingPastPoint384) {
  curveEditor->setBaselineMode(GuiCurveEditor::kBaselineMiddle);
  strokeThrough({{560, 230}, {597, 230}, {575, 230}});
  ASSERT_EQ(seenCurves.size(), 2u);
  for (int i = 358; i <= 384; ++i) EXPECT_EQ(seenCurves[0][i], 0.3f) << "point " << i;
  EXPECT_EQ(curveEditor->getBaselineMode(), GuiCurveEditor::kBaselineMiddle);
  EXPECT_EQ(curveEditor->getPlotArea(), (GuiRect{202, 209, 591, 324}));
  EXPECT_EQ(curveEditor->getValue(), kSlot);
  EXPECT_EQ(curveEditor->getTag(), 8);
}

TEST_F(CurveEditorTest, LeavingPaintsNothingAndReEnteringResumesFromTheLastPointInside) {
  // In at row 300 (0.2), out above the control and round, back in at column 450.
  strokeThrough({{250, 300}, {300, 300}, {350, 100}, {400, 150}, {700, 300}, {450, 300}});
  ASSERT_EQ(seenCurves.size(), 2u) << "no segment while outside";
  for (int i = 48; i < 248; ++i) EXPECT_EQ(seenCurves[1][i], 0.2f) << "point " << i;
  EXPECT_EQ(seenCurves[1][248], 0.0f);
  // Left through the plot's top margin: back in, the last point inside is clamped to row 209.
  seenCurves.clear();
  curveEditor->clearCurve();
  strokeThrough({{300, 206}, {350, 120}, {310, 300}});
  ASSERT_EQ(seenCurves.size(), 1u);
  EXPECT_EQ(seenCurves[0][98], (kBottom - 209) / 120.0f) << "from (300, 209), clamped";
  EXPECT_EQ(seenCurves[0][97], 0.0f);
  EXPECT_EQ(seenCurves[0][108], 0.0f);
}

TEST_F(CurveEditorTest, ShiftOrControlPaintsNothingAndEndsAStroke) {
  for (std::int32_t modifier : {kMouseShift, kMouseControl, kMouseAlt, kMouseRight}) {
    stroke({{{250, 300}, kMouseLeft | modifier}, {{300, 250}, kMouseLeft | modifier}});
  }
  EXPECT_TRUE(listener.calls.empty());
  EXPECT_EQ(curve(), Curve{}) << "a zero curve stays zero through the smoothing";
  stroke({{{250, 300}, kMouseLeft},
          {{300, 300}, kMouseLeft},
          {{350, 250}, kMouseLeft | kMouseShift},
          {{400, 250}, kMouseLeft}});
  ASSERT_EQ(seenCurves.size(), 1u) << "shift ended the stroke";
  EXPECT_EQ(seenCurves[0][98], 0.0f);
}

TEST_F(CurveEditorTest, BaselineModesGiveTheSignsOfTheirBaselines) {
  curveEditor->setBaselineMode(GuiCurveEditor::kBaselineMiddle);
  strokeThrough({{300, 236}, {310, 296}, {320, 296}});
  ASSERT_EQ(seenCurves.size(), 2u);
  EXPECT_EQ(seenCurves[1][98], 0.25f) << "30 rows above the middle";
  EXPECT_EQ(seenCurves[1][110], -0.25f) << "30 rows below it";
  curveEditor->clearCurve();
  curveEditor->setBaselineMode(GuiCurveEditor::kBaselineBottom);
  seenCurves.clear();
  strokeThrough({{300, 264}, {310, 340}, {320, 340}});
  ASSERT_EQ(seenCurves.size(), 2u);
  EXPECT_EQ(seenCurves[1][98], 0.5f);
  for (int i = 99; i < 118; ++i) EXPECT_GE(seenCurves[1][i], 0.0f) << "point " << i;
  EXPECT_EQ(seenCurves[1][110], 0.0f) << "below the plot is clamped to the bottom row";
}

TEST_F(CurveEditorTest, BarsRiseFromTheBaselineToTipsTruncatedTowardZero) {
  Curve c{};
  c[0] = 0.5f;    // tip row 264
  c[1] = 0.004f;  // 323.52: row 323
  c[3] = -0.1f;   // below the bottom: clipped to the plot
  curveEditor->setCurve(c.data());
  curveEditor->setDirty(true);
  frame->idle();
  EXPECT_EQ(pixel(202, 324), GuiCurveEditor::kBarColor);
  EXPECT_EQ(pixel(202, 265), GuiCurveEditor::kBarColor);
  EXPECT_EQ(pixel(202, 264), GuiCurveEditor::kTipColor);
  EXPECT_EQ(pixel(202, 263), kGround);
  EXPECT_EQ(pixel(203, 324), GuiCurveEditor::kBarColor);
  EXPECT_EQ(pixel(203, 323), GuiCurveEditor::kTipColor);
  EXPECT_EQ(pixel(204, 324), GuiCurveEditor::kTipColor) << "a zero point is its tip alone";
  EXPECT_EQ(pixel(204, 323), kGround);
  EXPECT_EQ(pixel(205, 324), GuiCurveEditor::kBarColor);
  EXPECT_EQ(pixel(205, 325), kGround) << "nothing below the plot";
  EXPECT_EQ(pixel(586, 324), GuiCurveEditor::kTipColor) << "point 384";
  EXPECT_EQ(pixel(587, 324), kGround);
  curveEditor->setBaselineMode(GuiCurveEditor::kBaselineMiddle);
  curveEditor->setDirty(true);
  frame->idle();
  EXPECT_EQ(pixel(205, 266), GuiCurveEditor::kBarColor);
  EXPECT_EQ(pixel(205, 277), GuiCurveEditor::kBarColor);
  EXPECT_EQ(pixel(205, 278), GuiCurveEditor::kTipColor) << "-0.1 is 12 rows below the middle";
}

TEST_F(CurveEditorTest, ARedrawErasesTheOldBarsButNotWhatLiesAboveThePlot) {
  // A view covering the control's top rows, as the panel's buttons cover its first row.
  add(new ProbeView({195, 200, 598, 209}, kColorBlue));
  frame->removeView(curveEditor, false);
  frame->addView(curveEditor);
  Curve tall{};
  tall.fill(0.9f);
  curveEditor->setCurve(tall.data());
  frame->setDirty(true);
  frame->idle();
  EXPECT_EQ(pixel(300, 220), GuiCurveEditor::kBarColor);
  curveEditor->clearCurve();  // marks it dirty
  frame->idle();
  EXPECT_EQ(pixel(300, 220), kGround) << "the tall bar is gone";
  EXPECT_EQ(pixel(300, 324), GuiCurveEditor::kTipColor);
  EXPECT_EQ(pixel(300, 205), kColorBlue) << "the row above the plot is left alone";
  Curve huge{};
  huge.fill(40.0f);
  curveEditor->setCurve(huge.data());
  curveEditor->setDirty(true);
  frame->idle();
  EXPECT_EQ(pixel(300, 208), kColorBlue) << "bars stay inside the plot";
  EXPECT_EQ(pixel(300, 209), GuiCurveEditor::kBarColor);
}

TEST_F(CurveEditorTest, TheWheelIsRefusedAndLeavesTheSlotNumber) {
  window->pointer().setPointer({300, 300}, 0);
  EXPECT_FALSE(editor->onWheel(1.0f));
  EXPECT_FALSE(editor->onWheel(-3.0f));
  EXPECT_EQ(curveEditor->getValue(), kSlot);
  EXPECT_TRUE(listener.calls.empty());
}

TEST_F(CurveEditorTest, CurvesCopyInAndOutWithNonFiniteValuesAsZero) {
  Curve c{};
  for (int i = 0; i < kEnvelopePointCount; ++i) c[i] = static_cast<float>(i) / 100.0f;
  c[5] = std::numeric_limits<float>::quiet_NaN();
  c[6] = std::numeric_limits<float>::infinity();
  c[7] = -std::numeric_limits<float>::infinity();
  curveEditor->setDirty(false);
  curveEditor->setCurve(c.data());
  EXPECT_FALSE(curveEditor->isDirty()) << "setCurve leaves redrawing to the caller";
  const Curve out = curve();
  EXPECT_EQ(out[5], 0.0f);
  EXPECT_EQ(out[6], 0.0f);
  EXPECT_EQ(out[7], 0.0f);
  EXPECT_EQ(out[384], 3.84f);
  curveEditor->setCurve(nullptr);
  curveEditor->getCurve(nullptr);
  EXPECT_EQ(curve(), out) << "null pointers are ignored";
  curveEditor->setDirty(true);
  frame->idle();  // draws without trouble
  curveEditor->clearCurve();
  EXPECT_TRUE(curveEditor->isDirty());
  EXPECT_EQ(curve(), Curve{});
}

TEST_F(CurveEditorTest, TheEditorReachesTheCurveThroughTheCurveSourceSeam) {
  Curve c{};
  c[100] = 0.25f;
  curveEditor->setCurve(c.data());
  CurveSource& source = *curveEditor;
  EXPECT_EQ(source.curveControl(), curveEditor);
  Curve fetched{};
  source.getCurve(fetched.data());
  EXPECT_EQ(fetched, c);
}

TEST_F(CurveEditorTest, DrawSegmentTakesAnyCoordinates) {
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  curveEditor->drawSegment(kMax, kMin, kMin, kMax);
  curveEditor->drawSegment(kMin, 0, kMax, 0);
  const Curve c = curve();
  EXPECT_EQ(c[0], 0.0f);
  for (int i = 1; i < kEnvelopePointCount; ++i) ASSERT_TRUE(std::isfinite(c[i])) << i;
  curveEditor->setDirty(true);
  frame->idle();
}

}  // namespace
