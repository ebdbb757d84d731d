// Encoding and checked decoding of VST 2 program and bank files, parameter and chunk forms.
#include "overtonic-host/app/PresetFile.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "host/vst2.h"
#include "overtonic-host/app/Files.h"

namespace hostapp {

using hostlib::fail;
using hostlib::Failure;
using hostlib::Result;

namespace {

constexpr int32_t kChunkMagic = fourCharCode("CcnK");
constexpr int32_t kProgramMagic = fourCharCode("FxCk");
constexpr int32_t kBankMagic = fourCharCode("FxBk");
constexpr int32_t kProgramChunkMagic = fourCharCode("FPCh");
constexpr int32_t kBankChunkMagic = fourCharCode("FBCh");
constexpr size_t kMaxPresetFileBytes = 64u << 20;

void put32(std::vector<unsigned char>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<unsigned char>(value >> shift));
}
void putInt(std::vector<unsigned char>& out, int32_t value) {
  put32(out, static_cast<uint32_t>(value));
}

// The byte size field at offset 4 counts everything after it.
void patchByteSize(std::vector<unsigned char>& out) {
  const auto byteSize = static_cast<uint32_t>(out.size() - 8);
  for (int i = 0; i < 4; ++i)
    out[4 + static_cast<size_t>(i)] = static_cast<unsigned char>(byteSize >> (24 - 8 * i));
}

void appendName(std::vector<unsigned char>& out, const std::string& text) {
  char name[kProgramNameBytes] = {};
  std::memcpy(name, text.data(), std::min(text.size(), kProgramNameBytes - 1));
  out.insert(out.end(), name, name + kProgramNameBytes);
}

void appendProgram(std::vector<unsigned char>& out, int32_t id, int32_t version,
                   const ProgramData& program) {
  const auto count = static_cast<int32_t>(program.parameters.size());
  putInt(out, kChunkMagic);
  putInt(out, static_cast<int32_t>(kProgramHeaderBytes - 8 + 4 * program.parameters.size()));
  putInt(out, kProgramMagic);
  putInt(out, 1);
  putInt(out, id);
  putInt(out, version);
  putInt(out, count);
  appendName(out, program.name);
  for (float value : program.parameters) put32(out, std::bit_cast<uint32_t>(value));
}

class PresetReader {
 public:
  PresetReader(std::span<const unsigned char> data, std::string name)
      : data_(data), name_(std::move(name)) {}

  Result<PresetFile> run() {
    if (data_.size() < 12)
      return error(0,
                   "too short for a VST preset file (" + std::to_string(data_.size()) + " bytes)");
    if (get32(0) != kChunkMagic) return error(0, "not a VST preset file (no 'CcnK' mark)");
    const int32_t kind = get32(8);
    if (kind == kProgramMagic) return readProgramFile();
    if (kind == kBankMagic) return readBankFile();
    if (kind == kProgramChunkMagic) return readChunkFile(PresetFile::Kind::program);
    if (kind == kBankChunkMagic) return readChunkFile(PresetFile::Kind::bank);
    return error(8, "unknown preset kind '" + fourCharText(kind) + "'");
  }

 private:
  Failure error(size_t offset, const std::string& reason) const {
    return fail(name_ + ": offset " + std::to_string(offset) + ": " + reason);
  }

  int32_t get32(size_t at) const {
    return static_cast<int32_t>(static_cast<uint32_t>(data_[at]) << 24 |
                                static_cast<uint32_t>(data_[at + 1]) << 16 |
                                static_cast<uint32_t>(data_[at + 2]) << 8 | data_[at + 3]);
  }

  // The declared size of the record at `at` (its byteSize + 8) must fit in the data.
  hostlib::Status checkDeclaredSize(size_t at, size_t needed) const {
    const int32_t byteSize = get32(at + 4);
    const size_t remaining = data_.size() - at;
    if (byteSize < 0 || static_cast<size_t>(byteSize) + 8 > remaining) {
      return error(at + 4, "byte size " + std::to_string(byteSize) +
                               " runs past the end of the file (" + std::to_string(remaining) +
                               " bytes remain)");
    }
    if (static_cast<size_t>(byteSize) + 8 < needed) {
      return error(at + 4, "byte size " + std::to_string(byteSize) +
                               " is smaller than its contents (" + std::to_string(needed - 8) +
                               " bytes)");
    }
    return {};
  }

