// Reading and writing the saved-state format. The reader checks sizes, version and checksum
// before it looks at a section, and every count against the bytes that remain before it reads
// the items, so no input makes it read outside the data or allocate more than the data implies.
#include "synth/ChunkFormat.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <iterator>

namespace chunkformat {
namespace {

constexpr uint32_t kCrcPolynomial = 0xEDB88320u;  // reflected 0x04C11DB7

constexpr std::array<uint32_t, 256> makeCrcTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1u) != 0 ? kCrcPolynomial ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}
constexpr std::array<uint32_t, 256> kCrcTable = makeCrcTable();

constexpr size_t kBankPayloadBytes = 8;               // program count, current program
constexpr size_t kValueBytes = 8;                     // index, value
constexpr size_t kCurveBytes = 4 + 4 * kCurvePoints;  // slot, points

class Writer {
 public:
  void u16(uint16_t v) {
    for (int i = 0; i < 2; ++i) out_.push_back(static_cast<unsigned char>(v >> (8 * i)));
  }
  void u32(uint32_t v) {
    for (int i = 0; i < 4; ++i) out_.push_back(static_cast<unsigned char>(v >> (8 * i)));
  }
  void f32(float v) { u32(std::bit_cast<uint32_t>(v)); }
  void bytes(std::span<const unsigned char> b) { out_.insert(out_.end(), b.begin(), b.end()); }
  void patch32(size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
      out_[at + static_cast<size_t>(i)] = static_cast<unsigned char>(v >> (8 * i));
  }
  // Writes the tag and a length placeholder; returns where the payload starts.
  size_t beginSection(const std::array<unsigned char, 4>& tag) {
    bytes(tag);
    u32(0);
    return out_.size();
  }
  void endSection(size_t payloadStart) {
    patch32(payloadStart - 4, static_cast<uint32_t>(out_.size() - payloadStart));
  }
  std::vector<unsigned char>& data() { return out_; }

 private:
  std::vector<unsigned char> out_;
};

void writeProgram(Writer& w, const Program& program) {
  const size_t start = w.beginSection(kProgramTag);
  // The name up to its zero, then zeros: nothing stale after the terminator leaves the instance.
  std::array<unsigned char, kNameBytes> name{};
  const size_t length = strnlen(program.name.data(), kNameBytes - 1);
  std::memcpy(name.data(), program.name.data(), length);
  w.bytes(name);
  w.u32(static_cast<uint32_t>(program.values.size()));
  for (const Value& v : program.values) {
    w.u32(v.index);
    w.f32(v.value);
  }
  const auto audible = std::count_if(program.curves.begin(), program.curves.end(),
                                     [](const SlotCurve& c) { return !isSilent(c.points); });
  w.u32(static_cast<uint32_t>(audible));
  for (const SlotCurve& curve : program.curves) {
    if (isSilent(curve.points)) continue;
    w.u32(curve.slot);
    for (float point : curve.points) w.f32(point);
  }
  w.endSection(start);
}

class Reader {
 public:
  explicit Reader(std::span<const unsigned char> data) : data_(data) {}

  ReadResult run() {
    if (checkHeader() && readSections()) result.refusal = Refusal::none;
    return std::move(result);
  }

 private:
  bool refuse(Refusal reason, size_t at) {
    result.refusal = reason;
    result.offset = at;
    return false;
  }

  uint16_t u16(size_t at) const { return static_cast<uint16_t>(data_[at] | data_[at + 1] << 8); }
  uint32_t u32(size_t at) const {
    return static_cast<uint32_t>(data_[at]) | static_cast<uint32_t>(data_[at + 1]) << 8 |
           static_cast<uint32_t>(data_[at + 2]) << 16 | static_cast<uint32_t>(data_[at + 3]) << 24;
  }
  float f32(size_t at) const { return std::bit_cast<float>(u32(at)); }
  bool tagIs(size_t at, const std::array<unsigned char, 4>& tag) const {
    return std::equal(tag.begin(), tag.end(), data_.begin() + static_cast<ptrdiff_t>(at));
  }

