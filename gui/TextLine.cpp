// The text line: byte offsets kept on UTF-8 character boundaries.
#include "gui/TextLine.h"

#include <algorithm>

#include "gui/GuiTypes.h"

namespace {

bool isContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The longest prefix of `text` of at most `bytes` bytes that ends on a character boundary.
std::size_t fittingPrefix(const std::string& text, std::size_t bytes) {
  if (text.size() <= bytes) return text.size();
  std::size_t cut = bytes;
  while (cut > 0 && isContinuation(text[cut])) --cut;
  return cut;
}

}  // namespace

TextLine::TextLine(const std::string& text, std::size_t maxBytes)
    : text_(text.substr(0, fittingPrefix(text, maxBytes))), maxBytes_(maxBytes) {
  caret_ = anchor = text_.size();
}

std::pair<std::size_t, std::size_t> TextLine::selection() const {
  return {std::min(anchor, caret_), std::max(anchor, caret_)};
}

void TextLine::selectAll() {
  anchor = 0;
  caret_ = text_.size();
}

std::size_t TextLine::previousBoundary(std::size_t at) const {
  if (at == 0) return 0;
  --at;
  while (at > 0 && isContinuation(text_[at])) --at;
  return at;
}

std::size_t TextLine::nextBoundary(std::size_t at) const {
  if (at >= text_.size()) return text_.size();
  ++at;
  while (at < text_.size() && isContinuation(text_[at])) ++at;
  return at;
}

void TextLine::eraseSelection() {
  const auto [first, last] = selection();
  text_.erase(first, last - first);
  caret_ = anchor = first;
}

void TextLine::insert(const std::string& utf8) {
  eraseSelection();
  const std::size_t room = maxBytes_ > text_.size() ? maxBytes_ - text_.size() : 0;
  const std::size_t take = fittingPrefix(utf8, room);
  text_.insert(caret_, utf8, 0, take);
  caret_ += take;
  anchor = caret_;
}

void TextLine::backspace() {
  if (!hasSelection()) anchor = previousBoundary(caret_);
  eraseSelection();
}

void TextLine::deleteForward() {
  if (!hasSelection()) anchor = nextBoundary(caret_);
  eraseSelection();
}

void TextLine::moveTo(std::size_t at, bool extend) {
  caret_ = at;
  if (!extend) anchor = at;
}

void TextLine::moveLeft(bool extend) {
  if (!extend && hasSelection()) {
    moveTo(selection().first, false);
  } else {
    moveTo(previousBoundary(caret_), extend);
  }
}

void TextLine::moveRight(bool extend) {
  if (!extend && hasSelection()) {
    moveTo(selection().second, false);
  } else {
    moveTo(nextBoundary(caret_), extend);
  }
}

void TextLine::moveHome(bool extend) { moveTo(0, extend); }
void TextLine::moveEnd(bool extend) { moveTo(text_.size(), extend); }

bool TextLine::apply(const KeyInput& key) {
  const bool extend = (key.modifiers & kMouseShift) != 0;
  switch (key.name) {
    case KeyName::left: moveLeft(extend); return true;
    case KeyName::right: moveRight(extend); return true;
    case KeyName::home: moveHome(extend); return true;
    case KeyName::end: moveEnd(extend); return true;
    case KeyName::backspace: backspace(); return true;
    case KeyName::deleteForward: deleteForward(); return true;
    case KeyName::none: break;
    default: return false;
  }
  if (key.text[0] == '\0') return false;
  if ((key.modifiers & kMouseControl) && !(key.modifiers & kMouseAlt)) {
    // Control combinations are commands, not text; control-A selects everything. (AltGr, which
    // some servers report as control + alt, still types.)
    if (key.text[0] == 'a' || key.text[0] == 'A') {
      selectAll();
      return true;
    }
    return false;
  }
  insert(key.text.data());
  return true;
}
