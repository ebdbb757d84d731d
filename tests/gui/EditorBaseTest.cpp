// The editor base: registration with the plug-in, the host's editor requests, idle with its
// re-entry guard, the wheel, the host's automation bracket through the frame, own-window mode,
// and the timing of pumpIdle on a manual clock.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "gui/EditorBase.h"
#include "gui/GuiFrame.h"
#include "gui/platform/headless/HeadlessFrameWindow.h"
#include "tests/gui/FrameTestSupport.h"

namespace {

void* const kParent = reinterpret_cast<void*>(std::uintptr_t{0x77});

class EditorBaseTest : public ::testing::Test {
 protected:
  // Declared first: the effect deletes the editor, which needs the back end until then.
  HeadlessFrameBackend backend;
  RecordingEffect effect;
  CountingEditor* editor = new CountingEditor(&effect, backend);
};

TEST_F(EditorBaseTest, RegistersAsTheEffectsEditorAndSetsTheHasEditorFlag) {
  EXPECT_EQ(effect.getEditorPointer(), editor);
  EXPECT_EQ(effect.getAEffect()->flags & effFlagsHasEditor, effFlagsHasEditor);
  EXPECT_EQ(editor->getEffect(), &effect);
  EXPECT_EQ(editor->getFrame(), nullptr);
  EXPECT_FALSE(editor->isUpdatePending());
  EXPECT_FALSE(editor->isInIdle());
}

TEST_F(EditorBaseTest, GetRectHandsOutTheRectanglesAddress) {
  ERect* rect = nullptr;
  EXPECT_EQ(editor->getRect(&rect), 1);
  ASSERT_NE(rect, nullptr);
  ERect* again = nullptr;
  editor->getRect(&again);
  EXPECT_EQ(rect, again);
  EXPECT_EQ(editor->getRect(nullptr), 1);
}

TEST_F(EditorBaseTest, TheBaseOpenStoresTheWindowAsksForAnUpdateAndAnswersZero) {
  EditorBase plain(nullptr, backend);
  EXPECT_EQ(plain.open(kParent), 0);
  EXPECT_EQ(plain.getSystemWindow(), kParent);
  EXPECT_TRUE(plain.isUpdatePending());
}

TEST_F(EditorBaseTest, IdleRunsAPendingUpdateOnceThenTheFramesIdle) {
  editor->open(kParent);
  HeadlessFrameWindow* window = backend.lastWindow();
  ASSERT_NE(window, nullptr);
  auto* view = new ProbeView({0, 0, 10, 10});
  editor->getFrame()->addView(view);
  window->postPaint();
  editor->idle();
  EXPECT_EQ(editor->updates, 1);
  EXPECT_GE(view->draws, 1) << "the frame's idle handled the paint";
  editor->idle();
  EXPECT_EQ(editor->updates, 1);
  editor->setParameter(3, 0.5f);
  EXPECT_TRUE(editor->isUpdatePending()) << "the base's setParameter asks for an update";
  editor->idle();
  EXPECT_EQ(editor->updates, 2);
}

TEST_F(EditorBaseTest, IdleDoesNothingWhileTheHostsIdleCallRuns) {
  editor->open(kParent);
  bool sawInIdle = false;
  effect.duringIdle = [&] {
    sawInIdle = editor->isInIdle();
    editor->requestUpdate();
    editor->idle();  // a host that idles the editor from inside its own idle
  };
  backend.manualClock().advance(1000);
  const int updates = editor->updates;
  editor->pumpIdle();
  EXPECT_TRUE(sawInIdle);
  EXPECT_EQ(editor->updates, updates + 1) << "only pumpIdle's own idle ran an update";
  EXPECT_TRUE(editor->isUpdatePending()) << "the nested idle left the request for later";
  EXPECT_FALSE(editor->isInIdle());
}

TEST_F(EditorBaseTest, KeysAreNotHandledAndTheKnobModeIsSharedByTheToolkit) {
  VstKeyCode key{};
  EXPECT_EQ(editor->onKeyDown(key), -1);
  EXPECT_EQ(editor->onKeyUp(key), -1);
  EXPECT_EQ(editor->setDragMode(2), 1);
  EXPECT_EQ(toolkitKnobMode(), 2);
  EXPECT_EQ(editor->setDragMode(0), 1);
  EXPECT_EQ(toolkitKnobMode(), 0);
}

TEST_F(EditorBaseTest, TheWheelNeedsAFrame) {
  EXPECT_FALSE(editor->onWheel(1.0f));
  editor->open(kParent);
  auto* view = new ProbeView({0, 0, 100, 100});
  editor->getFrame()->addView(view);
  backend.lastWindow()->pointer().setPointer({50, 50}, 0);
  EXPECT_TRUE(editor->onWheel(-1.0f));
  EXPECT_EQ(view->wheels, 1);
}

TEST_F(EditorBaseTest, DrawRedrawsTheWholeFrame) {
  editor->draw(nullptr);  // no frame: nothing
  editor->open(kParent);
  auto* view = new ProbeView({0, 0, 10, 10});
  editor->getFrame()->addView(view);
  ERect ignored{0, 0, 1, 1};
  editor->draw(&ignored);
  EXPECT_EQ(view->draws, 1);
}

TEST_F(EditorBaseTest, TheFrameForwardsTheAutomationBracketToTheHost) {
  editor->open(kParent);
  GuiFrame* frame = editor->getFrame();
  frame->beginEdit(17);
  EXPECT_EQ(frame->endEdit(17), 1);
  effect.editAnswer = 0;
  EXPECT_EQ(frame->endEdit(18), 0);
  ASSERT_EQ(effect.count(audioMasterBeginEdit), 1);
  ASSERT_EQ(effect.count(audioMasterEndEdit), 2);
  for (const RecordedHostCall& call : effect.calls) {
    if (call.opcode == audioMasterBeginEdit) {
      EXPECT_EQ(call.index, 17);
    }
  }
  GuiFrame orphan({0, 0, 10, 10}, kParent, nullptr, backend);
  orphan.beginEdit(1);
  EXPECT_EQ(orphan.endEdit(1), 0) << "without an editor nothing reaches a host";
}

TEST_F(EditorBaseTest, OwnWindowModeAsksTheHostForAWindowAndClosesItAgain) {
  GuiFrame frame({0, 0, 320, 200}, "Panel title", editor, 5, backend);
  EXPECT_TRUE(frame.isOwnWindowMode());
  EXPECT_FALSE(frame.openWindow({10, 20})) << "the host has no window to give";
  EXPECT_EQ(frame.getPlatformWindow(), nullptr);
  effect.windowAnswer = 0x5151;
  EXPECT_TRUE(frame.openWindow({10, 20}));
  const HeadlessFrameWindow* opened = backend.lastWindow();
  ASSERT_NE(opened, nullptr);
  EXPECT_EQ(opened->parent(), 0x5151u);
  EXPECT_EQ(opened->width(), 320);
  const VstWindow* request = nullptr;
  for (const RecordedHostCall& call : effect.calls) {
    if (call.opcode == audioMasterOpenWindow) request = static_cast<const VstWindow*>(call.ptr);
  }
  ASSERT_NE(request, nullptr);
  EXPECT_STREQ(request->title, "Panel title");
  EXPECT_EQ(request->xPos, 10);
  EXPECT_EQ(request->yPos, 20);
  EXPECT_EQ(request->width, 320);
  EXPECT_EQ(request->height, 200);
  EXPECT_EQ(request->style, 5);
  EXPECT_FALSE(frame.openWindow({0, 0})) << "already open";
  frame.closeWindow();
  EXPECT_EQ(frame.getPlatformWindow(), nullptr);
  EXPECT_EQ(effect.count(audioMasterCloseWindow), 1);
  GuiFrame embedded({0, 0, 10, 10}, kParent, editor, backend);
  EXPECT_FALSE(embedded.openWindow({0, 0})) << "an embedded frame has no window to open";
}

// pumpIdle on a manual clock: when the host gets its idle call, and how long it naps.
struct PumpCase {
  const char* name;
  std::int64_t sinceLastIdle;
  bool hostIdle;
  std::int64_t slept;
};

TEST(EditorBasePump, GivesTheHostItsIdleOnlyAfterEnoughTime) {
  const PumpCase cases[] = {
      {"at once", 0, false, 4},
      {"45 ms: still too early after the nap", 45, false, 4},
      {"46 ms: 50 after the nap", 46, true, 4},
      {"99 ms", 99, true, 4},
      {"100 ms: no nap", 100, true, 0},
      {"a second", 1000, true, 0},
  };
  for (const PumpCase& c : cases) {
    HeadlessFrameBackend backend;
    RecordingEffect effect;
    auto* editor = new CountingEditor(&effect, backend);
    backend.manualClock().advance(c.sinceLastIdle);
    editor->pumpIdle();
    EXPECT_EQ(effect.count(audioMasterIdle), c.hostIdle ? 1 : 0) << c.name;
    EXPECT_EQ(backend.manualClock().totalSlept(), c.slept) << c.name;
  }
}

TEST(EditorBasePump, ATrackingLoopIdlesTheHostNoMoreThanEvery50Ms) {
  HeadlessFrameBackend backend;
  RecordingEffect effect;
  auto* editor = new CountingEditor(&effect, backend);
  std::vector<std::int64_t> idleTimes;
  effect.duringIdle = [&] { idleTimes.push_back(backend.manualClock().ticks()); };
  // A drag of one second in which every pass also spends 1 ms drawing.
  while (backend.manualClock().ticks() < 1000) {
    backend.manualClock().advance(1);
    editor->pumpIdle();
  }
  ASSERT_GE(idleTimes.size(), 10u);
  for (std::size_t i = 1; i < idleTimes.size(); ++i) {
    EXPECT_GE(idleTimes[i] - idleTimes[i - 1], 46) << "host idles " << i - 1 << " and " << i;
    EXPECT_LE(idleTimes[i] - idleTimes[i - 1], 55) << "host idles " << i - 1 << " and " << i;
  }
  EXPECT_LE(idleTimes.size(), 21u);
}

TEST(EditorBasePump, HandlesOnePendingPaintWhenTheHostIsIdled) {
  HeadlessFrameBackend backend;
  RecordingEffect effect;
  auto* editor = new CountingEditor(&effect, backend);
  editor->open(kParent);
  editor->idle();
  HeadlessFrameWindow* window = backend.lastWindow();
  window->postPress({5, 5});  // a press is not a paint: it stays queued
  window->postPaint();
  backend.manualClock().advance(200);
  editor->getFrame()->setDirty(false);
  // pumpIdle's idle() takes presses too when no press is being handled; run it as a tracking
  // loop does, from inside a press.
  auto* view = new ProbeView({0, 0, 100, 100});
  editor->getFrame()->addView(view);
  view->onPress = [&](DrawContext*, GuiPoint) { editor->pumpIdle(); };
  window->postPress({6, 6});
  editor->idle();
  EXPECT_FALSE(editor->getFrame()->isFirstDrawPending()) << "the paint was handled";
  EXPECT_EQ(view->presses, 2) << "both presses handled one after the other";
}

}  // namespace
