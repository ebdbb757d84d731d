// Drag and drop onto a frame on the real X11 back end: a test drag source with its own connection
// (tests/support/XdndSource.h) speaks XDND to the frame window, on an Xvfb of the test's own
// (Control is pressed with XTest, which would disturb the other test programs on a shared
// display). File lists (plain, escaped, links), the three text types, an unsupported type, copy
// with Control and move without, and the hostile cases: refusals, silent and vanishing sources,
// malformed lists, drops out of turn, and a frame closing mid-transfer.
// GoogleTest first: Xlib defines macros (None, Bool) that would break its headers.
#include <gtest/gtest.h>

#include "tests/gui/X11TestSupport.h"

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <memory>
#include <string>

#include "gui/GuiFrame.h"
#include "gui/platform/x11/X11DropTarget.h"
#include "gui/platform/x11/X11FrameWindow.h"
#include "tests/gui/DropTaker.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/PrivateDisplay.h"
#include "tests/support/XdndSource.h"

namespace {

using Names = std::vector<std::string>;
constexpr int kHostX = 100;
constexpr int kHostY = 80;

class X11Drop : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!display_.usable()) GTEST_SKIP() << "Xvfb could not be started";
    host_ = std::make_unique<x11test::HostWindow>(kHostX, kHostY, 300, 200);
    ASSERT_TRUE(host_->usable());
    frame_ =
        std::make_unique<GuiFrame>(GuiRect{0, 0, 240, 160}, host_->asParent(), nullptr, backend_);
    ASSERT_TRUE(frame_->isWindowOpen());
    left_ = new DropTaker({0, 0, 119, 159});
    right_ = new DropTaker({120, 0, 239, 159});
    frame_->addView(left_);
    frame_->addView(right_);
    target_ = static_cast<Window>(frame_->getPlatformWindow()->nativeId());
    source_ = std::make_unique<XdndSource>();
    ASSERT_TRUE(source_->usable());
  }
  void TearDown() override {
    source_.reset();
    frame_.reset();
    host_.reset();
  }

  bool exchangeUntil(const std::function<bool()>& done) {
    return x11test::pumpUntil(
        [&] {
          source_->pump();
          if (frame_) frame_->idle();
        },
        done);
  }
  // Enter and move to (x, y) of the frame; true once the target answered.
  bool dragTo(int x, int y) {
    source_->enter(target_);
    const int before = source_->statusCount;
    source_->moveTo(target_, kHostX + x, kHostY + y);
    return exchangeUntil([&] { return source_->statusCount > before; });
  }
  // A whole drag and drop at (x, y); true once the target said it finished.
  bool dragAndDrop(int x, int y) {
    if (!dragTo(x, y)) return false;
    source_->drop(target_);
    return exchangeUntil([&] { return source_->finished.has_value(); });
  }
  void idleFor(int milliseconds) {
    for (int waited = 0; waited < milliseconds; waited += 5) {
      source_->pump();
      frame_->idle();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  // A fresh source's drop arrives: nothing an earlier one did is left in the way.
  void expectTheNextDropToWork() {
    source_ = std::make_unique<XdndSource>();
    source_->offer({{"UTF8_STRING", "after"}});
    ASSERT_TRUE(dragAndDrop(30, 30));
    EXPECT_EQ(left_->received, (Names{"after"}));
  }
  static std::string uri(const std::string& path) { return "file://" + path; }
  void setTransferTimeout(std::int64_t milliseconds) {
    static_cast<X11FrameWindow*>(frame_->getPlatformWindow())
        ->dropTarget()
        ->setTransferTimeout(milliseconds);
  }

  PrivateDisplay display_;
  X11FrameBackend backend_;
  std::unique_ptr<x11test::HostWindow> host_;
  std::unique_ptr<GuiFrame> frame_;
  std::unique_ptr<XdndSource> source_;
  DropTaker* left_ = nullptr;
  DropTaker* right_ = nullptr;
  Window target_ = 0;
  ScratchFolder folder_;
};

TEST_F(X11Drop, TheFrameWindowAnnouncesXdndVersion5) {
  EXPECT_TRUE(frame_->isDropRegistered());
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  ASSERT_EQ(
      XGetWindowProperty(host_->display(), target_, XInternAtom(host_->display(), "XdndAware", False),
                         0, 1, False, XA_ATOM, &type, &format, &count, &after, &data),
      Success);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(*reinterpret_cast<long*>(data), 5);
  XFree(data);
}

TEST_F(X11Drop, AFileListReachesTheViewUnderTheCursorDecoded) {
  const std::string plain = folder_.touch("plain.wav");
  const std::string spaced = folder_.touch("my song 100%.wav");
  source_->offer({{"text/uri-list",
                  uri(plain) + "\r\n" + uri(folder_.path("my%20song%20100%25.wav")) + "\r\n"}});
  ASSERT_TRUE(dragAndDrop(180, 40));
  EXPECT_TRUE(source_->status->accepted);
  EXPECT_EQ(source_->requestedType, "text/uri-list");
  EXPECT_EQ(right_->calls, 1);
  EXPECT_EQ(right_->lastType, kDropFileNames);
  EXPECT_EQ(right_->lastCount, 2);
  EXPECT_EQ(right_->received, (Names{plain, spaced}));
  EXPECT_EQ(right_->lastWhere, (GuiPoint{180, 40})) << "where the cursor was, in frame coordinates";
  EXPECT_EQ(left_->calls, 0);
  ASSERT_TRUE(source_->finished);
  EXPECT_TRUE(source_->finished->success);
  EXPECT_EQ(source_->finished->action, "XdndActionCopy")
      << "the source is told its data was copied, so it deletes nothing";
  EXPECT_EQ(source_->finished->target, target_);
}

TEST_F(X11Drop, ALinkArrivesAsItsTargetAndABrokenLinkAsItself) {
  const std::string real = folder_.touch("real.wav");
  ASSERT_EQ(::symlink(real.c_str(), folder_.path("link.wav").c_str()), 0);
  ASSERT_EQ(::symlink(folder_.path("gone.wav").c_str(), folder_.path("broken.wav").c_str()), 0);
  source_->offer({{"text/uri-list", uri(folder_.path("link.wav")) + "\r\n" +
                                       uri(folder_.path("broken.wav")) + "\r\n"}});
  ASSERT_TRUE(dragAndDrop(30, 30));
  EXPECT_EQ(left_->received,
            (Names{std::filesystem::canonical(real).string(), folder_.path("broken.wav")}));
}

TEST_F(X11Drop, ATopLevelWindowProxyingToTheFrameGetsTheDropAndTheRepliesNameIt) {
  // The host's top-level window names the frame window as its XdndProxy; the source sends there
  // with the top-level window in the messages, as sources do for proxies.
  Display* dpy = host_->display();
  const Atom proxy = XInternAtom(dpy, "XdndProxy", False);
  for (Window on : {host_->window(), target_}) {
    XChangeProperty(dpy, on, proxy, XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&target_), 1);
  }
  XSync(dpy, False);
  const std::string file = folder_.touch("a.wav");
  source_->offer({{"text/uri-list", uri(file)}});
  target_ = host_->window();
  ASSERT_TRUE(dragAndDrop(30, 30));
  EXPECT_EQ(source_->status->target, host_->window());
  EXPECT_EQ(source_->finished->target, host_->window());
  EXPECT_TRUE(source_->finished->success);
  EXPECT_EQ(left_->received, (Names{file}));
}

