// What the panel shows: every control of the layout made at open in its place with its starting
// value, the curves of the current program in the curve editors, parameter changes from the host
// followed (on show or not, nothing while closed), and another program or a restored state read
// at the next idle.
#include <gtest/gtest.h>

#include <thread>

#include "tests/editor/PanelTestRig.h"

namespace {

using paneltest::PanelTest;

EnvelopeCurve constantCurve(float value) {
  EnvelopeCurve curve{};
  curve.fill(value);
  return curve;
}

TEST_F(PanelTest, OpenMakesEveryControlOfTheLayoutInItsPlaceAndShowsTheFixedOnes) {
  openPanel();
  std::vector<GuiView*> expectedOnShow;
  for (const panel::ControlSpec& spec : panel::kLayout) {
    GuiControl* made = nullptr;
    switch (spec.kind) {
      case panel::ControlKind::curveEditor: made = editor->getCurveEditor(spec.slot); break;
      case panel::ControlKind::valueDisplay: made = editor->getDisplay(spec.parameter); break;
      default: made = editor->getControl(spec.tag); break;
    }
    ASSERT_NE(made, nullptr) << "tag " << spec.tag << " slot " << spec.slot;
    EXPECT_EQ(made->getSize(), spec.rect) << "tag " << spec.tag;
    EXPECT_EQ(made->getTag(), spec.kind == panel::ControlKind::valueDisplay ? 0 : spec.tag);
    EXPECT_EQ(made->getListener() != nullptr, spec.kind != panel::ControlKind::valueDisplay);
    if (spec.attached) expectedOnShow.push_back(made);
  }
  ASSERT_EQ(frame().getViewCount(), static_cast<std::int32_t>(expectedOnShow.size()));
  for (std::size_t i = 0; i < expectedOnShow.size(); ++i) {
    EXPECT_EQ(frame().getView(static_cast<std::int32_t>(i)), expectedOnShow[i])
        << "view " << i << " in creation order";
  }
  EXPECT_TRUE(curvesOnShow().empty());
  for (std::int32_t kind = 0; kind < 3; ++kind) EXPECT_EQ(barsOnShow(kind), 0);
}

TEST_F(PanelTest, AtOpenValueControlsShowTheirParametersAndThePanelsOwnButtonsStartFresh) {
  const std::pair<VstInt32, float> sets[] = {
      {0, 0.3f},   {1, 0.7f},   {18, 0.75f}, {82, 0.6f},  {114, 0.2f}, {146, 0.9f},
      {180, 0.4f}, {187, 1.0f}, {199, 0.0f}, {210, 1.0f}, {231, 1.0f}, {2, 1.0f},
      {4, 1.0f},   {6, 1.0f},   {9, 1.0f},   {51, 1.0f},  {235, 1.0f}};
  for (const auto& [index, value] : sets) plugin->setParameter(index, value);
  openPanel();
  for (std::int32_t tag : {0, 1, 18, 82, 114, 146, 180, 187, 199, 210, 231}) {
    EXPECT_EQ(shown(tag), plugin->getParameter(tag)) << "tag " << tag;
  }
  EXPECT_NEAR(shown(82), 0.6f, 1e-6f);
  EXPECT_EQ(shown(199), 0.0f) << "oscillator 1 switched off shows off";
  EXPECT_EQ(shown(200), 1.0f) << "oscillators 1-16 play by default and show it";
  EXPECT_EQ(shown(210), 1.0f);
  EXPECT_EQ(shown(231), 1.0f) << "the delay switch shows the delay on";
  EXPECT_EQ(editor->getDisplay(180)->getValue(), plugin->getParameter(180));
  for (std::int32_t tag : {2, 3, 4, 6, 7, 9, 10, 17, 50, 51, 81, 235}) {
    EXPECT_EQ(shown(tag), 0.0f) << "tag " << tag << " starts fresh";
  }
  EXPECT_EQ(shown(5), 1.0f) << "the volume curve kind starts on";
  for (std::int32_t slot : {0, 36, 122}) {
    EXPECT_EQ(editor->getCurveEditor(slot)->getValue(), float(slot));
    EXPECT_EQ(editor->getCurveEditor(slot)->getBaselineMode(), slot == 0 ? 0 : 1);
  }
}

TEST_F(PanelTest, AtOpenEachCurveEditorHoldsItsSlotsCurveSoTheFirstStrokeKeepsTheRest) {
  plugin->applyEnvelope(36, constantCurve(0.25f).data());
  plugin->applyEnvelope(100, constantCurve(-0.125f).data());
  openPanel();
  EXPECT_EQ(curveOf(36), constantCurve(0.25f));
  EXPECT_EQ(curveOf(100), constantCurve(-0.125f));
  EXPECT_EQ(curveOf(35), constantCurve(0.0f));
  click(54);  // oscillator 5
  click(6);   // detune: slot 36
  const panel::CurvePlot plot = panel::curvePlotOf(panel::kCurveEditorRect);
  paintLine({plot.left + 300, plot.middle - 50}, {plot.left + 320, plot.middle - 50});
  EXPECT_EQ(storedCurve(36)[100], 0.25f) << "the stored curve away from the stroke is kept";
  EXPECT_GT(storedCurve(36)[310], 0.3f) << "and the stroke is in it";
}

struct SyncCase {
  const char* what;
  VstInt32 index;
  float value;
};

TEST_F(PanelTest, HostChangesMoveTheControlsOfTheirIndexOnShowOrNot) {
  openPanel();
  const SyncCase cases[] = {
      {"phase layer button", 4, 1.0f},  {"Octave group on", 13, 1.0f},
      {"Octave group off", 13, 0.0f},   {"delay time", 178, 0.3f},
      {"delay volume", 180, 0.8f},      {"hidden volume bar", 100, 0.45f},
      {"hidden phase bar", 140, 0.1f},  {"routing", 40, 1.0f},
      {"oscillator switch", 220, 1.0f}, {"sweep shape", 187, 1.0f},
  };
  for (const SyncCase& c : cases) {
    editor->idle();
    plugin->setParameter(c.index, c.value);
    EXPECT_EQ(shown(c.index), plugin->getParameter(c.index)) << c.what;
    EXPECT_NEAR(shown(c.index), c.value, 1e-6f) << c.what;
    if (GuiControl* display = editor->getDisplay(c.index)) {
      EXPECT_EQ(display->getValue(), plugin->getParameter(c.index)) << c.what << ": its display";
    }
    EXPECT_TRUE(editor->isUpdatePending()) << c.what;
  }
  EXPECT_EQ(barsOnShow(panel::kPhaseCurve), 0) << "button 4 lit by the host attaches nothing";
  EXPECT_TRUE(curvesOnShow().empty());
}

TEST_F(PanelTest, IndexesWithoutAControlOnlyAskForAnUpdate) {
  openPanel();
  for (VstInt32 index : {8, 196, 236, 237, -1, 1 << 30}) {
    editor->idle();
    editor->setParameter(index, 1.0f);
    EXPECT_TRUE(editor->isUpdatePending()) << index;
  }
  EXPECT_EQ(editor->getCurveEditor(8)->getValue(), 8.0f) << "curve editors never follow index 8";
}

TEST_F(PanelTest, AClosedPanelIsLeftUntouched) {
  plugin->setParameter(82, 0.5f);
  EXPECT_FALSE(editor->isUpdatePending());
  openPanel();
  editor->close();
  plugin->setParameter(82, 0.25f);
  editor->programChanged();
  EXPECT_FALSE(editor->isUpdatePending());
  EXPECT_EQ(editor->getControl(82), nullptr);
}

class PanelProgramTest : public PanelTest {
 protected:
  // Program 3 with its own curve and values; the panel opens on program 0.
  void SetUp() override {
    PanelTest::SetUp();
    plugin->dispatcher(effSetProgram, 0, 3, nullptr, 0.0f);
    plugin->applyEnvelope(0, constantCurve(0.5f).data());
    plugin->setParameter(82, 0.7f);
    plugin->setParameter(199, 0.0f);
    plugin->setParameter(180, 0.9f);
    plugin->dispatcher(effSetProgram, 0, 0, nullptr, 0.0f);
    openPanel();
    click(50);  // oscillator 1, volume: slot 0 on show
  }
};

TEST_F(PanelProgramTest, AnotherProgramIsReadAtTheNextIdleCurvesAndValuesAlike) {
  editor->idle();
  plugin->dispatcher(effSetProgram, 0, 3, nullptr, 0.0f);
  EXPECT_EQ(curveOf(0)[100], 0.0f) << "nothing is touched off the user-interface thread";
  EXPECT_EQ(shown(82), 0.0f);
  editor->idle();
  EXPECT_EQ(curveOf(0), constantCurve(0.5f));
  EXPECT_NEAR(shown(82), 0.7f, 1e-6f);
  EXPECT_EQ(shown(199), 0.0f);
  EXPECT_EQ(shown(180), plugin->getParameter(180));
  EXPECT_EQ(editor->getDisplay(180)->getValue(), plugin->getParameter(180));
  EXPECT_EQ(shown(50), 1.0f) << "the selection is the panel's own: it stays";
  EXPECT_EQ(curvesOnShow(), std::vector<std::int32_t>{0});
  HeadlessFrameWindow* shownIn = backend.lastWindow();
  ASSERT_NE(shownIn, nullptr);
  EXPECT_EQ(shownIn->pointer().lastPresentedArea(), (GuiRect{0, 0, 600, 600}))
      << "the whole panel is drawn again";
}

TEST_F(PanelProgramTest, AStrokeAfterAProgramChangeKeepsThatProgramsCurve) {
  plugin->dispatcher(effSetProgram, 0, 3, nullptr, 0.0f);
  editor->idle();
  const panel::CurvePlot plot = panel::curvePlotOf(panel::kCurveEditorRect);
  paintLine({plot.left + 300, plot.bottom - 20}, {plot.left + 330, plot.bottom - 20});
  EXPECT_EQ(storedCurve(0)[100], 0.5f);
  EXPECT_EQ(plugin->program(0).curve(0)[100], 0.0f) << "program 0 is not written";
}

TEST_F(PanelProgramTest, ANoticeFromAnotherThreadIsTakenAtTheNextIdle) {
  plugin->dispatcher(effSetProgram, 0, 3, nullptr, 0.0f);
  editor->idle();
  plugin->applyEnvelope(0, constantCurve(0.125f).data());  // a restored state, say
  std::thread host([this] { editor->programChanged(); });
  host.join();
  EXPECT_EQ(curveOf(0)[100], 0.5f);
  editor->idle();
  EXPECT_EQ(curveOf(0)[100], 0.125f);
}

TEST_F(PanelProgramTest, AStateRestoredByTheHostIsShownAtTheNextIdle) {
  SynthPlugin saved(&paneltest::recordingHost);
  saved.applyEnvelope(0, constantCurve(0.375f).data());
  saved.setParameter(82, 0.25f);
  void* data = nullptr;
  const VstIntPtr size = saved.dispatcher(effGetChunk, 0, 0, &data, 0.0f);
  ASSERT_GT(size, 0);
  const std::vector<char> bytes(static_cast<char*>(data), static_cast<char*>(data) + size);
  ASSERT_EQ(plugin->dispatcher(effSetChunk, 0, size, const_cast<char*>(bytes.data()), 0.0f), 1);
  EXPECT_EQ(curveOf(0)[100], 0.0f) << "read at the next idle, not in the host's call";
  editor->idle();
  EXPECT_EQ(curveOf(0), constantCurve(0.375f));
  EXPECT_NEAR(shown(82), 0.25f, 1e-6f);
  EXPECT_EQ(shown(50), 1.0f) << "the selection stays";
}

}  // namespace
