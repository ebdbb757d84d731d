// The frame on the real X11 back end (Xvfb in the test run): its child window inside a host
// window, the first paint and idle redraws read back from the screen, real presses and wheel
// steps through XTest, the host destroying its window, geometry, and bad window ids that must not
// end the process. The server is held only while the test itself moves the pointer or reads
// pixels: the frame talks to the server on a connection of its own.
// GoogleTest first: Xlib defines macros (None, Bool) that would break its headers.
#include <gtest/gtest.h>

#include "tests/gui/X11TestSupport.h"

#include <memory>

#include "gui/GuiFrame.h"
#include "gui/platform/x11/X11FrameWindow.h"
#include "tests/gui/FrameTestSupport.h"

namespace {

using x11test::HostWindow;
using x11test::ServerGrab;

// Away from the other X11 tests' windows, so that none covers another.
constexpr int kHostX = 700;
constexpr int kHostY = 40;

class X11FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host = std::make_unique<HostWindow>(kHostX, kHostY, 240, 180);
    ASSERT_TRUE(host->usable()) << x11test::kNeedsDisplay;
    frame = std::make_unique<GuiFrame>(GuiRect{0, 0, 200, 150}, host->asParent(), nullptr, backend);
    ASSERT_TRUE(frame->isWindowOpen());
    view = new ProbeView({20, 20, 60, 60}, kColorRed);
    frame->addView(view);
    ASSERT_TRUE(pumpFrameUntil([&] { return !frame->isFirstDrawPending(); }))
        << "the first Expose never arrived";
  }
  void TearDown() override {
    frame.reset();
    host.reset();
  }

  bool pumpFrameUntil(const std::function<bool()>& done) {
    return x11test::pumpUntil([&] { frame->idle(); }, done);
  }
  Window frameWindow() const { return static_cast<Window>(frame->getPlatformWindow()->nativeId()); }
  std::uint32_t framePixel(int x, int y) {
    const ServerGrab grab(host->display(), host->window());
    return host->pixel(frameWindow(), x, y);
  }
  void clickAt(int x, int y, unsigned int button) {
    const ServerGrab grab(host->display(), host->window());
    host->movePointer(x, y);
    host->click(button);
  }

  X11FrameBackend backend;
  std::unique_ptr<HostWindow> host;
  std::unique_ptr<GuiFrame> frame;
  ProbeView* view = nullptr;
};

TEST_F(X11FrameTest, TheFrameWindowIsAChildOfTheHostWindowNamedByTheWindowClass) {
  const std::vector<Window> children = host->children();
  ASSERT_EQ(children.size(), 1u);
  EXPECT_EQ(children[0], frameWindow());
  XClassHint hint{};
  ASSERT_TRUE(XGetClassHint(host->display(), children[0], &hint));
  EXPECT_STREQ(hint.res_class, GuiFrame::windowClassName());
  XFree(hint.res_name);
  XFree(hint.res_class);
  XWindowAttributes attributes{};
  XGetWindowAttributes(host->display(), children[0], &attributes);
  EXPECT_EQ(attributes.width, 200);
  EXPECT_EQ(attributes.height, 150);
}

TEST_F(X11FrameTest, TheFirstPaintAndIdleRedrawsReachTheScreen) {
  ASSERT_TRUE(host->hasTrueColour24()) << x11test::kNeeds24Bit;
  EXPECT_EQ(framePixel(40, 40), 0xFF0000u) << "the view after the first paint";
  EXPECT_EQ(framePixel(100, 100), 0x000000u) << "the empty back buffer elsewhere";
  auto* other = new ProbeView({100, 80, 140, 120}, kColorCyan);
  frame->addView(other);
  frame->idle();
  EXPECT_EQ(framePixel(120, 100), 0x00FFFFu) << "a new (dirty) view is drawn at the next idle";
}

TEST_F(X11FrameTest, AnExposedWindowIsPaintedAgainFromTheBackBuffer) {
  ASSERT_TRUE(host->hasTrueColour24()) << x11test::kNeeds24Bit;
  const int drawsBefore = view->draws;
  XClearArea(host->display(), frameWindow(), 0, 0, 0, 0, True);  // lose everything, send Expose
  XSync(host->display(), False);
  ASSERT_TRUE(pumpFrameUntil([&] { return view->draws > drawsBefore; }));
  EXPECT_EQ(framePixel(40, 40), 0xFF0000u);
}

