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
    : GuiControl(displaySize, nullptr, 0, displayBackground), style_(displayStyle) {
  if (style_ & kStyleNoDraw) setDirty(false);
}

std::string GuiValueDisplay::formatValue(float v) const {
  std::array<char, kFormatterRoom> text{};
  if (formatterEx_) {
    formatterEx_(v, text.data(), userData_);
  } else if (formatter_) {
    formatter_(v, text.data());
  } else {
    std::snprintf(text.data(), text.size(), "%2.2f", static_cast<double>(v));
  }
  text[kMaxText] = '\0';
  return text.data();
}

std::string GuiValueDisplay::valueText() const { return formatValue(value_); }

void GuiValueDisplay::draw(DrawContext* context) { drawText(context, formatValue(value_)); }

void GuiValueDisplay::drawText(DrawContext* context, const std::string& text, GuiBitmap* face) {
  if (!context || (style_ & kStyleNoDraw)) {
    setDirty(false);
    return;
  }
  const bool frame3d = (style_ & (kStyleSunkenFrame | kStyleRaisedFrame)) != 0;
  if (!face) face = background_;
  if (face) {
    drawStripFrame(context, face, size_, textOffset_, transparent_);
  } else if (!transparent_) {
    context->setFillColor(backColor_);
    context->fillRect(size_);
    if (!frame3d) {
      context->setFrameColor(frameColor_);
      context->drawRect(size_);
    }
  }
  if (frame3d) drawFrame3d(context);
  if (!(style_ & kStyleNoText)) {
    context->setFont(fontId_, 0, fontStyle_);
    context->setFillColor(backColor_);
    // An opaque text cell is filled once, under the shadow when there is one.
    bool opaque = !clearTextBackground_;
    if (style_ & kStyleShadowText) {
      context->setFontColor(shadowColor_);
      context->drawString(text.c_str(), size_.offsetBy({1, 1}), opaque, textAlign_);
      opaque = false;
    }
    context->setFontColor(fontColor_);
    context->drawString(text.c_str(), size_, opaque, textAlign_);
  }
  setDirty(false);
}

void GuiValueDisplay::drawFrame3d(DrawContext* context) {
  const bool sunken = (style_ & kStyleSunkenFrame) != 0;
  context->setFrameColor(sunken ? backColor_ : frameColor_);
  context->moveTo({size_.left, size_.bottom});
  context->lineTo({size_.left, size_.top});
  context->lineTo({saturateToInt32(std::int64_t{size_.right} + 1), size_.top});
  context->setFrameColor(sunken ? frameColor_ : backColor_);
  context->moveTo({size_.right, saturateToInt32(std::int64_t{size_.top} + 1)});
  context->lineTo({size_.right, size_.bottom});
  context->lineTo({size_.left, size_.bottom});
}

void GuiValueDisplay::setFont(FontId id) {
  if (fontId_ == id) return;
  fontId_ = id;
  setDirty(true);
}

void GuiValueDisplay::setFontColor(GuiColor color) { setColour(*this, fontColor_, color); }
void GuiValueDisplay::setBackColor(GuiColor color) { setColour(*this, backColor_, color); }
void GuiValueDisplay::setFrameColor(GuiColor color) { setColour(*this, frameColor_, color); }
void GuiValueDisplay::setShadowColor(GuiColor color) { setColour(*this, shadowColor_, color); }

void GuiValueDisplay::setTextAlign(TextAlign align) {
  if (textAlign_ == align) return;
  textAlign_ = align;
  setDirty(true);
}

void GuiValueDisplay::setTextOffset(GuiPoint offset) { textOffset_ = offset; }

void GuiValueDisplay::setValueFormatterEx(ValueToTextEx newFormatter, void* data) {
  formatterEx_ = newFormatter;
  userData_ = data;
}

void GuiValueDisplay::setValueFormatter(ValueToText newFormatter) { formatter_ = newFormatter; }
void GuiValueDisplay::setTextParser(TextToValue parser) { textParser_ = parser; }

void GuiValueDisplay::setStyle(std::int32_t newStyle) {
  if (style_ == newStyle) return;
  style_ = newStyle;
  setDirty(true);
}

void GuiValueDisplay::setFontStyle(std::int32_t newStyle) {
  if (fontStyle_ == newStyle) return;
  fontStyle_ = newStyle;
  setDirty(true);
}

void GuiValueDisplay::setClearTextBackground(bool clear) { clearTextBackground_ = clear; }
