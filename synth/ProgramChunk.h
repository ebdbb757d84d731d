// Program records to and from the saved-state format: every stored parameter value by its index,
// the name and the curves that are not all zero. A chunk is applied only after it has been read
// completely, so a refused chunk changes nothing.
#pragma once

#include <span>
#include <vector>

#include "synth/ChunkFormat.h"
#include "synth/ProgramRecord.h"

namespace programchunk {

// A bank chunk of `programs` with `current` as the current program.
std::vector<unsigned char> encodeBank(std::span<const ProgramRecord> programs, VstInt32 current);
std::vector<unsigned char> encodeProgram(const ProgramRecord& program);

// Reads a chunk of the expected kind; a chunk of the other kind is refused as malformed.
chunkformat::ReadResult decode(std::span<const unsigned char> data, chunkformat::Kind expected);

// Makes `record` the program described: values it does not carry and indexes this instrument
// does not store keep the defaults (or are ignored), absent curves are all zero. Cannot fail.
void assign(const chunkformat::Program& program, const ProgramRecord& defaults,
            ProgramRecord& record);

}  // namespace programchunk
