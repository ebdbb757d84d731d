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
    liveViewsAtStart_ = GuiView::liveCount();
    frame_ = std::make_unique<GuiFrame>(kFrameRect, kParent, nullptr, backend_);
    window_ = backend_.lastWindow();
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    frame_.reset();
    EXPECT_EQ(GuiView::liveCount(), liveViewsAtStart_) << "views left alive after the frame";
  }

  // Makes a view and hands it to the frame; the frame holds the only reference.
  ProbeView* attach(const GuiRect& rect, GuiColor color = kColorRed) {
    auto* view = new ProbeView(rect, color);
    EXPECT_TRUE(frame_->addView(view));
    return view;
  }
  void firstPaint() {
    window_->postPaint();
    frame_->idle();
  }

  HeadlessFrameBackend backend_;
  std::unique_ptr<GuiFrame> frame_;
  HeadlessFrameWindow* window_ = nullptr;
  std::int32_t liveViewsAtStart_ = 0;
};

// ---- construction and window ----------------------------------------------------------------

TEST_F(FrameTest, CreatesAChildWindowOfTheParentWithTheFrameSizeAndClassName) {
  EXPECT_EQ(window_->parent(), 0x1234u);
  EXPECT_EQ(window_->width(), 200);
  EXPECT_EQ(window_->height(), 150);
  EXPECT_EQ(window_->name(), GuiFrame::windowClassName());
  EXPECT_TRUE(frame_->isWindowOpen());
  EXPECT_TRUE(frame_->isFirstDrawPending());
  EXPECT_EQ(frame_->getSystemWindow(), kParent);
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
    GuiFrame second(kFrameRect, kParent, nullptr, backend_);
    EXPECT_EQ(GuiFrame::windowClassUsers(), before + 1);
  }
  EXPECT_EQ(GuiFrame::windowClassUsers(), before) << "the first frame still uses the class";
  EXPECT_EQ(GuiFrame::windowClassName(), name);
  frame_.reset();
  EXPECT_EQ(GuiFrame::windowClassUsers(), before - 1);
}

TEST_F(FrameTest, AFrameWhoseWindowCannotBeMadeIsClosedAndDoesNothing) {
  backend_.setRefuseWindows(true);
  GuiFrame refused(kFrameRect, kParent, nullptr, backend_);
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
  window_->postDestroyed();
  frame_->idle();
  EXPECT_FALSE(frame_->isWindowOpen());
  EXPECT_EQ(frame_->getSystemWindow(), nullptr);
  view->setDirty(true);
  frame_->idle();
  frame_->drawView(nullptr);
  EXPECT_EQ(view->draws, drawsBefore);
  std::int32_t x = 0, y = 0;
  EXPECT_FALSE(frame_->getPosition(x, y));
}

// ---- the view list and references ----------------------------------------------------------

TEST_F(FrameTest, AddViewTakesOverTheCallersReferenceAndAttachesTheView) {
  ProbeView* view = attach({0, 0, 10, 10});
  EXPECT_EQ(view->getRefCount(), 1);
  EXPECT_EQ(view->getFrame(), frame_.get());
  EXPECT_EQ(view->attaches, 1);
  EXPECT_EQ(view->lastParent, frame_.get());
  EXPECT_TRUE(frame_->containsView(view));
  EXPECT_EQ(frame_->getViewCount(), 1);
}

TEST_F(FrameTest, AddingAViewTwiceIsRefused) {
  ProbeView* view = attach({0, 0, 10, 10});
  EXPECT_FALSE(frame_->addView(view)) << "a second entry would be released twice";
  EXPECT_EQ(frame_->getViewCount(), 1);
  EXPECT_EQ(view->attaches, 1);
  EXPECT_FALSE(frame_->addView(nullptr));
  EXPECT_FALSE(frame_->addView(frame_.get()));
  EXPECT_EQ(frame_->getViewCount(), 1);
}

TEST_F(FrameTest, TheListGrowsPastItsFirstTenEntriesInOrder) {
  std::vector<ProbeView*> views;
  for (int i = 0; i < 25; ++i) views.push_back(attach({i, 0, i + 1, 1}));
  ASSERT_EQ(frame_->getViewCount(), 25);
  for (int i = 0; i < 25; ++i) EXPECT_EQ(frame_->getView(i), views[static_cast<std::size_t>(i)]);
  EXPECT_EQ(frame_->getView(25), nullptr);
  EXPECT_EQ(frame_->getView(-1), nullptr);
}

