// The panel's control-change logic, worked with the scripted pointer on the headless back end:
// what each tag sets and reports, the radio groups of the layer, kind and selection buttons and
// the views they put on show, painting and Reset, and the attached set staying whole when the
// host sets the buttons.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/editor/PanelTestRig.h"
#include "tests/gui/FrameTestSupport.h"

namespace {

using paneltest::automation;
using paneltest::centreOf;
using paneltest::PanelTest;

class PanelLogicTest : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    openPanel();
  }
  const panel::CurvePlot plot = panel::curvePlotOf(panel::kCurveEditorRect);
};

// Every value control through the real control of the layout: what reaches the plug-in and the
// host. Bars and switches (0, 1, 82-195, 197-234) are reported; routing (18-49) is not.
TEST_F(PanelLogicTest, EveryTagSetsItsParameterAndOnlyPlainOnesAreReported) {
  auto reported = [](std::int32_t tag) {
    return tag <= 1 || (tag >= 82 && tag <= 195) || (tag >= 197 && tag <= 234);
  };
  auto routing = [](std::int32_t tag) { return tag >= 18 && tag <= 49; };
  int checked = 0;
  for (const panel::ControlSpec& spec : panel::kLayout) {
    if (spec.kind == panel::ControlKind::valueDisplay) continue;
    if (!reported(spec.tag) && !routing(spec.tag)) continue;
    ++checked;
    GuiControl& shownControl = control(spec.tag);
    // A routing switch's second state (0.25), the sweep shape's triangle (1.0), buttons on.
    float value = 0.75f;
    if (spec.kind == panel::ControlKind::cycleSwitch)
      value = 1.0f / static_cast<float>(spec.states - 1);
    if (spec.kind == panel::ControlKind::onOffButton) value = 1.0f;
    shownControl.setValue(value);
    const float sent = shownControl.getValue();
    paneltest::hostCalls().clear();
    editor->valueChanged(nullptr, &shownControl);
    EXPECT_NEAR(plugin->getParameter(spec.tag), sent, 1e-6f) << "tag " << spec.tag;
    const auto reports = automation();
    if (reported(spec.tag)) {
      ASSERT_EQ(reports.size(), 1u) << "tag " << spec.tag;
      EXPECT_EQ(reports[0].first, spec.tag);
      EXPECT_EQ(reports[0].second, sent);
    } else {
      EXPECT_TRUE(reports.empty()) << "routing tag " << spec.tag << " is not reported";
    }
    EXPECT_FALSE(shownControl.isDirty()) << "tag " << spec.tag << " is redrawn at once";
  }
  EXPECT_EQ(checked, 2 + 32 + 96 + 20 + 36) << "main, routing, bars, effects, switches";
}

TEST_F(PanelLogicTest, RoutingSwitchClicksMoveTheBusWithoutAutomation) {
  click(26);  // oscillator 9: dry -> flanger
  click(26);  //               flanger -> delay
  EXPECT_EQ(plugin->getParameter(26), 0.5f);
  EXPECT_TRUE(automation().empty());
  control(26).setValue(0.0f);
}

TEST_F(PanelLogicTest, DraggingABarSetsTheValueUnderThePointerAndReportsIt) {
  click(2);  // the volume layer
  const GuiRect bar = control(85).getSize();
  drag({{centreOf(bar).h, bar.bottom}, {centreOf(bar).h, bar.bottom - 30}});
  EXPECT_NEAR(plugin->getParameter(85), 0.3f, 1e-5f);
  const auto reports = automation();
  ASSERT_FALSE(reports.empty());
  EXPECT_EQ(reports.back().first, 85);
  EXPECT_NEAR(reports.back().second, 0.3f, 1e-5f);
}

TEST_F(PanelLogicTest, SelectingAGroupSwitchesTheCurveOnShowAndTurnsTheOscillatorOff) {
  click(54);  // oscillator 5
  click(6);   // detune kind
  EXPECT_EQ(curvesOnShow(), std::vector<std::int32_t>{36});
  EXPECT_EQ(shown(5), 0.0f) << "the volume kind went dark";
  click(11);  // "Odd"
  EXPECT_EQ(curvesOnShow(), std::vector<std::int32_t>{103});
  EXPECT_EQ(plugin->getParameter(54), 0.0f);
  EXPECT_EQ(shown(54), 0.0f) << "button 54 follows its parameter";
  EXPECT_EQ(plugin->getParameter(11), 1.0f);
  EXPECT_EQ(shown(11), 1.0f);
  EXPECT_TRUE(automation().empty()) << "selection is not reported to the host";
  EXPECT_EQ(editor->slotOnShow(), 103);
}

