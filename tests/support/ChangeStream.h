// A small deterministic generator for the render-path tests: two engines fed from streams with
// the same seed receive the same changes in the same order.
#pragma once

#include <cstdint>

namespace change_stream {

class Stream {
 public:
  explicit Stream(uint32_t seed) : state(seed) {}
  uint32_t next() {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  }
  // 0 .. n-1.
  int32_t below(int32_t n) { return static_cast<int32_t>(next() % static_cast<uint32_t>(n)); }
  // 0 .. 1.
  float unit() { return static_cast<float>(next() & 0xFFFF) / 65535.0f; }

 private:
  uint32_t state;
};

}  // namespace change_stream
