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
      editor_(frameEditor),
      systemWindow_(parentWindow),
      backend_(frameBackend),
      backBuffer_(std::make_unique<DrawSurface>(frameSize.width(), frameSize.height())) {
  ++windowClassCount;
  createWindow(reinterpret_cast<std::uintptr_t>(parentWindow));
  if (!window_) {
    isOpen_ = false;
    systemWindow_ = nullptr;
  }
}

GuiFrame::GuiFrame(const GuiRect& frameSize, const char* title, EditorBase* frameEditor,
                   std::int32_t style, FrameBackend& frameBackend)
    : GuiView(frameSize),
      editor_(frameEditor),
      systemWindow_(nullptr),
      ownWindowMode_(true),
      windowInfo_(new (std::nothrow) VstWindow{}),
      backend_(frameBackend),
      backBuffer_(std::make_unique<DrawSurface>(frameSize.width(), frameSize.height())) {
  ++windowClassCount;
  if (windowInfo_) {
    if (title) std::snprintf(windowInfo_->title, sizeof windowInfo_->title, "%s", title);
    windowInfo_->style = style;
  }
}

GuiFrame::CallGuard::CallGuard(GuiFrame& frame) : frame_(&frame), outer_(frame.callGuards_) {
  frame.callGuards_ = this;
}

GuiFrame::CallGuard::~CallGuard() {
  if (!frameGone_) frame_->callGuards_ = outer_;
}

GuiFrame::~GuiFrame() {
  if (cursorChanged_) setCursor(kCursorDefault);
  modalView_ = nullptr;
  removeAll(true);
  setBackground(nullptr);
  if (callGuards_) {
    CallGuard* outermost = callGuards_;
    for (CallGuard* guard = callGuards_; guard; guard = guard->outer_) {
      guard->frameGone_ = true;
      outermost = guard;
    }
    outermost->keptWindow_ = std::move(window_);
    outermost->keptBuffer_ = std::move(backBuffer_);
  }
  if (ownWindowMode_) {
    closeWindow();
  } else {
    window_.reset();
  }
  --windowClassCount;
}

void GuiFrame::createWindow(std::uintptr_t parent) {
  window_ = backend_.createChild(parent, size_.width(), size_.height(), windowClassName());
  dropRegistered_ = window_ && window_->acceptsDrops();
}

// ---- the view list ------------------------------------------------------------------------

GuiView* GuiFrame::getView(std::int32_t index) const {
  return index >= 0 && index < viewCount_ ? views_[static_cast<std::size_t>(index)] : nullptr;
}

bool GuiFrame::addView(GuiView* view) {
  if (!view || view == this || containsView(view)) return false;
  if (viewCount_ == viewCapacity_) {
    const std::int32_t grown = viewCapacity_ + kViewArrayGrowth;
    std::unique_ptr<GuiView*[]> larger(new (std::nothrow) GuiView*[static_cast<std::size_t>(grown)]);
    if (!larger) return false;  // the list stays as it was
    for (std::int32_t i = 0; i < viewCount_; ++i) larger[static_cast<std::size_t>(i)] = views_[static_cast<std::size_t>(i)];
    views_ = std::move(larger);
    viewCapacity_ = grown;
  }
  views_[static_cast<std::size_t>(viewCount_++)] = view;
  view->setFrame(this);
  view->onAttached(this);
  return true;
}

bool GuiFrame::removeView(GuiView* view, bool withRelease) {
  for (std::int32_t i = 0; i < viewCount_; ++i) {
    if (views_[static_cast<std::size_t>(i)] != view) continue;
    for (std::int32_t j = i + 1; j < viewCount_; ++j) {
      views_[static_cast<std::size_t>(j - 1)] = views_[static_cast<std::size_t>(j)];
    }
    --viewCount_;
    // A view that leaves the list can no longer hold the focus.
    if (focusView_ == view) focusView_ = nullptr;
    view->onRemoved(this);
    view->setFrame(nullptr);
    if (withRelease) view->release();
    break;
  }
  return true;
}

