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
    frame_ = std::make_unique<GuiFrame>(GuiRect{0, 0, 200, 100}, reinterpret_cast<void*>(0x99),
                                       nullptr, backend_);
    window_ = backend_.lastWindow();
    ASSERT_NE(window_, nullptr);
    below_ = new DropTaker({0, 0, 200, 100});
    above_ = new DropTaker({100, 0, 200, 100});
    frame_->addView(below_);
    frame_->addView(above_);
  }
  void drop(GuiPoint where, std::int32_t type, std::vector<std::string> items) {
    window_->postDrop(where, type, std::move(items));
    frame_->idle();
  }

  HeadlessFrameBackend backend_;
  std::unique_ptr<GuiFrame> frame_;
  HeadlessFrameWindow* window_ = nullptr;
  DropTaker* below_ = nullptr;
  DropTaker* above_ = nullptr;
};

TEST_F(DropDispatch, FileNamesArriveAsZeroTerminatedNamesWithTheirCount) {
  drop({20, 30}, kDropFileNames, {"/tmp/a.wav", "/tmp/b c.wav"});
  EXPECT_EQ(below_->calls, 1);
  EXPECT_EQ(below_->lastType, kDropFileNames);
  EXPECT_EQ(below_->lastCount, 2);
  EXPECT_EQ(below_->received, (std::vector<std::string>{"/tmp/a.wav", "/tmp/b c.wav"}));
  EXPECT_EQ(below_->lastWhere, (GuiPoint{20, 30}));
  EXPECT_EQ(above_->calls, 0);
}

TEST_F(DropDispatch, TextArrivesAsOneBlockWithItsByteSizeZeroBytesIncluded) {
  const std::string text("two\0lines\n", 10);
  drop({150, 50}, kDropText, {text});
  EXPECT_EQ(above_->calls, 1);
  EXPECT_EQ(above_->lastType, kDropText);
  EXPECT_EQ(above_->lastCount, 10);
  EXPECT_EQ(above_->received, (std::vector<std::string>{text}));
  EXPECT_EQ(below_->calls, 0) << "the view on top took it";
}

TEST_F(DropDispatch, AViewThatDeclinesPassesTheDropToTheOneBelow) {
  above_->accepts = false;
  drop({150, 50}, kDropFileNames, {"/tmp/a.wav"});
  EXPECT_EQ(above_->calls, 1);
  EXPECT_EQ(below_->calls, 1);
  above_->setMouseEnabled(false);
  drop({150, 50}, kDropFileNames, {"/tmp/a.wav"});
  EXPECT_EQ(above_->calls, 1) << "a view with the mouse disabled is not offered drops";
  EXPECT_EQ(below_->calls, 2);
}

TEST_F(DropDispatch, TheFrameRefusesDropsWhileAViewHasTheFocusOrIsModal) {
  frame_->setFocusView(above_);
  drop({20, 30}, kDropFileNames, {"/tmp/a.wav"});
  EXPECT_EQ(below_->calls, 0);
  frame_->setFocusView(nullptr);
  auto* modal = new ProbeView({0, 0, 50, 50});
  ASSERT_TRUE(frame_->setModalView(modal));
  drop({20, 30}, kDropFileNames, {"/tmp/a.wav"});
  EXPECT_EQ(below_->calls, 0);
  EXPECT_EQ(modal->drops, 0);
  frame_->setModalView(nullptr);
  modal->release();
  drop({20, 30}, kDropFileNames, {"/tmp/a.wav"});
  EXPECT_EQ(below_->calls, 1);
}

TEST_F(DropDispatch, EmptyDropsCallNobody) {
  drop({20, 30}, kDropFileNames, {});
  drop({20, 30}, kDropText, {});
  EXPECT_EQ(below_->calls, 0);
  EXPECT_EQ(above_->calls, 0);
}

TEST_F(DropDispatch, DropsWaitWhileAControlTracksTheMouse) {
  below_->setMouseEnabled(true);
  auto* tracker = new ProbeView({0, 0, 50, 50});
  frame_->addView(tracker);
  bool dropArrivedDuringTracking = false;
  tracker->onPress = [&](DrawContext*, GuiPoint) {
    window_->postDrop({150, 50}, kDropFileNames, {"/tmp/a.wav"});
    frame_->handleEvents();  // what pumpIdle does on every pass of the tracking loop
    dropArrivedDuringTracking = above_->calls > 0;
  };
  window_->postPaint();
  window_->postPress({10, 10});
  frame_->idle();
  EXPECT_FALSE(dropArrivedDuringTracking);
  frame_->idle();
  EXPECT_EQ(above_->calls, 1) << "delivered once the press was handled";
}

TEST(DropRegistration, AFrameWindowOfTheHeadlessBackEndTakesNoDrops) {
  HeadlessFrameBackend backend;
  GuiFrame frame({0, 0, 10, 10}, reinterpret_cast<void*>(0x99), nullptr, backend);
  EXPECT_FALSE(frame.isDropRegistered());
}

}  // namespace
