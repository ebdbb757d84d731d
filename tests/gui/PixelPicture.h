// Test helper: a surface region as text, one character per pixel, so that expected shapes can be
// written as pictures and a failure prints the expected and the actual picture side by side.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>

#include "gui/DrawSurface.h"

using Palette = std::initializer_list<std::pair<char, GuiColor>>;

// Rows of `area`, each ending in a newline; a colour missing from the palette shows as '?'.
inline std::string picture(const DrawSurface& surface, const GuiRect& area, Palette palette) {
  std::string text;
  for (std::int32_t y = area.top; y < area.bottom; ++y) {
    for (std::int32_t x = area.left; x < area.right; ++x) {
      char symbol = '?';
      for (const auto& [name, color] : palette) {
        if (surface.pixel(x, y) == color) {
          symbol = name;
          break;
        }
      }
      text += symbol;
    }
    text += '\n';
  }
  return text;
}

// Joins picture rows written one per string literal.
inline std::string rows(std::initializer_list<const char*> lines) {
  std::string text;
  for (const char* line : lines) (text += line) += '\n';
  return text;
}

// The bounding box of the pixels that differ from `background`; empty when there are none.
inline GuiRect inkBounds(const DrawSurface& surface, GuiColor background) {
  GuiRect box{surface.width(), surface.height(), 0, 0};
  for (std::int32_t y = 0; y < surface.height(); ++y) {
    for (std::int32_t x = 0; x < surface.width(); ++x) {
      if (surface.pixel(x, y) == background) continue;
      box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
             std::max(box.bottom, y + 1)};
    }
  }
  return box.isEmpty() ? GuiRect{} : box;
}

// True when both surfaces have the same size and pixels.
inline bool samePixels(const DrawSurface& a, const DrawSurface& b) {
  if (a.width() != b.width() || a.height() != b.height()) return false;
  for (std::int32_t y = 0; y < a.height(); ++y) {
    for (std::int32_t x = 0; x < a.width(); ++x) {
      if (!(a.pixel(x, y) == b.pixel(x, y))) return false;
    }
  }
  return true;
}