TEST_F(FrameTest, RemovingAnAbsentViewAnswersTrueAndChangesNothing) {
  ProbeView* inside = attach({0, 0, 10, 10});
  ProbeView outside({0, 0, 5, 5});
  EXPECT_TRUE(frame_->removeView(&outside, true));
  EXPECT_EQ(outside.removals, 0);
  EXPECT_EQ(outside.getRefCount(), 1) << "an absent view is not released";
  EXPECT_EQ(frame_->getViewCount(), 1);
  EXPECT_TRUE(frame_->containsView(inside));
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
    EXPECT_TRUE(frame_->removeView(view, c.withRelease)) << c.name;
    EXPECT_FALSE(frame_->containsView(view)) << c.name;
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
  frame_->removeView(b, true);
  ASSERT_EQ(frame_->getViewCount(), 2);
  EXPECT_EQ(frame_->getView(0), a);
  EXPECT_EQ(frame_->getView(1), c);
}

TEST_F(FrameTest, RemoveAllTakesEveryViewOutAndReleasesOnlyWhenAsked) {
  const std::int32_t live = GuiView::liveCount();
  ProbeView* kept = attach({0, 0, 1, 1});
  ProbeView* other = attach({0, 0, 1, 1});
  frame_->setFocusView(other);
  EXPECT_TRUE(frame_->removeAll(false));
  EXPECT_EQ(frame_->getViewCount(), 0);
  EXPECT_EQ(other->focusLosses, 1) << "the focus view loses its focus first";
  EXPECT_EQ(frame_->getFocusView(), nullptr);
  EXPECT_EQ(kept->removals, 1);
  EXPECT_EQ(GuiView::liveCount(), live + 2) << "without release the views stay alive";
  ASSERT_TRUE(frame_->addView(kept));
  ASSERT_TRUE(frame_->addView(other));
  EXPECT_TRUE(frame_->removeAll(true));
  EXPECT_EQ(GuiView::liveCount(), live);
}

TEST_F(FrameTest, DestroyingTheFrameReleasesEveryAttachedViewAndTheBackground) {
  const std::int32_t liveBitmaps = GuiBitmap::liveCount();
  auto* background = new GuiBitmap(20, 20);
  frame_->setBackground(background);
  background->release();  // the frame holds the only reference now
  for (int i = 0; i < 5; ++i) attach({0, 0, 1, 1});
  frame_.reset();
  EXPECT_EQ(GuiView::liveCount(), liveViewsAtStart_);
  EXPECT_EQ(GuiBitmap::liveCount(), liveBitmaps);
}

// ---- drawing --------------------------------------------------------------------------------

TEST_F(FrameTest, AnEmptyFrameDrawsNothingAndReportsNothingDirty) {
  firstPaint();
  frame_->idle();
  EXPECT_FALSE(frame_->needsDrawing());
  EXPECT_FALSE(frame_->isDirty());
  const DrawSurface* buffer = frame_->getBackBuffer();
  for (GuiPoint p : {GuiPoint{0, 0}, GuiPoint{100, 75}, GuiPoint{199, 149}}) {
    EXPECT_EQ(buffer->pixel(p.h, p.v), kColorBlack) << p.h << "," << p.v;
  }
  const std::int32_t presents = window_->presentCount();
  for (int i = 0; i < 5; ++i) frame_->idle();
  EXPECT_EQ(window_->presentCount(), presents) << "idle with nothing dirty shows nothing";
}

TEST_F(FrameTest, NothingIsDrawnBeforeTheWindowsFirstPaint) {
  ProbeView* view = attach({10, 10, 20, 20});
  frame_->idle();
  frame_->idle();
  EXPECT_EQ(view->draws, 0);
  EXPECT_TRUE(frame_->isFirstDrawPending());
  window_->postPaint();
  frame_->idle();
  EXPECT_FALSE(frame_->isFirstDrawPending());
  EXPECT_GE(view->draws, 1);
  EXPECT_EQ(frame_->getBackBuffer()->pixel(15, 15), kColorRed);
  EXPECT_EQ(window_->presentedArea(), kFrameRect) << "the whole lost area is shown again";
}

TEST_F(FrameTest, FullDrawPaintsBackgroundThenViewsInOrderThenTheModalView) {
  ProbeView* below = attach({10, 10, 60, 60}, kColorRed);
  ProbeView* above = attach({40, 40, 90, 90}, kColorBlue);
  ProbeView modal({80, 80, 120, 120}, kColorYellow);
  ASSERT_TRUE(frame_->setModalView(&modal));
  window_->postPaint();
  frame_->idle();
  const DrawSurface* buffer = frame_->getBackBuffer();
  EXPECT_EQ(buffer->pixel(20, 20), kColorRed);
  EXPECT_EQ(buffer->pixel(50, 50), kColorBlue) << "later views lie on top";
  EXPECT_EQ(buffer->pixel(85, 85), kColorYellow) << "the modal view is drawn last";
  EXPECT_GE(below->draws, 1);
  EXPECT_GE(above->draws, 1);
  frame_->setModalView(nullptr);
}

