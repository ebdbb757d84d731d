// Scripted pointer, counted presents and a manual clock for the headless back end.
#include "gui/platform/headless/HeadlessWindow.h"

#include <utility>

void HeadlessWindow::present(cairo_surface_t*, const GuiRect& area) {
  ++presentCount_;
  lastPresented_ = area;
}

std::int32_t HeadlessWindow::mouseButtons() {
  ++buttonQueries_;
  if (nextStep_ < script_.size()) {
    current_ = script_[nextStep_++];
  } else if (scriptRunning_) {
    current_.buttons = 0;
    scriptRunning_ = false;
  }
  return current_.buttons;
}

bool HeadlessWindow::awaitSecondClick() {
  if (queuedClicks_ == 0) return false;
  --queuedClicks_;
  return true;
}

void HeadlessWindow::setPointer(GuiPoint where, std::int32_t buttons) {
  script_.clear();
  nextStep_ = 0;
  scriptRunning_ = false;
  current_ = {where, buttons};
}

void HeadlessWindow::scriptPointer(std::vector<PointerStep> steps) {
  script_ = std::move(steps);
  nextStep_ = 0;
  scriptRunning_ = true;
}

void ManualClock::sleep(std::int32_t milliseconds) {
  if (milliseconds <= 0) return;
  now_ += milliseconds;
  slept_ += milliseconds;
}
