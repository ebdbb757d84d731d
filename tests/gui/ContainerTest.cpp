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
    live = GuiView::liveCount();
    frame = std::make_unique<GuiFrame>(
        GuiRect{0, 0, 200, 200}, reinterpret_cast<void*>(std::uintptr_t{9}), nullptr, backend);
    container = new GuiViewContainer({50, 40, 150, 140}, frame.get(), nullptr);
    container->setBackgroundColor(kColorBlue);
    ASSERT_TRUE(frame->addView(container));
  }
  void TearDown() override {
    frame.reset();
    EXPECT_EQ(GuiView::liveCount(), live);
  }
  DrawSurface* buffer() { return frame->getBackBuffer(); }

  HeadlessFrameBackend backend;
  std::unique_ptr<GuiFrame> frame;
  GuiViewContainer* container = nullptr;
  std::int32_t live = 0;
};

TEST_F(ContainerTest, TakesOverTheCreatorsReferenceAndHoldsOneOfItsOwn) {
  auto* child = new ProbeView({0, 0, 10, 10});
  ASSERT_TRUE(container->addView(child));
  EXPECT_EQ(child->getRefCount(), 2);
  EXPECT_EQ(child->getParentView(), container);
  EXPECT_EQ(child->getFrame(), frame.get());
  EXPECT_FALSE(container->addView(child)) << "a child is added once";
  EXPECT_TRUE(container->containsView(child));
  EXPECT_TRUE(container->removeView(child, false));
  EXPECT_EQ(child->getRefCount(), 1) << "without release the creator's reference comes back";
  child->release();
  ProbeView stranger({0, 0, 1, 1});
  EXPECT_TRUE(container->removeView(&stranger));
  EXPECT_EQ(stranger.getRefCount(), 1);
}

TEST_F(ContainerTest, ComposesBackgroundColourAndChildrenAtItsPlace) {
  auto* child = new ProbeView({10, 10, 30, 30}, kColorRed);
  container->addView(child);
  backend.lastWindow()->postPaint();
  frame->idle();
  EXPECT_EQ(buffer()->pixel(55, 45), kColorBlue) << "background colour inside the container";
  EXPECT_EQ(buffer()->pixel(70, 60), kColorRed) << "child at container (20, 20)";
  EXPECT_EQ(buffer()->pixel(45, 45), kColorBlack) << "nothing outside the container";
  frame->idle();  // full draws keep dirty states; the next idle's update cleans up
  EXPECT_FALSE(container->isDirty());
}

TEST_F(ContainerTest, IsDirtyWhenAnyChildIs) {
  auto* child = new ProbeView({0, 0, 5, 5});
  container->addView(child);
  container->draw(nullptr);
  EXPECT_FALSE(container->isDirty());
  child->setDirty(true);
  EXPECT_TRUE(container->isDirty());
}

TEST_F(ContainerTest, ChangedModeRedrawsOnlyDirtyChildren) {
  auto* a = new ProbeView({0, 0, 5, 5});
  auto* b = new ProbeView({10, 0, 15, 5});
  container->addView(a);
  container->addView(b);
  container->setMode(GuiViewContainer::kRedrawChanged);
  container->draw(nullptr);
  const int aDraws = a->draws;
  b->setDirty(true);
  container->update(nullptr);
  EXPECT_EQ(a->draws, aDraws);
  EXPECT_EQ(b->draws, 2);
  container->setMode(GuiViewContainer::kRedrawAll);
  b->setDirty(true);
  container->update(nullptr);
  EXPECT_EQ(a->draws, aDraws + 1) << "mode 0 redraws everything";
}

TEST_F(ContainerTest, PressesArriveInTheContainersCoordinatesAtTheFirstChildHit) {
  auto* first = new ProbeView({0, 0, 50, 50});
  auto* second = new ProbeView({0, 0, 50, 50});
  container->addView(first);
  container->addView(second);
  GuiPoint offsetSeen{-1, -1};
  first->onPress = [&](DrawContext* context, GuiPoint) { offsetSeen = context->getOffset(); };
  backend.lastWindow()->postPress({60, 50});
  frame->idle();
  EXPECT_EQ(first->presses, 1) << "the container searches from the first child";
  EXPECT_EQ(second->presses, 0);
  EXPECT_EQ(first->lastPress, (GuiPoint{10, 10}));
  EXPECT_EQ(offsetSeen, (GuiPoint{50, 40}));
}

TEST_F(ContainerTest, TheMouseRectDecidesTheHit) {
  auto* child = new ProbeView({0, 0, 50, 50});
  container->addView(child, GuiRect{80, 80, 90, 90});
  backend.lastWindow()->postPress({60, 50});
  backend.lastWindow()->postPress({135, 125});
  frame->idle();
  EXPECT_EQ(child->presses, 1);
  EXPECT_EQ(child->lastPress, (GuiPoint{85, 85}));
}

TEST_F(ContainerTest, RemovingAChildWithReleaseDestroysIt) {
  const std::int32_t before = GuiView::liveCount();
  auto* child = new ProbeView({0, 0, 5, 5});
  container->addView(child);
  EXPECT_TRUE(container->removeView(child, true));
  EXPECT_EQ(GuiView::liveCount(), before);
}

}  // namespace
