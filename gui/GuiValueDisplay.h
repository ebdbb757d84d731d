// GuiValueDisplay: shows its value as one line of text over a bitmap or a plain box. The text
// comes from a formatter callback (the extended one, with user data, first) or is the value
// printed with "%2.2f". Style bits choose a shadow under the text, a sunken or raised 3-D frame,
// no text, or nothing at all. It tells no listener and takes no part in mouse handling; the text
// field and the choice menu build on it.
#pragma once

#include <cstdint>
#include <string>

#include "gui/ControlStyle.h"
#include "gui/GuiControl.h"

// Formatters write at most 255 characters and a terminating zero into `text`.
using ValueToText = void (*)(float value, char* text);
using ValueToTextEx = void (*)(float value, char* text, void* userData);
// Reads `text`; false when it is not a value (then `value` is left alone).
using TextToValue = bool (*)(const char* text, float& value, void* userData);

class GuiValueDisplay : public GuiControl {
 public:
  // The longest text a display shows (a formatter's buffer holds this many characters + 1).
  static constexpr std::size_t kMaxText = 255;

  GuiValueDisplay(const GuiRect& size, GuiBitmap* background, std::int32_t style = 0);

  void draw(DrawContext* context) override;

  // Each marks the display dirty when it changes what is shown.
  virtual void setFont(FontId id);
  virtual void setFontColor(GuiColor color);
  virtual void setBackColor(GuiColor color);
  virtual void setFrameColor(GuiColor color);
  virtual void setShadowColor(GuiColor color);
  virtual void setTextAlign(TextAlign align);
  // Where the background starts in its bitmap.
  virtual void setTextOffset(GuiPoint offset);
  virtual void setValueFormatterEx(ValueToTextEx formatter, void* userData);
  virtual void setValueFormatter(ValueToText formatter);
  virtual void setTextParser(TextToValue parser);
  virtual void setStyle(std::int32_t newStyle);
  virtual void setFontStyle(std::int32_t newStyle);
  virtual void setClearTextBackground(bool clear);

  FontId getFont() const { return fontId; }
  std::int32_t getFontStyle() const { return fontStyle; }
  GuiColor getFontColor() const { return fontColor; }
  GuiColor getBackColor() const { return backColor; }
  GuiColor getFrameColor() const { return frameColor; }
  GuiColor getShadowColor() const { return shadowColor; }
  TextAlign getTextAlign() const { return textAlign; }
  GuiPoint getTextOffset() const { return textOffset; }
  std::int32_t getStyle() const { return style; }
  bool getClearTextBackground() const { return clearTextBackground; }
  TextToValue getTextParser() const { return textParser; }
  void* getUserData() const { return userData; }
  // The text the display shows for its value now.
  std::string valueText() const;

 protected:
  // True when a formatter callback is set.
  bool hasFormatter() const { return formatterEx || formatter; }
  // The text a formatter (or "%2.2f") makes of `v`, at most kMaxText characters.
  std::string formatValue(float v) const;
  // Everything draw does, with `text` as the text and `face` (null: the background) as the
  // bitmap; the text field and the menu show their own.
  void drawText(DrawContext* context, const std::string& text, GuiBitmap* face = nullptr);
  void drawFrame3d(DrawContext* context);

  ValueToText formatter = nullptr;
  ValueToTextEx formatterEx = nullptr;
  TextToValue textParser = nullptr;
  void* userData = nullptr;
  TextAlign textAlign = TextAlign::center;
  std::int32_t style;
  FontId fontId = FontId::normal;
  std::int32_t fontStyle = 0;
  GuiColor fontColor = kColorWhite;
  GuiColor backColor = kColorBlack;
  GuiColor frameColor = kColorBlack;
  GuiColor shadowColor = kColorRed;
  GuiPoint textOffset{};
  bool clearTextBackground = true;
};
