// The headless back end: a window that exists only as far as tests (and off-screen rendering)
// need it. Its screen origin is settable, presenting only counts and remembers the area, and its
// pointer follows a script: each query of the buttons takes the next scripted step, so a
// control's tracking loop sees exactly the sequence a test wrote.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gui/platform/PlatformWindow.h"

class HeadlessWindow final : public PlatformWindow {
 public:
  struct PointerStep {
    GuiPoint where;        // screen coordinates
    std::int32_t buttons;  // MouseState bits
  };

  GuiPoint origin() override { return origin_; }
  void present(cairo_surface_t* backBuffer, const GuiRect& area) override;
  std::int32_t mouseButtons() override;
  GuiPoint pointerPosition() override { return current.where; }
  bool awaitSecondClick() override;

  void setOrigin(GuiPoint origin) { origin_ = origin; }

  // A steady pointer state, reported until changed; drops any script.
  void setPointer(GuiPoint where, std::int32_t buttons);
  // Steps taken one per mouseButtons() query. When the last step has been taken, the buttons
  // read as released (the position stays), so every tracking loop comes to an end.
  void scriptPointer(std::vector<PointerStep> steps);
  // Steps not yet taken.
  std::size_t pendingSteps() const { return script_.size() - nextStep; }
  // Number of mouseButtons() queries so far.
  std::int32_t buttonQueries() const { return buttonQueries_; }

  // The next awaitSecondClick() answers true (and takes the click) while clicks are queued.
  void queueSecondClick() { ++queuedClicks; }

  std::int32_t presentCount() const { return presentCount_; }
  GuiRect lastPresentedArea() const { return lastPresented; }

 private:
  GuiPoint origin_{};
  PointerStep current{{0, 0}, 0};
  std::vector<PointerStep> script_;
  std::size_t nextStep = 0;
  bool scriptRunning = false;
  std::int32_t buttonQueries_ = 0;
  std::int32_t queuedClicks = 0;
  std::int32_t presentCount_ = 0;
  GuiRect lastPresented{};
};

// A clock that only moves when told to or when slept on, for timing tests without waiting.
class ManualClock final : public PlatformClock {
 public:
  std::int64_t ticks() override { return now; }
  void sleep(std::int32_t milliseconds) override;
  void advance(std::int64_t milliseconds) { now += milliseconds; }
  std::int64_t totalSlept() const { return slept; }

 private:
  std::int64_t now = 0;
  std::int64_t slept = 0;
};
