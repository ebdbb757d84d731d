// Headless frame windows: a queue of posted events, a recorded cursor and settable geometry.
#include "gui/platform/headless/HeadlessFrameWindow.h"

#include <utility>
#include <vector>

namespace {
// Window ids start well above small numbers, so that a test's 0 or 1 is never a window.
constexpr std::uintptr_t kFirstId = 0x400001;
std::uintptr_t nextId = kFirstId;
}  // namespace

HeadlessFrameWindow::HeadlessFrameWindow(HeadlessFrameBackend* owner, std::uintptr_t parent,
                                         std::int32_t width, std::int32_t height,
                                         std::string name)
    : owner_(owner),
      parent_(parent),
      id_(nextId++),
      width_(width),
      height_(height),
      name_(std::move(name)),
      parentRect_(GuiRect{0, 0, width, height}) {}

HeadlessFrameWindow::~HeadlessFrameWindow() {
  if (owner_) owner_->windowGone(this);
}

void HeadlessFrameWindow::present(cairo_surface_t* backBuffer, const GuiRect& area) {
  pointer_.present(backBuffer, area);
  presented_ = presented_.unite(area);
}

void HeadlessFrameWindow::postEvent(const FrameEvent& event) { events_.push_back(event); }

void HeadlessFrameWindow::postPaint() {
  postEvent({FrameEvent::Kind::paint, {}, 0, 0.0f, {0, 0, width_, height_}});
}

void HeadlessFrameWindow::postPress(GuiPoint where, std::int32_t button) {
  postEvent({FrameEvent::Kind::buttonPress, where, button, 0.0f, {}});
}

void HeadlessFrameWindow::postWheel(GuiPoint where, float distance) {
  postEvent({FrameEvent::Kind::wheel, where, 0, distance, {}});
}

void HeadlessFrameWindow::postDestroyed() { postEvent({FrameEvent::Kind::destroyed}); }

void HeadlessFrameWindow::postDrop(GuiPoint where, std::int32_t type,
                                   std::vector<std::string> items) {
  postEvent({FrameEvent::Kind::drop, where, 0, 0.0f, {}, type, std::move(items)});
}

std::optional<FrameEvent> HeadlessFrameWindow::nextEvent(EventFilter filter) {
  for (auto it = events_.begin(); it != events_.end(); ++it) {
    const bool allowed = filter == EventFilter::all || it->kind == FrameEvent::Kind::paint ||
                         it->kind == FrameEvent::Kind::destroyed;
    if (!allowed) continue;
    const FrameEvent event = *it;
    events_.erase(it);
    return event;
  }
  return std::nullopt;
}

void HeadlessFrameWindow::setCursor(std::int32_t kind) {
  if (kind < kCursorDefault || kind > kCursorDiagonalFalling) return;
  cursor_ = kind;
  ++cursorChanges_;
}

bool HeadlessFrameWindow::resizeWithAncestors(std::int32_t width, std::int32_t height) {
  if (width <= 0 || height <= 0) return false;
  width_ = width;
  height_ = height;
  return true;
}

HeadlessFrameBackend::~HeadlessFrameBackend() {
  for (HeadlessFrameWindow* window : live_) window->detachFromBackend();
}

std::unique_ptr<FrameWindow> HeadlessFrameBackend::createChild(std::uintptr_t parent,
                                                               std::int32_t width,
                                                               std::int32_t height,
                                                               const char* name) {
  if (refuse_ || width <= 0 || height <= 0) return nullptr;
  auto window =
      std::make_unique<HeadlessFrameWindow>(this, parent, width, height, name ? name : "");
  live_.push_back(window.get());
  ++created_;
  return window;
}

void HeadlessFrameBackend::windowGone(HeadlessFrameWindow* window) {
  std::erase(live_, window);
}
