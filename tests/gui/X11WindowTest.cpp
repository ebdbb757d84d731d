// The X11 back end on a real X server (Xvfb in the test run): child windows, presenting the back
// buffer, the window origin, the live pointer driven through the XTest extension, second clicks,
// and failure without ending the process when a window id is bad or a window vanishes.
// GoogleTest first: Xlib defines macros (None, Bool) that would break its headers.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <thread>

#include "gui/DrawContext.h"
#include "gui/platform/x11/X11Display.h"
#include "gui/platform/x11/X11Window.h"
#include "tests/gui/X11TestSupport.h"

namespace {

constexpr GuiPoint kParentPosition{50, 40};

using x11test::ServerGrab;

class X11Test : public ::testing::Test {
 protected:
  void SetUp() override {
    display = X11Display::open();
    ASSERT_TRUE(display) << x11test::kNeedsDisplay;
    dpy = display->raw();
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    ASSERT_TRUE(XTestQueryExtension(dpy, &eventBase, &errorBase, &major, &minor))
        << x11test::kNeedsDisplay;
    parent = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), kParentPosition.h, kParentPosition.v,
                                 200, 150, 0, 0, 0);
    XMapWindow(dpy, parent);
    window = X11Window::createChild(*display, parent, 120, 90, "Plugin0000test");
    ASSERT_NE(window, nullptr);
    waitUntilViewable(window->id());
  }

  void TearDown() override {
    if (!display) return;
    releaseEverything();
    window.reset();
    XDestroyWindow(dpy, parent);
    XSync(dpy, True);
  }

  void waitUntilViewable(Window id) {
    for (int i = 0; i < 400; ++i) {
      XWindowAttributes attributes{};
      XGetWindowAttributes(dpy, id, &attributes);
      if (attributes.map_state == IsViewable) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    FAIL() << "window never became viewable";
  }

  void key(KeySym symbol, bool down) {
    XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, symbol), down ? True : False, CurrentTime);
  }
  void button(unsigned int number, bool down) {
    XTestFakeButtonEvent(dpy, number, down ? True : False, CurrentTime);
  }
  void movePointerTo(GuiPoint windowPoint) {
    XTestFakeMotionEvent(dpy, DefaultScreen(dpy), kParentPosition.h + windowPoint.h,
                         kParentPosition.v + windowPoint.v, CurrentTime);
  }
  void releaseEverything() {
    for (unsigned int b = 1; b <= 3; ++b) button(b, false);
    for (KeySym k : {XK_Control_L, XK_Shift_L, XK_Alt_L}) key(k, false);
    XSync(dpy, True);
  }

  std::unique_ptr<X11Display> display;
  Display* dpy = nullptr;
  Window parent = 0;
  std::unique_ptr<X11Window> window;
};

TEST_F(X11Test, ContextReadsTheWindowOriginOnTheScreen) {
  DrawContext ctx(nullptr, nullptr, window.get());
  EXPECT_EQ(ctx.getWindowOrigin(), kParentPosition);
}

TEST_F(X11Test, PaintedPixelsReachTheWindowWhenTheContextEnds) {
  XWindowAttributes attributes{};
  XGetWindowAttributes(dpy, window->id(), &attributes);
  ASSERT_TRUE(attributes.depth >= 24 && attributes.visual->red_mask == 0xff0000 &&
              attributes.visual->green_mask == 0xff00 && attributes.visual->blue_mask == 0xff)
      << x11test::kNeeds24Bit;
  const ServerGrab grab(dpy, parent);
  DrawSurface backBuffer(120, 90);
  {
    DrawContext ctx(nullptr, &backBuffer, window.get());
    ctx.setFillColor(kColorRed);
    ctx.fillRect({9, 9, 40, 30});
    ctx.drawPoint({60, 50}, kColorCyan);
  }
  XSync(dpy, False);
  XImage* image = XGetImage(dpy, window->id(), 0, 0, 120, 90, AllPlanes, ZPixmap);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(XGetPixel(image, 20, 20) & 0xffffff, 0xff0000u);
  EXPECT_EQ(XGetPixel(image, 60, 50) & 0xffffff, 0x00ffffu);
  EXPECT_EQ(XGetPixel(image, 9, 9) & 0xffffff, 0x000000u) << "fillRect starts at left + 1";
  XDestroyImage(image);
}

