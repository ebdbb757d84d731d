// One real painted stroke and one real bar drag through the X11 back end. Each test process runs
// its own Xvfb, so that no other test's pointer can cut in while a button is held. The frame lives
// in a host window; a second connection, on a thread of its own, presses, moves and releases the
// pointer with XTest while the control's tracking loop polls it on the test's thread. What the
// control did is read back from its curve or value and from the screen.
// GoogleTest and our headers first: Xlib defines macros (None, Bool, Status) that break them.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "editor/GuiBarSlider.h"
#include "editor/GuiCurveEditor.h"
#include "gui/GuiFrame.h"
#include "gui/platform/x11/X11FrameWindow.h"
#include "overtonic-host/app/EditorHost.h"
#include "tests/gui/ControlTestSupport.h"
#include "tests/gui/X11TestSupport.h"

namespace {

using x11test::HostWindow;

constexpr int kHostX = 40;
constexpr int kHostY = 30;
constexpr GuiColor kGround{20, 60, 40, 0};
constexpr auto kWait = std::chrono::seconds(3);

std::uint32_t packed(GuiColor c) {
  return (std::uint32_t{c.red} << 16) | (std::uint32_t{c.green} << 8) | c.blue;
}

// A pointer hand on its own connection and thread: it runs a script of presses, moves and
// waits, and lets go of the button whatever happens, so that the control's loop always ends.
class PointerHand {
 public:
  explicit PointerHand(GuiPoint windowOrigin) : origin_(windowOrigin) {}
  ~PointerHand() {
    if (thread.joinable()) thread.join();
  }
  PointerHand(const PointerHand&) = delete;
  PointerHand& operator=(const PointerHand&) = delete;

  void start(std::function<void(PointerHand&)> script) {
    thread = std::thread([this, script = std::move(script)] {
      display_ = XOpenDisplay(nullptr);
      if (display_) {
        script(*this);
        XTestFakeButtonEvent(display_, 1, False, CurrentTime);
        XSync(display_, False);
        XCloseDisplay(display_);
      }
      done_ = true;
    });
  }
  bool done() const { return done_; }

  // Window coordinates of the frame.
  void moveTo(GuiPoint where) {
    XTestFakeMotionEvent(display_, DefaultScreen(display_), origin_.h + where.h,
                         origin_.v + where.v, CurrentTime);
    XSync(display_, False);
  }
  void pressAt(GuiPoint where) {
    moveTo(where);
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XSync(display_, False);
  }
  // Until `ready` holds or the wait is over; false when it never held.
  static bool waitFor(const std::function<bool()>& ready) {
    const auto deadline = std::chrono::steady_clock::now() + kWait;
    while (!ready()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
  }
  static void pause() { std::this_thread::sleep_for(std::chrono::milliseconds(40)); }

 private:
  GuiPoint origin_;
  Display* display_ = nullptr;
  std::thread thread;
  std::atomic<bool> done_{false};
};

// The real curve editor, telling the pointer hand when its tracking loop runs.
class WatchedCurveEditor : public GuiCurveEditor {
 public:
  using GuiCurveEditor::GuiCurveEditor;
  void onMouseDown(DrawContext* context, GuiPoint where) override {
    tracking = true;
    GuiCurveEditor::onMouseDown(context, where);
    tracking = false;
    ++strokes;
  }
  std::atomic<bool> tracking{false};
  std::atomic<int> strokes{0};
};

// Counts notifications and keeps the last value where the hand's thread can read them.
class SharedListener : public ControlListener {
 public:
  void valueChanged(DrawContext*, GuiControl* control) override {
    values.push_back(control->getValue());
    last = control->getValue();
    ++count;
  }
  std::vector<float> values;  // read on the test's thread only
  std::atomic<float> last{-1.0f};
  std::atomic<int> count{0};
};

class PanelControlsX11Test : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    auto started = hostapp::EditorDisplay::startPrivate(800, 700);
    if (started.ok()) {
      display = std::move(started).value().release();
    } else {
      failure = new std::string(started.error());
    }
  }
  static void TearDownTestSuite() {
    delete display;
    display = nullptr;
  }

  void SetUp() override {
    if (!display) GTEST_SKIP() << "no private X server: " << (failure ? *failure : "");
    host = std::make_unique<HostWindow>(kHostX, kHostY, 600, 600);
    if (!host->usable() || !host->hasTrueColour24()) GTEST_SKIP() << "no XTest or 24-bit screen";
    frame = std::make_unique<GuiFrame>(GuiRect{0, 0, 600, 600}, host->asParent(), nullptr, backend);
    ASSERT_TRUE(frame->isWindowOpen());
    const BitmapRef ground{paintedBitmap(600, 600, [](DrawContext& context) {
      context.setFillColor(kGround);
      context.fillRect({-1, -1, 600, 600});
    })};
    frame->setBackground(ground);
  }
  void TearDown() override {
    frame.reset();
    host.reset();
  }

