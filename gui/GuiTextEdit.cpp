// The text edit: the closed look, the in-place field and its keys.
#include "gui/GuiTextEdit.h"

#include <algorithm>

#include "gui/DrawContext.h"
#include "gui/GuiFrame.h"
#include "gui/TextEncoding.h"

namespace {

// Pixels between the field's edge and its text when the text is scrolled; margins are 0.
constexpr std::int32_t kCaretRoom = 1;

}  // namespace

GuiTextEdit::GuiTextEdit(const GuiRect& editSize, ControlListener* editListener,
                         std::int32_t editTag, const char* initialText, GuiBitmap* editBackground,
                         std::int32_t editStyle)
    : GuiValueDisplay(editSize, editBackground, editStyle) {
  setListener(editListener);
  setTag(editTag);
  setText(initialText);
}

GuiTextEdit::~GuiTextEdit() {
  if (field && frame && frame->getKeyboardTarget() == this) frame->setKeyboardTarget(nullptr);
}

void GuiTextEdit::setText(const char* newText) {
  std::string next = newText ? newText : "";
  if (next.size() > kMaxText) next.resize(kMaxText);
  if (next == text) return;
  text = std::move(next);
  setDirty(true);
}

void GuiTextEdit::draw(DrawContext* context) {
  if (field && context) {
    drawField(context);
    setDirty(false);
    return;
  }
  drawText(context, hasFormatter() ? formatValue(value) : text);
}

void GuiTextEdit::drawField(DrawContext* context) {
  // The field covers the control's rectangle including its right and bottom edges: the pixels
  // of `box`, right and bottom excluded.
  const GuiRect box{size.left, size.top, saturateToInt32(std::int64_t{size.right} + 1),
                    saturateToInt32(std::int64_t{size.bottom} + 1)};
  context->setFillColor(backColor);
  context->fillRect({box.left - 1, box.top - 1, box.right, box.bottom});
  context->setFont(fontId, 0, 0);
  const std::string& line = field->text();
  auto widthOf = [&](std::size_t bytes) {
    return context->getStringWidth(line.substr(0, bytes).c_str());
  };
  const std::int32_t room = box.width();
  const std::int32_t full = widthOf(line.size());
  // Aligned as the control while the text fits; scrolled to keep the caret in view otherwise.
  std::int32_t start = 0;
  if (full < room) {
    if (textAlign == TextAlign::center) start = (room - full) / 2;
    if (textAlign == TextAlign::right) start = room - full - kCaretRoom;
    scroll = 0;
  } else {
    const std::int32_t caretX = widthOf(field->caret());
    scroll = std::clamp(scroll, caretX - room + kCaretRoom + 1, caretX);
    scroll = std::clamp(scroll, 0, full - room + kCaretRoom + 1);
    start = -scroll;
  }
  context->setClipRect(box.offsetBy(context->getOffset()));
  // drawString's left alignment starts one pixel in; the field's text starts at `start`.
  auto textAt = [&](std::int32_t x, const std::string& part, GuiColor colour) {
    context->setFontColor(colour);
    context->drawString(part.c_str(), {box.left + x - 1, box.top, box.right + 4096, box.bottom},
                        false, TextAlign::left);
  };
  textAt(start, line, fontColor);
  const auto [first, last] = field->selection();
  if (first != last) {
    const std::int32_t x0 = start + widthOf(first);
    const std::int32_t x1 = start + widthOf(last);
    context->setFillColor(fontColor);
    context->fillRect({box.left + x0 - 1, box.top, box.left + x1, box.bottom - 1});
    textAt(x0, line.substr(first, last - first), backColor);
  } else {
    const std::int32_t x = box.left + start + widthOf(field->caret());
    context->setFrameColor(fontColor);
    context->moveTo({x, box.top + 2});
    context->lineTo({x, box.bottom - 2});
  }
  context->resetClipRect();
}

void GuiTextEdit::onMouseDown(DrawContext* context, GuiPoint) {
  if (!pressState(context)) return;
  if ((style & kStyleDoubleClick) && !context->awaitSecondClick()) return;
  if (frame) {
    frame->setFocusView(this);
    if (frame->getFocusView() != this) return;
  }
  takeFocus(context);
}

void GuiTextEdit::takeFocus(DrawContext*) {
  if (field) return;
  textAtOpen = toDisplayText(text.c_str());
  field = std::make_unique<TextLine>(textAtOpen, kMaxText);
  field->selectAll();
  scroll = 0;
  if (frame) frame->setKeyboardTarget(this);
  setDirty(true);
}

void GuiTextEdit::loseFocus(DrawContext* context) { closeField(true, context); }

void GuiTextEdit::closeField(bool keep, DrawContext* context) {
  if (!field) return;
  const std::string edited = field->text();
  field.reset();
  if (frame && frame->getKeyboardTarget() == this) frame->setKeyboardTarget(nullptr);
  setDirty(true);
  if (!keep || edited == textAtOpen) return;
  text = edited;
  if (textParser) {
    float parsed = value;
    if (textParser(text.c_str(), parsed, userData)) setValue(parsed);
  }
  notifyListener(context);
}

void GuiTextEdit::finishEditing(bool keep) {
  if (!keep) closeField(false, nullptr);
  if (frame && frame->getFocusView() == this) {
    frame->setFocusView(nullptr);  // loseFocus keeps the text (if still open)
  } else {
    closeField(keep, nullptr);
  }
}

void GuiTextEdit::onKey(const KeyInput& key) {
  if (!field) return;
  switch (key.name) {
    case KeyName::enter: finishEditing(true); return;
    case KeyName::escape: finishEditing(false); return;
    default: break;
  }
  if (field->apply(key)) setDirty(true);
}

void GuiTextEdit::onKeyboardFocusLost() { finishEditing(true); }

bool GuiTextEdit::onRemoved(GuiView* parent) {
  closeField(false, nullptr);
  return GuiValueDisplay::onRemoved(parent);
}
