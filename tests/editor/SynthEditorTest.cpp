// The editor's life cycle on the headless back end: construction, open and close with every
// bitmap and view accounted for, failures and repeated requests, the panel side the plug-in talks
// to (open state, slot curves, parameter changes) and the listener side of the controls.
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
#include "tests/gui/FrameTestSupport.h"

namespace {

std::vector<VstInt32> hostCalls;

VstIntPtr recordingHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  hostCalls.push_back(opcode);
  return opcode == audioMasterVersion ? 2400 : 0;
}

int countCalls(VstInt32 opcode) {
  int n = 0;
  for (VstInt32 call : hostCalls) n += call == opcode ? 1 : 0;
  return n;
}

void* const kParent = reinterpret_cast<void*>(std::uintptr_t{0xABC});

// A control standing in for a curve editor: its curve is `level` everywhere.
class FakeCurveEditor : public ProbeControl, public CurveSource {
 public:
  FakeCurveEditor(float curveLevel, ControlListener* owner)
      : ProbeControl({200, 200, 300, 300}, owner, 8), level(curveLevel) {}
  void getCurve(float* destination) override {
    ++reads;
    for (int i = 0; i < kEnvelopePointCount; ++i) destination[i] = level;
  }
  GuiControl* curveControl() override { return this; }
  float level;
  int reads = 0;
};

class SynthEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hostCalls.clear();
    liveViews = GuiView::liveCount();
    liveBitmaps = GuiBitmap::liveCount();
    plugin = std::make_unique<SynthPlugin>(&recordingHost);
    ASSERT_EQ(plugin->getEditorPointer(), nullptr) << "the instrument alone makes no editor";
    editor = new SynthEditor(plugin.get(), backend);
  }
  void TearDown() override {
    plugin.reset();
    EXPECT_EQ(GuiView::liveCount(), liveViews) << "views left alive";
    EXPECT_EQ(GuiBitmap::liveCount(), liveBitmaps) << "bitmaps left alive";
    EXPECT_EQ(backend.liveWindows(), 0);
  }
  HeadlessFrameWindow* openPanel() {
    EXPECT_EQ(editor->open(kParent), 1);
    return backend.lastWindow();
  }
  const EnvelopeCurve& storedCurve(int slot) { return plugin->program(0).curve(slot); }

  HeadlessFrameBackend backend;
  std::unique_ptr<SynthPlugin> plugin;
  SynthEditor* editor = nullptr;  // owned by the plug-in
  std::int32_t liveViews = 0;
  std::int32_t liveBitmaps = 0;
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
  EXPECT_EQ(plugin->getAEffect()->flags, 0x111);
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
  ASSERT_NE(editor->getCurveEditors(), nullptr);
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
  const BitmapCase cases[] = {{129, false, 0, 0},  {130, false, 0, 0},   {131, true, 45, 30},
                              {134, true, 20, 28}, {166, true, 75, 28},  {175, true, 37, 140},
                              {207, true, 40, 56}, {208, true, 10, 20},  {209, true, 33, 30}};
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

TEST_F(SynthEditorTest, TheFirstPaintShowsTheBackgroundPixelForPixel) {
  HeadlessFrameWindow* window = openPanel();
  window->postPaint();
  plugin->dispatcher(effEditIdle, 0, 0, nullptr, 0.0f);
  DrawSurface reference(600, 600);
  {
    DrawContext context(nullptr, &reference, nullptr);
    editor->getBackgroundBitmap()->draw(&context, {0, 0, 600, 600});
  }
  const DrawSurface* shown = editor->getFrame()->getBackBuffer();
  int differing = 0;
  for (int y = 0; y < 600; y += 7) {
    for (int x = 0; x < 600; x += 7) differing += shown->pixel(x, y) == reference.pixel(x, y) ? 0 : 1;
  }
  EXPECT_EQ(differing, 0);
  EXPECT_EQ(shown->pixel(0, 0), kColorWhite) << "the outline";
  EXPECT_EQ(window->presentedArea(), (GuiRect{0, 0, 600, 600}));
}

TEST_F(SynthEditorTest, CloseReleasesEverythingOpenMade) {
  openPanel();
  plugin->dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
  EXPECT_EQ(editor->getFrame(), nullptr);
  EXPECT_FALSE(editor->isPanelOpen());
  EXPECT_EQ(editor->getCurveEditors(), nullptr);
  for (std::int32_t id = 129; id <= 209; ++id) EXPECT_EQ(editor->getPanelBitmap(id), nullptr);
  EXPECT_EQ(backend.liveWindows(), 0);
  EXPECT_EQ(GuiView::liveCount(), liveViews);
  EXPECT_EQ(GuiBitmap::liveCount(), liveBitmaps + 1) << "only the background stays";
  EXPECT_EQ(editor->getBackgroundBitmap()->getRefCount(), 1);
}