TEST_F(PanelLogicTest, TheLayerButtonsShowOneLayerAtATime) {
  const float layerParameters[] = {plugin->getParameter(2), plugin->getParameter(3),
                                   plugin->getParameter(4)};
  click(4);
  EXPECT_EQ(barsOnShow(panel::kPhaseCurve), 32);
  click(2);
  EXPECT_EQ(barsOnShow(panel::kPhaseCurve), 0);
  EXPECT_EQ(shown(4), 0.0f);
  EXPECT_EQ(barsOnShow(panel::kVolumeCurve), 32);
  click(2);
  EXPECT_EQ(barsOnShow(panel::kVolumeCurve), 0) << "pressed again, the area is empty";
  for (std::int32_t tag = 2; tag <= 4; ++tag) {
    EXPECT_EQ(plugin->getParameter(tag), layerParameters[tag - 2])
        << "layer buttons set no parameter";
  }
}

TEST_F(PanelLogicTest, WithoutACurveKindASelectionShowsNoCurveButIsStillSet) {
  click(5);  // the volume kind, on from the start, goes off
  click(52);
  EXPECT_TRUE(curvesOnShow().empty());
  EXPECT_EQ(plugin->getParameter(52), 1.0f);
  EXPECT_EQ(plugin->getParameter(50), 0.0f) << "oscillator 1's default selection is cleared";
  click(7);  // the phase kind finds oscillator 3 selected
  EXPECT_EQ(curvesOnShow(), std::vector<std::int32_t>{66});
}

TEST_F(PanelLogicTest, TurningTheOscillatorOffTakesTheCurveOff) {
  click(60);
  EXPECT_EQ(curvesOnShow(), std::vector<std::int32_t>{10});
  click(60);
  EXPECT_TRUE(curvesOnShow().empty());
  EXPECT_EQ(plugin->getParameter(60), 0.0f);
}

TEST_F(PanelLogicTest, PaintingSendsTheSlotWithoutAutomationAndWhatPlaysIsWhatShows) {
  click(50);  // oscillator 1, volume: slot 0
  paneltest::hostCalls().clear();
  paintLine({plot.left + 20, plot.bottom - 10}, {plot.left + 200, plot.bottom - 100});
  EXPECT_TRUE(automation().empty()) << "painting is never reported to the host";
  const EnvelopeCurve painted = curveOf(0);
  EXPECT_GT(painted[150], 0.3f) << "the stroke reached the curve";
  EXPECT_EQ(storedCurve(0), painted) << "the smoothed curve is what the program stores";
  EXPECT_EQ(plugin->getEngine().oscillator(0).layer(EnvelopeBank::amplitude, 0).point(150),
            painted[150] * painted[150])
      << "and what the oscillator plays";
}

TEST_F(PanelLogicTest, AClickWithoutMovementSmoothsAndSendsTheShownCurve) {
  click(50);
  paintLine({plot.left + 40, plot.bottom - 90}, {plot.left + 60, plot.bottom - 90});
  const EnvelopeCurve before = curveOf(0);
  const GuiPoint still{plot.left + 300, plot.top + 20};
  press(still, {{still, 1}, {still, 1}, {still, 0}});
  const EnvelopeCurve after = curveOf(0);
  EXPECT_NE(after, before) << "the release smoothed again";
  EXPECT_EQ(storedCurve(0), after);
}

TEST_F(PanelLogicTest, ResetClearsTheCurveOnShowAndReportsItsSlot) {
  click(7);   // phase kind
  click(17);  // "Fourth 1/4"
  EXPECT_EQ(curvesOnShow(), std::vector<std::int32_t>{122});
  paintLine({plot.left + 30, plot.middle - 40}, {plot.left + 250, plot.middle + 40});
  ASSERT_NE(storedCurve(122)[100], 0.0f);
  paneltest::hostCalls().clear();
  click(panel::kResetTag);
  for (float point : curveOf(122)) ASSERT_EQ(point, 0.0f);
  for (float point : storedCurve(122)) ASSERT_EQ(point, 0.0f);
  const auto reports = automation();
  ASSERT_FALSE(reports.empty());
  for (const auto& [index, value] : reports) {
    EXPECT_EQ(index, 8);
    EXPECT_EQ(value, 122.0f);
  }
}

