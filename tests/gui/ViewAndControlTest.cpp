// The view and control base classes: starting state, reference counting, the control's value
// model and dirty rules, its background bitmap's references and its idle pump.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "gui/EditorBase.h"
#include "gui/GuiBitmap.h"
#include "gui/GuiFrame.h"
#include "gui/platform/headless/HeadlessFrameWindow.h"
#include "tests/gui/FrameTestSupport.h"

namespace {

TEST(GuiView, StartsWithOneReferenceDirtyMouseEnabledOpaqueAndMouseRectEqualToSize) {
  ProbeView view({1, 2, 30, 40});
  EXPECT_EQ(view.getRefCount(), 1);
  EXPECT_TRUE(view.isDirty());
  EXPECT_TRUE(view.isMouseEnabled());
  EXPECT_FALSE(view.isTransparent());
  GuiRect mouse;
  view.getMouseRect(mouse);
  EXPECT_EQ(mouse, (GuiRect{1, 2, 30, 40}));
  EXPECT_EQ(view.getFrame(), nullptr);
  EXPECT_EQ(view.getParentView(), nullptr);
}

TEST(GuiView, SetSizeStoresAndMarksDirty) {
  ProbeView view({0, 0, 10, 10});
  view.setDirty(false);
  view.setSize({5, 5, 20, 20});
  EXPECT_EQ(view.getSize(), (GuiRect{5, 5, 20, 20}));
  EXPECT_TRUE(view.isDirty());
}

TEST(GuiView, UpdateDrawsOnlyWhenDirtyThenCleans) {
  ProbeView view({0, 0, 10, 10});
  view.update(nullptr);
  EXPECT_EQ(view.draws, 1);
  EXPECT_FALSE(view.isDirty());
  view.update(nullptr);
  EXPECT_EQ(view.draws, 1);
}

TEST(GuiView, TheLastReleaseDestroysAndACountOfZeroIsLeftAlone) {
  const std::int32_t live = GuiView::liveCount();
  auto* view = new ProbeView({0, 0, 1, 1});
  view->retain();
  EXPECT_EQ(view->getRefCount(), 2);
  view->release();
  EXPECT_EQ(GuiView::liveCount(), live + 1);
  view->release();
  EXPECT_EQ(GuiView::liveCount(), live);
}

TEST(GuiView, NeutralOperationsAnswerFalse) {
  ProbeView probe({0, 0, 1, 1});
  GuiView& view = probe;
  EXPECT_FALSE(view.GuiView::onDrop(nullptr, 0, 0, {}));
  EXPECT_FALSE(view.GuiView::onWheel(nullptr, {}, 1.0f));
  EXPECT_TRUE(view.GuiView::onAttached(nullptr));
  EXPECT_TRUE(view.GuiView::onRemoved(nullptr));
}

TEST(GuiControl, StartsWithTheDesignedValues) {
  ProbeControl control({0, 0, 10, 10}, nullptr, 42);
  EXPECT_EQ(control.getTag(), 42);
  EXPECT_EQ(control.getValue(), 0.0f);
  EXPECT_EQ(control.getOldValue(), 1.0f);
  EXPECT_EQ(control.getDefaultValue(), 0.5f);
  EXPECT_EQ(control.getMin(), 0.0f);
  EXPECT_EQ(control.getMax(), 1.0f);
  EXPECT_EQ(control.getWheelIncrement(), 0.1f);
  EXPECT_EQ(control.getBackground(), nullptr);
  EXPECT_FALSE(control.isTransparent());
  EXPECT_TRUE(control.isMouseEnabled());
}

struct DirtyCase {
  const char* name;
  float value;
};

TEST(GuiControl, SetDirtyTrueMakesTheNextIsDirtyTrueWhateverTheValue) {
  const DirtyCase cases[] = {
      {"zero", 0.0f}, {"one", 1.0f}, {"minus one", -1.0f}, {"half", 0.5f}, {"large", 1e30f}};
  for (const DirtyCase& c : cases) {
    ProbeControl control({0, 0, 1, 1}, nullptr, 0);
    control.setValue(c.value);
    control.setDirty(false);
    ASSERT_FALSE(control.isDirty()) << c.name;
    control.setDirty(true);
    EXPECT_TRUE(control.isDirty()) << c.name;
    EXPECT_NE(control.getOldValue(), control.getValue()) << c.name;
  }
}

TEST(GuiControl, SetDirtyFalseTakesTheValueAsDrawnAndANewValueDirtiesAgain) {
  ProbeControl control({0, 0, 1, 1}, nullptr, 0);
  control.setValue(0.25f);
  control.setDirty(false);
  EXPECT_EQ(control.getOldValue(), 0.25f);
  EXPECT_FALSE(control.isDirty());
  control.setValue(0.25f);
  EXPECT_FALSE(control.isDirty()) << "the same value is no change";
  control.setValue(0.75f);
  EXPECT_TRUE(control.isDirty());
}

TEST(GuiControl, NonFiniteValuesAreIgnored) {
  ProbeControl control({0, 0, 1, 1}, nullptr, 0);
  control.setValue(0.3f);
  for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                    -std::numeric_limits<float>::infinity()}) {
    control.setValue(bad);
    EXPECT_EQ(control.getValue(), 0.3f) << bad;
  }
}

struct ClampCase {
  float value;
  float expected;
};

TEST(GuiControl, ClampValueKeepsTheValueBetweenMinAndMax) {
  const ClampCase cases[] = {{-3.0f, 0.2f}, {0.5f, 0.5f}, {7.0f, 0.8f}, {0.2f, 0.2f}, {0.8f, 0.8f}};
  for (const ClampCase& c : cases) {
    ProbeControl control({0, 0, 1, 1}, nullptr, 0);
    control.setMin(0.2f);
    control.setMax(0.8f);
    control.setValue(c.value);
    control.clampValue();
    EXPECT_EQ(control.getValue(), c.expected) << "value " << c.value;
  }
}

TEST(GuiControl, HoldsOneReferenceToItsBackgroundWhileItHasIt) {
  const std::int32_t liveBitmaps = GuiBitmap::liveCount();
  auto* first = new GuiBitmap(10, 10);
  auto* second = new GuiBitmap(10, 10);
  {
    ProbeControl control({0, 0, 1, 1}, nullptr, 0, first);
    EXPECT_EQ(first->getRefCount(), 2);
    control.setBackground(second);
    EXPECT_EQ(first->getRefCount(), 1);
    EXPECT_EQ(second->getRefCount(), 2);
    control.setBackground(second);
    EXPECT_EQ(second->getRefCount(), 2) << "setting the same bitmap again keeps one reference";
    EXPECT_EQ(control.getBackground(), second);
  }
  EXPECT_EQ(second->getRefCount(), 1);
  first->release();
  second->release();
  EXPECT_EQ(GuiBitmap::liveCount(), liveBitmaps);
}

TEST(GuiControl, PumpIdleReachesTheEditorOfItsFrameOnly) {
  HeadlessFrameBackend backend;
  RecordingEffect effect;
  auto* editor = new CountingEditor(&effect, backend);  // owned by the effect
  ProbeControl loose({0, 0, 1, 1}, nullptr, 0);
  loose.pumpIdle();  // no frame: nothing
  editor->open(reinterpret_cast<void*>(std::uintptr_t{1}));
  auto* control = new ProbeControl({0, 0, 1, 1}, nullptr, 0);
  ASSERT_TRUE(editor->getFrame()->addView(control));
  backend.manualClock().advance(500);
  control->pumpIdle();
  EXPECT_EQ(effect.count(audioMasterIdle), 1);
  editor->close();
}

}  // namespace
