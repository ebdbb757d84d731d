// JSON output with exact strings and round-trip floats.
#include "overtonic-host/app/Json.h"

#include <cmath>
#include <cstdio>

namespace hostapp {

namespace {

// Length of the valid UTF-8 sequence starting at text[i], or 0 when it is not valid.
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

std::string jsonEscape(const std::string& text) {
  std::string out = "\"";
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    char escaped[8];
    if (c == '"')
      out += "\\\"";
    else if (c == '\\')
      out += "\\\\";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\t')
      out += "\\t";
    else if (c < 0x20 || c == 0x7F) {
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (const size_t length = utf8Length(text, i); length > 0) {
      out.append(text, i, length);
      i += length - 1;
    } else {
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    }
  }
  return out + "\"";
}

void JsonWriter::newline() {
  out_ += "\n";
  out_.append(2 * hasItems_.size(), ' ');
}

void JsonWriter::beforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!hasItems_.empty()) {
    if (hasItems_.back()) out_ += ",";
    hasItems_.back() = true;
    newline();
  }
}

JsonWriter& JsonWriter::beginObject() {
  beforeValue();
  out_ += "{";
  hasItems_.push_back(false);
  return *this;
}

JsonWriter& JsonWriter::close(char bracket) {
  const bool any = hasItems_.back();
  hasItems_.pop_back();
  if (any) newline();
  out_ += bracket;
  return *this;
}

JsonWriter& JsonWriter::endObject() { return close('}'); }

JsonWriter& JsonWriter::beginArray() {
  beforeValue();
  out_ += "[";
  hasItems_.push_back(false);
  return *this;
}

JsonWriter& JsonWriter::endArray() { return close(']'); }

JsonWriter& JsonWriter::key(const std::string& name) {
  beforeValue();
  out_ += jsonEscape(name) + ": ";
  afterKey_ = true;
  return *this;
}

JsonWriter& JsonWriter::value(const std::string& text) {
  beforeValue();
  out_ += jsonEscape(text);
  return *this;
}

JsonWriter& JsonWriter::value(int64_t number) {
  beforeValue();
  out_ += std::to_string(number);
  return *this;
}

JsonWriter& JsonWriter::value(float number) {
  if (!std::isfinite(number)) return null();
  beforeValue();
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", static_cast<double>(number));
  out_ += text;
  return *this;
}

JsonWriter& JsonWriter::value(double number) {
  if (!std::isfinite(number)) return null();
  beforeValue();
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", number);
  out_ += text;
  return *this;
}

JsonWriter& JsonWriter::value(bool flag) {
  beforeValue();
  out_ += flag ? "true" : "false";
  return *this;
}

JsonWriter& JsonWriter::null() {
  beforeValue();
  out_ += "null";
  return *this;
}

}  // namespace hostapp
