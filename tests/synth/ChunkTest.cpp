// Saved state as a host meets it: effGetChunk and effSetChunk on the built plug-in. Bank and
// program chunks carry every value, name and curve into a second instance, which then plays the
// same audio; every kind of damaged chunk is refused and leaves the instance exactly as it was.
#include <bit>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "synth/ChunkFormat.h"
#include "tests/support/MidiMessage.h"
#include "tests/support/PluginFixture.h"

namespace {

using Bytes = std::vector<unsigned char>;
using hostlib::PluginInstance;
namespace cf = chunkformat;

constexpr int kPrograms = 32;
constexpr int kParameters = 237;

Bytes getChunk(PluginInstance& plugin, bool program) {
  void* data = nullptr;
  const intptr_t size = plugin.dispatch(effGetChunk, program ? 1 : 0, 0, &data);
  if (size <= 0 || data == nullptr) return {};
  const auto* bytes = static_cast<const unsigned char*>(data);
  return Bytes(bytes, bytes + size);
}

intptr_t setChunk(PluginInstance& plugin, Bytes bytes, bool program) {
  return plugin.dispatch(effSetChunk, program ? 1 : 0, static_cast<intptr_t>(bytes.size()),
                         bytes.data());
}

// What a host can observe of an instance: every program's values and name, the current program,
// and the curves (carried by the bank chunk, compared as bytes).
struct Observed {
  int current = 0;
  std::vector<std::vector<float>> values;
  std::vector<std::string> names;
  Bytes bank;
  bool operator==(const Observed&) const = default;
};

Observed observe(PluginInstance& plugin) {
  Observed seen;
  seen.current = plugin.program();
  seen.bank = getChunk(plugin, false);
  for (int p = 0; p < kPrograms; ++p) {
    plugin.setProgram(p);
    std::vector<float> values;
    for (int i = 0; i < kParameters; ++i) values.push_back(plugin.getParameter(i));
    seen.values.push_back(values);
    seen.names.push_back(plugin.programName());
  }
  plugin.setProgram(seen.current);
  return seen;
}

// Fills a 385-point curve with a shape that differs per slot and program.
cf::Curve shapedCurve(int slot, int program) {
  cf::Curve curve{};
  for (int k = 0; k < cf::kCurvePoints; ++k) {
    curve[static_cast<size_t>(k)] =
        std::sin(0.01f * static_cast<float>(k * (slot + 1)) + static_cast<float>(program)) * 0.9f;
  }
  return curve;
}

// A program with a sounding patch: oscillators 0-3 loud, amplitude curves on them and a pitch
// and a group curve, plus a few effect settings.
cf::Program soundingProgram(int program, const char* name) {
  cf::Program p;
  std::strncpy(p.name.data(), name, cf::kNameBytes - 1);
  auto value = [&](uint32_t index, float v) { p.values.push_back({index, v}); };
  value(0, 0.8f);
  for (uint32_t osc = 0; osc < 4; ++osc) value(82 + osc, 0.9f - 0.2f * static_cast<float>(osc));
  value(178, 0.3f + 0.01f * static_cast<float>(program));
  value(193, 0.7f);
  value(231, 1.0f);
  for (int slot : {0, 1, 2, 3, 33, 102, 121}) {
    cf::Curve curve = shapedCurve(slot, program);
    if (slot < 4) {
      for (float& point : curve) point = std::fabs(point);  // amplitude curves
    }
    p.curves.push_back({static_cast<uint32_t>(slot), curve});
  }
  return p;
}

cf::State soundingBank(uint32_t current) {
  cf::State state;
  state.kind = cf::Kind::bank;
  state.currentProgram = current;
  for (int p = 0; p < kPrograms; ++p)
    state.programs.push_back(soundingProgram(p, ("Bell " + std::to_string(p)).c_str()));
  return state;
}

std::vector<float> renderNote(PluginInstance& plugin, int frames) {
  plugin.start(44100, 512);
  const VstMidiEvent on = midi_message::event(0x90, 57, 110);
  plugin.sendEvents({&on, 1});
  std::vector<float> out(static_cast<size_t>(frames));
  for (int at = 0; at < frames; at += 512)
    plugin.processReplacing(out.data() + at, std::min(512, frames - at));
  plugin.stop();
  return out;
}

float peakOf(const std::vector<float>& samples) {
  float peak = 0;
  for (float s : samples) peak = std::max(peak, std::fabs(s));
  return peak;
}

void put32(Bytes& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes[at + static_cast<size_t>(i)] = static_cast<unsigned char>(value >> (8 * i));
}
void put16(Bytes& bytes, size_t at, uint16_t value) {
  bytes[at] = static_cast<unsigned char>(value);
  bytes[at + 1] = static_cast<unsigned char>(value >> 8);
}
void fixChecksum(Bytes& bytes) {
  put32(bytes, bytes.size() - 4, cf::crc32(std::span(bytes).first(bytes.size() - 4)));
}

// ---- the record --------------------------------------------------------------------------------

TEST(ChunkRecord, TheRecordOffersProgramChunks) {
  auto plugin = newInstance();
  ASSERT_TRUE(plugin);
  EXPECT_EQ(plugin->effect()->flags, 0x131);
  EXPECT_NE(plugin->effect()->flags & effFlagsProgramChunks, 0);
}

TEST(ChunkFormatChecksum, IsTheStandardCrc32) {
  const std::string check = "123456789";
  EXPECT_EQ(
      cf::crc32(std::span(reinterpret_cast<const unsigned char*>(check.data()), check.size())),
      0xCBF43926u);
}

// ---- round trips -----------------------------------------------------------------------------

TEST(ChunkRoundTrip, ABankCarriesValuesNamesCurvesAndTheCurrentProgram) {
  auto first = newInstance();
  ASSERT_TRUE(first);
  ASSERT_EQ(setChunk(*first, cf::write(soundingBank(7)), false), 1);
  // Changes made through the host after the restore travel too.
  first->setProgram(12);
  first->setParameter(150, 0.61f);
  first->setParameter(20, 0.75f);
  char name[] = "Renamed";
  first->dispatch(effSetProgramName, 0, 0, name);
  first->setProgram(9);

  const Bytes bank = getChunk(*first, false);
  auto second = newInstance();
  ASSERT_TRUE(second);
  ASSERT_EQ(setChunk(*second, bank, false), 1);

  const Observed a = observe(*first);
  const Observed b = observe(*second);
  EXPECT_EQ(b.current, 9);
  EXPECT_EQ(b.names[12], "Renamed");
  EXPECT_EQ(b.names[3], "Bell 3");
  EXPECT_NEAR(b.values[12][150], 0.61f, 1e-6f);
  EXPECT_EQ(a.values, b.values);
  EXPECT_EQ(a.names, b.names);
  EXPECT_EQ(a.bank, b.bank) << "the second instance hands back the same chunk";

  // The curves reached the oscillators: both play the same audible note, sample for sample.
  const std::vector<float> heardA = renderNote(*first, 44100);
  const std::vector<float> heardB = renderNote(*second, 44100);
  EXPECT_GT(peakOf(heardA), 0.01f);
  EXPECT_EQ(heardA, heardB);
}

TEST(ChunkRoundTrip, TheChunkCarriesEveryCurveExactly) {
  auto first = newInstance();
  ASSERT_TRUE(first);
  const cf::State sent = soundingBank(0);
  ASSERT_EQ(setChunk(*first, cf::write(sent), false), 1);
  const cf::ReadResult back = cf::read(getChunk(*first, false));
  ASSERT_EQ(back.refusal, cf::Refusal::none) << cf::describe(back.refusal);
  ASSERT_EQ(back.state.programs.size(), sent.programs.size());
  for (size_t p = 0; p < sent.programs.size(); ++p) {
    const auto& want = sent.programs[p].curves;
    const auto& got = back.state.programs[p].curves;
    ASSERT_EQ(got.size(), want.size()) << "program " << p;
    for (size_t c = 0; c < want.size(); ++c) {
      EXPECT_EQ(got[c].slot, want[c].slot);
      EXPECT_EQ(got[c].points, want[c].points) << "program " << p << " slot " << want[c].slot;
    }
  }
}

TEST(ChunkRoundTrip, AProgramChunkReplacesOnlyTheCurrentProgram) {
  auto first = newInstance();
  ASSERT_TRUE(first);
  ASSERT_EQ(setChunk(*first, cf::write(soundingBank(3)), false), 1);
  const Bytes program = getChunk(*first, true);

  auto second = newInstance();
  ASSERT_TRUE(second);
  second->setProgram(5);
  const Observed before = observe(*second);
  ASSERT_EQ(setChunk(*second, program, true), 1);
  const Observed after = observe(*second);
  const Observed source = observe(*first);

  EXPECT_EQ(after.current, 5);
  EXPECT_EQ(after.names[5], "Bell 3");
  EXPECT_EQ(after.values[5], source.values[3]);
  for (int p = 0; p < kPrograms; ++p) {
    if (p == 5) continue;
    EXPECT_EQ(after.values[p], before.values[p]) << "program " << p;
    EXPECT_EQ(after.names[p], before.names[p]) << "program " << p;
  }
  EXPECT_EQ(getChunk(*second, true), program);
  EXPECT_EQ(renderNote(*first, 22050), renderNote(*second, 22050));
}

TEST(ChunkRoundTrip, AFreshInstanceSavesDefaultsThatRestoreUnchanged) {
  auto first = newInstance();
  auto second = newInstance();
  ASSERT_TRUE(first && second);
  const Observed fresh = observe(*second);
  ASSERT_EQ(setChunk(*second, getChunk(*first, false), false), 1);
  EXPECT_EQ(observe(*second), fresh);
  EXPECT_EQ(peakOf(renderNote(*second, 8192)), 0.0f) << "fresh programs stay silent";
}

TEST(ChunkRoundTrip, TheChunkStaysValidUntilTheNextRequest) {
  auto plugin = newInstance();
  ASSERT_TRUE(plugin);
  void* data = nullptr;
  const intptr_t size = plugin->dispatch(effGetChunk, 0, 0, &data);
  ASSERT_GT(size, 0);
  const Bytes copy(static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + size);
  plugin->setParameter(0, 0.1f);
  plugin->setProgram(4);
  EXPECT_EQ(Bytes(static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + size),
            copy);
  EXPECT_EQ(plugin->dispatch(effGetChunk, 0, 0, nullptr), 0) << "no place for the pointer";
}

TEST(ChunkRestore, NeverStartsTheTestNote) {
  auto plugin = newInstance();
  ASSERT_TRUE(plugin);
  cf::State state = soundingBank(0);
  for (cf::Program& p : state.programs) p.values.push_back({236, 0.0f});  // "start test note"
  ASSERT_EQ(setChunk(*plugin, cf::write(state), false), 1);
  cf::State one;
  one.programs.push_back(state.programs[0]);
  ASSERT_EQ(setChunk(*plugin, cf::write(one), true), 1);
  plugin->start(44100, 512);
  std::vector<float> block(4096);
  plugin->processReplacing(block.data(), 4096);
  plugin->stop();
  EXPECT_EQ(peakOf(block), 0.0f) << "no note may sound without a note-on";
}

TEST(ChunkRestore, ABankOfFewerProgramsResetsTheRest) {
  auto plugin = newInstance();
  ASSERT_TRUE(plugin);
  ASSERT_EQ(setChunk(*plugin, cf::write(soundingBank(0)), false), 1);
  cf::State small;
  small.kind = cf::Kind::bank;
  small.currentProgram = 1;
  small.programs = {soundingProgram(0, "Only"), soundingProgram(1, "Two")};
  ASSERT_EQ(setChunk(*plugin, cf::write(small), false), 1);
  EXPECT_EQ(plugin->program(), 1);
  EXPECT_EQ(plugin->programNameAt(1), std::optional<std::string>("Two"));
  EXPECT_EQ(plugin->programNameAt(2), std::optional<std::string>("Basic"));
  plugin->setProgram(2);
  EXPECT_EQ(plugin->getParameter(82), 0.0f);
  EXPECT_EQ(peakOf(renderNote(*plugin, 8192)), 0.0f);
}

// ---- later versions ----------------------------------------------------------------------------

// A bank chunk of a newer minor version: an extra section at the end and extra bytes after the
// fields of the first program.
Bytes newerMinorBank(uint16_t minor) {
  Bytes bytes = cf::write(soundingBank(2));
  bytes.resize(bytes.size() - 4);
  // Grow the first program section (at 32, after the header and the bank section) by 4 bytes.
  const size_t programAt = 32;
  const uint32_t length = bytes[programAt + 4] | bytes[programAt + 5] << 8 |
                          bytes[programAt + 6] << 16 |
                          static_cast<uint32_t>(bytes[programAt + 7]) << 24;
  const size_t programEnd = programAt + 8 + length;
  bytes.insert(bytes.begin() + static_cast<ptrdiff_t>(programEnd), {1, 2, 3, 4});
  put32(bytes, programAt + 4, length + 4);
  const unsigned char extra[] = {'X', 'T', 'R', 'A', 3, 0, 0, 0, 9, 9, 9};
  bytes.insert(bytes.end(), std::begin(extra), std::end(extra));
  bytes.resize(bytes.size() + 4);
  put16(bytes, 6, minor);
  put32(bytes, 8, static_cast<uint32_t>(bytes.size()));
  fixChecksum(bytes);
  return bytes;
}

TEST(ChunkVersions, ANewerMinorVersionIsReadAndWhatItAddsIsSkipped) {
  auto plugin = newInstance();
  auto reference = newInstance();
  ASSERT_TRUE(plugin && reference);
  ASSERT_EQ(setChunk(*plugin, newerMinorBank(1), false), 1);
  ASSERT_EQ(setChunk(*reference, cf::write(soundingBank(2)), false), 1);
  EXPECT_EQ(observe(*plugin), observe(*reference));
}

TEST(ChunkVersions, AdditionsWithoutANewerMinorVersionAreRefused) {
  auto plugin = newInstance();
  ASSERT_TRUE(plugin);
  const Observed before = observe(*plugin);
  EXPECT_EQ(setChunk(*plugin, newerMinorBank(0), false), 0);
  EXPECT_EQ(observe(*plugin), before);
}

// ---- hostile chunks ---------------------------------------------------------------------------

// Offsets in a bank chunk written by cf::write: header 16 bytes, bank section 16-31, first
// program section at 32 (its name at 40, value count at 64, values from 68).
constexpr size_t kBankCount = 24;
constexpr size_t kBankCurrent = 28;
constexpr size_t kFirstName = 40;
constexpr size_t kFirstValueCount = 64;
constexpr size_t kFirstValue = 68;

size_t firstCurveCount(const cf::State& state) {
  return kFirstValue + 8 * state.programs[0].values.size();
}

struct Hostile {
  const char* name;
  bool asProgram;  // restore with index 1
  std::function<void(Bytes&)> damage;
  bool fixChecksum;
  cf::Refusal reason;  // what the reader says on its own; none where only the kind is wrong
};

TEST(ChunkRestore, EveryRefusalLeavesTheInstanceAsItWas) {
  const cf::State good = soundingBank(4);
  const size_t curveCount = firstCurveCount(good);
  const size_t firstSlot = curveCount + 4;
  const uint32_t nanBits = std::bit_cast<uint32_t>(std::numeric_limits<float>::quiet_NaN());
  const uint32_t infBits = std::bit_cast<uint32_t>(std::numeric_limits<float>::infinity());
  const std::vector<Hostile> cases = {
      {"wrong magic", false, [](Bytes& b) { b[0] = 'X'; }, false, cf::Refusal::badMagic},
      {"newer major version", false, [](Bytes& b) { put16(b, 4, 2); }, true,
       cf::Refusal::unsupportedVersion},
      {"major version 0", false, [](Bytes& b) { put16(b, 4, 0); }, true,
       cf::Refusal::unsupportedVersion},
      {"cut short", false, [](Bytes& b) { b.resize(b.size() - 100); }, false,
       cf::Refusal::truncated},
      {"only a header", false, [](Bytes& b) { b.resize(12); }, false, cf::Refusal::truncated},
      {"three bytes", false, [](Bytes& b) { b.resize(3); }, false, cf::Refusal::truncated},
      {"trailing bytes", false, [](Bytes& b) { b.insert(b.end(), 16, 0); }, false,
       cf::Refusal::oversized},
      {"size field too small", false, [](Bytes& b) { put32(b, 8, 19); }, false,
       cf::Refusal::malformed},
      {"bad checksum", false, [](Bytes& b) { b[kFirstValue + 4] ^= 0x40; }, false,
       cf::Refusal::badChecksum},
      {"no programs", false, [](Bytes& b) { put32(b, kBankCount, 0); }, true,
       cf::Refusal::countOutOfRange},
      {"33 programs", false, [](Bytes& b) { put32(b, kBankCount, 33); }, true,
       cf::Refusal::countOutOfRange},
      {"current program past the bank", false, [](Bytes& b) { put32(b, kBankCurrent, 32); }, true,
       cf::Refusal::countOutOfRange},
      {"huge value count", false, [](Bytes& b) { put32(b, kFirstValueCount, 0xFFFFFFFFu); }, true,
       cf::Refusal::countOutOfRange},
      {"value count past the section", false, [](Bytes& b) { put32(b, kFirstValueCount, 4000); },
       true, cf::Refusal::truncated},
      {"124 curves", false, [=](Bytes& b) { put32(b, curveCount, 124); }, true,
       cf::Refusal::countOutOfRange},
      {"slot 123", false, [=](Bytes& b) { put32(b, firstSlot, 123); }, true,
       cf::Refusal::countOutOfRange},
      {"NaN value", false, [=](Bytes& b) { put32(b, kFirstValue + 4, nanBits); }, true,
       cf::Refusal::notFinite},
      {"infinite curve point", false, [=](Bytes& b) { put32(b, firstSlot + 4 + 40, infBits); },
       true, cf::Refusal::notFinite},
      {"unterminated name", false,
       [](Bytes& b) { std::memset(b.data() + kFirstName, 'A', cf::kNameBytes); }, true,
       cf::Refusal::unterminatedName},
      {"values out of order", false, [](Bytes& b) { put32(b, kFirstValue + 8, 0); }, true,
       cf::Refusal::malformed},
      {"unknown kind", false, [](Bytes& b) { put32(b, 12, 7); }, true, cf::Refusal::malformed},
      {"program chunk as a bank", false,
       [](Bytes& b) {
         cf::State one;
         one.programs.push_back(soundingProgram(0, "One"));
         b = cf::write(one);
       },
       false, cf::Refusal::none},
      {"bank chunk as a program", true, [](Bytes&) {}, false, cf::Refusal::none},
      {"bank of a newer minor version without its bank section", false,
       [](Bytes& b) {
         b.resize(16 + 4);  // the header alone, then the checksum
         put16(b, 6, 1);
         put32(b, 8, 20);
       },
       true, cf::Refusal::malformed},
      {"unknown section", false,
       [](Bytes& b) {
         b.resize(b.size() - 4);
         const unsigned char extra[] = {'X', 'T', 'R', 'A', 0, 0, 0, 0};
         b.insert(b.end(), std::begin(extra), std::end(extra));
         b.resize(b.size() + 4);
         put32(b, 8, static_cast<uint32_t>(b.size()));
       },
       true, cf::Refusal::malformed},
  };
  auto plugin = newInstance();
  ASSERT_TRUE(plugin);
  ASSERT_EQ(setChunk(*plugin, cf::write(soundingBank(6)), false), 1);
  plugin->setProgram(11);
  const Observed before = observe(*plugin);
  for (const Hostile& c : cases) {
    Bytes bytes = cf::write(good);
    c.damage(bytes);
    if (c.fixChecksum) fixChecksum(bytes);
    EXPECT_EQ(cf::read(bytes).refusal, c.reason)
        << c.name << ": read as " << cf::describe(cf::read(bytes).refusal);
    ASSERT_EQ(setChunk(*plugin, bytes, c.asProgram), 0) << c.name;
    ASSERT_EQ(observe(*plugin), before) << c.name << " changed the instance";
  }
  EXPECT_EQ(plugin->dispatch(effSetChunk, 0, 100, nullptr), 0) << "null data";
  Bytes valid = cf::write(good);
  EXPECT_EQ(plugin->dispatch(effSetChunk, 0, 0, valid.data()), 0) << "zero size";
  EXPECT_EQ(plugin->dispatch(effSetChunk, 0, -5, valid.data()), 0) << "negative size";
  EXPECT_EQ(plugin->dispatch(effSetChunk, 0, (intptr_t{1} << 32) + 20, valid.data()), 0)
      << "a size that does not fit 32 bits";
  EXPECT_EQ(observe(*plugin), before);
  EXPECT_EQ(setChunk(*plugin, valid, false), 1) << "the undamaged chunk is taken";
}

}  // namespace
