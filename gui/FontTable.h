// The toolkit's font table and the rule that turns setFont's arguments (id, size, style bits)
// into a concrete font: face name, pixel size, weight, slant and underline. Pure data, so the
// rule is testable without drawing anything.
#pragma once

#include <array>
#include <cstdint>

#include "gui/GuiTypes.h"

struct FontTableEntry {
  const char* face;
  std::int32_t defaultSize;  // character height in pixels
  bool alwaysBold;
};

inline constexpr std::array<FontTableEntry, 8> kFontTable{{
    {"Arial", 12, true},
    {"Arial", 18, false},
    {"Arial", 14, false},
    {"Arial", 12, false},
    {"Arial", 11, false},
    {"Arial", 10, false},
    {"Arial", 9, false},
    {"Symbol", 13, false},
}};

inline constexpr std::int32_t kFontWeightNormal = 400;
inline constexpr std::int32_t kFontWeightBold = 700;
// Larger requests are drawn at this size: glyphs bigger than any panel are never useful and
// would only cost memory.
inline constexpr std::int32_t kMaxFontSize = 1024;

struct FontSpec {
  FontId id = FontId::system;
  const char* face = kFontTable[0].face;
  std::int32_t size = kFontTable[0].defaultSize;
  std::int32_t weight = kFontWeightBold;
  bool italic = false;
  bool underline = false;

  friend constexpr bool operator==(const FontSpec&, const FontSpec&) = default;
};

// An id outside the table becomes 0; a size of 0 means the table size for the id (a negative
// size counts by its magnitude); style bit 0 is bold (always for id 0), bit 1 italic, bit 2
// underline.
constexpr FontSpec resolveFont(std::int32_t id, std::int32_t size, std::int32_t style) {
  if (id < 0 || id >= static_cast<std::int32_t>(kFontTable.size())) id = 0;
  const FontTableEntry& entry = kFontTable[static_cast<std::size_t>(id)];
  std::int64_t pixels = size < 0 ? -std::int64_t{size} : std::int64_t{size};
  if (pixels == 0) pixels = entry.defaultSize;
  FontSpec resolved;
  resolved.id = static_cast<FontId>(id);
  resolved.face = entry.face;
  resolved.size = static_cast<std::int32_t>(std::min<std::int64_t>(pixels, kMaxFontSize));
  resolved.weight = (entry.alwaysBold || (style & kFontBold)) ? kFontWeightBold : kFontWeightNormal;
  resolved.italic = (style & kFontItalic) != 0;
  resolved.underline = (style & kFontUnderline) != 0;
  return resolved;
}
