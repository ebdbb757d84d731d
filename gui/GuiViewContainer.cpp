// The nesting view: children composed in an offscreen, input passed on in local coordinates.
#include "gui/GuiViewContainer.h"

#include <algorithm>
#include <new>

#include "gui/DrawContext.h"
#include "gui/GuiBitmap.h"
#include "gui/OffscreenContext.h"

namespace {

// Moves a context's offset and window origin to the container's corner for one call, so that a
// child draws and reads the pointer in the container's coordinates.
class LocalOrigin {
 public:
  LocalOrigin(DrawContext* context, GuiPoint corner) : context_(context) {
    if (!context_) return;
    offset_ = context_->getOffset();
    origin_ = context_->getWindowOrigin();
    context_->setOffset(offset_.offsetBy(corner));
    context_->setWindowOrigin(origin_.offsetBy(corner));
  }
  ~LocalOrigin() {
    if (!context_) return;
    context_->setOffset(offset_);
    context_->setWindowOrigin(origin_);
  }
  LocalOrigin(const LocalOrigin&) = delete;
  LocalOrigin& operator=(const LocalOrigin&) = delete;

 private:
  DrawContext* context_;
  GuiPoint offset_{};
  GuiPoint origin_{};
};

GuiPoint relative(GuiPoint where, const GuiRect& to) {
  return {saturateToInt32(std::int64_t{where.h} - to.left),
          saturateToInt32(std::int64_t{where.v} - to.top)};
}

}  // namespace

GuiViewContainer::GuiViewContainer(const GuiRect& containerSize, GuiFrame* owner,
                                   GuiBitmap* backgroundBitmap)
    : GuiView(containerSize) {
  frame = owner;
  background = backgroundBitmap;
  if (background) background->retain();
}

GuiViewContainer::~GuiViewContainer() {
  removeAll(true);
  if (background) background->release();
}

bool GuiViewContainer::addView(GuiView* view) {
  if (!view || view == this || containsView(view)) return false;
  try {
    children.push_back(view);
  } catch (const std::bad_alloc&) {
    return false;
  }
  view->retain();
  view->setFrame(frame);
  view->setParentView(this);
  view->onAttached(this);
  return true;
}

bool GuiViewContainer::addView(GuiView* view, const GuiRect& mouseArea, bool enableMouse) {
  if (!view) return false;
  view->setMouseEnabled(enableMouse);
  view->setMouseRect(mouseArea);
  return addView(view);
}

bool GuiViewContainer::removeView(GuiView* view, bool withRelease) {
  const auto it = std::find(children.begin(), children.end(), view);
  if (it == children.end()) return true;
  children.erase(it);
  view->onRemoved(this);
  view->setParentView(nullptr);
  if (withRelease) view->release();
  view->release();  // the container's own reference
  return true;
}

bool GuiViewContainer::removeAll(bool withRelease) {
  std::vector<GuiView*> taken;
  taken.swap(children);
  for (GuiView* view : taken) {
    view->onRemoved(this);
    view->setParentView(nullptr);
    if (withRelease) view->release();
    view->release();
  }
  return true;
}

bool GuiViewContainer::containsView(GuiView* view) const {
  return std::find(children.begin(), children.end(), view) != children.end();
}

void GuiViewContainer::makeOffscreen() {
  if (offscreen) return;
  offscreen = std::make_unique<OffscreenContext>(frame, size.width(), size.height(), kColorBlack);
}

// Background, then every child, into the offscreen.
void GuiViewContainer::composeAll() {
  makeOffscreen();
  const GuiRect all{0, 0, size.width(), size.height()};
  if (background) {
    background->draw(offscreen.get(), all, backgroundOffset);
  } else {
    offscreen->setFillColor(backgroundColor);
    offscreen->fillRect({-1, -1, all.right, all.bottom});
  }
  for (GuiView* view : children) view->draw(offscreen.get());
}

void GuiViewContainer::copyOut(DrawContext* context) {
  if (offscreen) offscreen->copyTo(context, size);
}

void GuiViewContainer::draw(DrawContext* context) {
  composeAll();
  copyOut(context);
  for (GuiView* view : children) view->setDirty(false);
  dirty = false;
}

void GuiViewContainer::update(DrawContext* context) {
  if (mode == kRedrawAll || dirty) {
    if (isDirty()) draw(context);
    return;
  }
  makeOffscreen();
  bool changed = false;
  for (GuiView* view : children) {
    if (!view->isDirty()) continue;
    view->update(offscreen.get());
    changed = true;
  }
  if (changed) copyOut(context);
}

GuiView* GuiViewContainer::childAt(GuiPoint local) const {
  for (GuiView* view : children) {
    GuiRect area;
    view->getMouseRect(area);
    if (view->isMouseEnabled() && containsInclusive(area, local)) return view;
  }
  return nullptr;
}

void GuiViewContainer::onMouseDown(DrawContext* context, GuiPoint where) {
  const GuiPoint local = relative(where, size);
  GuiView* view = childAt(local);
  if (!view) return;
  const LocalOrigin scope(context, size.topLeft());
  view->retain();
  view->onMouseDown(context, local);
  view->release();
}

bool GuiViewContainer::onWheel(DrawContext* context, GuiPoint where, float distance) {
  const GuiPoint local = relative(where, size);
  GuiView* view = childAt(local);
  if (!view) return false;
  const LocalOrigin scope(context, size.topLeft());
  view->retain();
  const bool taken = view->onWheel(context, local, distance);
  view->release();
  return taken;
}

bool GuiViewContainer::onDrop(void** items, std::int32_t count, std::int32_t type, GuiPoint where) {
  const GuiPoint local = relative(where, size);
  for (GuiView* view : children) {
    GuiRect area;
    view->getMouseRect(area);
    if (!view->isMouseEnabled() || !containsInclusive(area, local)) continue;
    if (view->onDrop(items, count, type, local)) return true;
  }
  return false;
}

void GuiViewContainer::loseFocus(DrawContext* context) {
  for (GuiView* view : children) view->loseFocus(context);
}

void GuiViewContainer::takeFocus(DrawContext* context) {
  for (GuiView* view : children) view->takeFocus(context);
}

bool GuiViewContainer::isDirty() const {
  if (dirty) return true;
  return std::any_of(children.begin(), children.end(),
                     [](const GuiView* view) { return view->isDirty(); });
}

void GuiViewContainer::setSize(const GuiRect& rect) {
  GuiView::setSize(rect);
  offscreen.reset();
  makeOffscreen();
}

void GuiViewContainer::setFrame(GuiFrame* newFrame) {
  GuiView::setFrame(newFrame);
  for (GuiView* view : children) view->setFrame(newFrame);
}

bool GuiViewContainer::onAttached(GuiView*) {
  makeOffscreen();
  return true;
}

bool GuiViewContainer::onRemoved(GuiView*) {
  offscreen.reset();
  return true;
}
