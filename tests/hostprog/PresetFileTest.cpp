// Tests of the VST 2 program and bank files: the exact big-endian layout, round trips, and a
// table of damaged or lying files refused with the offset and reason.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>

#include "overtonic-host/app/PresetFile.h"

namespace {

using hostapp::encodeBank;
using hostapp::encodeBankChunk;
using hostapp::encodeProgram;
using hostapp::encodeProgramChunk;
using hostapp::parsePreset;
using hostapp::PresetFile;
using hostapp::ProgramData;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

using Bytes = std::vector<unsigned char>;

constexpr int32_t kId = 0x514E5452;  // 'QNTR'

uint32_t word(const Bytes& data, size_t at) {
  return static_cast<uint32_t>(data[at]) << 24 | static_cast<uint32_t>(data[at + 1]) << 16 |
         static_cast<uint32_t>(data[at + 2]) << 8 | data[at + 3];
}

void setWord(Bytes& data, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i)
    data[at + static_cast<size_t>(i)] = static_cast<unsigned char>(value >> (24 - 8 * i));
}

ProgramData program(const std::string& name, std::vector<float> values) {
  return {name, std::move(values)};
}

TEST(PresetFileLayout, ProgramFileIsBigEndianWithTheStandardHeader) {
  const Bytes data = encodeProgram(kId, 3, program("Warm Pad", {0.5f, 1.0f, 0.0f}));
  ASSERT_EQ(data.size(), 56u + 12u);
  EXPECT_EQ(word(data, 0), 0x43636E4Bu) << "'CcnK'";
  EXPECT_EQ(word(data, 4), data.size() - 8) << "byte size counts everything after it";
  EXPECT_EQ(word(data, 8), 0x4678436Bu) << "'FxCk'";
  EXPECT_EQ(word(data, 12), 1u) << "format version";
  EXPECT_EQ(word(data, 16), static_cast<uint32_t>(kId));
  EXPECT_EQ(word(data, 20), 3u) << "plug-in version";
  EXPECT_EQ(word(data, 24), 3u) << "parameter count";
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&data[28])), "Warm Pad");
  EXPECT_EQ(data[28 + 27], 0) << "name field is 28 bytes, zero-filled";
  EXPECT_EQ(word(data, 56), 0x3F000000u) << "0.5 as a big-endian float";
  EXPECT_EQ(word(data, 60), 0x3F800000u);
  EXPECT_EQ(word(data, 64), 0u);
}

TEST(PresetFileLayout, ProgramChunkFileCarriesNameAndChunkAfterTheStandardHeader) {
  const Bytes chunk = {1, 2, 3, 4, 5};
  const Bytes data = encodeProgramChunk(kId, 2, 32, "Pluck", chunk);
  ASSERT_EQ(data.size(), 60u + 5u);
  EXPECT_EQ(word(data, 0), 0x43636E4Bu) << "'CcnK'";
  EXPECT_EQ(word(data, 4), data.size() - 8);
  EXPECT_EQ(word(data, 8), 0x46504368u) << "'FPCh'";
  EXPECT_EQ(word(data, 12), 1u);
  EXPECT_EQ(word(data, 16), static_cast<uint32_t>(kId));
  EXPECT_EQ(word(data, 20), 2u);
  EXPECT_EQ(word(data, 24), 32u) << "program count";
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&data[28])), "Pluck");
  EXPECT_EQ(word(data, 56), 5u) << "chunk size";
  EXPECT_EQ(Bytes(data.begin() + 60, data.end()), chunk);
  auto parsed = parsePreset(data, "pluck.fxp");
  ASSERT_TRUE(parsed.ok()) << parsed.error();
  EXPECT_TRUE(parsed.value().isChunk);
  EXPECT_EQ(parsed.value().kind, PresetFile::Kind::program);
  EXPECT_EQ(parsed.value().programs.at(0).name, "Pluck");
  EXPECT_EQ(parsed.value().chunk, chunk);
}

TEST(PresetFileLayout, BankChunkFileHasVersion2HeaderAndTheChunkAt160) {
  const Bytes chunk(1000, 7);
  const Bytes data = encodeBankChunk(kId, 1, 32, 9, chunk);
  ASSERT_EQ(data.size(), 160u + 1000u);
  EXPECT_EQ(word(data, 4), data.size() - 8);
  EXPECT_EQ(word(data, 8), 0x46424368u) << "'FBCh'";
  EXPECT_EQ(word(data, 12), 2u);
  EXPECT_EQ(word(data, 24), 32u);
  EXPECT_EQ(word(data, 28), 9u) << "current program";
  EXPECT_EQ(word(data, 156), 1000u) << "chunk size";
  auto parsed = parsePreset(data, "all.fxb");
  ASSERT_TRUE(parsed.ok()) << parsed.error();
  EXPECT_TRUE(parsed.value().isChunk);
  EXPECT_EQ(parsed.value().kind, PresetFile::Kind::bank);
  EXPECT_EQ(parsed.value().currentProgram, 9);
  EXPECT_EQ(parsed.value().chunk, chunk);
}