TEST_F(SynthEditorTest, FiftyOpenCloseCyclesLeaveNothingBehind) {
  for (int cycle = 0; cycle < 50; ++cycle) {
    HeadlessFrameWindow* window = openPanel();
    ASSERT_NE(window, nullptr) << "cycle " << cycle;
    window->postPaint();
    editor->idle();
    editor->close();
    ASSERT_EQ(GuiView::liveCount(), liveViews) << "cycle " << cycle;
    ASSERT_EQ(GuiBitmap::liveCount(), liveBitmaps + 1) << "cycle " << cycle;
  }
  EXPECT_EQ(backend.createdWindows(), 50);
  EXPECT_EQ(backend.liveWindows(), 0);
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

TEST_F(SynthEditorTest, SlotCurvesAreReadOnlyFromExistingCurveEditors) {
  float curve[kEnvelopePointCount] = {};
  EXPECT_FALSE(editor->getSlotCurve(0, curve)) << "closed";
  openPanel();
  for (VstInt32 slot : {0, 57, 122}) EXPECT_FALSE(editor->getSlotCurve(slot, curve)) << slot;
  auto* source = new FakeCurveEditor(0.75f, editor);
  (*editor->getCurveEditors())[57] = source;
  EXPECT_TRUE(editor->getSlotCurve(57, curve));
  EXPECT_EQ(curve[0], 0.75f);
  EXPECT_EQ(curve[kEnvelopePointCount - 1], 0.75f);
  for (VstInt32 slot : {-1, 123, 1 << 30}) EXPECT_FALSE(editor->getSlotCurve(slot, curve)) << slot;
  EXPECT_FALSE(editor->getSlotCurve(57, nullptr));
  EXPECT_EQ(source->reads, 1);
}

TEST_F(SynthEditorTest, TheEnvelopeCommandAppliesOnlyACurveThatExists) {
  openPanel();
  plugin->setParameter(8, 5.0f);  // no curve editor for slot 5 yet
  EXPECT_EQ(storedCurve(5)[100], 0.0f);
  auto* source = new FakeCurveEditor(0.25f, editor);
  (*editor->getCurveEditors())[5] = source;
  plugin->setParameter(8, 5.0f);
  EXPECT_EQ(storedCurve(5)[100], 0.25f);
  EXPECT_EQ(storedCurve(6)[100], 0.0f);
  editor->close();
  source = nullptr;  // released by close
  plugin->setParameter(8, 6.0f);
  EXPECT_EQ(storedCurve(6)[100], 0.0f) << "a closed panel has no curves";
}

TEST_F(SynthEditorTest, CloseReleasesAttachedAndDetachedCurveEditorsExactlyOnce) {
  openPanel();
  auto* shown = new FakeCurveEditor(0.1f, editor);
  auto* hidden = new FakeCurveEditor(0.2f, editor);
  (*editor->getCurveEditors())[0] = shown;
  (*editor->getCurveEditors())[1] = hidden;
  ASSERT_TRUE(editor->getFrame()->addView(shown));
  EXPECT_EQ(GuiView::liveCount(), liveViews + 3);  // the frame and two curve editors
  editor->close();
  EXPECT_EQ(GuiView::liveCount(), liveViews);
}

struct ChangeCase {
  const char* name;
  std::int32_t tag;
  float value;
  bool parameterSet;
  bool hostTold;
};

TEST_F(SynthEditorTest, ControlChangesBecomeParameterChanges) {
  const ChangeCase cases[] = {
      {"main volume", 0, 0.5f, true, true},
      {"delay volume bar", 180, 0.3f, true, true},
      {"oscillator switch", 210, 1.0f, true, true},
      {"routing switch: the host is not told", 20, 0.5f, true, false},
      {"tag 196 has no parameter", 196, 0.9f, false, false},
      {"beyond the panel's tags", 236, 1.0f, false, false},
      {"negative tag", -1, 1.0f, false, false},
  };
  openPanel();
  for (const ChangeCase& c : cases) {
    ProbeControl control({0, 0, 10, 10}, editor, c.tag);
    control.setValue(c.value);
    const float before = c.tag >= 0 && c.tag < 237 ? plugin->getParameter(c.tag) : 0.0f;
    hostCalls.clear();
    editor->valueChanged(nullptr, &control);
    EXPECT_EQ(countCalls(audioMasterAutomate), c.hostTold ? 1 : 0) << c.name;
    if (c.parameterSet) {
      EXPECT_NEAR(plugin->getParameter(c.tag), c.value, 1e-6f) << c.name;
      EXPECT_FALSE(control.isDirty()) << c.name << ": the control is redrawn at once";
    } else if (c.tag >= 0 && c.tag < 237) {
      EXPECT_EQ(plugin->getParameter(c.tag), before) << c.name;
    }
  }
}

TEST_F(SynthEditorTest, APaintedCurveIsSentAsTheEnvelopeCommand) {
  openPanel();
  auto* source = new FakeCurveEditor(0.5f, editor);
  source->setValue(42.0f);  // a curve editor's value is its slot
  (*editor->getCurveEditors())[42] = source;
  editor->getFrame()->setDirty(false);
  editor->valueChanged(nullptr, source);
  EXPECT_EQ(storedCurve(42)[0], 0.5f);
  EXPECT_TRUE(editor->getFrame()->isDirty()) << "the panel is redrawn at the next idle";
}

TEST_F(SynthEditorTest, DestroyingThePluginTakesTheOpenPanelWithIt) {
  openPanel();
  plugin.reset();
  EXPECT_EQ(backend.liveWindows(), 0);
  EXPECT_EQ(GuiBitmap::liveCount(), liveBitmaps);
}

}  // namespace
