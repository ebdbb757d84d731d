// The view base: neutral operations, flags and reference counting.
#include "gui/GuiView.h"

#include <atomic>

namespace {
std::atomic<std::int32_t> liveViews{0};
}  // namespace

GuiView::GuiView(const GuiRect& viewSize) : size(viewSize), mouseRect(viewSize) { ++liveViews; }

GuiView::~GuiView() { --liveViews; }

std::int32_t GuiView::liveCount() { return liveViews.load(); }

void GuiView::draw(DrawContext*) {}
void GuiView::onMouseDown(DrawContext*, GuiPoint) {}

void GuiView::update(DrawContext* context) {
  if (!isDirty()) return;
  draw(context);
  setDirty(false);
}

bool GuiView::onDrop(void**, std::int32_t, std::int32_t, GuiPoint) { return false; }
bool GuiView::onWheel(DrawContext*, GuiPoint, float) { return false; }
void GuiView::loseFocus(DrawContext*) {}
void GuiView::takeFocus(DrawContext*) {}
bool GuiView::isDirty() const { return dirty; }
void GuiView::setDirty(bool state) { dirty = state; }
void GuiView::setMouseEnabled(bool state) { mouseEnabled = state; }
bool GuiView::isMouseEnabled() const { return mouseEnabled; }
void GuiView::setMouseRect(const GuiRect& rect) { mouseRect = rect; }
void GuiView::getMouseRect(GuiRect& rect) const { rect = mouseRect; }
void GuiView::setTransparent(bool state) { transparent = state; }
bool GuiView::isTransparent() const { return transparent; }

void GuiView::setSize(const GuiRect& rect) {
  size = rect;
  setDirty(true);
}

void GuiView::setFrame(GuiFrame* newFrame) { frame = newFrame; }
bool GuiView::onRemoved(GuiView*) { return true; }
bool GuiView::onAttached(GuiView*) { return true; }

void GuiView::release() {
  if (refCount <= 0) return;
  if (--refCount == 0) delete this;
}

void GuiView::retain() { ++refCount; }
std::int32_t GuiView::getRefCount() const { return refCount; }
