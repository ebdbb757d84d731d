// The menu list: columns of rows, the highlight's moves and the painting.
#include "gui/MenuLayout.h"

#include <algorithm>

#include "gui/DrawContext.h"

namespace {

constexpr std::int32_t kRowPadding = 6;  // added to the font size for a row's height
constexpr std::int32_t kSeparatorHeight = 7;
constexpr std::int32_t kCheckRoom = 18;  // in front of the text
constexpr std::int32_t kRightRoom = 14;  // after the longest text
constexpr std::int32_t kEdge = 1;        // the border line

}  // namespace

MenuEntry MenuEntry::parse(const std::string& stored) {
  if (stored == "-") return {"", Kind::separator};
  if (stored.rfind("-G", 0) == 0) return {stored.substr(2), Kind::greyed};
  if (stored.rfind("-T", 0) == 0) return {stored.substr(2), Kind::disabled};
  return {stored, Kind::normal};
}

MenuLayout::MenuLayout(const std::vector<MenuEntry>& entries, std::int32_t entriesPerColumn,
                       DrawContext& measure)
    : entries_(entries) {
  rowHeight = measure.getFontSize() + kRowPadding;
  const bool ownColumns = entriesPerColumn > 0 && entries_.size() < kColumnLimit;
  const std::int32_t perColumn = ownColumns ? entriesPerColumn : kAutomaticRows;
  rects.resize(entries_.size());
  std::int32_t x = kEdge;
  std::int32_t tallest = 0;
  for (std::size_t first = 0; first < entries_.size();) {
    const std::size_t last = std::min(entries_.size(), first + static_cast<std::size_t>(perColumn));
    std::int32_t widest = 0;
    for (std::size_t i = first; i < last; ++i) {
      widest = std::max(widest, measure.getStringWidth(entries_[i].text.c_str()));
    }
    const std::int32_t columnWidth = kCheckRoom + widest + kRightRoom;
    std::int32_t y = kEdge;
    for (std::size_t i = first; i < last; ++i) {
      const std::int32_t h =
          entries_[i].kind == MenuEntry::Kind::separator ? kSeparatorHeight : rowHeight;
      rects[i] = {x, y, x + columnWidth, y + h};
      y += h;
    }
    columnStarts.push_back(static_cast<std::int32_t>(first));
    tallest = std::max(tallest, y);
    x += columnWidth;
    first = last;
  }
  width_ = x + kEdge;
  height_ = std::max(tallest, kEdge) + kEdge;
}

GuiRect MenuLayout::entryRect(std::int32_t index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= rects.size()) return {};
  return rects[static_cast<std::size_t>(index)];
}

bool MenuLayout::isChoosable(std::int32_t index) const {
  return index >= 0 && static_cast<std::size_t>(index) < entries_.size() &&
         entries_[static_cast<std::size_t>(index)].choosable();
}

std::int32_t MenuLayout::choosableAt(GuiPoint where) const {
  for (std::size_t i = 0; i < rects.size(); ++i) {
    if (rects[i].pointInside(where)) {
      const auto index = static_cast<std::int32_t>(i);
      return isChoosable(index) ? index : -1;
    }
  }
  return -1;
}

std::int32_t MenuLayout::columnOf(std::int32_t index) const {
  const auto after = std::upper_bound(columnStarts.begin(), columnStarts.end(), index);
  return static_cast<std::int32_t>(after - columnStarts.begin()) - 1;
}

// The first entry that can be chosen from `from` on, stepping by `step` and wrapping around;
// -1 when there is none.
std::int32_t MenuLayout::firstChoosable(std::int32_t from, std::int32_t step) const {
  const auto count = static_cast<std::int32_t>(entries_.size());
  if (count == 0) return -1;
  std::int32_t index = ((from % count) + count) % count;
  for (std::int32_t tried = 0; tried < count; ++tried) {
    if (isChoosable(index)) return index;
    index = ((index + step) % count + count) % count;
  }
  return -1;
}

std::int32_t MenuLayout::navigate(std::int32_t from, KeyName key) const {
  const auto count = static_cast<std::int32_t>(entries_.size());
  switch (key) {
    case KeyName::down: return firstChoosable(from < 0 ? 0 : from + 1, 1);
    case KeyName::up: return firstChoosable(from < 0 ? count - 1 : from - 1, -1);
    case KeyName::home: return firstChoosable(0, 1);
    case KeyName::end: return firstChoosable(count - 1, -1);
    case KeyName::left:
    case KeyName::right: {
      if (from < 0 || columns() < 2) return from;
      const std::int32_t column = columnOf(from);
      const std::int32_t row = from - columnStarts[static_cast<std::size_t>(column)];
      const std::int32_t target =
          (column + (key == KeyName::right ? 1 : columns() - 1)) % columns();
      const std::int32_t start = columnStarts[static_cast<std::size_t>(target)];
      const std::int32_t end =
          target + 1 < columns() ? columnStarts[static_cast<std::size_t>(target + 1)] : count;
      const std::int32_t landing = std::min(start + row, end - 1);
      return firstChoosable(landing, 1);
    }
    default: return from;
  }
}

void MenuLayout::paint(DrawContext& context, std::int32_t highlighted, std::int32_t checked) const {
  context.setFillColor(kBackground);
  context.fillRect({-1, -1, width_, height_});
  context.setFrameColor(kBorder);
  context.drawRect({0, 0, width_ - 1, height_ - 1});
  for (std::size_t c = 1; c < columnStarts.size(); ++c) {
    const std::int32_t x = rects[static_cast<std::size_t>(columnStarts[c])].left;
    context.setFrameColor(kRule);
    context.moveTo({x, kEdge + 2});
    context.lineTo({x, height_ - kEdge - 2});
  }
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const MenuEntry& entry = entries_[i];
    const GuiRect& r = rects[i];
    if (entry.kind == MenuEntry::Kind::separator) {
      const std::int32_t y = (r.top + r.bottom) / 2;
      context.setFrameColor(kRule);
      context.moveTo({r.left + 4, y});
      context.lineTo({r.right - 4, y});
      continue;
    }
    const bool lit = static_cast<std::int32_t>(i) == highlighted && entry.choosable();
    if (lit) {
      context.setFillColor(kHighlight);
      context.fillRect({r.left - 1, r.top - 1, r.right, r.bottom});
    }
    const GuiColor ink =
        lit ? kHighlightText : (entry.kind == MenuEntry::Kind::greyed ? kGreyText : kText);
    if (static_cast<std::int32_t>(i) == checked) {
      // A tick drawn with lines: down to the bottom of the stroke, then up to the right.
      const std::int32_t cx = r.left + 5;
      const std::int32_t cy = (r.top + r.bottom) / 2;
      const GuiPoint tick[] = {{cx, cy}, {cx + 3, cy + 3}, {cx + 9, cy - 3}, {cx + 10, cy - 4}};
      context.setFrameColor(ink);
      context.setLineWidth(2);
      context.polyLine(tick, 4);
      context.setLineWidth(1);
    }
    context.setFontColor(ink);
    context.drawString(entry.text.c_str(), {r.left + kCheckRoom - 1, r.top, r.right, r.bottom},
                       false, TextAlign::left);
  }
}
