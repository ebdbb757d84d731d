// A small JSON writer for the `--json` outputs: objects, arrays, strings (escaped; bytes that are
// not valid UTF-8 are written as \u00XX), integers, and floats with enough digits to read back
// the same float (NaN and infinities become null).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace hostapp {

class JsonWriter {
 public:
  JsonWriter& beginObject();
  JsonWriter& endObject();
  JsonWriter& beginArray();
  JsonWriter& endArray();
  JsonWriter& key(const std::string& name);  // inside an object, before each value
  JsonWriter& value(const std::string& text);
  JsonWriter& value(const char* text) { return value(std::string(text)); }
  JsonWriter& value(int64_t number);
  JsonWriter& value(int32_t number) { return value(static_cast<int64_t>(number)); }
  JsonWriter& value(float number);
  JsonWriter& value(double number);
  JsonWriter& value(bool flag);
  JsonWriter& null();

  // The document, with two-space indentation and a final newline.
  std::string text() const { return out_ + "\n"; }

 private:
  void beforeValue();
  JsonWriter& close(char bracket);
  void newline();
  std::string out_;
  std::vector<bool> hasItems_;  // per open container
  bool afterKey_ = false;
};

std::string jsonEscape(const std::string& text);

}  // namespace hostapp
