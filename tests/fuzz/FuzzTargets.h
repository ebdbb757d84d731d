// The three readers that take bytes from outside: the saved-state chunk a host hands the plug-in,
// MIDI files and preset files. Each target reads one input and checks what a successful read
// promises; a broken promise or a memory error ends the process, which the fuzzer reports. The
// same functions replay the seed corpus in the ordinary test run.
#pragma once

#include <cstddef>
#include <cstdint>

int fuzzChunk(const uint8_t* data, size_t size);
int fuzzMidiFile(const uint8_t* data, size_t size);
int fuzzPresetFile(const uint8_t* data, size_t size);
