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
#include <memory>
#include <string>
#include <thread>

#include "gui/GuiFrame.h"
#include "gui/platform/x11/X11DropTarget.h"
#include "gui/platform/x11/X11FrameWindow.h"
#include "tests/gui/DropTaker.h"
#include "tests/support/PrivateDisplay.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/XdndSource.h"

namespace {

using Names = std::vector<std::string>;
constexpr int kHostX = 100;
constexpr int kHostY = 80;

class X11Drop : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!display.usable()) GTEST_SKIP() << "Xvfb could not be started";
    host = std::make_unique<x11test::HostWindow>(kHostX, kHostY, 300, 200);
    ASSERT_TRUE(host->usable());
    frame = std::make_unique<GuiFrame>(GuiRect{0, 0, 240, 160}, host->asParent(), nullptr, backend);
    ASSERT_TRUE(frame->isWindowOpen());
    left = new DropTaker({0, 0, 119, 159});
    right = new DropTaker({120, 0, 239, 159});
    frame->addView(left);
    frame->addView(right);
    target = static_cast<Window>(frame->getPlatformWindow()->nativeId());
    source = std::make_unique<XdndSource>();
    ASSERT_TRUE(source->usable());
  }
  void TearDown() override {
    source.reset();
    frame.reset();
    host.reset();
  }

  bool exchangeUntil(const std::function<bool()>& done) {
    return x11test::pumpUntil(
        [&] {
          source->pump();
          if (frame) frame->idle();
        },
        done);
  }
  // Enter and move to (x, y) of the frame; true once the target answered.
  bool dragTo(int x, int y) {
    source->enter(target);
    const int before = source->statusCount;
    source->moveTo(target, kHostX + x, kHostY + y);
    return exchangeUntil([&] { return source->statusCount > before; });
  }
  // A whole drag and drop at (x, y); true once the target said it finished.
  bool dragAndDrop(int x, int y) {
    if (!dragTo(x, y)) return false;
    source->drop(target);
    return exchangeUntil([&] { return source->finished.has_value(); });
  }
  void idleFor(int milliseconds) {
    for (int waited = 0; waited < milliseconds; waited += 5) {
      source->pump();
      frame->idle();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  // A fresh source's drop arrives: nothing an earlier one did is left in the way.
  void expectTheNextDropToWork() {
    source = std::make_unique<XdndSource>();
    source->offer({{"UTF8_STRING", "after"}});
    ASSERT_TRUE(dragAndDrop(30, 30));
    EXPECT_EQ(left->received, (Names{"after"}));
  }
  static std::string uri(const std::string& path) { return "file://" + path; }
  void setTransferTimeout(std::int64_t milliseconds) {
    static_cast<X11FrameWindow*>(frame->getPlatformWindow())
        ->dropTarget()
        ->setTransferTimeout(milliseconds);
  }

  PrivateDisplay display;
  X11FrameBackend backend;
  std::unique_ptr<x11test::HostWindow> host;
  std::unique_ptr<GuiFrame> frame;
  std::unique_ptr<XdndSource> source;
  DropTaker* left = nullptr;
  DropTaker* right = nullptr;
  Window target = 0;
  ScratchFolder folder;
};

TEST_F(X11Drop, TheFrameWindowAnnouncesXdndVersion5) {
  EXPECT_TRUE(frame->isDropRegistered());
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  ASSERT_EQ(
      XGetWindowProperty(host->display(), target, XInternAtom(host->display(), "XdndAware", False),
                         0, 1, False, XA_ATOM, &type, &format, &count, &after, &data),
      Success);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(*reinterpret_cast<long*>(data), 5);
  XFree(data);
}

TEST_F(X11Drop, AFileListReachesTheViewUnderTheCursorDecoded) {
  const std::string plain = folder.touch("plain.wav");
  const std::string spaced = folder.touch("my song 100%.wav");
  source->offer({{"text/uri-list",
                  uri(plain) + "\r\n" + uri(folder.path("my%20song%20100%25.wav")) + "\r\n"}});
  ASSERT_TRUE(dragAndDrop(180, 40));
  EXPECT_TRUE(source->status->accepted);
  EXPECT_EQ(source->requestedType, "text/uri-list");
  EXPECT_EQ(right->calls, 1);
  EXPECT_EQ(right->lastType, kDropFileNames);
  EXPECT_EQ(right->lastCount, 2);
  EXPECT_EQ(right->received, (Names{plain, spaced}));
  EXPECT_EQ(right->lastWhere, (GuiPoint{180, 40})) << "where the cursor was, in frame coordinates";
  EXPECT_EQ(left->calls, 0);
  ASSERT_TRUE(source->finished);
  EXPECT_TRUE(source->finished->success);
  EXPECT_EQ(source->finished->action, "XdndActionCopy")
      << "the source is told its data was copied, so it deletes nothing";
  EXPECT_EQ(source->finished->target, target);
}

TEST_F(X11Drop, ALinkArrivesAsItsTargetAndABrokenLinkAsItself) {
  const std::string real = folder.touch("real.wav");
  ASSERT_EQ(::symlink(real.c_str(), folder.path("link.wav").c_str()), 0);
  ASSERT_EQ(::symlink(folder.path("gone.wav").c_str(), folder.path("broken.wav").c_str()), 0);
  source->offer({{"text/uri-list", uri(folder.path("link.wav")) + "\r\n" +
                                       uri(folder.path("broken.wav")) + "\r\n"}});
  ASSERT_TRUE(dragAndDrop(30, 30));
  EXPECT_EQ(left->received,
            (Names{std::filesystem::canonical(real).string(), folder.path("broken.wav")}));
}

TEST_F(X11Drop, ATopLevelWindowProxyingToTheFrameGetsTheDropAndTheRepliesNameIt) {
  // The host's top-level window names the frame window as its XdndProxy; the source sends there
  // with the top-level window in the messages, as sources do for proxies.
  Display* dpy = host->display();
  const Atom proxy = XInternAtom(dpy, "XdndProxy", False);
  for (Window on : {host->window(), target}) {
    XChangeProperty(dpy, on, proxy, XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&target), 1);
  }
  XSync(dpy, False);
  const std::string file = folder.touch("a.wav");
  source->offer({{"text/uri-list", uri(file)}});
  target = host->window();
  ASSERT_TRUE(dragAndDrop(30, 30));
  EXPECT_EQ(source->status->target, host->window());
  EXPECT_EQ(source->finished->target, host->window());
  EXPECT_TRUE(source->finished->success);
  EXPECT_EQ(left->received, (Names{file}));
}

