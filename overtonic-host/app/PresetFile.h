// VST 2 preset files, big-endian, in the four forms hosts exchange. Parameter presets: a program
// file ('CcnK' / 'FxCk': id, version, parameter count, 28-byte name, values) and a bank file
// ('CcnK' / 'FxBk', version 2: id, version, program count, current program, 124 reserved bytes,
// then one program record per program). Chunk presets carry the plug-in's own state instead of
// the values: 'FPCh' (id, version, program count, 28-byte name, chunk size, chunk) and 'FBCh'
// (id, version, program count, current program, 124 reserved bytes, chunk size, chunk). Reading
// checks every count and length against the data.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "overtonic-host/lib/Result.h"

namespace hostapp {

inline constexpr size_t kProgramNameBytes = 28;
inline constexpr size_t kProgramHeaderBytes = 56;
inline constexpr size_t kBankHeaderBytes = 156;
inline constexpr size_t kProgramChunkHeaderBytes = 60;
inline constexpr size_t kBankChunkHeaderBytes = 160;
inline constexpr int32_t kMaxPresetParameters = 1 << 16;
inline constexpr int32_t kMaxBankPrograms = 1 << 12;

struct ProgramData {
  std::string name;  // at most 27 bytes are stored
  std::vector<float> parameters;
};

struct PresetFile {
  enum class Kind { program, bank };
  Kind kind = Kind::program;
  int32_t formatVersion = 1;  // 1 for programs, 1 or 2 for banks
  int32_t pluginId = 0;
  int32_t pluginVersion = 0;
  int32_t currentProgram = 0;         // banks of version 2; 0 otherwise
  std::vector<ProgramData> programs;  // one for a program file; none for a chunk bank
  bool isChunk = false;               // 'FPCh' / 'FBCh': `chunk` holds the state
  int32_t programCount = 0;           // the program count field of a chunk file
  std::vector<unsigned char> chunk;
};

std::vector<unsigned char> encodeProgram(int32_t pluginId, int32_t pluginVersion,
                                         const ProgramData& program);
std::vector<unsigned char> encodeBank(int32_t pluginId, int32_t pluginVersion,
                                      const std::vector<ProgramData>& programs,
                                      int32_t currentProgram);

// Chunk presets. A program file takes the program's name, which hosts show without reading the
// chunk.
std::vector<unsigned char> encodeProgramChunk(int32_t pluginId, int32_t pluginVersion,
                                              int32_t programCount, const std::string& name,
                                              std::span<const unsigned char> chunk);
std::vector<unsigned char> encodeBankChunk(int32_t pluginId, int32_t pluginVersion,
                                           int32_t programCount, int32_t currentProgram,
                                           std::span<const unsigned char> chunk);

// `name` is used in error messages, which give the offset of the faulty field.
hostlib::Result<PresetFile> parsePreset(std::span<const unsigned char> data,
                                        const std::string& name);
hostlib::Result<PresetFile> readPreset(const std::string& path);

// The four characters of an identifier, first in the most significant byte; characters outside
// printable ASCII are shown as '?'.
std::string fourCharText(int32_t id);
// "'QNTR' (0x514E5452)".
std::string describePluginId(int32_t id);

}  // namespace hostapp