bool GuiFrame::removeAll(bool withRelease) {
  if (focusView_) {
    GuiView* previous = std::exchange(focusView_, nullptr);
    previous->loseFocus(nullptr);
  }
  // The list is taken first, so that views removing themselves while they go find it empty.
  std::unique_ptr<GuiView*[]> taken = std::move(views_);
  const std::int32_t count = std::exchange(viewCount_, 0);
  viewCapacity_ = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    GuiView* view = taken[static_cast<std::size_t>(i)];
    view->onRemoved(this);
    view->setFrame(nullptr);
    if (withRelease) view->release();
  }
  return true;
}

bool GuiFrame::containsView(GuiView* view) const {
  for (std::int32_t i = 0; i < viewCount_; ++i) {
    if (views_[static_cast<std::size_t>(i)] == view) return true;
  }
  return false;
}

void GuiFrame::setBackground(GuiBitmap* bitmap) {
  if (bitmap) bitmap->retain();
  if (background_) background_->release();
  background_ = bitmap;
}

void GuiFrame::setFocusView(GuiView* view) {
  GuiView* previous = std::exchange(focusView_, view);
  if (previous && previous != view) previous->loseFocus(nullptr);
}

void GuiFrame::setKeyboardTarget(KeyboardTarget* target) {
  const bool had = keyboardTarget_ != nullptr;
  keyboardTarget_ = target;
  if (window_ && isOpen_ && had != (target != nullptr)) window_->setKeyboardInput(target != nullptr);
}

bool GuiFrame::setModalView(GuiView* view) {
  if (view && modalView_) return false;
  if (modalView_) {
    GuiView* previous = std::exchange(modalView_, nullptr);
    previous->onRemoved(this);
    setDirty(true);  // what the modal view covered is drawn again at the next idle
  }
  modalView_ = view;
  if (view) {
    view->setFrame(this);
    view->onAttached(this);
  }
  return true;
}

// ---- drawing ----------------------------------------------------------------------------

void GuiFrame::draw(DrawContext* context) {
  firstDrawPending_ = false;
  if (background_) {
    background_->draw(context, {0, 0, background_->getWidth(), background_->getHeight()});
  }
  for (std::int32_t i = 0; i < viewCount_; ++i) {
    GuiView* view = views_[static_cast<std::size_t>(i)];
    const bool wasDirty = view->isDirty();
    view->draw(context);
    view->setDirty(wasDirty);
  }
  if (modalView_) modalView_->draw(context);
}

void GuiFrame::update(DrawContext* context) {
  if (!isOpen_) return;
  if (modalView_) {
    modalView_->update(context);
    return;
  }
  if (isDirty()) {
    draw(context);
    setDirty(false);
    return;
  }
  for (std::int32_t i = 0; i < viewCount_; ++i) views_[static_cast<std::size_t>(i)]->update(context);
}

bool GuiFrame::needsDrawing() const {
  if (modalView_ || isDirty()) return true;
  for (std::int32_t i = 0; i < viewCount_; ++i) {
    if (views_[static_cast<std::size_t>(i)]->isDirty()) return true;
  }
  return false;
}

void GuiFrame::idle() {
  const CallGuard guard(*this);
  handleEvents();
  if (guard.frameGone()) return;
  if (!isOpen_ || firstDrawPending_ || !window_ || !needsDrawing()) return;
  DrawContext context(this, backBuffer_.get(), window_.get(), size_);
  update(&context);
}

void GuiFrame::drawView(GuiView* view) {
  if (!isOpen_ || !window_) return;
  DrawContext context(this, backBuffer_.get(), window_.get(), size_);
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
    DrawContext context(this, backBuffer_.get(), window_.get(), size_);
    draw(&context);
  }
  if (!area.isEmpty()) window_->present(backBuffer_->cairoSurface(), area);
}

// ---- events -------------------------------------------------------------------------------

void GuiFrame::handleEvents() {
  if (!window_) return;
  const CallGuard guard(*this);
  const EventFilter filter = pressDepth_ > 0 ? EventFilter::paintOnly : EventFilter::all;
  for (int handled = 0; handled < kEventsPerCall && isOpen_; ++handled) {
    const std::optional<FrameEvent> event = window_->nextEvent(filter);
    if (!event) break;
    dispatchEvent(*event);
    if (guard.frameGone()) return;
  }
}

