// The real clock of both back ends: steady_clock milliseconds and a real sleep.
#include <chrono>
#include <thread>

#include "gui/platform/PlatformWindow.h"

std::int64_t SystemClock::ticks() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SystemClock::sleep(std::int32_t milliseconds) {
  if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