TEST_F(X11Drop, EachTextTypeArrivesAsTextWithItsByteSize) {
  for (const char* type : {"text/plain;charset=utf-8", "UTF8_STRING", "text/plain"}) {
    source_ = std::make_unique<XdndSource>();
    const std::string text = std::string("Grüße ") + type;
    source_->offer({{type, text}});
    ASSERT_TRUE(dragAndDrop(30, 30)) << type;
    EXPECT_EQ(source_->requestedType, type);
    EXPECT_EQ(left_->lastType, kDropText) << type;
    EXPECT_EQ(left_->lastCount, static_cast<std::int32_t>(text.size())) << type;
    EXPECT_EQ(left_->received, (Names{text})) << type;
  }
  EXPECT_EQ(left_->calls, 3);
}

TEST_F(X11Drop, FileNamesAreTakenWhenASourceOffersThemBesideText) {
  const std::string file = folder_.touch("a.wav");
  source_->offer({{"UTF8_STRING", file}, {"text/plain", file}, {"text/uri-list", uri(file)}});
  ASSERT_TRUE(dragAndDrop(30, 30));
  EXPECT_EQ(source_->requestedType, "text/uri-list");
  EXPECT_EQ(left_->lastType, kDropFileNames);
  EXPECT_EQ(left_->received, (Names{file}));
}

