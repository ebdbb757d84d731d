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
                         std::int32_t editTag, const char* initialText,
                         GuiBitmap* editBackground, std::int32_t editStyle)
    : GuiValueDisplay(editSize, editBackground, editStyle) {
  setListener(editListener);
  setTag(editTag);
  setText(initialText);
}

GuiTextEdit::~GuiTextEdit() {
  if (field_ && frame_ && frame_->getKeyboardTarget() == this) frame_->setKeyboardTarget(nullptr);
}

void GuiTextEdit::setText(const char* newText) {
  std::string next = newText ? newText : "";
  if (next.size() > kMaxText) next.resize(kMaxText);
  if (next == text_) return;
  text_ = std::move(next);
  setDirty(true);
}

void GuiTextEdit::draw(DrawContext* context) {
  if (field_ && context) {
    drawField(context);
    setDirty(false);
    return;
  }
  drawText(context, hasFormatter() ? formatValue(value_) : text_);
}

void GuiTextEdit::drawField(DrawContext* context) {
  // The field covers the control's rectangle including its right and bottom edges: the pixels
  // of `box`, right and bottom excluded.
  const GuiRect box{size_.left, size_.top, saturateToInt32(std::int64_t{size_.right} + 1),
                    saturateToInt32(std::int64_t{size_.bottom} + 1)};
  context->setFillColor(backColor_);
  context->fillRect({box.left - 1, box.top - 1, box.right, box.bottom});
  context->setFont(fontId_, 0, 0);
  const std::string& line = field_->text();
  auto widthOf = [&](std::size_t bytes) {
    return context->getStringWidth(line.substr(0, bytes).c_str());
  };
  const std::int32_t room = box.width();
  const std::int32_t full = widthOf(line.size());
  // Aligned as the control while the text fits; scrolled to keep the caret in view otherwise.
  std::int32_t start = 0;
  if (full < room) {
    if (textAlign_ == TextAlign::center) start = (room - full) / 2;
    if (textAlign_ == TextAlign::right) start = room - full - kCaretRoom;
    scroll_ = 0;
  } else {
    const std::int32_t caretX = widthOf(field_->caret());
    scroll_ = std::clamp(scroll_, caretX - room + kCaretRoom + 1, caretX);
    scroll_ = std::clamp(scroll_, 0, full - room + kCaretRoom + 1);
    start = -scroll_;
  }
  context->setClipRect(box.offsetBy(context->getOffset()));
  // drawString's left alignment starts one pixel in; the field's text starts at `start`.
  auto textAt = [&](std::int32_t x, const std::string& part, GuiColor colour) {
    context->setFontColor(colour);
    context->drawString(part.c_str(), {box.left + x - 1, box.top, box.right + 4096, box.bottom},
                        false, TextAlign::left);
  };
  textAt(start, line, fontColor_);
  const auto [first, last] = field_->selection();
  if (first != last) {
    const std::int32_t x0 = start + widthOf(first);
    const std::int32_t x1 = start + widthOf(last);
    context->setFillColor(fontColor_);
    context->fillRect({box.left + x0 - 1, box.top, box.left + x1, box.bottom - 1});
    textAt(x0, line.substr(first, last - first), backColor_);
  } else {
    const std::int32_t x = box.left + start + widthOf(field_->caret());
    context->setFrameColor(fontColor_);
    context->moveTo({x, box.top + 2});
    context->lineTo({x, box.bottom - 2});
  }
  context->resetClipRect();
}

void GuiTextEdit::onMouseDown(DrawContext* context, GuiPoint) {
  if (!pressState(context)) return;
  if ((style_ & kStyleDoubleClick) && !context->awaitSecondClick()) return;
  if (frame_) {
    frame_->setFocusView(this);
    if (frame_->getFocusView() != this) return;
  }
  takeFocus(context);
}

void GuiTextEdit::takeFocus(DrawContext*) {
  if (field_) return;
  textAtOpen_ = toDisplayText(text_.c_str());
  field_ = std::make_unique<TextLine>(textAtOpen_, kMaxText);
  field_->selectAll();
  scroll_ = 0;
  if (frame_) frame_->setKeyboardTarget(this);
  setDirty(true);
}

void GuiTextEdit::loseFocus(DrawContext* context) { closeField(true, context); }

void GuiTextEdit::closeField(bool keep, DrawContext* context) {
  if (!field_) return;
  const std::string edited = field_->text();
  field_.reset();
  if (frame_ && frame_->getKeyboardTarget() == this) frame_->setKeyboardTarget(nullptr);
  setDirty(true);
  if (!keep || edited == textAtOpen_) return;
  text_ = edited;
  if (textParser_) {
    float parsed = value_;
    if (textParser_(text_.c_str(), parsed, userData_)) setValue(parsed);
  }
  notifyListener(context);
}

void GuiTextEdit::finishEditing(bool keep) {
  if (!keep) closeField(false, nullptr);
  if (frame_ && frame_->getFocusView() == this) {
    frame_->setFocusView(nullptr);  // loseFocus keeps the text (if still open)
  } else {
    closeField(keep, nullptr);
  }
}

void GuiTextEdit::onKey(const KeyInput& key) {
  if (!field_) return;
  switch (key.name) {
    case KeyName::enter: finishEditing(true); return;
    case KeyName::escape: finishEditing(false); return;
    default: break;
  }
  if (field_->apply(key)) setDirty(true);
}

void GuiTextEdit::onKeyboardFocusLost() { finishEditing(true); }

bool GuiTextEdit::onRemoved(GuiView* parent) {
  closeField(false, nullptr);
  return GuiValueDisplay::onRemoved(parent);
}