  // One 'FxCk' record at `at`; returns its length through `length`.
  Result<ProgramData> readProgram(size_t at, int32_t& id, int32_t& version, size_t& length) {
    if (data_.size() - at < kProgramHeaderBytes) return error(at, "program record cut short");
    if (get32(at) != kChunkMagic) return error(at, "program record without 'CcnK' mark");
    if (get32(at + 8) == kProgramChunkMagic) return error(at + 8, "program holds an opaque chunk");
    if (get32(at + 8) != kProgramMagic) return error(at + 8, "program record without 'FxCk' mark");
    id = get32(at + 16);
    version = get32(at + 20);
    const int32_t count = get32(at + 24);
    if (count < 0 || count > kMaxPresetParameters) {
      return error(at + 24, "parameter count " + std::to_string(count) + " is not believable");
    }
    length = kProgramHeaderBytes + 4 * static_cast<size_t>(count);
    if (length > data_.size() - at) {
      return error(at + 24, std::to_string(count) + " parameters run past the end of the file");
    }
    if (hostlib::Status s = checkDeclaredSize(at, length); !s) return fail(s.error());
    ProgramData program;
    const auto* name = reinterpret_cast<const char*>(data_.data() + at + 28);
    program.name.assign(name, strnlen(name, kProgramNameBytes));
    program.parameters.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
      const size_t offset = at + kProgramHeaderBytes + 4 * static_cast<size_t>(i);
      const float value = std::bit_cast<float>(static_cast<uint32_t>(get32(offset)));
      if (!std::isfinite(value))
        return error(offset, "parameter " + std::to_string(i) + " is not a finite number");
      program.parameters.push_back(value);
    }
    return program;
  }

  Result<PresetFile> readProgramFile() {
    PresetFile file;
    file.kind = PresetFile::Kind::program;
    size_t length = 0;
    auto program = readProgram(0, file.pluginId, file.pluginVersion, length);
    if (!program.ok()) return fail(program.error());
    file.formatVersion = get32(12);
    file.programs.push_back(std::move(program).value());
    return file;
  }

  Result<PresetFile> readBankFile() {
    PresetFile file;
    file.kind = PresetFile::Kind::bank;
    if (data_.size() < kBankHeaderBytes) return error(0, "bank header cut short");
    file.formatVersion = get32(12);
    file.pluginId = get32(16);
    file.pluginVersion = get32(20);
    const int32_t count = get32(24);
    if (count < 0 || count > kMaxBankPrograms) {
      return error(24, "program count " + std::to_string(count) + " is not believable");
    }
    file.currentProgram = file.formatVersion >= 2 ? get32(28) : 0;
    if (count > 0 && (file.currentProgram < 0 || file.currentProgram >= count)) {
      return error(28, "current program " + std::to_string(file.currentProgram) +
                           " is outside 0 to " + std::to_string(count - 1));
    }
    size_t at = kBankHeaderBytes;
    for (int32_t p = 0; p < count; ++p) {
      int32_t id = 0;
      int32_t version = 0;
      size_t length = 0;
      if (at >= data_.size())
        return error(at, "bank ends after " + std::to_string(p) + " of " + std::to_string(count) +
                             " programs");
      auto program = readProgram(at, id, version, length);
      if (!program.ok()) return fail(program.error());
      if (id != file.pluginId) {
        return error(at + 16, "program " + std::to_string(p) + " is for plug-in " +
                                  describePluginId(id) + ", the bank for " +
                                  describePluginId(file.pluginId));
      }
      file.programs.push_back(std::move(program).value());
      at += length;
    }
    if (hostlib::Status s = checkDeclaredSize(0, at); !s) return fail(s.error());
    return file;
  }

