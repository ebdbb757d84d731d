// A key press as the toolkit sees it: the text it types (UTF-8, possibly empty) and, for keys
// that edit or move rather than type, which key it is. Back ends translate their native key
// events into this; text fields and menus read nothing else.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>

enum class KeyName : std::int32_t {
  none,  // a key that types text (or nothing at all)
  enter,
  escape,
  backspace,
  deleteForward,
  left,
  right,
  up,
  down,
  home,
  end,
  tab,
};

struct KeyInput {
  // Longest text one key press can type, in bytes (a composed sequence fits easily).
  static constexpr std::size_t kMaxText = 31;

  KeyName name = KeyName::none;
  std::int32_t modifiers = 0;             // MouseState bits: shift, control, alt
  std::array<char, kMaxText + 1> text{};  // UTF-8, zero-terminated

  // A key that types `utf8` (cut at kMaxText bytes, never inside a character).
  static KeyInput typing(const char* utf8, std::int32_t modifiers = 0) {
    KeyInput key;
    key.modifiers = modifiers;
    key.setText(utf8);
    return key;
  }
  void setText(const char* utf8) {
    text.fill('\0');
    if (!utf8) return;
    std::size_t length = std::strlen(utf8);
    if (length > kMaxText) {
      length = kMaxText;
      while (length > 0 && (static_cast<unsigned char>(utf8[length]) & 0xC0) == 0x80) --length;
    }
    std::memcpy(text.data(), utf8, length);
  }
  static KeyInput named(KeyName name, std::int32_t modifiers = 0) {
    KeyInput key;
    key.name = name;
    key.modifiers = modifiers;
    return key;
  }
};
