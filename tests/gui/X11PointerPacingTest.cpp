// The frame window's live pointer queries during a press, on a private Xvfb with the real pointer
// (XTest): the test plays the part of a control's tracking loop (a button query, then a position
// query, pass after pass). While the pointer is held still every pass after the first live one
// waits for the pointer before answering, so a loop polls at most 1000 / kPaceMs times a second;
// a pointer that moves is answered at once and followed sample for sample; the quick-click
// tracker still answers the press and a queued release from the event stream.
// GoogleTest first: Xlib defines macros (None, Bool) that would break its headers.
#include <gtest/gtest.h>

#include "tests/gui/X11TestSupport.h"

#include <chrono>
#include <memory>
#include <thread>
#include <utility>

#include "gui/platform/x11/X11FrameWindow.h"
#include "gui/platform/x11/X11Window.h"
#include "tests/support/PrivateDisplay.h"

namespace {

constexpr int kHostX = 100;
constexpr int kHostY = 80;
constexpr GuiPoint kPressAt{40, 30};

class X11PointerPacing : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(display.usable()) << "Xvfb could not be started";
    host = std::make_unique<x11test::HostWindow>(kHostX, kHostY, 200, 150);
    ASSERT_TRUE(host->usable()) << x11test::kNeedsDisplay;
    std::unique_ptr<FrameWindow> made = backend.createChild(
        static_cast<std::uintptr_t>(host->window()), 200, 150, "Plugin0000pacing");
    ASSERT_NE(made, nullptr);
    window.reset(static_cast<X11FrameWindow*>(made.release()));
    // The window's first exposure, so that no event of its own is left to come.
    ASSERT_TRUE(takeEvent(FrameEvent::Kind::paint));
  }
  void TearDown() override {
    window.reset();
    host.reset();
  }

  // The left button goes down over the window and the frame takes the press from the queue.
  void pressAndTakeIt() {
    host->movePointer(kPressAt.h, kPressAt.v);
    XTestFakeButtonEvent(host->display(), 1, True, CurrentTime);
    XSync(host->display(), False);
    ASSERT_TRUE(takeEvent(FrameEvent::Kind::buttonPress));
  }
  // Reads the window's events until one of `kind` comes (for about two seconds at most).
  bool takeEvent(FrameEvent::Kind kind) {
    const auto arrived = [&] {
      const auto event = window->nextEvent(EventFilter::all);
      return event && event->kind == kind;
    };
    return x11test::pumpUntil([] {}, arrived);
  }
  // One pass of a tracking loop: the buttons, then the position (screen coordinates).
  std::pair<std::int32_t, GuiPoint> pass() {
    const std::int32_t buttons = window->mouseButtons();
    return {buttons, window->pointerPosition()};
  }
  static GuiPoint onScreen(GuiPoint inWindow) { return {kHostX + inWindow.h, kHostY + inWindow.v}; }

  PrivateDisplay display;
  X11FrameBackend backend;
  std::unique_ptr<x11test::HostWindow> host;
  std::unique_ptr<X11FrameWindow> window;
};

TEST_F(X11PointerPacing, AHeldStillPressWaitsForThePointerInEveryPassAfterTheFirstLiveOne) {
  pressAndTakeIt();
  constexpr int kPasses = 30;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kPasses; ++i) {
    const auto [buttons, where] = pass();
    ASSERT_EQ(buttons, kMouseLeft) << "pass " << i;
    ASSERT_EQ(where, onScreen(kPressAt)) << "pass " << i;
  }
  const auto elapsed = std::chrono::steady_clock::now() - start;
  // The first pass reads the press from the event stream, the second is the first live one.
  EXPECT_EQ(window->pacedWaits(), std::uint64_t{kPasses - 2});
  // Each wait lasts until the pointer changes, or at least kPaceMs: no faster than a human rate.
  EXPECT_GE(elapsed, std::chrono::milliseconds((kPasses - 2) * X11Window::kPaceMs));
  window->pressDispatched();
}

TEST_F(X11PointerPacing, ADragIsFollowedSampleForSampleAndAnsweredWithoutWaiting) {
  pressAndTakeIt();
  pass();
  pass();  // the first two passes: the press, then the first live read
  const std::uint64_t waitsBefore = window->pacedWaits();
  for (int i = 1; i <= 40; ++i) {
    const GuiPoint target{kPressAt.h + 3 * i, kPressAt.v + (i % 7) * 5 - 10};
    host->movePointer(target.h, target.v);  // synced: the server has moved the pointer
    const auto [buttons, where] = pass();
    ASSERT_EQ(buttons, kMouseLeft) << "sample " << i;
    ASSERT_EQ(where, onScreen(target)) << "sample " << i;
  }
  EXPECT_EQ(window->pacedWaits(), waitsBefore) << "a moving pointer never waits";
  // Held still again, the loop waits again.
  pass();
  pass();
  EXPECT_EQ(window->pacedWaits(), waitsBefore + 2);
  window->pressDispatched();
}

TEST_F(X11PointerPacing, AQueuedReleaseIsAnsweredAtOnceAndQueriesOutsideAPressNeverWait) {
  pressAndTakeIt();
  EXPECT_EQ(pass().first, kMouseLeft) << "the press, from the event stream";
  XTestFakeButtonEvent(host->display(), 1, False, CurrentTime);
  XSync(host->display(), False);
  EXPECT_EQ(pass().first, 0) << "the release";
  EXPECT_EQ(window->pacedWaits(), 0u);
  window->pressDispatched();
  // Outside a press the queries are plain live reads: a still pointer never waits.
  for (int i = 0; i < 5; ++i) EXPECT_EQ(pass().first, 0);
  EXPECT_EQ(window->pacedWaits(), 0u);
}

TEST_F(X11PointerPacing, AReleaseWhileAPassWaitsEndsTheWaitAndTheLoop) {
  pressAndTakeIt();
  pass();
  pass();
  // The hand lets go while the loop is held still; the loop must see it however long it polls.
  std::thread hand([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(other, nullptr);
    XTestFakeButtonEvent(other, 1, False, CurrentTime);
    XSync(other, False);
    XCloseDisplay(other);
  });
  int passes = 0;
  while (window->mouseButtons() == kMouseLeft && passes < 2000) ++passes;
  hand.join();
  EXPECT_LT(passes, 2000) << "the release was never seen";
  EXPECT_GE(passes, 1);
  // Every pass that read the button held waited; the last one may have waited for the release.
  EXPECT_GE(window->pacedWaits(), static_cast<std::uint64_t>(passes));
  EXPECT_LE(window->pacedWaits(), static_cast<std::uint64_t>(passes) + 1);
  window->pressDispatched();
}

}  // namespace
