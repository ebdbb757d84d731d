// The editor's life cycle on the headless back end: construction, open and close with every
// bitmap and view accounted for (a thousand cycles, views on show or not), failures and repeated
// requests, and the panel side the plug-in talks to (open state, slot curves, parameter changes).
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "editor/SynthEditor.h"
#include "gui/DrawContext.h"
#include "gui/DrawSurface.h"
#include "gui/GuiBitmap.h"
#include "gui/GuiFrame.h"
#include "gui/platform/headless/HeadlessFrameWindow.h"
#include "synth/SynthPlugin.h"
#include "tests/editor/PanelPixels.h"
#include "tests/editor/PanelTestRig.h"
#include "tests/gui/FrameTestSupport.h"

namespace {

using paneltest::kParent;

class SynthEditorTest : public paneltest::PanelTest {
 protected:
  void TearDown() override {
    PanelTest::TearDown();
    EXPECT_EQ(backend.liveWindows(), 0);
  }
  HeadlessFrameWindow* openPanel() {
    EXPECT_EQ(editor->open(kParent), 1);
    return backend.lastWindow();
  }
};

TEST_F(SynthEditorTest, ConstructionLoadsTheBackgroundAndSetsTheRectangle) {
  ERect* rect = nullptr;
  ASSERT_EQ(plugin->dispatcher(effEditGetRect, 0, 0, &rect, 0.0f), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->top, 0);
  EXPECT_EQ(rect->left, 0);
  EXPECT_EQ(rect->bottom, 600);
  EXPECT_EQ(rect->right, 600);
  ASSERT_NE(editor->getBackgroundBitmap(), nullptr);
  EXPECT_TRUE(editor->getBackgroundBitmap()->isLoaded());
  EXPECT_EQ(plugin->getEditorPointer(), editor);
  EXPECT_EQ(plugin->getAEffect()->flags, 0x131);
  EXPECT_FALSE(editor->isPanelOpen());
  EXPECT_EQ(editor->getFrame(), nullptr);
  EXPECT_EQ(editor->getPanelBitmap(131), nullptr) << "panel bitmaps wait for open";
}

TEST_F(SynthEditorTest, OpenBuildsTheFrameOverTheBackgroundInTheHostsWindow) {
  HeadlessFrameWindow* window = openPanel();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->parent(), 0xABCu);
  EXPECT_EQ(window->width(), 600);
  EXPECT_EQ(window->height(), 600);
  GuiFrame* frame = editor->getFrame();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->getSize(), (GuiRect{0, 0, 600, 600}));
  EXPECT_EQ(frame->getBackground(), editor->getBackgroundBitmap());
  EXPECT_EQ(frame->getEditor(), editor);
  EXPECT_TRUE(editor->isPanelOpen());
  EXPECT_TRUE(editor->isUpdatePending());
  ASSERT_NE(editor->getCurveEditor(122), nullptr);
}

struct BitmapCase {
  std::int32_t id;
  bool loaded;
  std::int32_t width;
  std::int32_t height;
};

TEST_F(SynthEditorTest, OpenLoadsPanelBitmaps129To209) {
  openPanel();
  for (std::int32_t id = 129; id <= 209; ++id) {
    EXPECT_NE(editor->getPanelBitmap(id), nullptr) << "bitmap " << id;
  }
  const BitmapCase cases[] = {{129, false, 0, 0},  {130, false, 0, 0},  {131, true, 45, 30},
                              {134, true, 20, 28}, {166, true, 75, 28}, {175, true, 37, 140},
                              {207, true, 40, 56}, {208, true, 10, 20}, {209, true, 33, 30}};
  for (const BitmapCase& c : cases) {
    const GuiBitmap* bitmap = editor->getPanelBitmap(c.id);
    ASSERT_NE(bitmap, nullptr) << c.id;
    EXPECT_EQ(bitmap->isLoaded(), c.loaded) << c.id;
    EXPECT_EQ(bitmap->getWidth(), c.width) << c.id;
    EXPECT_EQ(bitmap->getHeight(), c.height) << c.id;
  }
  EXPECT_EQ(editor->getPanelBitmap(128), nullptr);
  EXPECT_EQ(editor->getPanelBitmap(210), nullptr);
}

