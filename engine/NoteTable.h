// Frequencies of the 128 MIDI notes, entry 69 = 440 Hz. Process-wide, filled once on first use.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

const std::array<float, 128>& noteFrequencyTable();

// The frequency of a note number reduced to its low seven bits, so any int is a safe index.
[[nodiscard]] inline float noteFrequency(int32_t note) {
  return noteFrequencyTable()[static_cast<std::size_t>(note & 0x7F)];
}
