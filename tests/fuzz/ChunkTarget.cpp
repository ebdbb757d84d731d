// The chunk reader and the step that turns an accepted chunk into program records: an accepted
// chunk writes back to a chunk that reads the same, and the records it makes hold finite values.
// Random bytes almost never carry the right size and checksum, so every input is also read once
// more with both repaired: the fuzzer then reaches the sections behind them.
#include <cmath>
#include <memory>
#include <span>
#include <vector>

#include "synth/ProgramChunk.h"
#include "tests/fuzz/FuzzTargets.h"

namespace {

void require(bool promise) {
  if (!promise) __builtin_trap();
}

bool sameState(const chunkformat::State& a, const chunkformat::State& b) {
  if (a.kind != b.kind || a.currentProgram != b.currentProgram) return false;
  if (a.programs.size() != b.programs.size()) return false;
  for (size_t p = 0; p < a.programs.size(); ++p) {
    const chunkformat::Program& x = a.programs[p];
    const chunkformat::Program& y = b.programs[p];
    if (x.name != y.name || x.values.size() != y.values.size()) return false;
    for (size_t v = 0; v < x.values.size(); ++v) {
      if (x.values[v].index != y.values[v].index || x.values[v].value != y.values[v].value)
        return false;
    }
    // The writer leaves out curves that are all zero.
    size_t c = 0;
    for (const chunkformat::SlotCurve& curve : x.curves) {
      if (chunkformat::isSilent(curve.points)) continue;
      if (c >= y.curves.size() || y.curves[c].slot != curve.slot ||
          y.curves[c].points != curve.points)
        return false;
      ++c;
    }
    if (c != y.curves.size()) return false;
  }
  return true;
}

void put32(std::vector<unsigned char>& bytes, size_t at, uint32_t value) {
  for (size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

void checkChunk(std::span<const unsigned char> bytes) {
  const size_t size = bytes.size();
  const chunkformat::ReadResult read = chunkformat::read(bytes);
  if (read.refusal != chunkformat::Refusal::none) {
    require(read.offset <= size);
    return;
  }
  const chunkformat::ReadResult again = chunkformat::read(chunkformat::write(read.state));
  require(again.refusal == chunkformat::Refusal::none);
  require(sameState(read.state, again.state));

  const auto defaults = std::make_unique<ProgramRecord>();
  const auto record = std::make_unique<ProgramRecord>();
  for (const chunkformat::Program& program : read.state.programs) {
    programchunk::assign(program, *defaults, *record);
    for (VstInt32 index = 0; index < 237; ++index) {
      if (const float* field = record->fieldFor(index)) require(std::isfinite(*field));
    }
    require(record->name[kProgramNameSize - 1] == '\0');
  }
  const auto kind = read.state.kind;
  require(programchunk::decode(bytes, kind).refusal == chunkformat::Refusal::none);
  const auto other =
      kind == chunkformat::Kind::bank ? chunkformat::Kind::program : chunkformat::Kind::bank;
  require(programchunk::decode(bytes, other).refusal != chunkformat::Refusal::none);
}

}  // namespace

int fuzzChunk(const uint8_t* data, size_t size) {
  const std::span<const unsigned char> bytes(data, size);
  checkChunk(bytes);
  constexpr size_t kSmallest = chunkformat::kHeaderBytes + chunkformat::kChecksumBytes;
  if (size >= kSmallest && size <= chunkformat::kMaxChunkBytes) {
    std::vector<unsigned char> repaired(bytes.begin(), bytes.end());
    put32(repaired, 8, static_cast<uint32_t>(size));
    put32(repaired, size - 4, chunkformat::crc32(std::span(repaired).first(size - 4)));
    checkChunk(repaired);
  }
  return 0;
}
