// GuiViewContainer: a view that nests other views (the panel itself does not use it). Children
// have rectangles in the container's own coordinates and are composed in an offscreen of the
// container's size over its background bitmap or colour, then copied to the frame in one block.
// Like the frame, the container takes over the creator's reference when a child is added (given
// back by removal without release) and holds one more of its own for its list. Mouse, wheel and
// drop reach the first child (in list order) whose mouse rectangle holds the point, made relative
// to the container.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "gui/GuiView.h"

class GuiBitmap;
class OffscreenContext;

class GuiViewContainer : public GuiView {
 public:
  // Drawing modes: everything is redrawn when anything is dirty, or only the dirty children
  // unless the container itself was marked dirty.
  enum Mode : std::int32_t { kRedrawAll = 0, kRedrawChanged = 1 };

  // Retains `background` (may be null).
  GuiViewContainer(const GuiRect& size, GuiFrame* frame, GuiBitmap* background);
  ~GuiViewContainer() override;

  void draw(DrawContext* context) override;
  void onMouseDown(DrawContext* context, GuiPoint where) override;
  void update(DrawContext* context) override;
  bool onDrop(void** items, std::int32_t count, std::int32_t type, GuiPoint where) override;
  bool onWheel(DrawContext* context, GuiPoint where, float distance) override;
  void loseFocus(DrawContext* context) override;
  void takeFocus(DrawContext* context) override;
  // The container or any child is dirty.
  bool isDirty() const override;
  void setSize(const GuiRect& rect) override;
  void setFrame(GuiFrame* newFrame) override;
  bool onRemoved(GuiView* parent) override;
  bool onAttached(GuiView* parent) override;

  // Appends and retains the view; false for null, this container or a view already inside.
  virtual bool addView(GuiView* view);
  // The same after setting the view's mouse flag and mouse rectangle.
  virtual bool addView(GuiView* view, const GuiRect& mouseArea, bool enableMouse = true);
  // True whether or not the view was inside.
  virtual bool removeView(GuiView* view, bool withRelease = true);
  virtual bool removeAll(bool withRelease = true);
  virtual bool containsView(GuiView* view) const;

  void setBackgroundColor(GuiColor color) { backgroundColor = color; }
  GuiColor getBackgroundColor() const { return backgroundColor; }
  void setBackgroundOffset(GuiPoint offset) { backgroundOffset = offset; }
  void setMode(std::int32_t newMode) { mode = newMode; }
  std::int32_t getMode() const { return mode; }
  std::int32_t getViewCount() const { return static_cast<std::int32_t>(children.size()); }

 private:
  void makeOffscreen();
  void composeAll();
  void copyOut(DrawContext* context);
  GuiView* childAt(GuiPoint local) const;

  std::vector<GuiView*> children;
  GuiBitmap* background = nullptr;
  GuiColor backgroundColor = kColorBlack;
  GuiPoint backgroundOffset{};
  std::int32_t mode = kRedrawAll;
  std::unique_ptr<OffscreenContext> offscreen;
};
