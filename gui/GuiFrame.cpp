// The frame: view list, drawing through the back buffer, event dispatch, focus and modal views,
// cursors, geometry and own-window mode.
#include "gui/GuiFrame.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

#include "gui/DrawContext.h"
#include "gui/DrawSurface.h"
#include "gui/EditorBase.h"
#include "gui/GuiBitmap.h"
#include "gui/GuiDrop.h"
#include "gui/KeyboardTarget.h"
#include "host/EffectBaseX.h"

namespace {

constexpr std::int32_t kViewArrayGrowth = 10;
// Events handled in one call, so that a flood of them cannot hold the host's thread.
constexpr int kEventsPerCall = 64;

std::int32_t windowClassCount = 0;

// Keeps a view alive while one of its operations runs, even if that operation has it removed
// from the frame and released.
class Hold {
 public:
  explicit Hold(GuiView* view) : view_(view) { view_->retain(); }
  ~Hold() { view_->release(); }
  Hold(const Hold&) = delete;
  Hold& operator=(const Hold&) = delete;

 private:
  GuiView* view_;
};

}  // namespace

const char* GuiFrame::windowClassName() {
  static char name[32] = {};
  if (name[0] == 0) {
    const auto identity = reinterpret_cast<std::uintptr_t>(&windowClassCount);
    std::snprintf(name, sizeof name, "Plugin%08x", static_cast<unsigned>(identity & 0xFFFFFFFFu));
  }
  return name;
}

std::int32_t GuiFrame::windowClassUsers() { return windowClassCount; }

GuiFrame::GuiFrame(const GuiRect& frameSize, void* parentWindow, EditorBase* frameEditor,
                   FrameBackend& frameBackend)
    : GuiView(frameSize),
      editor(frameEditor),
      systemWindow(parentWindow),
      backend(frameBackend),
      backBuffer(std::make_unique<DrawSurface>(frameSize.width(), frameSize.height())) {
  ++windowClassCount;
  createWindow(reinterpret_cast<std::uintptr_t>(parentWindow));
  if (!window) {
    isOpen = false;
    systemWindow = nullptr;
  }
}

GuiFrame::GuiFrame(const GuiRect& frameSize, const char* title, EditorBase* frameEditor,
                   std::int32_t style, FrameBackend& frameBackend)
    : GuiView(frameSize),
      editor(frameEditor),
      systemWindow(nullptr),
      ownWindowMode(true),
      windowInfo(new (std::nothrow) VstWindow{}),
      backend(frameBackend),
      backBuffer(std::make_unique<DrawSurface>(frameSize.width(), frameSize.height())) {
  ++windowClassCount;
  if (windowInfo) {
    if (title) std::snprintf(windowInfo->title, sizeof windowInfo->title, "%s", title);
    windowInfo->style = style;
  }
}

GuiFrame::CallGuard::CallGuard(GuiFrame& frame) : frame_(&frame), outer(frame.callGuards) {
  frame.callGuards = this;
}

GuiFrame::CallGuard::~CallGuard() {
  if (!frameGone_) frame_->callGuards = outer;
}

GuiFrame::~GuiFrame() {
  if (cursorChanged) setCursor(kCursorDefault);
  modalView = nullptr;
  removeAll(true);
  setBackground(nullptr);
  if (callGuards) {
    CallGuard* outermost = callGuards;
    for (CallGuard* guard = callGuards; guard; guard = guard->outer) {
      guard->frameGone_ = true;
      outermost = guard;
    }
    outermost->keptWindow = std::move(window);
    outermost->keptBuffer = std::move(backBuffer);
  }
  if (ownWindowMode) {
    closeWindow();
  } else {
    window.reset();
  }
  --windowClassCount;
}

void GuiFrame::createWindow(std::uintptr_t parent) {
  window = backend.createChild(parent, size.width(), size.height(), windowClassName());
  dropRegistered = window && window->acceptsDrops();
}

// ---- the view list ------------------------------------------------------------------------

GuiView* GuiFrame::getView(std::int32_t index) const {
  return index >= 0 && index < viewCount ? views[static_cast<std::size_t>(index)] : nullptr;
}

