// Counts the heap blocks and bytes this program allocates while counting is switched on (the
// global allocation functions are replaced in AllocationCounter.cpp).
#pragma once

#include <cstddef>

namespace allocation_counter {

struct Tally {
  std::size_t blocks = 0;
  std::size_t bytes = 0;
};

// Starts counting from zero.
void start() noexcept;
// Stops counting and answers what was allocated since start().
Tally stop() noexcept;

}  // namespace allocation_counter