TEST(PresetFileLayout, BankFileHasVersion2HeaderAndFullProgramRecords) {
  const Bytes data = encodeBank(kId, 1, {program("A", {0.25f}), program("B", {0.75f})}, 1);
  ASSERT_EQ(data.size(), 156u + 2 * (56u + 4u));
  EXPECT_EQ(word(data, 0), 0x43636E4Bu);
  EXPECT_EQ(word(data, 4), data.size() - 8);
  EXPECT_EQ(word(data, 8), 0x4678426Bu) << "'FxBk'";
  EXPECT_EQ(word(data, 12), 2u);
  EXPECT_EQ(word(data, 16), static_cast<uint32_t>(kId));
  EXPECT_EQ(word(data, 24), 2u) << "program count";
  EXPECT_EQ(word(data, 28), 1u) << "current program";
  for (size_t i = 32; i < 156; ++i) ASSERT_EQ(data[i], 0) << "reserved byte " << i;
  EXPECT_EQ(word(data, 156), 0x43636E4Bu) << "first program record";
  EXPECT_EQ(word(data, 156 + 8), 0x4678436Bu) << "'FxCk'";
  EXPECT_EQ(word(data, 156 + 56), std::bit_cast<uint32_t>(0.25f));
  EXPECT_EQ(word(data, 216 + 56), std::bit_cast<uint32_t>(0.75f));
}

TEST(PresetFileRoundTrip, ProgramAndBankReadBackExactly) {
  const std::vector<float> values = {0.0f, 1.0f, 0.3f, -2.5f, 1e-30f, 0.999999f};
  auto single = parsePreset(encodeProgram(kId, 7, program("Round Trip", values)), "a.fxp");
  ASSERT_TRUE(single.ok()) << single.error();
  EXPECT_EQ(single.value().kind, PresetFile::Kind::program);
  EXPECT_EQ(single.value().pluginId, kId);
  EXPECT_EQ(single.value().pluginVersion, 7);
  ASSERT_EQ(single.value().programs.size(), 1u);
  EXPECT_EQ(single.value().programs[0].name, "Round Trip");
  EXPECT_EQ(single.value().programs[0].parameters, values);

  std::vector<ProgramData> programs;
  for (int p = 0; p < 32; ++p)
    programs.push_back(program("P" + std::to_string(p), {p / 32.0f, 1.0f - p / 32.0f}));
  auto bank = parsePreset(encodeBank(kId, 1, programs, 31), "b.fxb");
  ASSERT_TRUE(bank.ok()) << bank.error();
  EXPECT_EQ(bank.value().kind, PresetFile::Kind::bank);
  EXPECT_EQ(bank.value().currentProgram, 31);
  ASSERT_EQ(bank.value().programs.size(), 32u);
  for (size_t p = 0; p < 32; ++p) {
    EXPECT_EQ(bank.value().programs[p].name, programs[p].name);
    EXPECT_EQ(bank.value().programs[p].parameters, programs[p].parameters);
  }
}

TEST(PresetFileRoundTrip, LongNamesAreCutTo27BytesAndA28ByteNameIsRead) {
  const Bytes data = encodeProgram(kId, 1, program(std::string(40, 'x'), {}));
  auto parsed = parsePreset(data, "long.fxp");
  ASSERT_TRUE(parsed.ok()) << parsed.error();
  EXPECT_EQ(parsed.value().programs[0].name, std::string(27, 'x'));
  Bytes full = data;
  for (size_t i = 28; i < 56; ++i) full[i] = 'y';  // no terminating zero at all
  auto unterminated = parsePreset(full, "full.fxp");
  ASSERT_TRUE(unterminated.ok()) << unterminated.error();
  EXPECT_EQ(unterminated.value().programs[0].name, std::string(28, 'y'));
}

TEST(PresetFileRoundTrip, VersionOneBankHasNoCurrentProgram) {
  Bytes data = encodeBank(kId, 1, {program("A", {}), program("B", {})}, 1);
  setWord(data, 12, 1);
  auto parsed = parsePreset(data, "v1.fxb");
  ASSERT_TRUE(parsed.ok()) << parsed.error();
  EXPECT_EQ(parsed.value().currentProgram, 0);
}

struct HostileCase {
  const char* what;
  Bytes data;
  const char* reason;
  long offset;
};