TEST_F(X11Drop, EachTextTypeArrivesAsTextWithItsByteSize) {
  for (const char* type : {"text/plain;charset=utf-8", "UTF8_STRING", "text/plain"}) {
    source = std::make_unique<XdndSource>();
    const std::string text = std::string("Grüße ") + type;
    source->offer({{type, text}});
    ASSERT_TRUE(dragAndDrop(30, 30)) << type;
    EXPECT_EQ(source->requestedType, type);
    EXPECT_EQ(left->lastType, kDropText) << type;
    EXPECT_EQ(left->lastCount, static_cast<std::int32_t>(text.size())) << type;
    EXPECT_EQ(left->received, (Names{text})) << type;
  }
  EXPECT_EQ(left->calls, 3);
}

TEST_F(X11Drop, FileNamesAreTakenWhenASourceOffersThemBesideText) {
  const std::string file = folder.touch("a.wav");
  source->offer({{"UTF8_STRING", file}, {"text/plain", file}, {"text/uri-list", uri(file)}});
  ASSERT_TRUE(dragAndDrop(30, 30));
  EXPECT_EQ(source->requestedType, "text/uri-list");
  EXPECT_EQ(left->lastType, kDropFileNames);
  EXPECT_EQ(left->received, (Names{file}));
}

TEST_F(X11Drop, TypesBeyondTheFirstThreeAreReadFromTheTypeList) {
  const std::string file = folder.touch("a.wav");
  source->offer({{"image/png", "x"},
                 {"application/x-one", "x"},
                 {"application/x-two", "x"},
                 {"text/uri-list", uri(file)}});
  ASSERT_TRUE(dragAndDrop(30, 30));
  EXPECT_TRUE(source->status->accepted);
  EXPECT_EQ(left->received, (Names{file}));
}

TEST_F(X11Drop, AnUnsupportedTypeIsRefusedAndNothingIsDelivered) {
  source->offer({{"image/png", "\x89PNG"}});
  ASSERT_TRUE(dragTo(30, 30));
  EXPECT_FALSE(source->status->accepted);
  EXPECT_EQ(source->status->action, "");
  source->drop(target);
  ASSERT_TRUE(exchangeUntil([&] { return source->finished.has_value(); }));
  EXPECT_FALSE(source->finished->success);
  EXPECT_EQ(source->requests, 0) << "no data was asked for";
  EXPECT_EQ(left->calls + right->calls, 0);
}

TEST_F(X11Drop, ControlHeldMeansCopyOtherwiseMove) {
  source->offer({{"text/uri-list", uri(folder.touch("a.wav"))}});
  ASSERT_TRUE(dragTo(30, 30));
  EXPECT_TRUE(source->status->accepted);
  EXPECT_EQ(source->status->action, "XdndActionMove");
  source->control(true);
  int before = source->statusCount;
  source->moveTo(target, kHostX + 40, kHostY + 30);
  ASSERT_TRUE(exchangeUntil([&] { return source->statusCount > before; }));
  EXPECT_EQ(source->status->action, "XdndActionCopy");
  source->control(false);
  before = source->statusCount;
  source->moveTo(target, kHostX + 50, kHostY + 30);
  ASSERT_TRUE(exchangeUntil([&] { return source->statusCount > before; }));
  EXPECT_EQ(source->status->action, "XdndActionMove");
}