  // Magic, version, declared size against the data, checksum and kind, in this order.
  bool checkHeader() {
    if (data_.size() < kMagic.size()) return refuse(Refusal::truncated, 0);
    if (!tagIs(0, kMagic)) return refuse(Refusal::badMagic, 0);
    if (data_.size() < kHeaderBytes + kChecksumBytes) return refuse(Refusal::truncated, 0);
    if (u16(4) != kMajorVersion) return refuse(Refusal::unsupportedVersion, 4);
    newerMinor = u16(6) > kMinorVersion;
    const uint32_t total = u32(8);
    if (total < kHeaderBytes + kChecksumBytes) return refuse(Refusal::malformed, 8);
    if (data_.size() > kMaxChunkBytes) return refuse(Refusal::oversized, 0);
    if (data_.size() < total) return refuse(Refusal::truncated, 8);
    if (data_.size() > total) return refuse(Refusal::oversized, 8);
    end = total - kChecksumBytes;
    if (crc32(data_.first(end)) != u32(end)) return refuse(Refusal::badChecksum, end);
    const uint32_t kind = u32(12);
    if (kind != static_cast<uint32_t>(Kind::bank) && kind != static_cast<uint32_t>(Kind::program))
      return refuse(Refusal::malformed, 12);
    result.state.kind = static_cast<Kind>(kind);
    return true;
  }

  bool readSections() {
    const bool isBank = result.state.kind == Kind::bank;
    size_t at = kHeaderBytes;
    while (at < end) {
      if (end - at < kSectionHeaderBytes) return refuse(Refusal::truncated, at);
      const uint32_t length = u32(at + 4);
      const size_t payload = at + kSectionHeaderBytes;
      if (length > end - payload) return refuse(Refusal::truncated, at + 4);
      if (tagIs(at, kBankTag)) {
        if (!isBank || bankSeen) return refuse(Refusal::malformed, at);
        if (!readBank(payload, length)) return false;
      } else if (tagIs(at, kProgramTag)) {
        const size_t allowed = isBank ? programCount : 1;
        if (result.state.programs.size() >= allowed) return refuse(Refusal::malformed, at);
        if (!readProgram(payload, length)) return false;
      } else if (!newerMinor) {
        return refuse(Refusal::malformed, at);  // unknown sections only come with newer minors
      }
      at = payload + length;
    }
    // A bank needs its BANK section even when a newer minor version's sections were skipped.
    if (isBank && !bankSeen) return refuse(Refusal::malformed, end);
    const size_t expected = isBank ? programCount : 1;
    if (result.state.programs.size() != expected) return refuse(Refusal::malformed, end);
    return true;
  }

  // Bytes left over after the known fields belong to a newer minor version.
  bool finishSection(size_t at, size_t limit) {
    if (at != limit && !newerMinor) return refuse(Refusal::malformed, at);
    return true;
  }

  bool readBank(size_t at, size_t length) {
    if (length < kBankPayloadBytes) return refuse(Refusal::truncated, at);
    const uint32_t count = u32(at);
    const uint32_t current = u32(at + 4);
    if (count < 1 || count > kMaxPrograms) return refuse(Refusal::countOutOfRange, at);
    if (current >= count) return refuse(Refusal::countOutOfRange, at + 4);
    bankSeen = true;
    programCount = count;
    result.state.currentProgram = current;
    result.state.programs.reserve(count);
    return finishSection(at + kBankPayloadBytes, at + length);
  }

  bool readProgram(size_t at, size_t length) {
    if (result.state.kind == Kind::bank && !bankSeen) return refuse(Refusal::malformed, at);
    const size_t limit = at + length;
    Program program;
    if (length < kNameBytes) return refuse(Refusal::truncated, at);
    const auto* name = reinterpret_cast<const char*>(data_.data() + at);
    const size_t nameLength = strnlen(name, kNameBytes);
    if (nameLength == kNameBytes) return refuse(Refusal::unterminatedName, at);
    std::memcpy(program.name.data(), name, nameLength);
    at += kNameBytes;
    if (!readValues(at, limit, program) || !readCurves(at, limit, program)) return false;
    if (!finishSection(at, limit)) return false;
    result.state.programs.push_back(std::move(program));
    return true;
  }

