// Frees the drawing library's process-wide caches after the last test, so that the leak checker
// of the sanitizer build reports only real leaks.
#include <gtest/gtest.h>

#include "gui/DrawingCaches.h"

namespace {

class ReleaseDrawingCaches : public ::testing::Environment {
 public:
  void TearDown() override { releaseDrawingCaches(); }
};

const auto* const kRegistered = ::testing::AddGlobalTestEnvironment(new ReleaseDrawingCaches);

}  // namespace