bool GuiFrame::addView(GuiView* view) {
  if (!view || view == this || containsView(view)) return false;
  if (viewCount == viewCapacity) {
    const std::int32_t grown = viewCapacity + kViewArrayGrowth;
    std::unique_ptr<GuiView*[]> larger(new (std::nothrow)
                                           GuiView*[static_cast<std::size_t>(grown)]);
    if (!larger) return false;  // the list stays as it was
    for (std::int32_t i = 0; i < viewCount; ++i)
      larger[static_cast<std::size_t>(i)] = views[static_cast<std::size_t>(i)];
    views = std::move(larger);
    viewCapacity = grown;
  }
  views[static_cast<std::size_t>(viewCount++)] = view;
  view->setFrame(this);
  view->onAttached(this);
  return true;
}

bool GuiFrame::removeView(GuiView* view, bool withRelease) {
  for (std::int32_t i = 0; i < viewCount; ++i) {
    if (views[static_cast<std::size_t>(i)] != view) continue;
    for (std::int32_t j = i + 1; j < viewCount; ++j) {
      views[static_cast<std::size_t>(j - 1)] = views[static_cast<std::size_t>(j)];
    }
    --viewCount;
    // A view that leaves the list can no longer hold the focus.
    if (focusView == view) focusView = nullptr;
    view->onRemoved(this);
    view->setFrame(nullptr);
    if (withRelease) view->release();
    break;
  }
  return true;
}

bool GuiFrame::removeAll(bool withRelease) {
  if (focusView) {
    GuiView* previous = std::exchange(focusView, nullptr);
    previous->loseFocus(nullptr);
  }
  // The list is taken first, so that views removing themselves while they go find it empty.
  std::unique_ptr<GuiView*[]> taken = std::move(views);
  const std::int32_t count = std::exchange(viewCount, 0);
  viewCapacity = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    GuiView* view = taken[static_cast<std::size_t>(i)];
    view->onRemoved(this);
    view->setFrame(nullptr);
    if (withRelease) view->release();
  }
  return true;
}

bool GuiFrame::containsView(GuiView* view) const {
  for (std::int32_t i = 0; i < viewCount; ++i) {
    if (views[static_cast<std::size_t>(i)] == view) return true;
  }
  return false;
}

void GuiFrame::setBackground(GuiBitmap* bitmap) {
  if (bitmap) bitmap->retain();
  if (background) background->release();
  background = bitmap;
}

void GuiFrame::setFocusView(GuiView* view) {
  GuiView* previous = std::exchange(focusView, view);
  if (previous && previous != view) previous->loseFocus(nullptr);
}

void GuiFrame::setKeyboardTarget(KeyboardTarget* target) {
  const bool had = keyboardTarget != nullptr;
  keyboardTarget = target;
  if (window && isOpen && had != (target != nullptr)) window->setKeyboardInput(target != nullptr);
}

bool GuiFrame::setModalView(GuiView* view) {
  if (view && modalView) return false;
  if (modalView) {
    GuiView* previous = std::exchange(modalView, nullptr);
    previous->onRemoved(this);
    setDirty(true);  // what the modal view covered is drawn again at the next idle
  }
  modalView = view;
  if (view) {
    view->setFrame(this);
    view->onAttached(this);
  }
  return true;
}

// ---- drawing ----------------------------------------------------------------------------

void GuiFrame::draw(DrawContext* context) {
  firstDrawPending = false;
  if (background) {
    background->draw(context, {0, 0, background->getWidth(), background->getHeight()});
  }
  for (std::int32_t i = 0; i < viewCount; ++i) {
    GuiView* view = views[static_cast<std::size_t>(i)];
    const bool wasDirty = view->isDirty();
    view->draw(context);
    view->setDirty(wasDirty);
  }
  if (modalView) modalView->draw(context);
}

void GuiFrame::update(DrawContext* context) {
  if (!isOpen) return;
  if (modalView) {
    modalView->update(context);
    return;
  }
  if (isDirty()) {
    draw(context);
    setDirty(false);
    return;
  }
  for (std::int32_t i = 0; i < viewCount; ++i) views[static_cast<std::size_t>(i)]->update(context);
}

bool GuiFrame::needsDrawing() const {
  if (modalView || isDirty()) return true;
  for (std::int32_t i = 0; i < viewCount; ++i) {
    if (views[static_cast<std::size_t>(i)]->isDirty()) return true;
  }
  return false;
}

void GuiFrame::idle() {
  const CallGuard guard(*this);
  handleEvents();
  if (guard.frameGone()) return;
  if (!isOpen || firstDrawPending || !window || !needsDrawing()) return;
  DrawContext context(this, backBuffer.get(), window.get(), size);
  update(&context);
}

