// The panel background (resource 128): ground, outline, title and footer strips, the captioned
// boxes the controls stand in, the bar numbers, the effect captions and the routing line.
#pragma once

#include "Canvas.h"
#include "Fonts.h"

#include <memory>

namespace artwork {

[[nodiscard]] std::unique_ptr<Canvas> drawBackground(const Fonts& fonts);

}  // namespace artwork
