// GuiTextEdit: a text that the user can edit in place. Closed, it looks like a value display of
// its text (or of its value, when a formatter is set). A click (a double click with style
// 0x2000) makes it the frame's focus view and opens a single-line field over it, one pixel wider
// and taller, with the whole text selected; the field is drawn by the control itself and gets
// the frame window's keys. Enter, or the focus going elsewhere (a click anywhere, the window
// losing the keyboard), closes the field and keeps what was typed: at most 255 bytes are copied
// back, the text parser (if set) turns them into the value, and the listener hears of it if the
// text changed. Escape closes the field and keeps the old text.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "gui/GuiValueDisplay.h"
#include "gui/KeyboardTarget.h"
#include "gui/TextLine.h"

class GuiTextEdit : public GuiValueDisplay, public KeyboardTarget {
 public:
  // `text` may be null (empty).
  GuiTextEdit(const GuiRect& size, ControlListener* listener, std::int32_t tag, const char* text,
              GuiBitmap* background, std::int32_t style = 0);
  ~GuiTextEdit() override;

  void draw(DrawContext* context) override;
  void onMouseDown(DrawContext* context, GuiPoint where) override;
  // Opens the field.
  void takeFocus(DrawContext* context) override;
  // Closes the field and keeps what was typed.
  void loseFocus(DrawContext* context) override;
  // Taken out of its frame while open: the field closes without a change.
  bool onRemoved(GuiView* parent) override;

  void onKey(const KeyInput& key) override;
  void onKeyboardFocusLost() override;

  // The text, cut at 255 bytes; marks the control dirty when it changes. Null is empty.
  void setText(const char* text);
  const char* getText() const { return text.c_str(); }
  bool isEditing() const { return field != nullptr; }
  // The open field's editing state (null when closed).
  const TextLine* getField() const { return field.get(); }

 protected:
  // Closes the field; with `keep` what was typed becomes the text.
  void closeField(bool keep, DrawContext* context);
  void drawField(DrawContext* context);
  // Ends the focus (which closes the field through loseFocus), or closes it directly without a
  // frame.
  void finishEditing(bool keep);

  std::string text;
  std::unique_ptr<TextLine> field;
  std::string textAtOpen;   // the field's text when it opened, as shown
  std::int32_t scroll = 0;  // pixels the field's text is scrolled left
};
