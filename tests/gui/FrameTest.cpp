// The frame on the headless back end: the view list and its references, full and incremental
// drawing, mouse, wheel and drop dispatch, focus and modal views, window events, cursors,
// geometry, own-window mode and the process-wide window-class name.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "gui/DrawSurface.h"
#include "gui/EditorBase.h"
#include "gui/GuiBitmap.h"
#include "gui/GuiFrame.h"
#include "gui/platform/headless/HeadlessFrameWindow.h"
#include "tests/gui/FrameTestSupport.h"

namespace {

constexpr GuiRect kFrameRect{0, 0, 200, 150};
void* const kParent = reinterpret_cast<void*>(std::uintptr_t{0x1234});

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    liveViewsAtStart = GuiView::liveCount();
    frame = std::make_unique<GuiFrame>(kFrameRect, kParent, nullptr, backend);
    window = backend.lastWindow();
    ASSERT_NE(window, nullptr);
  }
  void TearDown() override {
    frame.reset();
    EXPECT_EQ(GuiView::liveCount(), liveViewsAtStart) << "views left alive after the frame";
  }

  // Makes a view and hands it to the frame; the frame holds the only reference.
  ProbeView* attach(const GuiRect& rect, GuiColor color = kColorRed) {
    auto* view = new ProbeView(rect, color);
    EXPECT_TRUE(frame->addView(view));
    return view;
  }
  void firstPaint() {
    window->postPaint();
    frame->idle();
  }

  HeadlessFrameBackend backend;
  std::unique_ptr<GuiFrame> frame;
  HeadlessFrameWindow* window = nullptr;
  std::int32_t liveViewsAtStart = 0;
};

// ---- construction and window ----------------------------------------------------------------

TEST_F(FrameTest, CreatesAChildWindowOfTheParentWithTheFrameSizeAndClassName) {
  EXPECT_EQ(window->parent(), 0x1234u);
  EXPECT_EQ(window->width(), 200);
  EXPECT_EQ(window->height(), 150);
  EXPECT_EQ(window->name(), GuiFrame::windowClassName());
  EXPECT_TRUE(frame->isWindowOpen());
  EXPECT_TRUE(frame->isFirstDrawPending());
  EXPECT_EQ(frame->getSystemWindow(), kParent);
}

TEST_F(FrameTest, WindowClassNameIsPluginAndEightHexDigits) {
  const std::string name = GuiFrame::windowClassName();
  ASSERT_EQ(name.size(), 14u) << name;
  EXPECT_EQ(name.substr(0, 6), "Plugin");
  EXPECT_EQ(name.substr(6).find_first_not_of("0123456789abcdef"), std::string::npos) << name;
}

TEST_F(FrameTest, WindowClassCountSurvivesWhileAnyFrameExists) {
  const std::int32_t before = GuiFrame::windowClassUsers();
  EXPECT_GE(before, 1);
  const std::string name = GuiFrame::windowClassName();
  {
    GuiFrame second(kFrameRect, kParent, nullptr, backend);
    EXPECT_EQ(GuiFrame::windowClassUsers(), before + 1);
  }
  EXPECT_EQ(GuiFrame::windowClassUsers(), before) << "the first frame still uses the class";
  EXPECT_EQ(GuiFrame::windowClassName(), name);
  frame.reset();
  EXPECT_EQ(GuiFrame::windowClassUsers(), before - 1);
}

TEST_F(FrameTest, AFrameWhoseWindowCannotBeMadeIsClosedAndDoesNothing) {
  backend.setRefuseWindows(true);
  GuiFrame refused(kFrameRect, kParent, nullptr, backend);
  EXPECT_FALSE(refused.isWindowOpen());
  EXPECT_EQ(refused.getPlatformWindow(), nullptr);
  EXPECT_EQ(refused.getSystemWindow(), nullptr);
  std::int32_t x = 0, y = 0;
  GuiRect rect;
  EXPECT_FALSE(refused.getPosition(x, y));
  EXPECT_FALSE(refused.getSize(rect));
  EXPECT_FALSE(refused.setSize(300, 300));
  refused.idle();
  refused.drawView(nullptr);
  refused.setCursor(kCursorWait);
}

