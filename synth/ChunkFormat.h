// The instrument's saved-state format: the bytes handed to a host through effGetChunk and taken
// back through effSetChunk, and carried inside 'FPCh' / 'FBCh' preset files. Little-endian, a
// magic and a version, values stored by parameter index, only curves that are not all zero, and
// a CRC-32 of the whole. docs/CHUNK-FORMAT.md gives the byte layout and the rules for later
// versions. This unit knows bytes only (no program records), so tools and fuzzers can use it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace chunkformat {

inline constexpr std::array<unsigned char, 4> kMagic = {'O', 'V', 'T', 'C'};
inline constexpr uint16_t kMajorVersion = 1;  // a reader refuses any other major version
inline constexpr uint16_t kMinorVersion = 0;  // newer minors only add what older readers skip

inline constexpr size_t kHeaderBytes = 16;
inline constexpr size_t kSectionHeaderBytes = 8;
inline constexpr size_t kChecksumBytes = 4;
inline constexpr size_t kMaxChunkBytes = 16u << 20;  // a bank with every curve drawn: 6.1 MB

inline constexpr int kCurvePoints = 385;  // points of one envelope curve
inline constexpr int kSlotCount = 123;    // envelope slots of a program
inline constexpr int kNameBytes = 24;     // program name with its terminating zero
inline constexpr int kMaxPrograms = 32;   // programs of the instrument
inline constexpr uint32_t kMaxValues = 4096;

// Section tags, read as four ASCII bytes.
inline constexpr std::array<unsigned char, 4> kBankTag = {'B', 'A', 'N', 'K'};
inline constexpr std::array<unsigned char, 4> kProgramTag = {'P', 'R', 'O', 'G'};

enum class Kind : uint32_t { bank = 1, program = 2 };

using Curve = std::array<float, kCurvePoints>;

struct Value {
  uint32_t index = 0;  // parameter index
  float value = 0;
};

struct SlotCurve {
  uint32_t slot = 0;
  Curve points{};
};

struct Program {
  std::array<char, kNameBytes> name{};  // zero-terminated
  std::vector<Value> values;            // ascending parameter index
  std::vector<SlotCurve> curves;        // ascending slot; absent slots are all zero
};

struct State {
  Kind kind = Kind::program;
  uint32_t currentProgram = 0;    // banks only
  std::vector<Program> programs;  // one for a program chunk
};

// Why a chunk was refused. Each reason is one row of the format page.
enum class Refusal {
  none,
  truncated,  // shorter than its header says, or a field runs past the end
  oversized,  // longer than its header says, or beyond kMaxChunkBytes
  badMagic,
  unsupportedVersion,  // another major version
  badChecksum,
  countOutOfRange,  // programs, current program, values, curves or a slot number
  notFinite,        // a value or curve point is NaN or infinite
  unterminatedName,
  malformed,  // unknown kind, sections missing, repeated, out of order or unknown
};

const char* describe(Refusal refusal);

struct ReadResult {
  Refusal refusal = Refusal::none;
  size_t offset = 0;  // where the refused field starts
  State state;        // complete only when refusal is none
};

// Checks every byte; a refusal leaves `state` unspecified.
ReadResult read(std::span<const unsigned char> data);

// The chunk of a state; curves whose points are all zero are left out.
std::vector<unsigned char> write(const State& state);

bool isSilent(const Curve& curve);

// CRC-32 (the polynomial of zip and PNG, reflected, initial and final value 0xFFFFFFFF).
uint32_t crc32(std::span<const unsigned char> data);

}  // namespace chunkformat
