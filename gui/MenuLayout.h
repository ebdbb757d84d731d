// The look and geometry of the choice menu's popup list: one row per entry (separators lower),
// a new column every n entries, room for a check mark in front of the text. An entry text
// starting with "-G" is shown greyed, one starting with "-T" normally but cannot be chosen
// (both without those two characters), and a lone "-" is a separator line. The layout answers
// which entry lies under a point, moves a highlight with the arrow keys over the entries that
// can be chosen, and paints the list on any drawing context.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gui/GuiTypes.h"
#include "gui/platform/KeyInput.h"

class DrawContext;

struct MenuEntry {
  enum class Kind { normal, greyed, disabled, separator };
  std::string text;  // as shown
  Kind kind = Kind::normal;

  // An entry from its stored text, markers read.
  static MenuEntry parse(const std::string& stored);
  bool choosable() const { return kind == Kind::normal; }
};

class MenuLayout {
 public:
  // Colours of the list.
  static constexpr GuiColor kBackground{240, 240, 240, 0};
  static constexpr GuiColor kBorder{96, 96, 96, 0};
  static constexpr GuiColor kText{0, 0, 0, 0};
  static constexpr GuiColor kGreyText{150, 150, 150, 0};
  static constexpr GuiColor kHighlight{49, 106, 197, 0};
  static constexpr GuiColor kHighlightText{255, 255, 255, 0};
  static constexpr GuiColor kRule{190, 190, 190, 0};
  // Rows without a column count of their own, so that a long list stays on the screen.
  static constexpr std::int32_t kAutomaticRows = 40;
  // Column counts apply to lists shorter than this.
  static constexpr std::size_t kColumnLimit = 160;

  // Measures the texts with `measure`'s current font. `entriesPerColumn` 0 or less: automatic.
  MenuLayout(const std::vector<MenuEntry>& entries, std::int32_t entriesPerColumn,
             DrawContext& measure);

  std::int32_t width() const { return width_; }
  std::int32_t height() const { return height_; }
  std::int32_t columns() const { return static_cast<std::int32_t>(columnStarts.size()); }
  // The pixels of entry `index`, right and bottom excluded; empty for a bad index.
  GuiRect entryRect(std::int32_t index) const;
  // The entry under `where` that can be chosen, -1 for none.
  std::int32_t choosableAt(GuiPoint where) const;
  bool isChoosable(std::int32_t index) const;
  // Where the highlight goes for a key (up, down, left, right, home, end) from `from` (-1:
  // none); `from` for other keys.
  std::int32_t navigate(std::int32_t from, KeyName key) const;

  // The list with `highlighted` (-1: none) lit and a check mark on `checked` (-1: none), at
  // (0, 0) of the context. The context's font must be the one measured with.
  void paint(DrawContext& context, std::int32_t highlighted, std::int32_t checked) const;

 private:
  std::int32_t firstChoosable(std::int32_t from, std::int32_t step) const;
  std::int32_t columnOf(std::int32_t index) const;

  std::vector<MenuEntry> entries_;
  std::vector<GuiRect> rects;
  std::vector<std::int32_t> columnStarts;  // first entry of each column
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  std::int32_t rowHeight = 0;
};
