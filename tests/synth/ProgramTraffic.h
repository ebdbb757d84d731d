// What the two program-traffic stress tests share. The audio thread automates parameters while
// the host's main thread selects, duplicates and renames programs, reads names, takes and restores
// chunks and sends envelope commands. Only the audio thread changes parameter values and only the
// main thread changes names, curves and the current program, so those three come out exactly as
// on a twin given the main thread's calls alone, and every stored value is either the twin's or
// one the automation sent to that index.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <limits>
#include <span>
#include <string>
#include <vector>

#include "synth/ChunkFormat.h"
#include "tests/support/ChangeStream.h"

namespace program_traffic {

using change_stream::Stream;

constexpr int32_t kParameterCount = 237;
constexpr int32_t kProgramCount = 32;
constexpr int kNameBytes = chunkformat::kNameBytes;

// A name read back lands in a larger buffer filled with a marker: the name must end with its zero
// inside its 24 bytes and leave the rest untouched.
constexpr char kMarker = '\x7f';
using NameBuffer = std::array<char, 64>;

inline NameBuffer markedBuffer() {
  NameBuffer buffer;
  buffer.fill(kMarker);
  return buffer;
}

inline bool isBoundedName(const NameBuffer& buffer) {
  return strnlen(buffer.data(), kNameBytes) < static_cast<size_t>(kNameBytes) &&
         std::all_of(buffer.begin() + kNameBytes, buffer.end(),
                     [](char c) { return c == kMarker; });
}

// The calls the main thread makes, on the core or on the plug-in through the host library.
class ProgramCalls {
 public:
  virtual ~ProgramCalls() = default;
  virtual void select(int32_t program) = 0;
  virtual void duplicate(int32_t destination) = 0;
  virtual void rename(const char* name) = 0;
  virtual void readName(NameBuffer& buffer) = 0;
  virtual bool readNameAt(int32_t index, NameBuffer& buffer) = 0;
  virtual std::vector<unsigned char> take(bool program) = 0;
  virtual bool restore(const std::vector<unsigned char>& chunk, bool program) = 0;
  virtual void envelopeCommand(Stream& stream) = 0;
  virtual void readParameter(int32_t index) = 0;
};

// A decoded chunk of this instrument; a refused one fails the test.
inline chunkformat::State decoded(const std::vector<unsigned char>& chunk) {
  chunkformat::ReadResult result = chunkformat::read(chunk);
  EXPECT_EQ(result.refusal, chunkformat::Refusal::none) << chunkformat::describe(result.refusal);
  return result.state;
}

inline bool sameCurves(const chunkformat::Program& a, const chunkformat::Program& b) {
  return std::equal(a.curves.begin(), a.curves.end(), b.curves.begin(), b.curves.end(),
                    [](const chunkformat::SlotCurve& x, const chunkformat::SlotCurve& y) {
                      return x.slot == y.slot && x.points == y.points;
                    });
}

// Names and curves of every program and the current program: what only the main thread changes.
inline bool sameProgramsApartFromValues(const chunkformat::State& a, const chunkformat::State& b) {
  if (a.kind != b.kind || a.currentProgram != b.currentProgram ||
      a.programs.size() != b.programs.size()) {
    return false;
  }
  for (size_t p = 0; p < a.programs.size(); ++p) {
    if (a.programs[p].name != b.programs[p].name || !sameCurves(a.programs[p], b.programs[p])) {
      return false;
    }
  }
  return true;
}

// The main thread's side: one call per step from its stream, counting every answer that breaks
// an invariant. A chunk it restores is taken again at once: the names, curves and current program
// it carried must be back.
class Traffic {
 public:
  explicit Traffic(uint32_t seed) : stream(seed) {}

  void step(ProgramCalls& calls) {
    switch (stream.below(16)) {
      case 0: calls.select(stream.below(kProgramCount)); break;
      case 1: calls.duplicate(stream.below(kProgramCount)); break;
      case 2: {
        // 0 to 39 letters: a program keeps the first 23.
        std::string name(static_cast<size_t>(stream.below(40)), ' ');
        for (char& c : name) c = static_cast<char>('a' + stream.below(26));
        calls.rename(name.c_str());
        break;
      }
      case 3: {
        NameBuffer buffer = markedBuffer();
        calls.readName(buffer);
        if (!isBoundedName(buffer)) ++unboundedNames;
        break;
      }
      case 4: {
        const int32_t index = stream.below(kProgramCount + 2);
        NameBuffer buffer = markedBuffer();
        const bool answered = calls.readNameAt(index, buffer);
        if (answered != (index < kProgramCount) || (answered && !isBoundedName(buffer))) {
          ++unboundedNames;
        }
        break;
      }
      case 5: bank = calls.take(false); break;
      case 6: preset = calls.take(true); break;
      case 7: restore(calls, bank, false); break;
      case 8: restore(calls, preset, true); break;
      case 9:
      case 10:
      case 11: calls.envelopeCommand(stream); break;
      default: calls.readParameter(stream.below(kParameterCount)); break;
    }
  }

