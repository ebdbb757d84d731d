// Parsing of the values users type on the command line: integers and numbers with ranges,
// INDEX=VALUE parameter assignments, and notes (a MIDI number or a name such as C4, F#3, Bb2)
// with optional velocity and duration. Errors name what was typed and why it is refused.
#pragma once

#include <cstdint>
#include <string>

#include "overtonic-host/lib/Result.h"

namespace hostapp {

hostlib::Result<int64_t> parseInteger(const std::string& text, int64_t min, int64_t max);
// A finite number within [min, max]; "nan", "inf" and trailing garbage are refused.
hostlib::Result<double> parseNumber(const std::string& text, double min, double max);

struct ParameterAssignment {
  int32_t index = 0;
  float value = 0;
};
// "INDEX=VALUE"; the index is checked against [0, parameterCount), the value must be finite.
hostlib::Result<ParameterAssignment> parseAssignment(const std::string& text,
                                                     int32_t parameterCount);

struct NoteRequest {
  int note = 60;
  int velocity = 100;
  double seconds = 1.0;
};
// "NOTE[:VELOCITY[:SECONDS]]"; NOTE is 0-127 or a name with octave, middle C = C4 = 60.
hostlib::Result<NoteRequest> parseNoteRequest(const std::string& text);
hostlib::Result<int> parseNoteName(const std::string& text);

// Longest note or render the host program accepts, in seconds.
inline constexpr double kMaxRenderSeconds = 3600;

}  // namespace hostapp
