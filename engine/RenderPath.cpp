// Processor queries behind the render paths.
#include "engine/RenderPath.h"

bool renderPathSupported(RenderPath path) noexcept {
  switch (path) {
    case RenderPath::reference:
    case RenderPath::portable: return true;
    case RenderPath::avx2:
#if defined(__x86_64__) || defined(__i386__)
      __builtin_cpu_init();  // harmless when already done; needed if called during start-up
      return __builtin_cpu_supports("avx2");
#else
      return false;
#endif
  }
  return false;
}

RenderPath fastestRenderPath() noexcept {
  static const RenderPath fastest =
      renderPathSupported(RenderPath::avx2) ? RenderPath::avx2 : RenderPath::portable;
  return fastest;
}

const char* renderPathName(RenderPath path) noexcept {
  switch (path) {
    case RenderPath::reference: return "reference";
    case RenderPath::portable: return "portable";
    case RenderPath::avx2: return "avx2";
  }
  return "unknown";
}