  // The frame takes the control's reference.
  template <class Control>
  Control* attach(Control* control, float value) {
    control->setValue(value);
    frame->addView(control);
    return control;
  }
  bool pumpUntil(const std::function<bool()>& done) {
    return x11test::pumpUntil([&] { frame->idle(); }, done);
  }
  std::uint32_t screenPixel(int x, int y) {
    return host->pixel(static_cast<Window>(frame->getPlatformWindow()->nativeId()), x, y);
  }
  bool showsFirstPaint() {
    return pumpUntil(
        [&] { return !frame->isFirstDrawPending() && screenPixel(5, 5) == packed(kGround); });
  }

  static inline hostapp::EditorDisplay* display = nullptr;
  static inline std::string* failure = nullptr;
  X11FrameBackend backend;
  std::unique_ptr<HostWindow> host;
  std::unique_ptr<GuiFrame> frame;
  SharedListener listener;
};

TEST_F(PanelControlsX11Test, ARealStrokePaintsTheCurveShowsItAndSmoothsOnRelease) {
  auto* curve = attach(
      new WatchedCurveEditor({195, 205, 598, 344}, &listener, 8, nullptr, nullptr, {0, 0}), 36.0f);
  ASSERT_TRUE(showsFirstPaint());

  PointerHand hand({kHostX, kHostY});
  hand.start([&](PointerHand& h) {
    h.pressAt({250, 264});
    if (!PointerHand::waitFor([&] { return curve->tracking.load(); })) return;
    PointerHand::pause();
    h.moveTo({300, 264});
    PointerHand::pause();
    h.moveTo({350, 264});
    PointerHand::pause();
  });
  ASSERT_TRUE(pumpUntil([&] { return hand.done() && curve->strokes > 0; }))
      << "the press never reached the curve editor";

  EXPECT_GE(listener.count.load(), 1);
  EXPECT_EQ(curve->getValue(), 36.0f);
  // Points 48-147 were painted at 0.5 (row 264); the windows of 12 wholly inside stay 0.5.
  const auto points = curve->points();
  for (int i = 48; i <= 136; ++i) EXPECT_FLOAT_EQ(points[i], 0.5f) << "point " << i;
  EXPECT_EQ(points[20], 0.0f);
  EXPECT_EQ(points[200], 0.0f);
  // On screen the bars as last drawn in the stroke: tips on row 264 over the stroke.
  const x11test::ServerGrab grab(host->display(), host->window());
  EXPECT_EQ(screenPixel(300, 264), packed(GuiCurveEditor::kTipColor));
  EXPECT_EQ(screenPixel(300, 265), packed(GuiCurveEditor::kBarColor));
  EXPECT_EQ(screenPixel(300, 263), packed(kGround));
  EXPECT_EQ(screenPixel(450, 324), packed(GuiCurveEditor::kTipColor)) << "an unpainted point";
  EXPECT_EQ(screenPixel(450, 300), packed(kGround));
}

TEST_F(PanelControlsX11Test, ARealDragSetsTheBarFromBottomToTopAndLightsIt) {
  auto* bar =
      attach(new GuiBarSlider({15, 54, 25, 154}, &listener, 0, nullptr, nullptr, {0, 0}), 0.3f);
  ASSERT_TRUE(showsFirstPaint());

  PointerHand hand({kHostX, kHostY});
  hand.start([&](PointerHand& h) {
    h.pressAt({20, 154});
    if (!PointerHand::waitFor([&] { return listener.count > 0; })) return;
    h.moveTo({20, 104});
    if (!PointerHand::waitFor([&] { return listener.last == 0.5f; })) return;
    h.moveTo({20, 54});
    PointerHand::waitFor([&] { return listener.last == 1.0f; });
  });
  ASSERT_TRUE(pumpUntil([&] { return hand.done() && listener.count > 0; }))
      << "the press never reached the bar";
  frame->idle();

  ASSERT_FALSE(listener.values.empty());
  EXPECT_EQ(listener.values.front(), 0.0f) << "the bottom row";
  EXPECT_EQ(listener.values.back(), 1.0f) << "the top row";
  EXPECT_EQ(bar->getValue(), 1.0f);
  int halves = 0;
  for (float v : listener.values) {
    EXPECT_TRUE(v == 0.0f || v == 0.5f || v == 1.0f) << v;
    halves += v == 0.5f ? 1 : 0;
  }
  EXPECT_GT(halves, 0) << "the pass through the middle";
  const x11test::ServerGrab grab(host->display(), host->window());
  EXPECT_EQ(screenPixel(20, 154), packed(kSegmentLit));
  EXPECT_EQ(screenPixel(20, 56), packed(kSegmentLit)) << "all 50 rows lit at 1.0";
  EXPECT_EQ(screenPixel(20, 55), packed(kGround)) << "between rows";
}

}  // namespace
