// Contact sheet (see ContactSheet.h).
#include "ContactSheet.h"

#include "Layout.h"

#include <algorithm>
#include <string>

namespace artwork {

namespace {

using namespace layout;

constexpr int kMargin = 20;
constexpr int kLabelHeight = 16;
constexpr int kGap = 12;
constexpr Rgb kSheetGround{58, 60, 64};
constexpr Rgb kLabel{220, 222, 226};
constexpr Rgb kGuide{120, 132, 144};
constexpr Rgb kDisplayRim{80, 117, 147};
constexpr Rgb kDisplayFill{0, 0, 0};

const DrawnBitmap* find(const std::vector<DrawnBitmap>& bitmaps, int id) {
  for (const DrawnBitmap& b : bitmaps) {
    if (b.id == id) {
      return &b;
    }
  }
  return nullptr;
}

// Copies frame `frame` of bitmap `id` into the control rectangle, as the toolkit does: the
// control's size selects the block; a block wider than the bitmap copies only what exists.
void place(Canvas& c, const std::vector<DrawnBitmap>& bitmaps, int id, int frame,
           const ControlRect& r, int x0, int y0) {
  const DrawnBitmap* b = find(bitmaps, id);
  if (b == nullptr) {
    return;
  }
  const int width = std::min(r.width(), b->image->width());
  const int height = std::min(r.height(), b->frameHeight);
  c.paste(*b->image, frame * b->frameHeight, width, height, x0 + r.left, y0 + r.top);
}

void guide(Canvas& c, const ControlRect& r, int x0, int y0, Rgb colour) {
  c.outline({x0 + r.left, y0 + r.top, x0 + r.right - 1, y0 + r.bottom - 1}, colour);
}

// The panel as it looks after opening: controls at rest (curve kind "Volume" on), bars and the
// curve editor area shown as thin guides, value displays as their black boxes.
void drawPreview(Canvas& c, const std::vector<DrawnBitmap>& bitmaps, int x0, int y0) {
  c.paste(*bitmaps.front().image, 0, kPanelSize, kPanelSize, x0, y0);
  guide(c, kMainVolumeBar, x0, y0, kGuide);
  guide(c, kMainDetuneBar, x0, y0, kGuide);
  for (int k = 0; k < kHarmonicCount; ++k) {
    guide(c, harmonicBar(k), x0, y0, kGuide);
    place(c, bitmaps, 208, 0, oscillatorSwitch(k), x0, y0);
    place(c, bitmaps, 134 + k, 0, oscillatorButton(k), x0, y0);
    place(c, bitmaps, 175 + k, 0, routingSwitch(k), x0, y0);
  }
  for (int i = 0; i < 3; ++i) {
    place(c, bitmaps, 131 + i, 0, kLayerButtons[i], x0, y0);
    place(c, bitmaps, 131 + i, i == 0 ? 1 : 0, kCurveKindButtons[i], x0, y0);
  }
  place(c, bitmaps, 209, 0, kResetButton, x0, y0);
  for (const GroupButton& g : kGroupButtons) {
    place(c, bitmaps, g.bitmap, 0, g.rect, x0, y0);
  }
  for (const EffectBox& e : kEffectBoxes) {
    place(c, bitmaps, 208, 0, e.effectSwitch, x0, y0);
  }
  for (const EffectBar& e : kEffectBars) {
    guide(c, e.bar, x0, y0, kGuide);
    c.fill({x0 + e.display.left, y0 + e.display.top, x0 + e.display.right - 1,
            y0 + e.display.bottom - 1},
           kDisplayFill);
    guide(c, e.display, x0, y0, kDisplayRim);
  }
  place(c, bitmaps, 207, 0, kSweepShapeSwitch, x0, y0);
}

struct Cell {
  const DrawnBitmap* bitmap;
  int x;
  int y;
};

// Lays the control bitmaps out in rows across `width`, left to right.
std::vector<Cell> flow(const std::vector<DrawnBitmap>& bitmaps, int width, int top, int& bottom) {
  std::vector<Cell> cells;
  int x = kMargin;
  int y = top;
  int rowHeight = 0;
  for (const DrawnBitmap& b : bitmaps) {
    if (b.id == 128) {
      continue;
    }
    const int cellWidth = std::max(b.image->width(), 24);
    if (x + cellWidth > width - kMargin) {
      x = kMargin;
      y += rowHeight + kLabelHeight + kGap;
      rowHeight = 0;
    }
    cells.push_back({&b, x, y});
    x += cellWidth + kGap;
    rowHeight = std::max(rowHeight, b.image->height());
  }
  bottom = y + rowHeight + kLabelHeight;
  return cells;
}

}  // namespace

std::unique_ptr<Canvas> drawContactSheet(const std::vector<DrawnBitmap>& bitmaps,
                                         const Fonts& fonts) {
  const int width = 2 * kPanelSize + 3 * kMargin;
  const int stripsTop = kMargin + kPanelSize + kLabelHeight + kGap;
  int bottom = 0;
  const std::vector<Cell> cells = flow(bitmaps, width, stripsTop, bottom);

  auto sheet = std::make_unique<Canvas>(width, bottom + kMargin);
  Canvas& c = *sheet;
  const TextStyle label{fonts.regular(), 11.0, kLabel};
  c.fill({0, 0, width - 1, c.height() - 1}, kSheetGround);
  c.paste(*bitmaps.front().image, 0, kPanelSize, kPanelSize, kMargin, kMargin);
  c.text("128  background", label, kMargin, kMargin + kPanelSize + 12);
  const int previewX = 2 * kMargin + kPanelSize;
  drawPreview(c, bitmaps, previewX, kMargin);
  c.text("preview: controls at rest, bars and displays as guides", label, previewX,
         kMargin + kPanelSize + 12);
  for (const Cell& cell : cells) {
    c.paste(*cell.bitmap->image, 0, cell.bitmap->image->width(), cell.bitmap->image->height(),
            cell.x, cell.y);
    c.text(std::to_string(cell.bitmap->id), label, cell.x,
           cell.y + cell.bitmap->image->height() + 12);
  }
  return sheet;
}

}  // namespace artwork
