// The preset file reader: an accepted file holds what its kind promises (finite values, one
// program for a program file, a chunk for a chunk preset), and a chunk inside is read like one a
// host hands over.
#include <cmath>
#include <span>

#include "overtonic-host/app/PresetFile.h"
#include "tests/fuzz/FuzzTargets.h"

namespace {

void require(bool promise) {
  if (!promise) __builtin_trap();
}

}  // namespace

int fuzzPresetFile(const uint8_t* data, size_t size) {
  auto preset = hostapp::parsePreset(std::span<const unsigned char>(data, size), "fuzz.fxp");
  if (!preset.ok()) {
    require(preset.error().rfind("fuzz.fxp: offset ", 0) == 0);
    return 0;
  }
  const hostapp::PresetFile& file = preset.value();
  if (file.kind == hostapp::PresetFile::Kind::program) require(file.programs.size() == 1);
  for (const hostapp::ProgramData& program : file.programs) {
    require(program.name.size() <= hostapp::kProgramNameBytes);
    for (float value : program.parameters) require(std::isfinite(value));
  }
  if (file.isChunk) {
    require(!file.chunk.empty() && file.chunk.size() <= size);
    fuzzChunk(file.chunk.data(), file.chunk.size());
  }
  return 0;
}
