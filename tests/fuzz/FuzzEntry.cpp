// libFuzzer's entry: one build of this file per target, FUZZ_TARGET naming the function.
#include "tests/fuzz/FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FUZZ_TARGET(data, size);
}