TEST_F(FrameTest, DestroyedWindowClosesTheFrameAndStopsDrawing) {
  ProbeView* view = attach({10, 10, 50, 50});
  firstPaint();
  const int drawsBefore = view->draws;
  window->postDestroyed();
  frame->idle();
  EXPECT_FALSE(frame->isWindowOpen());
  EXPECT_EQ(frame->getSystemWindow(), nullptr);
  view->setDirty(true);
  frame->idle();
  frame->drawView(nullptr);
  EXPECT_EQ(view->draws, drawsBefore);
  std::int32_t x = 0, y = 0;
  EXPECT_FALSE(frame->getPosition(x, y));
}

// ---- the view list and references ----------------------------------------------------------

TEST_F(FrameTest, AddViewTakesOverTheCallersReferenceAndAttachesTheView) {
  ProbeView* view = attach({0, 0, 10, 10});
  EXPECT_EQ(view->getRefCount(), 1);
  EXPECT_EQ(view->getFrame(), frame.get());
  EXPECT_EQ(view->attaches, 1);
  EXPECT_EQ(view->lastParent, frame.get());
  EXPECT_TRUE(frame->containsView(view));
  EXPECT_EQ(frame->getViewCount(), 1);
}

TEST_F(FrameTest, AddingAViewTwiceIsRefused) {
  ProbeView* view = attach({0, 0, 10, 10});
  EXPECT_FALSE(frame->addView(view)) << "a second entry would be released twice";
  EXPECT_EQ(frame->getViewCount(), 1);
  EXPECT_EQ(view->attaches, 1);
  EXPECT_FALSE(frame->addView(nullptr));
  EXPECT_FALSE(frame->addView(frame.get()));
  EXPECT_EQ(frame->getViewCount(), 1);
}

TEST_F(FrameTest, TheListGrowsPastItsFirstTenEntriesInOrder) {
  std::vector<ProbeView*> views;
  for (int i = 0; i < 25; ++i) views.push_back(attach({i, 0, i + 1, 1}));
  ASSERT_EQ(frame->getViewCount(), 25);
  for (int i = 0; i < 25; ++i) EXPECT_EQ(frame->getView(i), views[static_cast<std::size_t>(i)]);
  EXPECT_EQ(frame->getView(25), nullptr);
  EXPECT_EQ(frame->getView(-1), nullptr);
}

TEST_F(FrameTest, RemovingAnAbsentViewAnswersTrueAndChangesNothing) {
  ProbeView* inside = attach({0, 0, 10, 10});
  ProbeView outside({0, 0, 5, 5});
  EXPECT_TRUE(frame->removeView(&outside, true));
  EXPECT_EQ(outside.removals, 0);
  EXPECT_EQ(outside.getRefCount(), 1) << "an absent view is not released";
  EXPECT_EQ(frame->getViewCount(), 1);
  EXPECT_TRUE(frame->containsView(inside));
}

struct RemovalCase {
  const char* name;
  bool withRelease;
  bool survives;
};

TEST_F(FrameTest, RemoveViewReleasesOnlyWhenAsked) {
  const RemovalCase cases[] = {{"with release", true, false}, {"without release", false, true}};
  for (const RemovalCase& c : cases) {
    const std::int32_t live = GuiView::liveCount();
    ProbeView* view = attach({0, 0, 10, 10});
    view->retain();  // the test's own reference, to look at the view afterwards
    EXPECT_TRUE(frame->removeView(view, c.withRelease)) << c.name;
    EXPECT_FALSE(frame->containsView(view)) << c.name;
    EXPECT_EQ(view->removals, 1) << c.name;
    EXPECT_EQ(view->getRefCount(), c.survives ? 2 : 1) << c.name;
    view->release();
    if (c.survives) view->release();  // the reference the frame gave back
    EXPECT_EQ(GuiView::liveCount(), live) << c.name;
  }
}

TEST_F(FrameTest, RemovedViewsMoveTheFollowingEntriesDown) {
  ProbeView* a = attach({0, 0, 1, 1});
  ProbeView* b = attach({0, 0, 1, 1});
  ProbeView* c = attach({0, 0, 1, 1});
  frame->removeView(b, true);
  ASSERT_EQ(frame->getViewCount(), 2);
  EXPECT_EQ(frame->getView(0), a);
  EXPECT_EQ(frame->getView(1), c);
}

