// Program records to and from the saved-state format.
#include "synth/ProgramChunk.h"

#include "engine/SharedField.h"
#include "synth/ParameterTable.h"

namespace programchunk {

static_assert(chunkformat::kCurvePoints == kEnvelopePointCount);
static_assert(chunkformat::kSlotCount == kEnvelopeSlotCount);
static_assert(chunkformat::kNameBytes == kProgramNameSize);

namespace {

chunkformat::Program describe(const ProgramRecord& record) {
  chunkformat::Program program;
  record.readName(program.name.data());
  program.name.back() = '\0';
  for (VstInt32 index = 0; index < parameters::kCount; ++index) {
    if (const float* field = record.fieldFor(index))
      program.values.push_back({static_cast<uint32_t>(index), loadRelaxed(*field)});
  }
  for (VstInt32 slot = 0; slot < kEnvelopeSlotCount; ++slot) {
    const EnvelopeCurve curve = record.readCurve(slot);
    if (!chunkformat::isSilent(curve))
      program.curves.push_back({static_cast<uint32_t>(slot), curve});
  }
  return program;
}

}  // namespace

std::vector<unsigned char> encodeBank(std::span<const ProgramRecord> programs, VstInt32 current) {
  chunkformat::State state;
  state.kind = chunkformat::Kind::bank;
  state.currentProgram = static_cast<uint32_t>(current);
  for (const ProgramRecord& record : programs) state.programs.push_back(describe(record));
  return chunkformat::write(state);
}

std::vector<unsigned char> encodeProgram(const ProgramRecord& program) {
  chunkformat::State state;
  state.programs.push_back(describe(program));
  return chunkformat::write(state);
}

chunkformat::ReadResult decode(std::span<const unsigned char> data, chunkformat::Kind expected) {
  chunkformat::ReadResult result = chunkformat::read(data);
  if (result.refusal == chunkformat::Refusal::none && result.state.kind != expected) {
    result.refusal = chunkformat::Refusal::malformed;
    result.offset = 12;
  }
  return result;
}

void assign(const chunkformat::Program& program, const ProgramRecord& defaults,
            ProgramRecord& record) {
  record = defaults;
  for (const chunkformat::Value& v : program.values) {
    if (v.index >= static_cast<uint32_t>(parameters::kCount)) continue;
    if (float* field = record.fieldFor(static_cast<VstInt32>(v.index))) {
      storeRelaxed(*field, v.value);
    }
  }
  for (const chunkformat::SlotCurve& curve : program.curves) {
    record.writeCurve(static_cast<int>(curve.slot), curve.points.data());
  }
  record.writeName(program.name.data());
}

}  // namespace programchunk