  // A count and its items must fit before `limit`; `at` moves past them.
  bool readCount(size_t& at, size_t limit, uint32_t maximum, size_t itemBytes, uint32_t& count) {
    if (limit - at < 4) return refuse(Refusal::truncated, at);
    count = u32(at);
    if (count > maximum) return refuse(Refusal::countOutOfRange, at);
    if (count * itemBytes > limit - at - 4) return refuse(Refusal::truncated, at);
    at += 4;
    return true;
  }

  bool readValues(size_t& at, size_t limit, Program& program) {
    uint32_t count = 0;
    if (!readCount(at, limit, kMaxValues, kValueBytes, count)) return false;
    program.values.reserve(count);
    for (uint32_t i = 0; i < count; ++i, at += kValueBytes) {
      const Value v{u32(at), f32(at + 4)};
      if (!program.values.empty() && v.index <= program.values.back().index)
        return refuse(Refusal::malformed, at);
      if (!std::isfinite(v.value)) return refuse(Refusal::notFinite, at + 4);
      program.values.push_back(v);
    }
    return true;
  }

  bool readCurves(size_t& at, size_t limit, Program& program) {
    uint32_t count = 0;
    if (!readCount(at, limit, kSlotCount, kCurveBytes, count)) return false;
    program.curves.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
      SlotCurve& curve = program.curves[i];
      curve.slot = u32(at);
      if (curve.slot >= static_cast<uint32_t>(kSlotCount))
        return refuse(Refusal::countOutOfRange, at);
      if (i > 0 && curve.slot <= program.curves[i - 1].slot) return refuse(Refusal::malformed, at);
      at += 4;
      for (float& point : curve.points) {
        point = f32(at);
        if (!std::isfinite(point)) return refuse(Refusal::notFinite, at);
        at += 4;
      }
    }
    return true;
  }

  std::span<const unsigned char> data_;
  ReadResult result{Refusal::malformed, 0, {}};
  size_t end = 0;  // where the checksum starts
  bool newerMinor = false;
  bool bankSeen = false;
  uint32_t programCount = 0;
};

}  // namespace

const char* describe(Refusal refusal) {
  // In the order of the enumeration.
  static constexpr const char* kTexts[] = {
      "valid",
      "cut short",
      "longer than its header says",
      "not an Overtonic state (wrong magic)",
      "made by an incompatible version",
      "checksum does not match",
      "a count or number is out of range",
      "a value is not a finite number",
      "a program name has no terminating zero",
      "sections missing, repeated or unknown",
  };
  static_assert(std::size(kTexts) == static_cast<size_t>(Refusal::malformed) + 1);
  const auto at = static_cast<size_t>(refusal);
  return at < std::size(kTexts) ? kTexts[at] : "unknown";
}

ReadResult read(std::span<const unsigned char> data) { return Reader(data).run(); }

std::vector<unsigned char> write(const State& state) {
  Writer w;
  w.bytes(kMagic);
  w.u16(kMajorVersion);
  w.u16(kMinorVersion);
  w.u32(0);  // total size, patched below
  w.u32(static_cast<uint32_t>(state.kind));
  if (state.kind == Kind::bank) {
    const size_t start = w.beginSection(kBankTag);
    w.u32(static_cast<uint32_t>(state.programs.size()));
    w.u32(state.currentProgram);
    w.endSection(start);
  }
  for (const Program& program : state.programs) writeProgram(w, program);
  w.patch32(8, static_cast<uint32_t>(w.data().size() + kChecksumBytes));
  w.u32(crc32(w.data()));
  return std::move(w.data());
}

bool isSilent(const Curve& curve) {
  return std::all_of(curve.begin(), curve.end(), [](float p) { return p == 0.0f; });
}

uint32_t crc32(std::span<const unsigned char> data) {
  uint32_t c = 0xFFFFFFFFu;
  for (unsigned char byte : data) c = kCrcTable[(c ^ byte) & 0xFFu] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

}  // namespace chunkformat