TEST(PresetFileHostile, DamagedOrLyingFilesAreRefusedWithOffsetAndReason) {
  const Bytes fxp = encodeProgram(kId, 1, program("x", {0.1f, 0.2f, 0.3f}));
  const Bytes fxb = encodeBank(kId, 1, {program("a", {0.1f}), program("b", {0.2f})}, 0);
  auto edit = [](Bytes data, size_t at, uint32_t value) {
    setWord(data, at, value);
    return data;
  };
  const Bytes fpch = encodeProgramChunk(kId, 1, 32, "c", Bytes(40, 1));
  const Bytes fbch = encodeBankChunk(kId, 1, 32, 3, Bytes(40, 1));
  const uint32_t nan = std::bit_cast<uint32_t>(std::numeric_limits<float>::quiet_NaN());
  const uint32_t inf = std::bit_cast<uint32_t>(std::numeric_limits<float>::infinity());
  const std::vector<HostileCase> cases = {
      {"empty", {}, "too short for a VST preset file", 0},
      {"not a preset", Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1}, "no 'CcnK' mark", 0},
      {"unknown kind", edit(fxp, 8, 0x41424344), "unknown preset kind 'ABCD'", 8},
      {"program cut inside the header", Bytes(fxp.begin(), fxp.begin() + 40),
       "program record cut short", 0},
      {"program cut inside the values", Bytes(fxp.begin(), fxp.end() - 2),
       "3 parameters run past the end", 24},
      {"negative parameter count", edit(fxp, 24, 0xFFFFFFFF), "parameter count -1", 24},
      {"huge parameter count", edit(fxp, 24, 0x7FFFFFFF), "parameter count 2147483647", 24},
      {"byte size past the end", edit(fxp, 4, 5000), "byte size 5000 runs past the end", 4},
      {"byte size smaller than contents", edit(fxp, 4, 20), "smaller than its contents", 4},
      {"NaN value", edit(fxp, 60, nan), "parameter 1 is not a finite number", 60},
      {"infinite value", edit(fxp, 56, inf), "parameter 0 is not a finite number", 56},
      {"bank header cut short", Bytes(fxb.begin(), fxb.begin() + 100), "bank header cut short", 0},
      {"bank program count negative", edit(fxb, 24, 0xFFFFFFFE), "program count -2", 24},
      {"bank claims more programs", edit(fxb, 24, 3), "bank ends after 2 of 3 programs", 276},
      {"current program outside", edit(fxb, 28, 2), "current program 2 is outside 0 to 1", 28},
      {"program of another plug-in inside", edit(fxb, 156 + 16, 0x41424344),
       "is for plug-in 'ABCD'", 172},
      {"bank program without mark", edit(fxb, 216 + 8, 0x41424344), "without 'FxCk' mark", 224},
      {"bank byte size lies", edit(fxb, 4, 100), "smaller than its contents", 4},
      {"chunk program header cut short", Bytes(fpch.begin(), fpch.begin() + 50),
       "chunk preset header cut short", 0},
      {"chunk size past the end", edit(fpch, 56, 5000), "chunk size 5000 does not fit", 56},
      {"negative chunk size", edit(fpch, 56, 0xFFFFFFFF), "chunk size -1 does not fit", 56},
      {"empty chunk", edit(fpch, 56, 0), "chunk size 0 does not fit", 56},
      {"chunk byte size lies", edit(fpch, 4, 30), "smaller than its contents", 4},
      {"chunk bank cut inside the header", Bytes(fbch.begin(), fbch.begin() + 159),
       "chunk preset header cut short", 0},
      {"chunk bank current program outside", edit(fbch, 28, 32),
       "current program 32 is outside the bank's 32 programs", 28},
      {"chunk bank program count", edit(fbch, 24, 0x80000000u), "program count -2147483648", 24},
      {"bank chunk inside a bank", edit(fxb, 156 + 8, 0x46504368), "program holds an opaque chunk",
       164},
  };
  for (const HostileCase& c : cases) {
    auto parsed = parsePreset(c.data, "hostile.fxp");
    ASSERT_FALSE(parsed.ok()) << c.what;
    EXPECT_THAT(parsed.error(), HasSubstr("hostile.fxp: offset " + std::to_string(c.offset) + ": "))
        << c.what;
    EXPECT_THAT(parsed.error(), HasSubstr(c.reason)) << c.what;
  }
}

TEST(PresetFileHostile, RandomCorruptionsNeverCrash) {
  std::vector<ProgramData> programs(4, program("p", std::vector<float>(8, 0.5f)));
  const Bytes good = encodeBank(kId, 1, programs, 2);
  std::mt19937 random(99);
  for (int round = 0; round < 3000; ++round) {
    Bytes data = good;
    for (int e = 0; e < 3; ++e) data[random() % data.size()] = static_cast<unsigned char>(random());
    if (random() % 3 == 0) data.resize(random() % data.size());
    auto parsed = parsePreset(data, "fuzz.fxb");
    if (!parsed.ok()) {
      ASSERT_THAT(parsed.error(), HasSubstr("fuzz.fxb")) << "round " << round;
      continue;
    }
    for (const ProgramData& p : parsed.value().programs) {
      for (float v : p.parameters) ASSERT_TRUE(std::isfinite(v));
    }
  }
}

TEST(PresetFileIds, IdentifiersPrintAsCharactersAndHex) {
  EXPECT_EQ(hostapp::describePluginId(kId), "'QNTR' (0x514E5452)");
  EXPECT_EQ(hostapp::describePluginId(0x00410A42), "'?A?B' (0x00410A42)");
}

}  // namespace