TEST_F(SynthEditorTest, TheFirstPaintShowsTheBackgroundWhereNoControlStands) {
  HeadlessFrameWindow* window = openPanel();
  window->postPaint();
  plugin->dispatcher(effEditIdle, 0, 0, nullptr, 0.0f);
  DrawSurface reference(600, 600);
  {
    DrawContext context(nullptr, &reference, nullptr);
    editor->getBackgroundBitmap()->draw(&context, {0, 0, 600, 600});
  }
  // Where no control stands, the panel is the background bitmap.
  const DrawSurface* shown = editor->getFrame()->getBackBuffer();
  int differing = 0;
  int compared = 0;
  for (int y = 0; y < 600; y += 7) {
    for (int x = 0; x < 600; x += 7) {
      if (panelpixels::coveredByAStartingControl(x, y)) continue;
      ++compared;
      differing += shown->pixel(x, y) == reference.pixel(x, y) ? 0 : 1;
    }
  }
  EXPECT_GT(compared, 5000);
  EXPECT_EQ(differing, 0);
  EXPECT_EQ(shown->pixel(0, 0), kColorWhite) << "the outline";
  EXPECT_EQ(window->presentedArea(), (GuiRect{0, 0, 600, 600}));
}

TEST_F(SynthEditorTest, CloseReleasesEverythingOpenMade) {
  openPanel();
  plugin->dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
  EXPECT_EQ(editor->getFrame(), nullptr);
  EXPECT_FALSE(editor->isPanelOpen());
  EXPECT_EQ(editor->getCurveEditor(0), nullptr);
  for (std::int32_t id = 129; id <= 209; ++id) EXPECT_EQ(editor->getPanelBitmap(id), nullptr);
  EXPECT_EQ(backend.liveWindows(), 0);
  EXPECT_EQ(GuiView::liveCount(), liveViews);
  EXPECT_EQ(GuiBitmap::liveCount(), liveBitmaps + 1) << "only the background stays";
  EXPECT_EQ(editor->getBackgroundBitmap()->getRefCount(), 1);
}

TEST_F(SynthEditorTest, AWindowThatCannotBeMadeFailsTheOpenAndHoldsNothing) {
  backend.setRefuseWindows(true);
  EXPECT_EQ(plugin->dispatcher(effEditOpen, 0, 0, kParent, 0.0f), 0);
  EXPECT_EQ(editor->getFrame(), nullptr);
  EXPECT_FALSE(editor->isPanelOpen());
  EXPECT_EQ(editor->getPanelBitmap(131), nullptr);
  EXPECT_EQ(GuiBitmap::liveCount(), liveBitmaps + 1);
  plugin->dispatcher(effEditIdle, 0, 0, nullptr, 0.0f);
  plugin->dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
  backend.setRefuseWindows(false);
  EXPECT_EQ(plugin->dispatcher(effEditOpen, 0, 0, kParent, 0.0f), 1) << "a later open works";
}

TEST_F(SynthEditorTest, RepeatedAndUnpairedEditorRequestsDoNoHarm) {
  plugin->dispatcher(effEditClose, 0, 0, nullptr, 0.0f);  // closed already
  plugin->dispatcher(effEditIdle, 0, 0, nullptr, 0.0f);
  EXPECT_EQ(plugin->dispatcher(effEditOpen, 0, 0, kParent, 0.0f), 1);
  void* secondParent = reinterpret_cast<void*>(std::uintptr_t{0xDEF});
  EXPECT_EQ(plugin->dispatcher(effEditOpen, 0, 0, secondParent, 0.0f), 1);
  EXPECT_EQ(backend.liveWindows(), 1) << "the second open replaces the first panel";
  const HeadlessFrameWindow* current = backend.lastWindow();
  ASSERT_NE(current, nullptr);
  EXPECT_EQ(current->parent(), 0xDEFu);
  EXPECT_EQ(GuiBitmap::liveCount(), liveBitmaps + 1 + 81);
  plugin->dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
  plugin->dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
  plugin->dispatcher(effEditIdle, 0, 0, nullptr, 0.0f);
  EXPECT_EQ(backend.liveWindows(), 0);
}