TEST_F(PanelLogicTest, ResetWithNoCurveOnShowChangesNoCurve) {
  click(50);
  paintLine({plot.left + 30, plot.bottom - 40}, {plot.left + 90, plot.bottom - 40});
  click(50);  // deselected: nothing on show
  paneltest::hostCalls().clear();
  click(panel::kResetTag);
  EXPECT_TRUE(automation().empty());
  EXPECT_NE(storedCurve(0)[50], 0.0f);
}

TEST_F(PanelLogicTest, Tag196AndForeignTagsDoNothing) {
  frame().setDirty(false);
  const float before = plugin->getParameter(196);
  for (std::int32_t tag : {196, 236, -1, 1 << 30}) {
    ProbeControl probe({0, 0, 10, 10}, editor, tag);
    probe.setValue(0.9f);
    editor->valueChanged(nullptr, &probe);
    EXPECT_FALSE(frame().isDirty()) << "tag " << tag << ": not even the frame is marked";
  }
  EXPECT_EQ(plugin->getParameter(196), before);
  EXPECT_TRUE(automation().empty());
  editor->valueChanged(nullptr, nullptr);
}

// A host may close the editor from the idle call a held press gives it; the press then ends
// without touching what is gone, and the panel opens again whole.
TEST_F(PanelLogicTest, TheHostClosingTheEditorDuringAHeldPressIsHarmless) {
  click(50);
  paintLine({plot.left + 30, plot.bottom - 40}, {plot.left + 90, plot.bottom - 40});
  ASSERT_NE(storedCurve(0)[50], 0.0f);
  paneltest::hostCalls().clear();
  paneltest::duringHostIdle() = [this] { plugin->dispatcher(effEditClose, 0, 0, nullptr, 0.0f); };
  const GuiPoint reset = centreOf(control(panel::kResetTag).getSize());
  std::vector<paneltest::Step> held(40, {reset, 1});
  held.push_back({reset, 0});
  press(reset, std::move(held));
  paneltest::duringHostIdle() = nullptr;
  int idles = 0;
  for (const paneltest::HostCall& call : paneltest::hostCalls())
    idles += call.opcode == audioMasterIdle;
  ASSERT_GE(idles, 1) << "the press gave the host its idle call";
  EXPECT_FALSE(editor->isPanelOpen());
  EXPECT_EQ(GuiView::liveCount(), liveViews) << "every view of the panel is gone";
  ASSERT_EQ(editor->open(paneltest::kParent), 1);
  EXPECT_EQ(storedCurve(0)[50], 0.0f) << "Reset acted on the press, before the close";
  EXPECT_EQ(curveOf(0), storedCurve(0)) << "the panel shows the program's curve again";
}

// The host may set the selection and layer buttons to anything; the views on show follow what
// the user presses and are never attached twice.
TEST_F(PanelLogicTest, AHostSetLayerButtonNeverLeavesTwoLayersOnShow) {
  click(2);
  plugin->setParameter(2, 0.0f);  // the host turns the volume button off; its bars stay
  EXPECT_EQ(barsOnShow(panel::kVolumeCurve), 32);
  click(3);
  EXPECT_EQ(barsOnShow(panel::kVolumeCurve), 0) << "what was on show is taken off";
  EXPECT_EQ(barsOnShow(panel::kDetuneCurve), 32);
  plugin->setParameter(4, 1.0f);  // the host turns the phase button on without its bars
  click(4);                       // ... so the user's press turns it off
  EXPECT_EQ(barsOnShow(panel::kDetuneCurve), 32);
  EXPECT_EQ(barsOnShow(panel::kPhaseCurve), 0);
  plugin->setParameter(3, 0.0f);
  click(3);
  EXPECT_EQ(barsOnShow(panel::kDetuneCurve), 32);
  EXPECT_TRUE(noViewTwice());
}

TEST_F(PanelLogicTest, AHostSetSelectionNeverLeavesAStaleOrDoubleCurveOnShow) {
  click(54);
  plugin->setParameter(5, 0.0f);  // the host turns the kind off
  click(60);
  EXPECT_TRUE(curvesOnShow().empty()) << "no kind lit: no curve, not oscillator 5's";
  plugin->setParameter(5, 1.0f);
  plugin->setParameter(60, 0.0f);
  click(60);  // on again: the volume curve of oscillator 11
  EXPECT_EQ(curvesOnShow(), std::vector<std::int32_t>{10});
  plugin->setParameter(60, 0.0f);
  click(60);
  EXPECT_EQ(curvesOnShow(), std::vector<std::int32_t>{10});
  EXPECT_TRUE(noViewTwice());
}

}  // namespace