TEST_F(X11Drop, TypesBeyondTheFirstThreeAreReadFromTheTypeList) {
  const std::string file = folder_.touch("a.wav");
  source_->offer({{"image/png", "x"},
                 {"application/x-one", "x"},
                 {"application/x-two", "x"},
                 {"text/uri-list", uri(file)}});
  ASSERT_TRUE(dragAndDrop(30, 30));
  EXPECT_TRUE(source_->status->accepted);
  EXPECT_EQ(left_->received, (Names{file}));
}

TEST_F(X11Drop, AnUnsupportedTypeIsRefusedAndNothingIsDelivered) {
  source_->offer({{"image/png", "\x89PNG"}});
  ASSERT_TRUE(dragTo(30, 30));
  EXPECT_FALSE(source_->status->accepted);
  EXPECT_EQ(source_->status->action, "");
  source_->drop(target_);
  ASSERT_TRUE(exchangeUntil([&] { return source_->finished.has_value(); }));
  EXPECT_FALSE(source_->finished->success);
  EXPECT_EQ(source_->requests, 0) << "no data was asked for";
  EXPECT_EQ(left_->calls + right_->calls, 0);
}

TEST_F(X11Drop, ControlHeldMeansCopyOtherwiseMove) {
  source_->offer({{"text/uri-list", uri(folder_.touch("a.wav"))}});
  ASSERT_TRUE(dragTo(30, 30));
  EXPECT_TRUE(source_->status->accepted);
  EXPECT_EQ(source_->status->action, "XdndActionMove");
  source_->control(true);
  int before = source_->statusCount;
  source_->moveTo(target_, kHostX + 40, kHostY + 30);
  ASSERT_TRUE(exchangeUntil([&] { return source_->statusCount > before; }));
  EXPECT_EQ(source_->status->action, "XdndActionCopy");
  source_->control(false);
  before = source_->statusCount;
  source_->moveTo(target_, kHostX + 50, kHostY + 30);
  ASSERT_TRUE(exchangeUntil([&] { return source_->statusCount > before; }));
  EXPECT_EQ(source_->status->action, "XdndActionMove");
}

TEST_F(X11Drop, AMalformedUriListHandsOverOnlyItsValidNames) {
  const std::string good = folder_.touch("good.wav");
  const std::string list =
      "file://elsewhere/tmp/remote.wav\r\n"
      "/tmp/no-scheme.wav\r\n"
      "file:///tmp/bad%zzescape.wav\r\n"
      "file:///tmp/zero%00byte.wav\r\n" +
      std::string("file:///tmp/raw\0zero.wav\r\n", 26) + uri(good) + "\r\n" +
      "http://example.org/web.wav\r\n";
  source_->offer({{"text/uri-list", list}});
  ASSERT_TRUE(dragAndDrop(30, 30));
  EXPECT_EQ(left_->received, (Names{good}));
  EXPECT_TRUE(source_->finished->success);
}

TEST_F(X11Drop, AListWithoutAnyValidNameCallsNobody) {
  source_->offer({{"text/uri-list", "http://example.org/a.wav\r\nfile:///tmp/%\r\n"}});
  ASSERT_TRUE(dragAndDrop(30, 30));
  EXPECT_FALSE(source_->finished->success);
  EXPECT_EQ(left_->calls, 0);
}

