// Command-line value parsing with the ranges the host program enforces.
#include "overtonic-host/app/Values.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace hostapp {

using hostlib::fail;
using hostlib::Result;

namespace {

std::string quoted(const std::string& text) { return "'" + text + "'"; }

std::string formatNumber(double value) {
  std::ostringstream out;
  out << value;
  return out.str();
}

}  // namespace

Result<int64_t> parseInteger(const std::string& text, int64_t min, int64_t max) {
  if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) {
    return fail(quoted(text) + " is not a whole number");
  }
  errno = 0;
  char* end = nullptr;
  const long long value = std::strtoll(text.c_str(), &end, 10);
  if (*end != '\0') return fail(quoted(text) + " is not a whole number");
  if (errno == ERANGE || value < min || value > max) {
    return fail(text + " is outside " + std::to_string(min) + " to " + std::to_string(max));
  }
  return static_cast<int64_t>(value);
}

Result<double> parseNumber(const std::string& text, double min, double max) {
  if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) {
    return fail(quoted(text) + " is not a number");
  }
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (*end != '\0' || !std::isfinite(value)) return fail(quoted(text) + " is not a number");
  if (value < min || value > max) {
    return fail(text + " is outside " + formatNumber(min) + " to " + formatNumber(max));
  }
  return value;
}

Result<ParameterAssignment> parseAssignment(const std::string& text, int32_t parameterCount) {
  const size_t equals = text.find('=');
  if (equals == std::string::npos) return fail(quoted(text) + " is not INDEX=VALUE");
  const std::string indexText = text.substr(0, equals);
  const std::string valueText = text.substr(equals + 1);
  auto index = parseInteger(indexText, INT32_MIN, INT32_MAX);
  if (!index.ok()) return fail("parameter index " + index.error());
  if (index.value() < 0 || index.value() >= parameterCount) {
    return fail("parameter index " + indexText + " is outside 0 to " +
                std::to_string(parameterCount - 1));
  }
  // Plug-in values are floats; anything beyond float range is refused rather than made infinite.
  auto value = parseNumber(valueText, -3.0e38, 3.0e38);
  if (!value.ok()) return fail("parameter " + indexText + " value " + value.error());
  return ParameterAssignment{static_cast<int32_t>(index.value()),
                             static_cast<float>(value.value())};
}

Result<int> parseNoteName(const std::string& text) {
  static constexpr int kSemitones[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  if (text.empty()) return fail("empty note");
  if (std::isdigit(static_cast<unsigned char>(text[0]))) {
    auto number = parseInteger(text, 0, 127);
    if (!number.ok()) return fail("note " + number.error());
    return static_cast<int>(number.value());
  }
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  if (letter < 'A' || letter > 'G')
    return fail("note " + quoted(text) + " is not 0-127 or a name like C4");
  int semitone = kSemitones[letter - 'A'];
  size_t pos = 1;
  if (pos < text.size() && (text[pos] == '#' || text[pos] == 'b')) {
    semitone += text[pos] == '#' ? 1 : -1;
    ++pos;
  }
  auto octave = parseInteger(text.substr(pos), -1, 9);
  if (!octave.ok()) return fail("note " + quoted(text) + " needs an octave -1 to 9, like C4");
  const int64_t note = (octave.value() + 1) * 12 + semitone;
  if (note < 0 || note > 127) return fail("note " + text + " lies outside MIDI notes 0-127");
  return static_cast<int>(note);
}

Result<NoteRequest> parseNoteRequest(const std::string& text) {
  NoteRequest option;
  const size_t first = text.find(':');
  const size_t second = first == std::string::npos ? first : text.find(':', first + 1);
  auto note = parseNoteName(text.substr(0, first));
  if (!note.ok()) return fail(note.error());
  option.note = note.value();
  if (first != std::string::npos) {
    auto velocity = parseInteger(text.substr(first + 1, second - first - 1), 1, 127);
    if (!velocity.ok()) return fail("velocity " + velocity.error());
    option.velocity = static_cast<int>(velocity.value());
  }
  if (second != std::string::npos) {
    auto seconds = parseNumber(text.substr(second + 1), 0.001, kMaxRenderSeconds);
    if (!seconds.ok()) return fail("note length " + seconds.error());
    option.seconds = seconds.value();
  }
  return option;
}

}  // namespace hostapp
