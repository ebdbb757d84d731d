// Runs `render` over and over on a second thread (the audio thread) until `set`, run on the
// calling thread, has returned; answers how many times `render` ran. Nothing depends on timing:
// the renderer simply keeps going for as long as the setter takes.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

template <class Render, class Set>
int64_t renderWhileSetting(Render render, Set set) {
  std::atomic<bool> setterDone{false};
  std::atomic<bool> rendering{false};
  int64_t blocks = 0;
  std::thread renderer([&] {
    rendering = true;
    while (!setterDone.load()) {
      render();
      ++blocks;
    }
  });
  while (!rendering.load()) std::this_thread::yield();
  set();
  setterDone = true;
  renderer.join();
  return blocks;
}
