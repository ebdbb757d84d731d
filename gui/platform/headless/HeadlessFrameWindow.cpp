// Headless frame windows: a queue of posted events, a recorded cursor and settable geometry.
#include "gui/platform/headless/HeadlessFrameWindow.h"

#include <string>
#include <utility>
#include <vector>

namespace {
// Window ids start well above small numbers, so that a test's 0 or 1 is never a window.
constexpr std::uintptr_t kFirstId = 0x400001;
std::uintptr_t nextId = kFirstId;
}  // namespace

HeadlessFrameWindow::HeadlessFrameWindow(HeadlessFrameBackend* owner, std::uintptr_t parent,
                                         std::int32_t width, std::int32_t height, std::string name)
    : owner_(owner),
      parent_(parent),
      id(nextId++),
      width_(width),
      height_(height),
      name_(std::move(name)),
      parentRect_(GuiRect{0, 0, width, height}) {}

HeadlessFrameWindow::~HeadlessFrameWindow() {
  if (openPopup_) openPopup_->detachFromWindow();
  if (owner_) owner_->windowGone(this);
}

void HeadlessFrameWindow::postKey(const KeyInput& key) {
  FrameEvent event{FrameEvent::Kind::key};
  event.key = key;
  postEvent(event);
}

// One key press per UTF-8 character: a lead byte and its continuation bytes.
void HeadlessFrameWindow::postText(const char* utf8) {
  if (!utf8) return;
  for (const char* p = utf8; *p;) {
    std::size_t length = 1;
    while (p[length] && (static_cast<unsigned char>(p[length]) & 0xC0) == 0x80) ++length;
    const std::string character(p, length);
    postKey(KeyInput::typing(character.c_str()));
    p += length;
  }
}

void HeadlessFrameWindow::postFocusLost() { postEvent({FrameEvent::Kind::focusLost}); }

void HeadlessFrameWindow::setKeyboardInput(bool enabled) {
  if (enabled && !keyboardInput) ++keyboardGrants_;
  keyboardInput = enabled;
}

void HeadlessFrameWindow::scriptPopup(std::vector<FrameEvent> events) {
  popupScript.assign(events.begin(), events.end());
}

// Below the anchor if it fits on the screen, else above it; moved sideways onto the screen.
std::unique_ptr<PopupWindow> HeadlessFrameWindow::openPopup(const GuiRect& anchor,
                                                            std::int32_t width,
                                                            std::int32_t height) {
  if (width <= 0 || height <= 0 || openPopup_) return nullptr;
  const GuiPoint at = pointer_.origin();
  std::int32_t top = anchor.bottom;
  if (at.v + top + height > screen_.bottom) top = anchor.top - height;
  std::int32_t left = anchor.left;
  if (at.h + left + width > screen_.right) left = screen_.right - width - at.h;
  if (at.h + left < screen_.left) left = screen_.left - at.h;
  const GuiRect bounds{left, top, left + width, top + height};
  auto popup = std::make_unique<HeadlessPopupWindow>(this, bounds, std::move(popupScript));
  popupScript.clear();
  popups_.push_back({anchor, bounds, true, 0});
  openPopup_ = popup.get();
  return popup;
}

void HeadlessFrameWindow::popupClosed(HeadlessPopupWindow* popup) {
  if (popup != openPopup_) return;
  openPopup_ = nullptr;
  popups_.back().open = false;
}

HeadlessPopupWindow::HeadlessPopupWindow(HeadlessFrameWindow* owner, const GuiRect& bounds,
                                         std::deque<FrameEvent> script)
    : owner_(owner), bounds_(bounds), script_(std::move(script)) {}

HeadlessPopupWindow::~HeadlessPopupWindow() {
  if (owner_) owner_->popupClosed(this);
}

void HeadlessPopupWindow::present(cairo_surface_t*, const GuiRect&) {
  if (open_ && owner_) owner_->popupPresented();
}

std::optional<FrameEvent> HeadlessPopupWindow::nextEvent() {
  if (!open_) return std::nullopt;
  if (script_.empty()) {
    open_ = false;  // the script is over: as if the system had closed the popup
    return std::nullopt;
  }
  const FrameEvent event = script_.front();
  script_.pop_front();
  return event;
}

void HeadlessPopupWindow::detachFromWindow() {
  if (owner_) owner_->popupClosed(this);
  owner_ = nullptr;
  open_ = false;
}

void HeadlessFrameWindow::present(cairo_surface_t* backBuffer, const GuiRect& area) {
  pointer_.present(backBuffer, area);
  presented = presented.unite(area);
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
  FrameEvent drop{FrameEvent::Kind::drop, where};
  drop.dropType = type;
  drop.dropItems = std::move(items);
  postEvent(drop);
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
  for (HeadlessFrameWindow* window : live) window->detachFromBackend();
}

std::unique_ptr<FrameWindow> HeadlessFrameBackend::createChild(std::uintptr_t parent,
                                                               std::int32_t width,
                                                               std::int32_t height,
                                                               const char* name) {
  if (refuse_ || width <= 0 || height <= 0) return nullptr;
  auto window =
      std::make_unique<HeadlessFrameWindow>(this, parent, width, height, name ? name : "");
  live.push_back(window.get());
  ++created;
  return window;
}

void HeadlessFrameBackend::windowGone(HeadlessFrameWindow* window) { std::erase(live, window); }