TEST_F(FrameTest, RemoveAllTakesEveryViewOutAndReleasesOnlyWhenAsked) {
  const std::int32_t live = GuiView::liveCount();
  ProbeView* kept = attach({0, 0, 1, 1});
  ProbeView* other = attach({0, 0, 1, 1});
  frame->setFocusView(other);
  EXPECT_TRUE(frame->removeAll(false));
  EXPECT_EQ(frame->getViewCount(), 0);
  EXPECT_EQ(other->focusLosses, 1) << "the focus view loses its focus first";
  EXPECT_EQ(frame->getFocusView(), nullptr);
  EXPECT_EQ(kept->removals, 1);
  EXPECT_EQ(GuiView::liveCount(), live + 2) << "without release the views stay alive";
  ASSERT_TRUE(frame->addView(kept));
  ASSERT_TRUE(frame->addView(other));
  EXPECT_TRUE(frame->removeAll(true));
  EXPECT_EQ(GuiView::liveCount(), live);
}

TEST_F(FrameTest, DestroyingTheFrameReleasesEveryAttachedViewAndTheBackground) {
  const std::int32_t liveBitmaps = GuiBitmap::liveCount();
  auto* background = new GuiBitmap(20, 20);
  frame->setBackground(background);
  background->release();  // the frame holds the only reference now
  for (int i = 0; i < 5; ++i) attach({0, 0, 1, 1});
  frame.reset();
  EXPECT_EQ(GuiView::liveCount(), liveViewsAtStart);
  EXPECT_EQ(GuiBitmap::liveCount(), liveBitmaps);
}

// ---- drawing --------------------------------------------------------------------------------

TEST_F(FrameTest, AnEmptyFrameDrawsNothingAndReportsNothingDirty) {
  firstPaint();
  frame->idle();
  EXPECT_FALSE(frame->needsDrawing());
  EXPECT_FALSE(frame->isDirty());
  const DrawSurface* buffer = frame->getBackBuffer();
  for (GuiPoint p : {GuiPoint{0, 0}, GuiPoint{100, 75}, GuiPoint{199, 149}}) {
    EXPECT_EQ(buffer->pixel(p.h, p.v), kColorBlack) << p.h << "," << p.v;
  }
  const std::int32_t presents = window->presentCount();
  for (int i = 0; i < 5; ++i) frame->idle();
  EXPECT_EQ(window->presentCount(), presents) << "idle with nothing dirty shows nothing";
}

TEST_F(FrameTest, NothingIsDrawnBeforeTheWindowsFirstPaint) {
  ProbeView* view = attach({10, 10, 20, 20});
  frame->idle();
  frame->idle();
  EXPECT_EQ(view->draws, 0);
  EXPECT_TRUE(frame->isFirstDrawPending());
  window->postPaint();
  frame->idle();
  EXPECT_FALSE(frame->isFirstDrawPending());
  EXPECT_GE(view->draws, 1);
  EXPECT_EQ(frame->getBackBuffer()->pixel(15, 15), kColorRed);
  EXPECT_EQ(window->presentedArea(), kFrameRect) << "the whole lost area is shown again";
}

TEST_F(FrameTest, FullDrawPaintsBackgroundThenViewsInOrderThenTheModalView) {
  ProbeView* below = attach({10, 10, 60, 60}, kColorRed);
  ProbeView* above = attach({40, 40, 90, 90}, kColorBlue);
  ProbeView modal({80, 80, 120, 120}, kColorYellow);
  ASSERT_TRUE(frame->setModalView(&modal));
  window->postPaint();
  frame->idle();
  const DrawSurface* buffer = frame->getBackBuffer();
  EXPECT_EQ(buffer->pixel(20, 20), kColorRed);
  EXPECT_EQ(buffer->pixel(50, 50), kColorBlue) << "later views lie on top";
  EXPECT_EQ(buffer->pixel(85, 85), kColorYellow) << "the modal view is drawn last";
  EXPECT_GE(below->draws, 1);
  EXPECT_GE(above->draws, 1);
  frame->setModalView(nullptr);
}

TEST_F(FrameTest, FullDrawKeepsEachViewsDirtyState) {
  ProbeView* dirtyView = attach({0, 0, 10, 10});
  ProbeView* cleanView = attach({20, 0, 30, 10});
  cleanView->setDirty(false);
  frame->drawView(nullptr);
  EXPECT_TRUE(dirtyView->isDirty());
  EXPECT_FALSE(cleanView->isDirty());
  EXPECT_EQ(cleanView->draws, 1);
}

