// The value display: text from the formatters, background, 3-D frame and the text itself.
#include "gui/GuiValueDisplay.h"

#include <array>
#include <cstdio>

#include "gui/DrawContext.h"
#include "gui/StripDrawing.h"

namespace {

// A formatter gets more room than it may use, so that one writing a little past the designed
// 255 characters does no harm; what it wrote is cut at 255.
constexpr std::size_t kFormatterRoom = 1024;

// A colour setter's rule: store, and mark dirty when red, green or blue changed.
void setColour(GuiControl& control, GuiColor& field, GuiColor color) {
  if (field == color) return;
  field = color;
  control.setDirty(true);
}

}  // namespace

GuiValueDisplay::GuiValueDisplay(const GuiRect& displaySize, GuiBitmap* displayBackground,
                                 std::int32_t displayStyle)
    : GuiControl(displaySize, nullptr, 0, displayBackground), style(displayStyle) {
  if (style & kStyleNoDraw) setDirty(false);
}

std::string GuiValueDisplay::formatValue(float v) const {
  std::array<char, kFormatterRoom> text{};
  if (formatterEx) {
    formatterEx(v, text.data(), userData);
  } else if (formatter) {
    formatter(v, text.data());
  } else {
    std::snprintf(text.data(), text.size(), "%2.2f", static_cast<double>(v));
  }
  text[kMaxText] = '\0';
  return text.data();
}

std::string GuiValueDisplay::valueText() const { return formatValue(value); }

void GuiValueDisplay::draw(DrawContext* context) { drawText(context, formatValue(value)); }

void GuiValueDisplay::drawText(DrawContext* context, const std::string& text, GuiBitmap* face) {
  if (!context || (style & kStyleNoDraw)) {
    setDirty(false);
    return;
  }
  const bool frame3d = (style & (kStyleSunkenFrame | kStyleRaisedFrame)) != 0;
  if (!face) face = background;
  if (face) {
    drawStripFrame(context, face, size, textOffset, transparent);
  } else if (!transparent) {
    context->setFillColor(backColor);
    context->fillRect(size);
    if (!frame3d) {
      context->setFrameColor(frameColor);
      context->drawRect(size);
    }
  }
  if (frame3d) drawFrame3d(context);
  if (!(style & kStyleNoText)) {
    context->setFont(fontId, 0, fontStyle);
    context->setFillColor(backColor);
    // An opaque text cell is filled once, under the shadow when there is one.
    bool opaque = !clearTextBackground;
    if (style & kStyleShadowText) {
      context->setFontColor(shadowColor);
      context->drawString(text.c_str(), size.offsetBy({1, 1}), opaque, textAlign);
      opaque = false;
    }
    context->setFontColor(fontColor);
    context->drawString(text.c_str(), size, opaque, textAlign);
  }
  setDirty(false);
}

void GuiValueDisplay::drawFrame3d(DrawContext* context) {
  const bool sunken = (style & kStyleSunkenFrame) != 0;
  context->setFrameColor(sunken ? backColor : frameColor);
  context->moveTo({size.left, size.bottom});
  context->lineTo({size.left, size.top});
  context->lineTo({saturateToInt32(std::int64_t{size.right} + 1), size.top});
  context->setFrameColor(sunken ? frameColor : backColor);
  context->moveTo({size.right, saturateToInt32(std::int64_t{size.top} + 1)});
  context->lineTo({size.right, size.bottom});
  context->lineTo({size.left, size.bottom});
}

void GuiValueDisplay::setFont(FontId id) {
  if (fontId == id) return;
  fontId = id;
  setDirty(true);
}

void GuiValueDisplay::setFontColor(GuiColor color) { setColour(*this, fontColor, color); }
void GuiValueDisplay::setBackColor(GuiColor color) { setColour(*this, backColor, color); }
void GuiValueDisplay::setFrameColor(GuiColor color) { setColour(*this, frameColor, color); }
void GuiValueDisplay::setShadowColor(GuiColor color) { setColour(*this, shadowColor, color); }

void GuiValueDisplay::setTextAlign(TextAlign align) {
  if (textAlign == align) return;
  textAlign = align;
  setDirty(true);
}

void GuiValueDisplay::setTextOffset(GuiPoint offset) { textOffset = offset; }

void GuiValueDisplay::setValueFormatterEx(ValueToTextEx newFormatter, void* data) {
  formatterEx = newFormatter;
  userData = data;
}

void GuiValueDisplay::setValueFormatter(ValueToText newFormatter) { formatter = newFormatter; }
void GuiValueDisplay::setTextParser(TextToValue parser) { textParser = parser; }

void GuiValueDisplay::setStyle(std::int32_t newStyle) {
  if (style == newStyle) return;
  style = newStyle;
  setDirty(true);
}

void GuiValueDisplay::setFontStyle(std::int32_t newStyle) {
  if (fontStyle == newStyle) return;
  fontStyle = newStyle;
  setDirty(true);
}

void GuiValueDisplay::setClearTextBackground(bool clear) { clearTextBackground = clear; }