TEST_F(X11FrameTest, ARealPressReachesTheViewUnderIt) {
  clickAt(30, 45, 1);
  ASSERT_TRUE(pumpFrameUntil([&] { return view->presses > 0; }));
  EXPECT_EQ(view->presses, 1);
  EXPECT_EQ(view->lastPress, (GuiPoint{30, 45}));
  clickAt(150, 130, 3);  // outside the view
  clickAt(59, 59, 3);    // the right button, on the view's last pixel
  ASSERT_TRUE(pumpFrameUntil([&] { return view->presses > 1; }));
  EXPECT_EQ(view->presses, 2);
  EXPECT_EQ(view->lastPress, (GuiPoint{59, 59}));
}

TEST_F(X11FrameTest, WheelButtonsAreWheelStepsForTheViewUnderThePointer) {
  clickAt(40, 40, 4);
  ASSERT_TRUE(pumpFrameUntil([&] { return view->wheels > 0; }));
  EXPECT_EQ(view->lastDistance, 1.0f);
  clickAt(40, 40, 5);
  ASSERT_TRUE(pumpFrameUntil([&] { return view->wheels > 1; }));
  EXPECT_EQ(view->lastDistance, -1.0f);
  EXPECT_EQ(view->presses, 0) << "wheel steps are not presses";
}

TEST_F(X11FrameTest, TheHostDestroyingItsWindowClosesTheFrame) {
  host->destroyWindow();
  ASSERT_TRUE(pumpFrameUntil([&] { return !frame->isWindowOpen(); }));
  frame->idle();
  frame->setCursor(kCursorWait);
  view->setDirty(true);
  frame->drawView(nullptr);
  std::int32_t x = 0, y = 0;
  EXPECT_FALSE(frame->getPosition(x, y));
}

TEST_F(X11FrameTest, GeometryReadsAndResizesTheWindowTree) {
  GuiRect parent;
  ASSERT_TRUE(frame->getSize(parent));
  EXPECT_EQ(parent, (GuiRect{kHostX, kHostY, kHostX + 240, kHostY + 180}));
  std::int32_t x = -1, y = -1;
  ASSERT_TRUE(frame->getPosition(x, y));
  EXPECT_EQ(x, kHostX) << "the host window wraps the frame closely: it is the top window";
  EXPECT_EQ(y, kHostY);
  ASSERT_TRUE(frame->setSize(220, 160));
  XWindowAttributes attributes{};
  XSync(host->display(), False);
  XGetWindowAttributes(host->display(), frameWindow(), &attributes);
  EXPECT_EQ(attributes.width, 220);
  EXPECT_EQ(attributes.height, 160);
  XGetWindowAttributes(host->display(), host->window(), &attributes);
  EXPECT_EQ(attributes.width, 260) << "the close host window grows with the frame";
  EXPECT_EQ(attributes.height, 190);
}

TEST_F(X11FrameTest, CursorsCanBeSetAndRestored) {
  for (std::int32_t kind = kCursorDefault; kind <= kCursorDiagonalFalling; ++kind) {
    frame->setCursor(kind);
  }
  frame->setCursor(kCursorDefault);
  EXPECT_TRUE(frame->isWindowOpen());
}

struct BadParentCase {
  const char* name;
  std::uintptr_t id;
};

TEST(X11FrameBadParent, ABadParentWindowFailsWithoutEndingTheProcess) {
  HostWindow host(kHostX, kHostY, 10, 10);
  ASSERT_TRUE(host.usable()) << x11test::kNeedsDisplay;
  const BadParentCase cases[] = {
      {"no window", 0},
      {"unused id", 0x7ffffff},
      {"all bits", ~std::uintptr_t{0}},
      {"a pixmap, not a window", static_cast<std::uintptr_t>(XCreatePixmap(
                                     host.display(), host.window(), 4, 4,
                                     static_cast<unsigned>(DefaultDepth(host.display(), 0))))}};
  XSync(host.display(), False);
  X11FrameBackend backend;
  for (const BadParentCase& c : cases) {
    GuiFrame frame({0, 0, 50, 50}, reinterpret_cast<void*>(c.id), nullptr, backend);
    EXPECT_FALSE(frame.isWindowOpen()) << c.name;
    frame.idle();
  }
  GuiFrame good({0, 0, 50, 50}, host.asParent(), nullptr, backend);
  EXPECT_TRUE(good.isWindowOpen()) << "the process and the back end still work";
}

}  // namespace