TEST_F(X11Drop, ARefusingSourceEndsTheDropWithoutDelivery) {
  source_->offer({{"text/uri-list", uri(folder_.touch("a.wav"))}});
  source_->answer(XdndSource::Answer::refuse);
  ASSERT_TRUE(dragAndDrop(30, 30));
  EXPECT_FALSE(source_->finished->success);
  EXPECT_EQ(left_->calls, 0);
}

TEST_F(X11Drop, ASilentSourceIsGivenUpAfterTheTimeOutAndTheNextDropWorks) {
  setTransferTimeout(200);
  source_->offer({{"text/uri-list", uri(folder_.touch("a.wav"))}});
  source_->answer(XdndSource::Answer::silent);
  ASSERT_TRUE(dragAndDrop(30, 30)) << "the target never gave up";
  EXPECT_EQ(source_->requests, 1);
  EXPECT_FALSE(source_->finished->success);
  EXPECT_EQ(left_->calls, 0);

  expectTheNextDropToWork();
}

TEST_F(X11Drop, DataSentInPartsArrivesWhole) {
  std::string text(300 * 1000, ' ');
  for (std::size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>('a' + i % 26);
  source_->offer({{"UTF8_STRING", text}});
  source_->answer(XdndSource::Answer::inParts, 64 * 1024);
  ASSERT_TRUE(dragAndDrop(200, 100));
  ASSERT_EQ(right_->calls, 1);
  EXPECT_EQ(right_->lastCount, static_cast<std::int32_t>(text.size()));
  EXPECT_TRUE(right_->received.at(0) == text) << "the parts were joined in order";
}

TEST_F(X11Drop, ASourceVanishingMidTransferDeliversNothingAndBlocksNothing) {
  setTransferTimeout(200);
  source_->offer({{"UTF8_STRING", std::string(200 * 1000, 'v')}});
  source_->answer(XdndSource::Answer::inParts, 64 * 1024);
  source_->vanishAfterFirstPart();
  ASSERT_TRUE(dragTo(30, 30));
  source_->drop(target_);
  ASSERT_TRUE(exchangeUntil([&] { return !source_->usable(); })) << "the source never vanished";
  idleFor(400);  // past the time-out
  EXPECT_EQ(left_->calls, 0);

  expectTheNextDropToWork();
}

TEST_F(X11Drop, DropsOutOfTurnAreAnsweredAsFailed) {
  source_->offer({{"UTF8_STRING", "text"}});
  // A drop without any enter: the source is still told.
  source_->drop(target_);
  ASSERT_TRUE(exchangeUntil([&] { return source_->finished.has_value(); }));
  EXPECT_FALSE(source_->finished->success);
  // Entered but never positioned: the target never accepted.
  source_ = std::make_unique<XdndSource>();
  source_->offer({{"UTF8_STRING", "text"}});
  source_->enter(target_);
  source_->drop(target_);
  ASSERT_TRUE(exchangeUntil([&] { return source_->finished.has_value(); }));
  EXPECT_FALSE(source_->finished->success);
  // Left before the drop.
  source_ = std::make_unique<XdndSource>();
  source_->offer({{"UTF8_STRING", "text"}});
  ASSERT_TRUE(dragTo(30, 30));
  source_->leave(target_);
  source_->drop(target_);
  ASSERT_TRUE(exchangeUntil([&] { return source_->finished.has_value(); }));
  EXPECT_FALSE(source_->finished->success);
  EXPECT_EQ(left_->calls, 0);
}

TEST_F(X11Drop, AFrameClosedMidTransferTellsTheSourceItFailed) {
  source_->offer({{"UTF8_STRING", "text"}});
  source_->answer(XdndSource::Answer::silent);
  ASSERT_TRUE(dragTo(30, 30));
  source_->drop(target_);
  ASSERT_TRUE(exchangeUntil([&] { return source_->requests > 0; }));
  frame_.reset();
  ASSERT_TRUE(exchangeUntil([&] { return source_->finished.has_value(); }));
  EXPECT_FALSE(source_->finished->success);
}

}  // namespace