void GuiFrame::drawView(GuiView* view) {
  if (!isOpen || !window) return;
  DrawContext context(this, backBuffer.get(), window.get(), size);
  if (view && containsView(view)) {
    view->draw(&context);
  } else {
    draw(&context);
  }
}

// A full draw into the back buffer; then the area the window lost is shown again from the back
// buffer, even where nothing was painted.
void GuiFrame::paintWindow(const GuiRect& area) {
  {
    DrawContext context(this, backBuffer.get(), window.get(), size);
    draw(&context);
  }
  if (!area.isEmpty()) window->present(backBuffer->cairoSurface(), area);
}

// ---- events -------------------------------------------------------------------------------

void GuiFrame::handleEvents() {
  if (!window) return;
  const CallGuard guard(*this);
  const EventFilter filter = pressDepth > 0 ? EventFilter::paintOnly : EventFilter::all;
  for (int handled = 0; handled < kEventsPerCall && isOpen; ++handled) {
    const std::optional<FrameEvent> event = window->nextEvent(filter);
    if (!event) break;
    dispatchEvent(*event);
    if (guard.frameGone()) return;
  }
}

bool GuiFrame::handleOnePendingPaint() {
  if (!window || !isOpen) return false;
  const std::optional<FrameEvent> event = window->nextEvent(EventFilter::paintOnly);
  if (!event) return false;
  dispatchEvent(*event);
  return true;
}

void GuiFrame::dispatchEvent(const FrameEvent& event) {
  switch (event.kind) {
    case FrameEvent::Kind::paint: paintWindow(event.area); break;
    case FrameEvent::Kind::buttonPress: pressAt(event.where); break;
    case FrameEvent::Kind::wheel:
      if (editor) {
        editor->onWheel(event.distance);
      } else {
        onWheel(nullptr, {}, event.distance);
      }
      break;
    case FrameEvent::Kind::destroyed:
      isOpen = false;
      systemWindow = nullptr;
      // An open text field has lost its window: it closes as on any loss of focus.
      if (KeyboardTarget* target = std::exchange(keyboardTarget, nullptr)) {
        target->onKeyboardFocusLost();
      }
      break;
    case FrameEvent::Kind::drop: deliverDrop(*this, event); break;
    case FrameEvent::Kind::key:
      if (keyboardTarget) keyboardTarget->onKey(event.key);
      break;
    case FrameEvent::Kind::focusLost:
      if (keyboardTarget) keyboardTarget->onKeyboardFocusLost();
      break;
    case FrameEvent::Kind::buttonRelease:
    case FrameEvent::Kind::motion: break;  // frames track the pointer by polling
  }
}

void GuiFrame::pressAt(GuiPoint where) {
  const CallGuard guard(*this);
  ++pressDepth;
  {
    DrawContext context(this, backBuffer.get(), window.get(), size);
    onMouseDown(&context, where);
  }
  if (guard.frameGone()) return;
  --pressDepth;
  if (window) window->pressDispatched();
}

void GuiFrame::onMouseDown(DrawContext* context, GuiPoint where) {
  if (focusView) {
    GuiView* previous = std::exchange(focusView, nullptr);
    previous->loseFocus(nullptr);
  }
  if (modalView) {
    if (containsInclusive(modalView->getSize(), where)) {
      const Hold hold(modalView);
      modalView->onMouseDown(context, where);
    }
    return;
  }
  for (std::int32_t i = viewCount - 1; i >= 0; --i) {
    GuiView* view = views[static_cast<std::size_t>(i)];
    if (!view->isMouseEnabled() || !containsInclusive(view->getSize(), where)) continue;
    const Hold hold(view);
    view->onMouseDown(context, where);
    return;
  }
}

void GuiFrame::getCursorInFrame(GuiPoint& where) {
  if (!window || !isOpen) {
    where = {};
    return;
  }
  const GuiPoint screen = window->pointerPosition();
  const GuiPoint origin = window->origin();
  where = {saturateToInt32(std::int64_t{screen.h} - origin.h),
           saturateToInt32(std::int64_t{screen.v} - origin.v)};
}

GuiView* GuiFrame::findViewAt() {
  GuiPoint where;
  getCursorInFrame(where);
  for (std::int32_t i = viewCount - 1; i >= 0; --i) {
    GuiView* view = views[static_cast<std::size_t>(i)];
    if (containsInclusive(view->getSize(), where)) return view;
  }
  return nullptr;
}