TEST_F(FrameTest, IdleRedrawsOnlyDirtyViews) {
  ProbeView* a = attach({0, 0, 10, 10});
  ProbeView* b = attach({20, 0, 30, 10});
  firstPaint();  // the frame itself starts dirty: this idle draws everything once
  frame->idle();
  EXPECT_FALSE(frame->needsDrawing());
  const int aDraws = a->draws;
  const int bDraws = b->draws;
  b->setDirty(true);
  EXPECT_TRUE(frame->needsDrawing());
  frame->idle();
  EXPECT_EQ(a->draws, aDraws);
  EXPECT_EQ(b->draws, bDraws + 1);
  EXPECT_FALSE(b->isDirty());
  frame->idle();
  EXPECT_EQ(b->draws, bDraws + 1) << "a clean view is not drawn again";
}

TEST_F(FrameTest, ADirtyFrameIsRedrawnWholeAtIdle) {
  ProbeView* a = attach({0, 0, 10, 10});
  firstPaint();
  frame->idle();
  a->setDirty(false);
  const int draws = a->draws;
  frame->setDirty(true);
  frame->idle();
  EXPECT_EQ(a->draws, draws + 1);
  EXPECT_FALSE(frame->isDirty());
}

TEST_F(FrameTest, DrawViewDrawsOnlyAListedViewAndEverythingOtherwise) {
  ProbeView* a = attach({0, 0, 10, 10});
  ProbeView* b = attach({20, 0, 30, 10});
  frame->drawView(a);
  EXPECT_EQ(a->draws, 1);
  EXPECT_EQ(b->draws, 0);
  ProbeView stranger({0, 0, 1, 1});
  frame->drawView(&stranger);
  EXPECT_EQ(stranger.draws, 0);
  EXPECT_EQ(a->draws, 2);
  EXPECT_EQ(b->draws, 1);
}

// ---- mouse --------------------------------------------------------------------------------

struct ClickCase {
  const char* name;
  GuiPoint where;
  bool topEnabled;
  int expectTop;
  int expectBottom;
};

TEST_F(FrameTest, PressesGoToTheTopmostEnabledViewUnderThePoint) {
  const ClickCase cases[] = {
      {"inside both", {45, 45}, true, 1, 0},
      {"inside both, top mouse-disabled", {45, 45}, false, 0, 1},
      {"only the bottom one", {15, 15}, true, 0, 1},
      {"right and bottom edges count", {50, 50}, true, 1, 0},
      {"left and top edges count", {10, 10}, true, 0, 1},
      {"outside both", {150, 10}, true, 0, 0},
  };
  for (const ClickCase& c : cases) {
    ProbeView* bottom = attach({10, 10, 50, 50});
    ProbeView* top = attach({40, 40, 80, 80});
    top->setMouseEnabled(c.topEnabled);
    window->postPress(c.where);
    frame->idle();
    EXPECT_EQ(top->presses, c.expectTop) << c.name;
    EXPECT_EQ(bottom->presses, c.expectBottom) << c.name;
    if (c.expectTop) {
      EXPECT_EQ(top->lastPress, c.where) << c.name;
    }
    frame->removeAll(true);
  }
}

TEST_F(FrameTest, MiddleAndRightButtonsPressLikeTheLeft) {
  ProbeView* view = attach({0, 0, 100, 100});
  window->postPress({5, 5}, 2);
  window->postPress({6, 6}, 3);
  frame->idle();
  EXPECT_EQ(view->presses, 2);
}

TEST_F(FrameTest, AModalViewTakesPressesInsideItAndDropsTheRest) {
  ProbeView* under = attach({0, 0, 200, 150});
  ProbeView modal({50, 50, 100, 100});
  ASSERT_TRUE(frame->setModalView(&modal));
  EXPECT_EQ(modal.attaches, 1);
  EXPECT_EQ(modal.getFrame(), frame.get());
  window->postPress({10, 10});
  window->postPress({75, 75});
  frame->idle();
  EXPECT_EQ(under->presses, 0) << "presses outside the modal view are dropped";
  EXPECT_EQ(modal.presses, 1);
  EXPECT_TRUE(frame->setModalView(nullptr));
  EXPECT_EQ(modal.removals, 1);
}

TEST_F(FrameTest, OnlyOneModalViewAtATime) {
  ProbeView first({0, 0, 10, 10});
  ProbeView second({0, 0, 10, 10});
  EXPECT_TRUE(frame->setModalView(&first));
  EXPECT_FALSE(frame->setModalView(&second));
  EXPECT_EQ(frame->getModalView(), &first);
  EXPECT_TRUE(frame->setModalView(nullptr));
  EXPECT_TRUE(frame->setModalView(&second));
  frame->setModalView(nullptr);
}