bool GuiFrame::handleOnePendingPaint() {
  if (!window_ || !isOpen_) return false;
  const std::optional<FrameEvent> event = window_->nextEvent(EventFilter::paintOnly);
  if (!event) return false;
  dispatchEvent(*event);
  return true;
}

void GuiFrame::dispatchEvent(const FrameEvent& event) {
  switch (event.kind) {
    case FrameEvent::Kind::paint: paintWindow(event.area); break;
    case FrameEvent::Kind::buttonPress: pressAt(event.where); break;
    case FrameEvent::Kind::wheel:
      if (editor_) {
        editor_->onWheel(event.distance);
      } else {
        onWheel(nullptr, {}, event.distance);
      }
      break;
    case FrameEvent::Kind::destroyed:
      isOpen_ = false;
      systemWindow_ = nullptr;
      // An open text field has lost its window: it closes as on any loss of focus.
      if (KeyboardTarget* target = std::exchange(keyboardTarget_, nullptr)) {
        target->onKeyboardFocusLost();
      }
      break;
    case FrameEvent::Kind::drop: deliverDrop(*this, event); break;
    case FrameEvent::Kind::key:
      if (keyboardTarget_) keyboardTarget_->onKey(event.key);
      break;
    case FrameEvent::Kind::focusLost:
      if (keyboardTarget_) keyboardTarget_->onKeyboardFocusLost();
      break;
    case FrameEvent::Kind::buttonRelease:
    case FrameEvent::Kind::motion: break;  // frames track the pointer by polling
  }
}

void GuiFrame::pressAt(GuiPoint where) {
  const CallGuard guard(*this);
  ++pressDepth_;
  {
    DrawContext context(this, backBuffer_.get(), window_.get(), size_);
    onMouseDown(&context, where);
  }
  if (guard.frameGone()) return;
  --pressDepth_;
  if (window_) window_->pressDispatched();
}

void GuiFrame::onMouseDown(DrawContext* context, GuiPoint where) {
  if (focusView_) {
    GuiView* previous = std::exchange(focusView_, nullptr);
    previous->loseFocus(nullptr);
  }
  if (modalView_) {
    if (containsInclusive(modalView_->getSize(), where)) {
      const Hold hold(modalView_);
      modalView_->onMouseDown(context, where);
    }
    return;
  }
  for (std::int32_t i = viewCount_ - 1; i >= 0; --i) {
    GuiView* view = views_[static_cast<std::size_t>(i)];
    if (!view->isMouseEnabled() || !containsInclusive(view->getSize(), where)) continue;
    const Hold hold(view);
    view->onMouseDown(context, where);
    return;
  }
}

void GuiFrame::getCursorInFrame(GuiPoint& where) {
  if (!window_ || !isOpen_) {
    where = {};
    return;
  }
  const GuiPoint screen = window_->pointerPosition();
  const GuiPoint origin = window_->origin();
  where = {saturateToInt32(std::int64_t{screen.h} - origin.h),
           saturateToInt32(std::int64_t{screen.v} - origin.v)};
}

GuiView* GuiFrame::findViewAt() {
  GuiPoint where;
  getCursorInFrame(where);
  for (std::int32_t i = viewCount_ - 1; i >= 0; --i) {
    GuiView* view = views_[static_cast<std::size_t>(i)];
    if (containsInclusive(view->getSize(), where)) return view;
  }
  return nullptr;
}

bool GuiFrame::onWheel(DrawContext*, GuiPoint, float distance) {
  if (!isOpen_ || !window_) return false;
  GuiView* view = findViewAt();
  if (!view) return false;
  GuiPoint where;
  getCursorInFrame(where);
  const CallGuard guard(*this);
  const Hold hold(view);
  DrawContext context(this, backBuffer_.get(), window_.get(), size_);
  return view->onWheel(&context, where, distance);
}

