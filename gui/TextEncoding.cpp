// Byte strings to displayable UTF-8: validation, a Windows-1252 fallback, control characters
// replaced by blanks.
#include "gui/TextEncoding.h"

#include <array>
#include <cstdint>

namespace {

// Code points of bytes 0x80-0x9F in Windows-1252; the five unassigned bytes show as U+FFFD.
constexpr std::array<char32_t, 32> kWindows1252High{
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

// Length of the valid UTF-8 sequence starting at `s`, or 0 if it is not one.
std::size_t utf8SequenceLength(const unsigned char* s) {
  const unsigned char lead = s[0];
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  char32_t value = 0;
  char32_t minimum = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, value = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, value = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, value = lead & 0x07, minimum = 0x10000;
  } else {
    return 0;
  }
  for (std::size_t i = 1; i < length; ++i) {
    if ((s[i] & 0xC0) != 0x80) return 0;  // also stops at the terminating zero
    value = (value << 6) | (s[i] & 0x3F);
  }
  const bool valid = value >= minimum && value <= 0x10FFFF && !(value >= 0xD800 && value <= 0xDFFF);
  return valid ? length : 0;
}

bool isValidUtf8(const unsigned char* s) {
  while (*s) {
    const std::size_t length = utf8SequenceLength(s);
    if (length == 0) return false;
    s += length;
  }
  return true;
}

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

char32_t windows1252ToUnicode(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0) return kWindows1252High[byte - 0x80];
  return byte;
}

}  // namespace

std::string toDisplayText(const char* text) {
  std::string out;
  if (!text) return out;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  const bool utf8 = isValidUtf8(bytes);
  for (const unsigned char* s = bytes; *s; ++s) {
    if (*s < 0x20 || *s == 0x7F) {
      out += ' ';
    } else if (utf8 || *s < 0x80) {
      out += static_cast<char>(*s);
    } else {
      appendUtf8(out, windows1252ToUnicode(*s));
    }
  }
  return out;
}