  int64_t restores = 0;
  int64_t refusedRestores = 0;
  int64_t lostInRoundTrip = 0;
  int64_t unboundedNames = 0;

 private:
  void restore(ProgramCalls& calls, const std::vector<unsigned char>& chunk, bool program) {
    if (chunk.empty()) return;
    ++restores;
    if (!calls.restore(chunk, program)) {
      ++refusedRestores;
      return;
    }
    if (!sameProgramsApartFromValues(decoded(chunk), decoded(calls.take(program)))) {
      ++lostInRoundTrip;
    }
  }

  Stream stream;
  std::vector<unsigned char> bank;
  std::vector<unsigned char> preset;
};

inline void expectNoFaults(const Traffic& traffic) {
  EXPECT_GT(traffic.restores, 0);
  EXPECT_EQ(traffic.refusedRestores, 0) << "of " << traffic.restores << " restores";
  EXPECT_EQ(traffic.lostInRoundTrip, 0) << "of " << traffic.restores << " restores";
  EXPECT_EQ(traffic.unboundedNames, 0);
}

// The audio thread's side: a few parameter changes before each block, now and then a value no
// host should send; every value is noted under its index.
class Automation {
 public:
  explicit Automation(uint32_t seed) : stream(seed), sent(kParameterCount) {}

  template <class Set>
  void beforeBlock(Set set) {
    static constexpr float kOdd[] = {std::numeric_limits<float>::quiet_NaN(), 1e30f, -3e38f, -1.0f,
                                     2.0f};
    for (int32_t n = stream.below(4); n > 0; --n) {
      const int32_t index = stream.below(kParameterCount);
      const float value = stream.below(12) == 0 ? kOdd[stream.below(5)] : stream.unit();
      set(index, value);
      sent[static_cast<size_t>(index)].push_back(value);
      ++count;
    }
  }

  // True when `value` is `calm` (what the twin holds) or a value sent to `index`, as `readBack`
  // turns it into what the instrument reads back (the engine may reshape a value a little).
  template <class ReadBack>
  bool allows(int32_t index, float calm, float value, ReadBack readBack) const {
    const std::vector<float>& values = sent[static_cast<size_t>(index)];
    return value == calm ||
           std::any_of(values.begin(), values.end(), [&](float v) { return readBack(v) == value; });
  }
  bool allows(int32_t index, float calm, float value) const {
    return allows(index, calm, value, [](float v) { return v; });
  }

  int64_t count = 0;

 private:
  Stream stream;
  std::vector<std::vector<float>> sent;
};

// The final banks of the raced instance and of its twin: the same names, curves and current
// program, and every stored value either the twin's or one the automation sent to that index.
inline void expectSameBankApartFromAutomation(const chunkformat::State& raced,
                                              const chunkformat::State& calm,
                                              const Automation& automation) {
  ASSERT_EQ(raced.programs.size(), calm.programs.size());
  EXPECT_TRUE(sameProgramsApartFromValues(raced, calm));
  int64_t strangeValues = 0;
  for (size_t p = 0; p < raced.programs.size(); ++p) {
    const std::vector<chunkformat::Value>& values = raced.programs[p].values;
    const std::vector<chunkformat::Value>& calmValues = calm.programs[p].values;
    ASSERT_EQ(values.size(), calmValues.size()) << "program " << p;
    for (size_t k = 0; k < values.size(); ++k) {
      ASSERT_EQ(values[k].index, calmValues[k].index) << "program " << p;
      if (!automation.allows(static_cast<int32_t>(values[k].index), calmValues[k].value,
                             values[k].value)) {
        ADD_FAILURE() << "program " << p << ", index " << values[k].index << ": " << values[k].value
                      << " was never sent";
        if (++strangeValues == 10) return;
      }
    }
  }
}

}  // namespace program_traffic