TEST_F(FrameTest, AModalViewIsUpdatedAtEveryIdle) {
  ProbeView* under = attach({0, 0, 10, 10});
  ProbeView modal({50, 50, 100, 100});
  firstPaint();
  frame->idle();
  frame->setModalView(&modal);
  const int underUpdates = under->updates;
  for (int i = 0; i < 3; ++i) frame->idle();
  EXPECT_EQ(modal.updates, 3);
  EXPECT_EQ(under->updates, underUpdates) << "with a modal view only it is updated";
  frame->setModalView(nullptr);
  EXPECT_TRUE(frame->isDirty()) << "the area it covered is redrawn";
}

TEST_F(FrameTest, APressTakesTheFocusAwayFirst) {
  ProbeView* focused = attach({0, 0, 10, 10});
  ProbeView* target = attach({100, 100, 120, 120});
  frame->setFocusView(focused);
  window->postPress({110, 110});
  frame->idle();
  EXPECT_EQ(focused->focusLosses, 1);
  EXPECT_TRUE(focused->lostFocusWithNullContext);
  EXPECT_EQ(frame->getFocusView(), nullptr);
  EXPECT_EQ(target->presses, 1);
}

TEST_F(FrameTest, ANewFocusViewTakesTheFocusFromThePreviousOne) {
  ProbeView* a = attach({0, 0, 10, 10});
  ProbeView* b = attach({0, 0, 10, 10});
  frame->setFocusView(a);
  frame->setFocusView(b);
  EXPECT_EQ(a->focusLosses, 1);
  EXPECT_EQ(b->focusLosses, 0);
  EXPECT_EQ(frame->getFocusView(), b);
  frame->removeView(b, true);
  EXPECT_EQ(frame->getFocusView(), nullptr) << "a released view cannot keep the focus";
}

TEST_F(FrameTest, PressesArrivingDuringATrackingLoopWaitUntilItEnds) {
  ProbeView* view = attach({0, 0, 100, 100});
  int nestedPressesSeen = -1;
  view->onPress = [&](DrawContext*, GuiPoint) {
    if (view->presses > 1) return;
    window->postPress({20, 20});
    window->postPaint();
    frame->idle();  // what pumpIdle does during the loop
    nestedPressesSeen = view->presses;
  };
  window->postPress({10, 10});
  frame->idle();
  EXPECT_EQ(nestedPressesSeen, 1) << "no press is handled inside another";
  EXPECT_FALSE(frame->isFirstDrawPending()) << "paint is handled during the loop";
  frame->idle();
  EXPECT_EQ(view->presses, 2) << "the queued press comes afterwards";
}

TEST_F(FrameTest, AViewRemovedAndReleasedByItsOwnPressSurvivesThePress) {
  const std::int32_t live = GuiView::liveCount();
  ProbeView* view = attach({0, 0, 100, 100});
  bool stillUsable = false;
  view->onPress = [&](DrawContext*, GuiPoint) {
    frame->removeView(view, true);
    stillUsable = view->getRefCount() == 1;  // held by the frame for the rest of the press
  };
  window->postPress({10, 10});
  frame->idle();
  EXPECT_TRUE(stillUsable);
  EXPECT_EQ(GuiView::liveCount(), live);
}

// ---- wheel and drop -------------------------------------------------------------------------

TEST_F(FrameTest, TheWheelGoesToTheViewUnderThePointer) {
  window->pointer().setOrigin({300, 200});
  ProbeView* left = attach({0, 0, 50, 50});
  ProbeView* right = attach({100, 0, 150, 50});
  window->pointer().setPointer({300 + 120, 200 + 30}, 0);
  EXPECT_TRUE(frame->onWheel(nullptr, {}, -1.0f));
  EXPECT_EQ(right->wheels, 1);
  EXPECT_EQ(right->lastWheelAt, (GuiPoint{120, 30}));
  EXPECT_EQ(right->lastDistance, -1.0f);
  EXPECT_EQ(left->wheels, 0);
  right->acceptsWheel = false;
  EXPECT_FALSE(frame->onWheel(nullptr, {}, 1.0f)) << "the view's answer is the frame's";
  window->pointer().setPointer({300 + 75, 200 + 100}, 0);
  EXPECT_FALSE(frame->onWheel(nullptr, {}, 1.0f)) << "no view under the pointer";
}

TEST_F(FrameTest, WheelEventsOfTheWindowReachTheViewUnderThePointer) {
  ProbeView* view = attach({0, 0, 50, 50});
  window->pointer().setPointer({10, 10}, 0);
  window->postWheel({10, 10}, 1.0f);
  frame->idle();
  EXPECT_EQ(view->wheels, 1);
  EXPECT_EQ(view->lastDistance, 1.0f);
}