struct PressCase {
  const char* name;
  KeySym modifier;  // NoSymbol for none
  unsigned int button;
  std::int32_t expected;
};

TEST_F(X11Test, QueryMouseButtonsReadsTheRealPointerAndModifiers) {
  const PressCase cases[] = {
      {"left + control", XK_Control_L, 1, 17},
      {"right + shift", XK_Shift_L, 3, 12},
      {"middle", NoSymbol, 2, 2},
      {"left + alt", XK_Alt_L, 1, 33},
  };
  const ServerGrab grab(dpy, parent);
  for (const PressCase& c : cases) {
    DrawContext ctx(nullptr, nullptr, window.get());
    movePointerTo({30, 20});
    if (c.modifier != NoSymbol) key(c.modifier, true);
    button(c.button, true);
    XSync(dpy, False);
    EXPECT_EQ(ctx.queryMouseButtons(), c.expected) << c.name;
    releaseEverything();
    EXPECT_EQ(ctx.queryMouseButtons(), 0) << c.name << " after release";
  }
}

TEST_F(X11Test, QueryMouseLocationIsRelativeToTheWindow) {
  const ServerGrab grab(dpy, parent);
  DrawContext ctx(nullptr, nullptr, window.get());
  const GuiPoint targets[] = {{30, 20}, {0, 0}, {119, 89}, {-10, 150}};
  for (const GuiPoint target : targets) {
    movePointerTo(target);
    XSync(dpy, False);
    GuiPoint where;
    ctx.queryMouseLocation(where);
    EXPECT_EQ(where, target);
  }
}

TEST_F(X11Test, SecondClickIsTakenFromTheQueueWithinTheDoubleClickTime) {
  using namespace std::chrono;
  const auto now = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  const ServerGrab grab(dpy, parent);
  window->noteEventTime(now);
  movePointerTo({30, 20});
  button(1, true);
  button(1, false);
  XSync(dpy, False);
  DrawContext ctx(nullptr, nullptr, window.get());
  EXPECT_TRUE(ctx.awaitSecondClick());
  window->noteEventTime(now - 10 * X11Window::kDoubleClickMs);
  button(1, true);
  button(1, false);
  XSync(dpy, False);
  EXPECT_FALSE(ctx.awaitSecondClick()) << "the double-click time was already over";
}

TEST_F(X11Test, BadWindowIdsFailWithoutEndingTheProcess) {
  const unsigned long bogus = 0x7ffffff0;
  EXPECT_EQ(X11Window::createChild(*display, bogus, 600, 600, "Plugin0000bad"), nullptr);
  EXPECT_EQ(X11Window::wrap(*display, bogus), nullptr);
  EXPECT_EQ(X11Window::createChild(*display, 0, 600, 600, nullptr), nullptr);
}

TEST_F(X11Test, WindowDestroyedBehindOurBackIsHarmless) {
  auto doomed = X11Window::createChild(*display, parent, 40, 40, nullptr);
  ASSERT_NE(doomed, nullptr);
  XDestroyWindow(dpy, doomed->id());
  XSync(dpy, False);
  DrawSurface backBuffer(40, 40);
  {
    DrawContext ctx(nullptr, &backBuffer, doomed.get());
    EXPECT_EQ(ctx.getWindowOrigin(), (GuiPoint{0, 0}));
    ctx.setFillColor(kColorRed);
    ctx.fillRect({0, 0, 30, 30});
    EXPECT_EQ(ctx.queryMouseButtons(), 0);
  }
  doomed.reset();  // destroying an already destroyed window is trapped too
  EXPECT_NE(X11Window::wrap(*display, parent), nullptr) << "the connection still works";
}

}  // namespace
