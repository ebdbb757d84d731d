// The editing model of a single-line text field: UTF-8 text of at most a given number of bytes,
// a caret and a selection (both at character boundaries), and what the editing keys do to them.
// Pure logic, so that the field's behaviour is testable without drawing.
#pragma once

#include <cstddef>
#include <string>
#include <utility>

#include "gui/platform/KeyInput.h"

class TextLine {
 public:
  // `text` must be valid UTF-8 (see toDisplayText); it is cut at `maxBytes`, never inside a
  // character. The caret starts at the end with nothing selected.
  explicit TextLine(const std::string& text = {}, std::size_t maxBytes = 255);

  const std::string& text() const { return text_; }
  std::size_t caret() const { return caret_; }
  // The selected bytes [first, second); empty when first == second.
  std::pair<std::size_t, std::size_t> selection() const;
  bool hasSelection() const { return anchor != caret_; }

  void selectAll();
  // Replaces the selection by `utf8` (what does not fit in maxBytes is left out, whole
  // characters only) and puts the caret after it.
  void insert(const std::string& utf8);
  // Deletes the selection, else the character before (backspace) or after the caret.
  void backspace();
  void deleteForward();
  // Moves the caret; with `extend` the selection grows or shrinks with it, else it collapses.
  void moveLeft(bool extend);
  void moveRight(bool extend);
  void moveHome(bool extend);
  void moveEnd(bool extend);
  // The editing keys (arrows, home, end, backspace, delete, control-A, typed text); false for
  // keys the line does not handle (enter, escape, tab, ...).
  bool apply(const KeyInput& key);

 private:
  std::size_t previousBoundary(std::size_t at) const;
  std::size_t nextBoundary(std::size_t at) const;
  void eraseSelection();
  void moveTo(std::size_t at, bool extend);

  std::string text_;
  std::size_t maxBytes_;
  std::size_t caret_ = 0;
  std::size_t anchor = 0;
};