bool GuiFrame::onWheel(DrawContext*, GuiPoint, float distance) {
  if (!isOpen || !window) return false;
  GuiView* view = findViewAt();
  if (!view) return false;
  GuiPoint where;
  getCursorInFrame(where);
  const CallGuard guard(*this);
  const Hold hold(view);
  DrawContext context(this, backBuffer.get(), window.get(), size);
  return view->onWheel(&context, where, distance);
}

bool GuiFrame::onDrop(void** items, std::int32_t count, std::int32_t type, GuiPoint where) {
  if (modalView || focusView) return false;
  for (std::int32_t i = viewCount - 1; i >= 0; --i) {
    GuiView* view = views[static_cast<std::size_t>(i)];
    if (!view->isMouseEnabled() || !containsInclusive(view->getSize(), where)) continue;
    const Hold hold(view);
    if (view->onDrop(items, count, type, where)) return true;
  }
  return false;
}

// ---- host bracket, cursor, geometry ---------------------------------------------------------

void GuiFrame::beginEdit(std::int32_t tag) {
  EffectBaseX* effect = editor ? editor->getEffect() : nullptr;
  if (effect) effect->hostBeginEdit(tag);
}

std::int32_t GuiFrame::endEdit(std::int32_t tag) {
  EffectBaseX* effect = editor ? editor->getEffect() : nullptr;
  return effect ? (effect->hostEndEdit(tag) ? 1 : 0) : 0;
}

void GuiFrame::setCursor(std::int32_t kind) {
  if (kind < kCursorDefault || kind > kCursorDiagonalFalling) return;
  if (!window || !isOpen) return;
  cursorChanged = true;
  window->setCursor(kind);
}

bool GuiFrame::getPosition(std::int32_t& x, std::int32_t& y) {
  if (!isOpen || !window) return false;
  const std::optional<GuiPoint> position = window->topWindowPosition();
  if (!position) return false;
  x = position->h;
  y = position->v;
  return true;
}

bool GuiFrame::setSize(std::int32_t width, std::int32_t height) {
  if (!isOpen || !window) return false;
  if (width == size.width() && height == size.height()) return false;
  if (width <= 0 || height <= 0 || width > DrawSurface::kMaxSide ||
      height > DrawSurface::kMaxSide) {
    return false;
  }
  auto larger = std::make_unique<DrawSurface>(width, height);
  if (larger->isEmpty()) return false;
  size = {size.left, size.top, saturateToInt32(std::int64_t{size.left} + width),
          saturateToInt32(std::int64_t{size.top} + height)};
  backBuffer = std::move(larger);
  window->resizeWithAncestors(width, height);
  setDirty(true);
  return true;
}

bool GuiFrame::getSize(GuiRect& rect) {
  if (!isOpen || !window) return false;
  const std::optional<GuiRect> parent = window->parentRect();
  if (!parent) return false;
  rect = *parent;
  return true;
}

// ---- own-window mode ------------------------------------------------------------------------

bool GuiFrame::openWindow(GuiPoint position) {
  if (!ownWindowMode || !windowInfo) return false;
  if (window) return false;  // already open
  EffectBaseX* effect = editor ? editor->getEffect() : nullptr;
  if (!effect) return false;
  windowInfo->xPos = static_cast<VstInt16>(position.h);
  windowInfo->yPos = static_cast<VstInt16>(position.v);
  windowInfo->width = static_cast<VstInt16>(size.width());
  windowInfo->height = static_cast<VstInt16>(size.height());
  hostWindow = effect->hostOpenWindow(windowInfo.get());
  if (!hostWindow) return false;
  createWindow(reinterpret_cast<std::uintptr_t>(hostWindow));
  if (!window) {
    effect->hostCloseWindow(windowInfo.get());
    hostWindow = nullptr;
    return false;
  }
  systemWindow = hostWindow;
  isOpen = true;
  firstDrawPending = true;
  return true;
}

void GuiFrame::closeWindow() {
  if (!ownWindowMode || !hostWindow) return;
  window.reset();
  dropRegistered = false;
  EffectBaseX* effect = editor ? editor->getEffect() : nullptr;
  if (effect && windowInfo) effect->hostCloseWindow(windowInfo.get());
  hostWindow = nullptr;
  systemWindow = nullptr;
}