TEST_F(FrameTest, DropsGoToTheTopmostEnabledViewThatTakesThem) {
  ProbeView* bottom = attach({0, 0, 100, 100});
  ProbeView* top = attach({0, 0, 100, 100});
  top->acceptsDrop = false;
  char name[] = "/tmp/file";
  void* items[] = {name};
  EXPECT_TRUE(frame->onDrop(items, 1, 0, {10, 10}));
  EXPECT_EQ(top->drops, 1) << "offered first";
  EXPECT_EQ(bottom->drops, 1) << "takes what the one above declined";
  EXPECT_EQ(bottom->lastDropCount, 1);
  EXPECT_EQ(bottom->lastDropType, 0);
  EXPECT_FALSE(frame->onDrop(items, 1, 0, {150, 10}));
}

TEST_F(FrameTest, DropsAreRefusedWhileAModalOrFocusViewExists) {
  ProbeView* view = attach({0, 0, 100, 100});
  void* items[] = {nullptr};
  frame->setFocusView(view);
  EXPECT_FALSE(frame->onDrop(items, 1, 1, {10, 10}));
  frame->setFocusView(nullptr);
  ProbeView modal({0, 0, 5, 5});
  frame->setModalView(&modal);
  EXPECT_FALSE(frame->onDrop(items, 1, 1, {10, 10}));
  frame->setModalView(nullptr);
  EXPECT_EQ(view->drops, 0);
  EXPECT_TRUE(frame->onDrop(items, 1, 1, {10, 10}));
}

// ---- cursor and geometry --------------------------------------------------------------------

TEST_F(FrameTest, CursorKindsReachTheWindowAndTheDefaultComesBackAtTheEnd) {
  for (std::int32_t kind = kCursorWait; kind <= kCursorDiagonalFalling; ++kind) {
    frame->setCursor(kind);
    EXPECT_EQ(window->cursor(), kind);
  }
  const std::int32_t changes = window->cursorChanges();
  frame->setCursor(7);
  frame->setCursor(-1);
  EXPECT_EQ(window->cursorChanges(), changes) << "other kinds change nothing";
  frame->setCursor(kCursorDefault);
  EXPECT_EQ(window->cursor(), kCursorDefault);
  frame->setCursor(kCursorMove);
  HeadlessFrameWindow* seen = window;
  std::int32_t lastCursor = -1;
  // Read the window's cursor just before the frame lets it go.
  struct Watch : GuiView {
    Watch(HeadlessFrameWindow* w, std::int32_t* out) : GuiView({}), window(w), cursor(out) {}
    bool onRemoved(GuiView*) override {
      *cursor = window->cursor();
      return true;
    }
    HeadlessFrameWindow* window;
    std::int32_t* cursor;
  };
  frame->addView(new Watch(seen, &lastCursor));
  frame.reset();
  EXPECT_EQ(lastCursor, kCursorDefault);
}

TEST_F(FrameTest, GeometryComesFromTheWindowTree) {
  window->setTopWindowPosition(GuiPoint{30, 40});
  window->setParentRect(GuiRect{5, 6, 605, 606});
  std::int32_t x = 0, y = 0;
  EXPECT_TRUE(frame->getPosition(x, y));
  EXPECT_EQ(x, 30);
  EXPECT_EQ(y, 40);
  GuiRect parent;
  EXPECT_TRUE(frame->getSize(parent));
  EXPECT_EQ(parent, (GuiRect{5, 6, 605, 606}));
  window->setTopWindowPosition(std::nullopt);
  EXPECT_FALSE(frame->getPosition(x, y));
}

TEST_F(FrameTest, SetSizeResizesFrameWindowAndBackBufferOnlyWhenTheSizeChanges) {
  EXPECT_FALSE(frame->setSize(200, 150)) << "unchanged";
  EXPECT_TRUE(frame->setSize(320, 240));
  EXPECT_EQ(frame->getSize(), (GuiRect{0, 0, 320, 240}));
  EXPECT_EQ(window->width(), 320);
  EXPECT_EQ(window->height(), 240);
  EXPECT_EQ(frame->getBackBuffer()->width(), 320);
  EXPECT_TRUE(frame->isDirty());
  EXPECT_FALSE(frame->setSize(0, 10));
  EXPECT_FALSE(frame->setSize(-5, 10));
}

}  // namespace
