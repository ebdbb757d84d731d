// Processor queries behind the render paths.
#include "engine/RenderPath.h"

#include <initializer_list>

bool renderPathSupported(RenderPath path) noexcept {
  switch (path) {
    case RenderPath::reference:
    case RenderPath::portable:
      return true;
#if defined(__x86_64__) || defined(__i386__)
    case RenderPath::avx2:
      return __builtin_cpu_supports("avx2");
    case RenderPath::avx512:
      return false;
#else
    case RenderPath::avx2:
    case RenderPath::avx512:
      return false;
#endif
  }
  return false;
}

RenderPath fastestRenderPath() noexcept {
  static const RenderPath fastest = [] {
    for (RenderPath path : {RenderPath::avx512, RenderPath::avx2}) {
      if (renderPathSupported(path)) return path;
    }
    return RenderPath::portable;
  }();
  return fastest;
}

const char* renderPathName(RenderPath path) noexcept {
  switch (path) {
    case RenderPath::reference: return "reference";
    case RenderPath::portable: return "portable";
    case RenderPath::avx2: return "avx2";
    case RenderPath::avx512: return "avx512";
  }
  return "unknown";
}