TEST_F(FrameTest, FullDrawKeepsEachViewsDirtyState) {
  ProbeView* dirtyView = attach({0, 0, 10, 10});
  ProbeView* cleanView = attach({20, 0, 30, 10});
  cleanView->setDirty(false);
  frame_->drawView(nullptr);
  EXPECT_TRUE(dirtyView->isDirty());
  EXPECT_FALSE(cleanView->isDirty());
  EXPECT_EQ(cleanView->draws, 1);
}

TEST_F(FrameTest, IdleRedrawsOnlyDirtyViews) {
  ProbeView* a = attach({0, 0, 10, 10});
  ProbeView* b = attach({20, 0, 30, 10});
  firstPaint();  // the frame itself starts dirty: this idle draws everything once
  frame_->idle();
  EXPECT_FALSE(frame_->needsDrawing());
  const int aDraws = a->draws;
  const int bDraws = b->draws;
  b->setDirty(true);
  EXPECT_TRUE(frame_->needsDrawing());
  frame_->idle();
  EXPECT_EQ(a->draws, aDraws);
  EXPECT_EQ(b->draws, bDraws + 1);
  EXPECT_FALSE(b->isDirty());
  frame_->idle();
  EXPECT_EQ(b->draws, bDraws + 1) << "a clean view is not drawn again";
}

TEST_F(FrameTest, ADirtyFrameIsRedrawnWholeAtIdle) {
  ProbeView* a = attach({0, 0, 10, 10});
  firstPaint();
  frame_->idle();
  a->setDirty(false);
  const int draws = a->draws;
  frame_->setDirty(true);
  frame_->idle();
  EXPECT_EQ(a->draws, draws + 1);
  EXPECT_FALSE(frame_->isDirty());
}

TEST_F(FrameTest, DrawViewDrawsOnlyAListedViewAndEverythingOtherwise) {
  ProbeView* a = attach({0, 0, 10, 10});
  ProbeView* b = attach({20, 0, 30, 10});
  frame_->drawView(a);
  EXPECT_EQ(a->draws, 1);
  EXPECT_EQ(b->draws, 0);
  ProbeView stranger({0, 0, 1, 1});
  frame_->drawView(&stranger);
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
    window_->postPress(c.where);
    frame_->idle();
    EXPECT_EQ(top->presses, c.expectTop) << c.name;
    EXPECT_EQ(bottom->presses, c.expectBottom) << c.name;
    if (c.expectTop) {
      EXPECT_EQ(top->lastPress, c.where) << c.name;
    }
    frame_->removeAll(true);
  }
}

TEST_F(FrameTest, MiddleAndRightButtonsPressLikeTheLeft) {
  ProbeView* view = attach({0, 0, 100, 100});
  window_->postPress({5, 5}, 2);
  window_->postPress({6, 6}, 3);
  frame_->idle();
  EXPECT_EQ(view->presses, 2);
}

TEST_F(FrameTest, AModalViewTakesPressesInsideItAndDropsTheRest) {
  ProbeView* under = attach({0, 0, 200, 150});
  ProbeView modal({50, 50, 100, 100});
  ASSERT_TRUE(frame_->setModalView(&modal));
  EXPECT_EQ(modal.attaches, 1);
  EXPECT_EQ(modal.getFrame(), frame_.get());
  window_->postPress({10, 10});
  window_->postPress({75, 75});
  frame_->idle();
  EXPECT_EQ(under->presses, 0) << "presses outside the modal view are dropped";
  EXPECT_EQ(modal.presses, 1);
  EXPECT_TRUE(frame_->setModalView(nullptr));
  EXPECT_EQ(modal.removals, 1);
}

TEST_F(FrameTest, OnlyOneModalViewAtATime) {
  ProbeView first({0, 0, 10, 10});
  ProbeView second({0, 0, 10, 10});
  EXPECT_TRUE(frame_->setModalView(&first));
  EXPECT_FALSE(frame_->setModalView(&second));
  EXPECT_EQ(frame_->getModalView(), &first);
  EXPECT_TRUE(frame_->setModalView(nullptr));
  EXPECT_TRUE(frame_->setModalView(&second));
  frame_->setModalView(nullptr);
}

