// Scripted pointer, counted presents and a manual clock for the headless back end.
#include "gui/platform/headless/HeadlessWindow.h"

#include <utility>

void HeadlessWindow::present(cairo_surface_t*, const GuiRect& area) {
  ++presentCount_;
  lastPresented = area;
}

std::int32_t HeadlessWindow::mouseButtons() {
  ++buttonQueries_;
  if (nextStep < script_.size()) {
    current = script_[nextStep++];
  } else if (scriptRunning) {
    current.buttons = 0;
    scriptRunning = false;
  }
  return current.buttons;
}

bool HeadlessWindow::awaitSecondClick() {
  if (queuedClicks == 0) return false;
  --queuedClicks;
  return true;
}

void HeadlessWindow::setPointer(GuiPoint where, std::int32_t buttons) {
  script_.clear();
  nextStep = 0;
  scriptRunning = false;
  current = {where, buttons};
}

void HeadlessWindow::scriptPointer(std::vector<PointerStep> steps) {
  script_ = std::move(steps);
  nextStep = 0;
  scriptRunning = true;
}

void ManualClock::sleep(std::int32_t milliseconds) {
  if (milliseconds <= 0) return;
  now += milliseconds;
  slept += milliseconds;
}