  // 'FPCh' or 'FBCh': the header of its kind, then the chunk size and the chunk.
  Result<PresetFile> readChunkFile(PresetFile::Kind kind) {
    PresetFile file;
    file.kind = kind;
    file.isChunk = true;
    const bool isBank = kind == PresetFile::Kind::bank;
    const size_t headerBytes = isBank ? kBankChunkHeaderBytes : kProgramChunkHeaderBytes;
    if (data_.size() < headerBytes) return error(0, "chunk preset header cut short");
    file.formatVersion = get32(12);
    file.pluginId = get32(16);
    file.pluginVersion = get32(20);
    file.programCount = get32(24);
    if (file.programCount < 0 || file.programCount > kMaxBankPrograms) {
      return error(24, "program count " + std::to_string(file.programCount) + " is not believable");
    }
    if (isBank) {
      file.currentProgram = file.formatVersion >= 2 ? get32(28) : 0;
      if (file.currentProgram < 0 ||
          (file.programCount > 0 && file.currentProgram >= file.programCount)) {
        return error(28, "current program " + std::to_string(file.currentProgram) +
                             " is outside the bank's " + std::to_string(file.programCount) +
                             " programs");
      }
    } else {
      const auto* name = reinterpret_cast<const char*>(data_.data() + 28);
      file.programs.push_back({std::string(name, strnlen(name, kProgramNameBytes)), {}});
    }
    const int32_t size = get32(headerBytes - 4);
    if (size <= 0 || static_cast<size_t>(size) > data_.size() - headerBytes) {
      return error(headerBytes - 4, "chunk size " + std::to_string(size) + " does not fit the " +
                                        std::to_string(data_.size() - headerBytes) +
                                        " bytes that follow");
    }
    if (hostlib::Status s = checkDeclaredSize(0, headerBytes + static_cast<size_t>(size)); !s)
      return fail(s.error());
    const auto* start = data_.data() + headerBytes;
    file.chunk.assign(start, start + size);
    return file;
  }

  std::span<const unsigned char> data_;
  std::string name_;
};

}  // namespace

std::vector<unsigned char> encodeProgram(int32_t pluginId, int32_t pluginVersion,
                                         const ProgramData& program) {
  std::vector<unsigned char> out;
  appendProgram(out, pluginId, pluginVersion, program);
  return out;
}

std::vector<unsigned char> encodeBank(int32_t pluginId, int32_t pluginVersion,
                                      const std::vector<ProgramData>& programs,
                                      int32_t currentProgram) {
  std::vector<unsigned char> out;
  putInt(out, kChunkMagic);
  putInt(out, 0);  // byte size, filled in below
  putInt(out, kBankMagic);
  putInt(out, 2);
  putInt(out, pluginId);
  putInt(out, pluginVersion);
  putInt(out, static_cast<int32_t>(programs.size()));
  putInt(out, currentProgram);
  out.resize(kBankHeaderBytes, 0);
  for (const ProgramData& program : programs) appendProgram(out, pluginId, pluginVersion, program);
  patchByteSize(out);
  return out;
}

std::vector<unsigned char> encodeProgramChunk(int32_t pluginId, int32_t pluginVersion,
                                              int32_t programCount, const std::string& name,
                                              std::span<const unsigned char> chunk) {
  std::vector<unsigned char> out;
  for (int32_t word :
       {kChunkMagic, 0, kProgramChunkMagic, 1, pluginId, pluginVersion, programCount})
    putInt(out, word);
  appendName(out, name);
  putInt(out, static_cast<int32_t>(chunk.size()));
  out.insert(out.end(), chunk.begin(), chunk.end());
  patchByteSize(out);
  return out;
}

std::vector<unsigned char> encodeBankChunk(int32_t pluginId, int32_t pluginVersion,
                                           int32_t programCount, int32_t currentProgram,
                                           std::span<const unsigned char> chunk) {
  std::vector<unsigned char> out;
  for (int32_t word :
       {kChunkMagic, 0, kBankChunkMagic, 2, pluginId, pluginVersion, programCount, currentProgram})
    putInt(out, word);
  out.resize(kBankChunkHeaderBytes - 4, 0);
  putInt(out, static_cast<int32_t>(chunk.size()));
  out.insert(out.end(), chunk.begin(), chunk.end());
  patchByteSize(out);
  return out;
}

Result<PresetFile> parsePreset(std::span<const unsigned char> data, const std::string& name) {
  return PresetReader(data, name).run();
}

Result<PresetFile> readPreset(const std::string& path) {
  auto data = readWholeFile(path, kMaxPresetFileBytes, "preset file");
  if (!data.ok()) return fail(data.error());
  return parsePreset(data.value(), path);
}

std::string fourCharText(int32_t id) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const auto c = static_cast<unsigned char>(static_cast<uint32_t>(id) >> shift);
    text += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
  }
  return text;
}

std::string describePluginId(int32_t id) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08X", static_cast<uint32_t>(id));
  return "'" + fourCharText(id) + "' (" + hex + ")";
}

}  // namespace hostapp