TEST_F(FrameTest, AModalViewIsUpdatedAtEveryIdle) {
  ProbeView* under = attach({0, 0, 10, 10});
  ProbeView modal({50, 50, 100, 100});
  firstPaint();
  frame_->idle();
  frame_->setModalView(&modal);
  const int underUpdates = under->updates;
  for (int i = 0; i < 3; ++i) frame_->idle();
  EXPECT_EQ(modal.updates, 3);
  EXPECT_EQ(under->updates, underUpdates) << "with a modal view only it is updated";
  frame_->setModalView(nullptr);
  EXPECT_TRUE(frame_->isDirty()) << "the area it covered is redrawn";
}

TEST_F(FrameTest, APressTakesTheFocusAwayFirst) {
  ProbeView* focused = attach({0, 0, 10, 10});
  ProbeView* target = attach({100, 100, 120, 120});
  frame_->setFocusView(focused);
  window_->postPress({110, 110});
  frame_->idle();
  EXPECT_EQ(focused->focusLosses, 1);
  EXPECT_TRUE(focused->lostFocusWithNullContext);
  EXPECT_EQ(frame_->getFocusView(), nullptr);
  EXPECT_EQ(target->presses, 1);
}

TEST_F(FrameTest, ANewFocusViewTakesTheFocusFromThePreviousOne) {
  ProbeView* a = attach({0, 0, 10, 10});
  ProbeView* b = attach({0, 0, 10, 10});
  frame_->setFocusView(a);
  frame_->setFocusView(b);
  EXPECT_EQ(a->focusLosses, 1);
  EXPECT_EQ(b->focusLosses, 0);
  EXPECT_EQ(frame_->getFocusView(), b);
  frame_->removeView(b, true);
  EXPECT_EQ(frame_->getFocusView(), nullptr) << "a released view cannot keep the focus";
}

TEST_F(FrameTest, PressesArrivingDuringATrackingLoopWaitUntilItEnds) {
  ProbeView* view = attach({0, 0, 100, 100});
  int nestedPressesSeen = -1;
  view->onPress = [&](DrawContext*, GuiPoint) {
    if (view->presses > 1) return;
    window_->postPress({20, 20});
    window_->postPaint();
    frame_->idle();  // what pumpIdle does during the loop
    nestedPressesSeen = view->presses;
  };
  window_->postPress({10, 10});
  frame_->idle();
  EXPECT_EQ(nestedPressesSeen, 1) << "no press is handled inside another";
  EXPECT_FALSE(frame_->isFirstDrawPending()) << "paint is handled during the loop";
  frame_->idle();
  EXPECT_EQ(view->presses, 2) << "the queued press comes afterwards";
}

TEST_F(FrameTest, AViewRemovedAndReleasedByItsOwnPressSurvivesThePress) {
  const std::int32_t live = GuiView::liveCount();
  ProbeView* view = attach({0, 0, 100, 100});
  bool stillUsable = false;
  view->onPress = [&](DrawContext*, GuiPoint) {
    frame_->removeView(view, true);
    stillUsable = view->getRefCount() == 1;  // held by the frame for the rest of the press
  };
  window_->postPress({10, 10});
  frame_->idle();
  EXPECT_TRUE(stillUsable);
  EXPECT_EQ(GuiView::liveCount(), live);
}

// ---- wheel and drop -------------------------------------------------------------------------

TEST_F(FrameTest, TheWheelGoesToTheViewUnderThePointer) {
  window_->pointer().setOrigin({300, 200});
  ProbeView* left = attach({0, 0, 50, 50});
  ProbeView* right = attach({100, 0, 150, 50});
  window_->pointer().setPointer({300 + 120, 200 + 30}, 0);
  EXPECT_TRUE(frame_->onWheel(nullptr, {}, -1.0f));
  EXPECT_EQ(right->wheels, 1);
  EXPECT_EQ(right->lastWheelAt, (GuiPoint{120, 30}));
  EXPECT_EQ(right->lastDistance, -1.0f);
  EXPECT_EQ(left->wheels, 0);
  right->acceptsWheel = false;
  EXPECT_FALSE(frame_->onWheel(nullptr, {}, 1.0f)) << "the view's answer is the frame's";
  window_->pointer().setPointer({300 + 75, 200 + 100}, 0);
  EXPECT_FALSE(frame_->onWheel(nullptr, {}, 1.0f)) << "no view under the pointer";
}

TEST_F(FrameTest, WheelEventsOfTheWindowReachTheViewUnderThePointer) {
  ProbeView* view = attach({0, 0, 50, 50});
  window_->pointer().setPointer({10, 10}, 0);
  window_->postWheel({10, 10}, 1.0f);
  frame_->idle();
  EXPECT_EQ(view->wheels, 1);
  EXPECT_EQ(view->lastDistance, 1.0f);
}