bool GuiFrame::onDrop(void** items, std::int32_t count, std::int32_t type, GuiPoint where) {
  if (modalView_ || focusView_) return false;
  for (std::int32_t i = viewCount_ - 1; i >= 0; --i) {
    GuiView* view = views_[static_cast<std::size_t>(i)];
    if (!view->isMouseEnabled() || !containsInclusive(view->getSize(), where)) continue;
    const Hold hold(view);
    if (view->onDrop(items, count, type, where)) return true;
  }
  return false;
}

// ---- host bracket, cursor, geometry ---------------------------------------------------------

void GuiFrame::beginEdit(std::int32_t tag) {
  EffectBaseX* effect = editor_ ? editor_->getEffect() : nullptr;
  if (effect) effect->hostBeginEdit(tag);
}

std::int32_t GuiFrame::endEdit(std::int32_t tag) {
  EffectBaseX* effect = editor_ ? editor_->getEffect() : nullptr;
  return effect ? (effect->hostEndEdit(tag) ? 1 : 0) : 0;
}

void GuiFrame::setCursor(std::int32_t kind) {
  if (kind < kCursorDefault || kind > kCursorDiagonalFalling) return;
  if (!window_ || !isOpen_) return;
  cursorChanged_ = true;
  window_->setCursor(kind);
}

bool GuiFrame::getPosition(std::int32_t& x, std::int32_t& y) {
  if (!isOpen_ || !window_) return false;
  const std::optional<GuiPoint> position = window_->topWindowPosition();
  if (!position) return false;
  x = position->h;
  y = position->v;
  return true;
}

bool GuiFrame::setSize(std::int32_t width, std::int32_t height) {
  if (!isOpen_ || !window_) return false;
  if (width == size_.width() && height == size_.height()) return false;
  if (width <= 0 || height <= 0 || width > DrawSurface::kMaxSide || height > DrawSurface::kMaxSide) {
    return false;
  }
  auto larger = std::make_unique<DrawSurface>(width, height);
  if (larger->isEmpty()) return false;
  size_ = {size_.left, size_.top, saturateToInt32(std::int64_t{size_.left} + width),
          saturateToInt32(std::int64_t{size_.top} + height)};
  backBuffer_ = std::move(larger);
  window_->resizeWithAncestors(width, height);
  setDirty(true);
  return true;
}

bool GuiFrame::getSize(GuiRect& rect) {
  if (!isOpen_ || !window_) return false;
  const std::optional<GuiRect> parent = window_->parentRect();
  if (!parent) return false;
  rect = *parent;
  return true;
}

// ---- own-window mode ------------------------------------------------------------------------

bool GuiFrame::openWindow(GuiPoint position) {
  if (!ownWindowMode_ || !windowInfo_) return false;
  if (window_) return false;  // already open
  EffectBaseX* effect = editor_ ? editor_->getEffect() : nullptr;
  if (!effect) return false;
  windowInfo_->xPos = static_cast<VstInt16>(position.h);
  windowInfo_->yPos = static_cast<VstInt16>(position.v);
  windowInfo_->width = static_cast<VstInt16>(size_.width());
  windowInfo_->height = static_cast<VstInt16>(size_.height());
  hostWindow_ = effect->hostOpenWindow(windowInfo_.get());
  if (!hostWindow_) return false;
  createWindow(reinterpret_cast<std::uintptr_t>(hostWindow_));
  if (!window_) {
    effect->hostCloseWindow(windowInfo_.get());
    hostWindow_ = nullptr;
    return false;
  }
  systemWindow_ = hostWindow_;
  isOpen_ = true;
  firstDrawPending_ = true;
  return true;
}

void GuiFrame::closeWindow() {
  if (!ownWindowMode_ || !hostWindow_) return;
  window_.reset();
  dropRegistered_ = false;
  EffectBaseX* effect = editor_ ? editor_->getEffect() : nullptr;
  if (effect && windowInfo_) effect->hostCloseWindow(windowInfo_.get());
  hostWindow_ = nullptr;
  systemWindow_ = nullptr;
}
