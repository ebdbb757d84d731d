// JSON texts and documents: bytes that are not UTF-8 become their Latin-1 characters, the rest is
// the library's.
#include "overtonic-host/app/Json.h"

namespace hostapp {

namespace {

// Length of the valid multi-byte UTF-8 sequence starting at text[i], or 0 when there is none.
size_t utf8Length(const std::string& text, size_t i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  size_t length = 0;
  uint32_t minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF)
    length = 2, minimum = 0x80;
  else if (lead >= 0xE0 && lead <= 0xEF)
    length = 3, minimum = 0x800;
  else if (lead >= 0xF0 && lead <= 0xF4)
    length = 4, minimum = 0x10000;
  else
    return 0;
  if (i + length > text.size()) return 0;
  uint32_t code = lead & (0x7F >> length);
  for (size_t k = 1; k < length; ++k) {
    const auto c = static_cast<unsigned char>(text[i + k]);
    if ((c & 0xC0) != 0x80) return 0;
    code = code << 6 | (c & 0x3F);
  }
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

}  // namespace

Json jsonText(const std::string& bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size();) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c < 0x80) {
      text += static_cast<char>(c);
      ++i;
    } else if (const size_t length = utf8Length(bytes, i); length > 0) {
      text.append(bytes, i, length);
      i += length;
    } else {
      text += static_cast<char>(0xC0 | c >> 6);
      text += static_cast<char>(0x80 | (c & 0x3F));
      ++i;
    }
  }
  return text;
}

// Every text went through jsonText; should one not have, a stray byte shows as U+FFFD rather
// than ending the program.
std::string jsonDocument(const Json& document) {
  return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace hostapp