TEST_F(X11Drop, AMalformedUriListHandsOverOnlyItsValidNames) {
  const std::string good = folder.touch("good.wav");
  const std::string list =
      "file://elsewhere/tmp/remote.wav\r\n"
      "/tmp/no-scheme.wav\r\n"
      "file:///tmp/bad%zzescape.wav\r\n"
      "file:///tmp/zero%00byte.wav\r\n" +
      std::string("file:///tmp/raw\0zero.wav\r\n", 26) + uri(good) + "\r\n" +
      "http://example.org/web.wav\r\n";
  source->offer({{"text/uri-list", list}});
  ASSERT_TRUE(dragAndDrop(30, 30));
  EXPECT_EQ(left->received, (Names{good}));
  EXPECT_TRUE(source->finished->success);
}

TEST_F(X11Drop, AListWithoutAnyValidNameCallsNobody) {
  source->offer({{"text/uri-list", "http://example.org/a.wav\r\nfile:///tmp/%\r\n"}});
  ASSERT_TRUE(dragAndDrop(30, 30));
  EXPECT_FALSE(source->finished->success);
  EXPECT_EQ(left->calls, 0);
}

TEST_F(X11Drop, ARefusingSourceEndsTheDropWithoutDelivery) {
  source->offer({{"text/uri-list", uri(folder.touch("a.wav"))}});
  source->answer(XdndSource::Answer::refuse);
  ASSERT_TRUE(dragAndDrop(30, 30));
  EXPECT_FALSE(source->finished->success);
  EXPECT_EQ(left->calls, 0);
}

TEST_F(X11Drop, ASilentSourceIsGivenUpAfterTheTimeOutAndTheNextDropWorks) {
  setTransferTimeout(200);
  source->offer({{"text/uri-list", uri(folder.touch("a.wav"))}});
  source->answer(XdndSource::Answer::silent);
  ASSERT_TRUE(dragAndDrop(30, 30)) << "the target never gave up";
  EXPECT_EQ(source->requests, 1);
  EXPECT_FALSE(source->finished->success);
  EXPECT_EQ(left->calls, 0);

  expectTheNextDropToWork();
}

TEST_F(X11Drop, DataSentInPartsArrivesWhole) {
  std::string text(300 * 1000, ' ');
  for (std::size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>('a' + i % 26);
  source->offer({{"UTF8_STRING", text}});
  source->answer(XdndSource::Answer::inParts, 64 * 1024);
  ASSERT_TRUE(dragAndDrop(200, 100));
  ASSERT_EQ(right->calls, 1);
  EXPECT_EQ(right->lastCount, static_cast<std::int32_t>(text.size()));
  EXPECT_TRUE(right->received.at(0) == text) << "the parts were joined in order";
}

TEST_F(X11Drop, ASourceVanishingMidTransferDeliversNothingAndBlocksNothing) {
  setTransferTimeout(200);
  source->offer({{"UTF8_STRING", std::string(200 * 1000, 'v')}});
  source->answer(XdndSource::Answer::inParts, 64 * 1024);
  source->vanishAfterFirstPart();
  ASSERT_TRUE(dragTo(30, 30));
  source->drop(target);
  ASSERT_TRUE(exchangeUntil([&] { return !source->usable(); })) << "the source never vanished";
  idleFor(400);  // past the time-out
  EXPECT_EQ(left->calls, 0);

  expectTheNextDropToWork();
}

TEST_F(X11Drop, DropsOutOfTurnAreAnsweredAsFailed) {
  source->offer({{"UTF8_STRING", "text"}});
  // A drop without any enter: the source is still told.
  source->drop(target);
  ASSERT_TRUE(exchangeUntil([&] { return source->finished.has_value(); }));
  EXPECT_FALSE(source->finished->success);
  // Entered but never positioned: the target never accepted.
  source = std::make_unique<XdndSource>();
  source->offer({{"UTF8_STRING", "text"}});
  source->enter(target);
  source->drop(target);
  ASSERT_TRUE(exchangeUntil([&] { return source->finished.has_value(); }));
  EXPECT_FALSE(source->finished->success);
  // Left before the drop.
  source = std::make_unique<XdndSource>();
  source->offer({{"UTF8_STRING", "text"}});
  ASSERT_TRUE(dragTo(30, 30));
  source->leave(target);
  source->drop(target);
  ASSERT_TRUE(exchangeUntil([&] { return source->finished.has_value(); }));
  EXPECT_FALSE(source->finished->success);
  EXPECT_EQ(left->calls, 0);
}

TEST_F(X11Drop, AFrameClosedMidTransferTellsTheSourceItFailed) {
  source->offer({{"UTF8_STRING", "text"}});
  source->answer(XdndSource::Answer::silent);
  ASSERT_TRUE(dragTo(30, 30));
  source->drop(target);
  ASSERT_TRUE(exchangeUntil([&] { return source->requests > 0; }));
  frame.reset();
  ASSERT_TRUE(exchangeUntil([&] { return source->finished.has_value(); }));
  EXPECT_FALSE(source->finished->success);
}

}  // namespace
