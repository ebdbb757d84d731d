// The nesting container: child references, composing in its offscreen, drawing modes and input
// passed on in the container's own coordinates.
#include <gtest/gtest.h>

#include "gui/DrawSurface.h"
#include "gui/GuiFrame.h"
#include "gui/GuiViewContainer.h"
#include "gui/platform/headless/HeadlessFrameWindow.h"
#include "tests/gui/FrameTestSupport.h"

namespace {

class ContainerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    live_ = GuiView::liveCount();
    frame_ = std::make_unique<GuiFrame>(GuiRect{0, 0, 200, 200},
                                       reinterpret_cast<void*>(std::uintptr_t{9}), nullptr,
                                       backend_);
    container_ = new GuiViewContainer({50, 40, 150, 140}, frame_.get(), nullptr);
    container_->setBackgroundColor(kColorBlue);
    ASSERT_TRUE(frame_->addView(container_));
  }
  void TearDown() override {
    frame_.reset();
    EXPECT_EQ(GuiView::liveCount(), live_);
  }
  DrawSurface* buffer() { return frame_->getBackBuffer(); }

  HeadlessFrameBackend backend_;
  std::unique_ptr<GuiFrame> frame_;
  GuiViewContainer* container_ = nullptr;
  std::int32_t live_ = 0;
};

TEST_F(ContainerTest, TakesOverTheCreatorsReferenceAndHoldsOneOfItsOwn) {
  auto* child = new ProbeView({0, 0, 10, 10});
  ASSERT_TRUE(container_->addView(child));
  EXPECT_EQ(child->getRefCount(), 2);
  EXPECT_EQ(child->getParentView(), container_);
  EXPECT_EQ(child->getFrame(), frame_.get());
  EXPECT_FALSE(container_->addView(child)) << "a child is added once";
  EXPECT_TRUE(container_->containsView(child));
  EXPECT_TRUE(container_->removeView(child, false));
  EXPECT_EQ(child->getRefCount(), 1) << "without release the creator's reference comes back";
  child->release();
  ProbeView stranger({0, 0, 1, 1});
  EXPECT_TRUE(container_->removeView(&stranger));
  EXPECT_EQ(stranger.getRefCount(), 1);
}

TEST_F(ContainerTest, ComposesBackgroundColourAndChildrenAtItsPlace) {
  auto* child = new ProbeView({10, 10, 30, 30}, kColorRed);
  container_->addView(child);
  backend_.lastWindow()->postPaint();
  frame_->idle();
  EXPECT_EQ(buffer()->pixel(55, 45), kColorBlue) << "background colour inside the container";
  EXPECT_EQ(buffer()->pixel(70, 60), kColorRed) << "child at container (20, 20)";
  EXPECT_EQ(buffer()->pixel(45, 45), kColorBlack) << "nothing outside the container";
  frame_->idle();  // full draws keep dirty states; the next idle's update cleans up
  EXPECT_FALSE(container_->isDirty());
}

TEST_F(ContainerTest, IsDirtyWhenAnyChildIs) {
  auto* child = new ProbeView({0, 0, 5, 5});
  container_->addView(child);
  container_->draw(nullptr);
  EXPECT_FALSE(container_->isDirty());
  child->setDirty(true);
  EXPECT_TRUE(container_->isDirty());
}

TEST_F(ContainerTest, ChangedModeRedrawsOnlyDirtyChildren) {
  auto* a = new ProbeView({0, 0, 5, 5});
  auto* b = new ProbeView({10, 0, 15, 5});
  container_->addView(a);
  container_->addView(b);
  container_->setMode(GuiViewContainer::kRedrawChanged);
  container_->draw(nullptr);
  const int aDraws = a->draws;
  b->setDirty(true);
  container_->update(nullptr);
  EXPECT_EQ(a->draws, aDraws);
  EXPECT_EQ(b->draws, 2);
  container_->setMode(GuiViewContainer::kRedrawAll);
  b->setDirty(true);
  container_->update(nullptr);
  EXPECT_EQ(a->draws, aDraws + 1) << "mode 0 redraws everything";
}

TEST_F(ContainerTest, PressesArriveInTheContainersCoordinatesAtTheFirstChildHit) {
  auto* first = new ProbeView({0, 0, 50, 50});
  auto* second = new ProbeView({0, 0, 50, 50});
  container_->addView(first);
  container_->addView(second);
  GuiPoint offsetSeen{-1, -1};
  first->onPress = [&](DrawContext* context, GuiPoint) { offsetSeen = context->getOffset(); };
  backend_.lastWindow()->postPress({60, 50});
  frame_->idle();
  EXPECT_EQ(first->presses, 1) << "the container searches from the first child";
  EXPECT_EQ(second->presses, 0);
  EXPECT_EQ(first->lastPress, (GuiPoint{10, 10}));
  EXPECT_EQ(offsetSeen, (GuiPoint{50, 40}));
}

TEST_F(ContainerTest, TheMouseRectDecidesTheHit) {
  auto* child = new ProbeView({0, 0, 50, 50});
  container_->addView(child, GuiRect{80, 80, 90, 90});
  backend_.lastWindow()->postPress({60, 50});
  backend_.lastWindow()->postPress({135, 125});
  frame_->idle();
  EXPECT_EQ(child->presses, 1);
  EXPECT_EQ(child->lastPress, (GuiPoint{85, 85}));
}

TEST_F(ContainerTest, RemovingAChildWithReleaseDestroysIt) {
  const std::int32_t before = GuiView::liveCount();
  auto* child = new ProbeView({0, 0, 5, 5});
  container_->addView(child);
  EXPECT_TRUE(container_->removeView(child, true));
  EXPECT_EQ(GuiView::liveCount(), before);
}

}  // namespace
