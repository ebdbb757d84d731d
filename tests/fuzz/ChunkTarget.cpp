// The chunk reader and the step that turns an accepted chunk into program records: an accepted
// chunk writes back to a chunk that reads the same, and the records it makes hold finite values.
#include <cmath>
#include <memory>
#include <span>

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

}  // namespace

int fuzzChunk(const uint8_t* data, size_t size) {
  const std::span<const unsigned char> bytes(data, size);
  const chunkformat::ReadResult read = chunkformat::read(bytes);
  if (read.refusal != chunkformat::Refusal::none) {
    require(read.offset <= size);
    return 0;
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
  const auto other = kind == chunkformat::Kind::bank ? chunkformat::Kind::program
                                                     : chunkformat::Kind::bank;
  require(programchunk::decode(bytes, other).refusal != chunkformat::Refusal::none);
  return 0;
}
