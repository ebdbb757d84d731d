// Drops arriving at a frame from its window (the headless back end posts them as the X11 back
// end hands them on): the form views receive (names as an array of zero-terminated strings; text
// as one pointer and its size), which view is offered the drop, and when the frame refuses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/GuiFrame.h"
#include "tests/gui/DropTaker.h"
#include "tests/gui/FrameTestSupport.h"

namespace {

class DropDispatch : public ::testing::Test {
 protected:
  void SetUp() override {
    frame = std::make_unique<GuiFrame>(GuiRect{0, 0, 200, 100}, reinterpret_cast<void*>(0x99),
                                       nullptr, backend);
    window = backend.lastWindow();
    ASSERT_NE(window, nullptr);
    below = new DropTaker({0, 0, 200, 100});
    above = new DropTaker({100, 0, 200, 100});
    frame->addView(below);
    frame->addView(above);
  }
  void drop(GuiPoint where, std::int32_t type, std::vector<std::string> items) {
    window->postDrop(where, type, std::move(items));
    frame->idle();
  }

  HeadlessFrameBackend backend;
  std::unique_ptr<GuiFrame> frame;
  HeadlessFrameWindow* window = nullptr;
  DropTaker* below = nullptr;
  DropTaker* above = nullptr;
};

TEST_F(DropDispatch, FileNamesArriveAsZeroTerminatedNamesWithTheirCount) {
  drop({20, 30}, kDropFileNames, {"/tmp/a.wav", "/tmp/b c.wav"});
  EXPECT_EQ(below->calls, 1);
  EXPECT_EQ(below->lastType, kDropFileNames);
  EXPECT_EQ(below->lastCount, 2);
  EXPECT_EQ(below->received, (std::vector<std::string>{"/tmp/a.wav", "/tmp/b c.wav"}));
  EXPECT_EQ(below->lastWhere, (GuiPoint{20, 30}));
  EXPECT_EQ(above->calls, 0);
}

TEST_F(DropDispatch, TextArrivesAsOneBlockWithItsByteSizeZeroBytesIncluded) {
  const std::string text("two\0lines\n", 10);
  drop({150, 50}, kDropText, {text});
  EXPECT_EQ(above->calls, 1);
  EXPECT_EQ(above->lastType, kDropText);
  EXPECT_EQ(above->lastCount, 10);
  EXPECT_EQ(above->received, (std::vector<std::string>{text}));
  EXPECT_EQ(below->calls, 0) << "the view on top took it";
}

TEST_F(DropDispatch, AViewThatDeclinesPassesTheDropToTheOneBelow) {
  above->accepts = false;
  drop({150, 50}, kDropFileNames, {"/tmp/a.wav"});
  EXPECT_EQ(above->calls, 1);
  EXPECT_EQ(below->calls, 1);
  above->setMouseEnabled(false);
  drop({150, 50}, kDropFileNames, {"/tmp/a.wav"});
  EXPECT_EQ(above->calls, 1) << "a view with the mouse disabled is not offered drops";
  EXPECT_EQ(below->calls, 2);
}

TEST_F(DropDispatch, TheFrameRefusesDropsWhileAViewHasTheFocusOrIsModal) {
  frame->setFocusView(above);
  drop({20, 30}, kDropFileNames, {"/tmp/a.wav"});
  EXPECT_EQ(below->calls, 0);
  frame->setFocusView(nullptr);
  auto* modal = new ProbeView({0, 0, 50, 50});
  ASSERT_TRUE(frame->setModalView(modal));
  drop({20, 30}, kDropFileNames, {"/tmp/a.wav"});
  EXPECT_EQ(below->calls, 0);
  EXPECT_EQ(modal->drops, 0);
  frame->setModalView(nullptr);
  modal->release();
  drop({20, 30}, kDropFileNames, {"/tmp/a.wav"});
  EXPECT_EQ(below->calls, 1);
}

TEST_F(DropDispatch, EmptyDropsCallNobody) {
  drop({20, 30}, kDropFileNames, {});
  drop({20, 30}, kDropText, {});
  EXPECT_EQ(below->calls, 0);
  EXPECT_EQ(above->calls, 0);
}

TEST_F(DropDispatch, DropsWaitWhileAControlTracksTheMouse) {
  below->setMouseEnabled(true);
  auto* tracker = new ProbeView({0, 0, 50, 50});
  frame->addView(tracker);
  bool dropArrivedDuringTracking = false;
  tracker->onPress = [&](DrawContext*, GuiPoint) {
    window->postDrop({150, 50}, kDropFileNames, {"/tmp/a.wav"});
    frame->handleEvents();  // what pumpIdle does on every pass of the tracking loop
    dropArrivedDuringTracking = above->calls > 0;
  };
  window->postPaint();
  window->postPress({10, 10});
  frame->idle();
  EXPECT_FALSE(dropArrivedDuringTracking);
  frame->idle();
  EXPECT_EQ(above->calls, 1) << "delivered once the press was handled";
}

TEST(DropRegistration, AFrameWindowOfTheHeadlessBackEndTakesNoDrops) {
  HeadlessFrameBackend backend;
  GuiFrame frame({0, 0, 10, 10}, reinterpret_cast<void*>(0x99), nullptr, backend);
  EXPECT_FALSE(frame.isDropRegistered());
}

}  // namespace
