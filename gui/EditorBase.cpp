// The editor base: registration with the plug-in, the host's editor requests and the idle pump
// of the mouse-tracking loops.
#include "gui/EditorBase.h"

#include "gui/GuiFileSelector.h"
#include "gui/GuiFrame.h"
#include "gui/platform/FrameWindow.h"
#include "host/EffectBaseX.h"

namespace {

std::int32_t knobMode = 0;

// pumpIdle's timing: the host gets its idle call when this long has passed since the last one
// (after a 4 ms nap when it is not yet 100 ms).
constexpr std::int64_t kIdleInterval = 100;
constexpr std::int64_t kIdleMinimum = 50;
constexpr std::int32_t kNap = 4;

}  // namespace

std::int32_t toolkitKnobMode() { return knobMode; }

EditorBase::EditorBase(EffectBaseX* owner, FrameBackend& frameBackend)
    : effect(owner), backend(frameBackend) {
  lastIdleTicks = backend.clock().ticks();
  if (effect) {
    effect->setEditor(this);
    effect->setHasEditor(true);
  }
}

EditorBase::~EditorBase() = default;

VstIntPtr EditorBase::getRect(ERect** out) {
  if (out) *out = &rect;
  return 1;
}

VstIntPtr EditorBase::open(void* window) {
  requestUpdate();
  systemWindow = window;
  return 0;
}

void EditorBase::close() {}

void EditorBase::idle() {
  if (inIdle) return;
  if (updatePending) {
    updatePending = 0;
    update();
  }
  if (frame) frame->idle();
  GuiFileSelector::pollAll(effect);
}

void EditorBase::update() {}
void EditorBase::requestUpdate() { updatePending = 1; }
VstIntPtr EditorBase::onKeyDown(VstKeyCode&) { return -1; }
VstIntPtr EditorBase::onKeyUp(VstKeyCode&) { return -1; }

VstIntPtr EditorBase::setDragMode(VstInt32 mode) {
  knobMode = mode;
  return 1;
}

bool EditorBase::onWheel(float distance) {
  if (!frame) return false;
  return frame->onWheel(nullptr, {0, 0}, distance);
}

void EditorBase::setParameter(VstInt32, float) { requestUpdate(); }

void EditorBase::draw(ERect*) {
  if (frame) frame->drawView(nullptr);
}

void EditorBase::pumpIdle() {
  PlatformClock& clock = backend.clock();
  std::int64_t now = clock.ticks();
  idle();
  if (now < lastIdleTicks + kIdleInterval) {
    clock.sleep(kNap);
    now += kNap;
    if (now < lastIdleTicks + kIdleMinimum) return;
  }
  if (frame) frame->handleOnePendingPaint();
  lastIdleTicks = now;
  inIdle = true;
  if (effect) effect->hostIdle();
  inIdle = false;
}