TEST_F(SynthEditorTest, ParameterChangesReachAnOpenPanelOnly) {
  plugin->setParameter(0, 0.5f);
  EXPECT_FALSE(editor->isUpdatePending()) << "a closed panel is left untouched";
  openPanel();
  editor->idle();
  ASSERT_FALSE(editor->isUpdatePending());
  plugin->setParameter(0, 0.25f);
  EXPECT_TRUE(editor->isUpdatePending());
  editor->idle();
  editor->setParameter(500, 0.1f);
  EXPECT_TRUE(editor->isUpdatePending()) << "an index without a control only asks for an update";
  editor->idle();
  plugin->setParameter(8, 3.0f);
  EXPECT_FALSE(editor->isUpdatePending()) << "the envelope command is not a parameter change";
}

TEST_F(SynthEditorTest, SlotCurvesAreReadOnlyWhileThePanelIsOpen) {
  float curve[kEnvelopePointCount] = {};
  EXPECT_FALSE(editor->getSlotCurve(0, curve)) << "closed";
  openPanel();
  std::array<float, kEnvelopePointCount> level{};
  level.fill(0.75f);
  editor->getCurveEditor(57)->setCurve(level.data());
  EXPECT_TRUE(editor->getSlotCurve(57, curve));
  EXPECT_EQ(curve[0], 0.75f);
  EXPECT_EQ(curve[kEnvelopePointCount - 1], 0.75f);
  for (VstInt32 slot : {-1, 123, 1 << 30}) EXPECT_FALSE(editor->getSlotCurve(slot, curve)) << slot;
  EXPECT_FALSE(editor->getSlotCurve(57, nullptr));
}

TEST_F(SynthEditorTest, TheEnvelopeCommandAppliesTheCurveOfAnOpenPanelOnly) {
  openPanel();
  std::array<float, kEnvelopePointCount> level{};
  level.fill(0.25f);
  editor->getCurveEditor(5)->setCurve(level.data());
  editor->getCurveEditor(6)->setCurve(level.data());
  plugin->setParameter(8, 5.0f);
  EXPECT_EQ(storedCurve(5)[100], 0.25f);
  EXPECT_EQ(storedCurve(6)[100], 0.0f);
  plugin->setParameter(8, 5.9f);  // truncated to slot 5
  plugin->setParameter(8, 123.0f);
  plugin->setParameter(8, -3.0f);
  EXPECT_EQ(storedCurve(6)[100], 0.0f);
  editor->close();
  plugin->setParameter(8, 6.0f);
  EXPECT_EQ(storedCurve(6)[100], 0.0f) << "a closed panel has no curves";
}

TEST_F(SynthEditorTest, AThousandOpenCloseCyclesWithViewsOnShowLeaveNothingBehind) {
  for (int cycle = 0; cycle < 1000; ++cycle) {
    HeadlessFrameWindow* window = openPanel();
    ASSERT_NE(window, nullptr) << "cycle " << cycle;
    if (cycle % 100 == 0) {
      window->postPaint();
      editor->idle();
      click(3 + cycle % 2);  // a bar layer on show
      click(60);             // and a curve editor
      ASSERT_EQ(curvesOnShow().size(), 1u);
    }
    editor->close();
    ASSERT_EQ(GuiView::liveCount(), liveViews) << "cycle " << cycle;
    ASSERT_EQ(GuiBitmap::liveCount(), liveBitmaps + 1) << "cycle " << cycle;
  }
  EXPECT_EQ(backend.liveWindows(), 0);
}

TEST_F(SynthEditorTest, DestroyingThePluginTakesTheOpenPanelWithIt) {
  openPanel();
  plugin.reset();
  EXPECT_EQ(backend.liveWindows(), 0);
  EXPECT_EQ(GuiBitmap::liveCount(), liveBitmaps);
}

}  // namespace