TEST_F(FrameTest, DropsGoToTheTopmostEnabledViewThatTakesThem) {
  ProbeView* bottom = attach({0, 0, 100, 100});
  ProbeView* top = attach({0, 0, 100, 100});
  top->acceptsDrop = false;
  char name[] = "/tmp/file";
  void* items[] = {name};
  EXPECT_TRUE(frame_->onDrop(items, 1, 0, {10, 10}));
  EXPECT_EQ(top->drops, 1) << "offered first";
  EXPECT_EQ(bottom->drops, 1) << "takes what the one above declined";
  EXPECT_EQ(bottom->lastDropCount, 1);
  EXPECT_EQ(bottom->lastDropType, 0);
  EXPECT_FALSE(frame_->onDrop(items, 1, 0, {150, 10}));
}

TEST_F(FrameTest, DropsAreRefusedWhileAModalOrFocusViewExists) {
  ProbeView* view = attach({0, 0, 100, 100});
  void* items[] = {nullptr};
  frame_->setFocusView(view);
  EXPECT_FALSE(frame_->onDrop(items, 1, 1, {10, 10}));
  frame_->setFocusView(nullptr);
  ProbeView modal({0, 0, 5, 5});
  frame_->setModalView(&modal);
  EXPECT_FALSE(frame_->onDrop(items, 1, 1, {10, 10}));
  frame_->setModalView(nullptr);
  EXPECT_EQ(view->drops, 0);
  EXPECT_TRUE(frame_->onDrop(items, 1, 1, {10, 10}));
}

// ---- cursor and geometry --------------------------------------------------------------------

TEST_F(FrameTest, CursorKindsReachTheWindowAndTheDefaultComesBackAtTheEnd) {
  for (std::int32_t kind = kCursorWait; kind <= kCursorDiagonalFalling; ++kind) {
    frame_->setCursor(kind);
    EXPECT_EQ(window_->cursor(), kind);
  }
  const std::int32_t changes = window_->cursorChanges();
  frame_->setCursor(7);
  frame_->setCursor(-1);
  EXPECT_EQ(window_->cursorChanges(), changes) << "other kinds change nothing";
  frame_->setCursor(kCursorDefault);
  EXPECT_EQ(window_->cursor(), kCursorDefault);
  frame_->setCursor(kCursorMove);
  HeadlessFrameWindow* seen = window_;
  std::int32_t lastCursor = -1;
  // Read the window's cursor just before the frame lets it go.
  struct Watch : GuiView {
    Watch(HeadlessFrameWindow* w, std::int32_t* out) : GuiView({}), w(w), out(out) {}
    bool onRemoved(GuiView*) override {
      *out = w->cursor();
      return true;
    }
    HeadlessFrameWindow* w;
    std::int32_t* out;
  };
  frame_->addView(new Watch(seen, &lastCursor));
  frame_.reset();
  EXPECT_EQ(lastCursor, kCursorDefault);
}

TEST_F(FrameTest, GeometryComesFromTheWindowTree) {
  window_->setTopWindowPosition(GuiPoint{30, 40});
  window_->setParentRect(GuiRect{5, 6, 605, 606});
  std::int32_t x = 0, y = 0;
  EXPECT_TRUE(frame_->getPosition(x, y));
  EXPECT_EQ(x, 30);
  EXPECT_EQ(y, 40);
  GuiRect parent;
  EXPECT_TRUE(frame_->getSize(parent));
  EXPECT_EQ(parent, (GuiRect{5, 6, 605, 606}));
  window_->setTopWindowPosition(std::nullopt);
  EXPECT_FALSE(frame_->getPosition(x, y));
}

TEST_F(FrameTest, SetSizeResizesFrameWindowAndBackBufferOnlyWhenTheSizeChanges) {
  EXPECT_FALSE(frame_->setSize(200, 150)) << "unchanged";
  EXPECT_TRUE(frame_->setSize(320, 240));
  EXPECT_EQ(frame_->getSize(), (GuiRect{0, 0, 320, 240}));
  EXPECT_EQ(window_->width(), 320);
  EXPECT_EQ(window_->height(), 240);
  EXPECT_EQ(frame_->getBackBuffer()->width(), 320);
  EXPECT_TRUE(frame_->isDirty());
  EXPECT_FALSE(frame_->setSize(0, 10));
  EXPECT_FALSE(frame_->setSize(-5, 10));
}

}  // namespace
