// Tests of what the host program writes: files that appear only when complete, WAV files in the
// three sample formats, and JSON text.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "overtonic-host/app/Files.h"
#include "overtonic-host/app/Json.h"
#include "overtonic-host/app/WavWriter.h"
#include "tests/hostprog/TestSupport.h"

namespace {

using namespace hostapp;
using namespace hostprogtest;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

TEST(OutputFile, AppearsOnlyWhenCommitted) {
  TempFolder folder;
  const std::string target = folder.path("out.bin");
  {
    auto file = OutputFile::create(target);
    ASSERT_TRUE(file.ok()) << file.error();
    ASSERT_TRUE(file.value().write(std::vector<unsigned char>{1, 2, 3}).ok());
    EXPECT_FALSE(fs::exists(target)) << "nothing at the target before commit";
    EXPECT_EQ(folder.entries().size(), 1u) << "one temporary file in the same folder";
    ASSERT_TRUE(file.value().commit().ok());
  }
  EXPECT_EQ(slurp(target), std::string("\x01\x02\x03", 3));
  EXPECT_THAT(folder.entries(), ElementsAre("out.bin")) << "no temporary file left";
}

TEST(OutputFile, AbandonedWriteLeavesNothingAndKeepsTheOldFile) {
  TempFolder folder;
  const std::string target = folder.write("keep.bin", std::string("old"));
  {
    auto file = OutputFile::create(target);
    ASSERT_TRUE(file.ok()) << file.error();
    ASSERT_TRUE(file.value().write(std::vector<unsigned char>(1000, 7)).ok());
  }
  EXPECT_EQ(slurp(target), "old");
  EXPECT_THAT(folder.entries(), ElementsAre("keep.bin"));
}

TEST(OutputFile, UnwritablePlacesAreRefusedWithTheirName) {
  TempFolder folder;
  const std::string plainFile = folder.write("plain", std::string("x"));
  const std::vector<std::pair<std::string, std::string>> cases = {
      {folder.path("missing/out.wav"), "cannot create (No such file or directory)"},
      {plainFile + "/out.wav", "cannot create (Not a directory)"},
      {folder.root(), "is a folder"},
      {"", "no output file given"},
  };
  for (const auto& [path, reason] : cases) {
    auto file = OutputFile::create(path);
    ASSERT_FALSE(file.ok()) << path;
    EXPECT_THAT(file.error(), HasSubstr(path)) << path;
    EXPECT_THAT(file.error(), HasSubstr(reason)) << path;
  }
}

TEST(OutputFile, ReadWholeFileRefusesWhatIsTooLarge) {
  TempFolder folder;
  const std::string path = folder.write("big.bin", std::string(100, 'x'));
  EXPECT_EQ(readWholeFile(path, 100, "test file").value().size(), 100u);
  auto tooBig = readWholeFile(path, 99, "test file");
  ASSERT_FALSE(tooBig.ok());
  EXPECT_THAT(tooBig.error(), HasSubstr("100 bytes is too large for a test file"));
}

struct FormatCase {
  const char* name;
  int sndfileSubtype;
  float tolerance;
};

TEST(WavWriter, WritesEachFormatAtTheRequestedRate) {
  TempFolder folder;
  const std::vector<float> samples = {0.0f, 0.5f, -0.5f, 0.25f, -1.0f, 0.999f};
  const std::vector<FormatCase> formats = {{"f32", SF_FORMAT_FLOAT, 0.0f},
                                           {"s16", SF_FORMAT_PCM_16, 1.0f / 32768},
                                           {"s24", SF_FORMAT_PCM_24, 1.0f / 8388608}};
  for (const FormatCase& f : formats) {
    const std::string path = folder.path(std::string(f.name) + ".wav");
    auto writer = WavWriter::create(path, 48000, parseSampleFormat(f.name).value());
    ASSERT_TRUE(writer.ok()) << writer.error();
    ASSERT_TRUE(writer.value()->write(samples).ok());
    ASSERT_TRUE(writer.value()->write(samples).ok());
    ASSERT_TRUE(writer.value()->finish().ok());
    EXPECT_FALSE(fs::exists(path)) << "finished but not yet committed";
    ASSERT_TRUE(writer.value()->commit().ok());
    const WavContents wav = readWav(path);
    ASSERT_TRUE(wav.opened) << f.name;
    EXPECT_EQ(wav.info.samplerate, 48000) << f.name;
    EXPECT_EQ(wav.info.channels, 1) << f.name;
    EXPECT_EQ(wav.info.format, SF_FORMAT_WAV | f.sndfileSubtype) << f.name;
    ASSERT_EQ(wav.samples.size(), 2 * samples.size()) << f.name;
    for (size_t i = 0; i < wav.samples.size(); ++i) {
      EXPECT_NEAR(wav.samples[i], samples[i % samples.size()], f.tolerance)
          << f.name << " sample " << i;
    }
  }
}

TEST(WavWriter, PcmClipsInsteadOfWrappingAround) {
  TempFolder folder;
  const std::string path = folder.path("loud.wav");
  auto writer = WavWriter::create(path, 44100, SampleFormat::pcm16);
  ASSERT_TRUE(writer.ok()) << writer.error();
  ASSERT_TRUE(writer.value()->write(std::vector<float>{1.5f, -3.0f}).ok());
  ASSERT_TRUE(writer.value()->finish().ok());
  ASSERT_TRUE(writer.value()->commit().ok());
  const WavContents wav = readWav(path);
  ASSERT_EQ(wav.samples.size(), 2u);
  EXPECT_GT(wav.samples[0], 0.99f);
  EXPECT_LT(wav.samples[1], -0.99f);
}

TEST(WavWriter, UnfinishedWriterLeavesNoFile) {
  TempFolder folder;
  {
    auto writer = WavWriter::create(folder.path("half.wav"), 44100, SampleFormat::float32);
    ASSERT_TRUE(writer.ok()) << writer.error();
    ASSERT_TRUE(writer.value()->write(std::vector<float>(4096, 0.1f)).ok());
  }
  EXPECT_THAT(folder.entries(), IsEmpty());
}

TEST(WavWriter, UnknownFormatNamesTheChoices) {
  auto format = parseSampleFormat("s32");
  ASSERT_FALSE(format.ok());
  EXPECT_EQ(format.error(), "'s32' is not a sample format (f32, s16 or s24)");
}

TEST(Json, NestedDocumentKeepsKeyOrderAndExactStrings) {
  const Json document = {{"name", jsonText(" Main Volume ")},
                         {"list", {int64_t{1}, true, nullptr}},
                         {"empty", Json::object()},
                         {"after", "last"}};
  EXPECT_EQ(jsonDocument(document),
            "{\n  \"name\": \" Main Volume \",\n  \"list\": [\n    1,\n    true,\n    null\n  ],\n"
            "  \"empty\": {},\n  \"after\": \"last\"\n}\n");
}

// One text through jsonText and the document writer.
std::string written(const std::string& bytes) { return jsonDocument(jsonText(bytes)); }

TEST(Json, EscapesControlsAndQuotesAndKeepsEveryByteVisible) {
  EXPECT_EQ(written("a\"b\\c\n\t\x01"), "\"a\\\"b\\\\c\\n\\t\\u0001\"\n");
  EXPECT_EQ(written("caf\xC3\xA9"), "\"caf\xC3\xA9\"\n") << "valid UTF-8 passes";
  EXPECT_EQ(written("\xE9t\xC3"), "\"\xC3\xA9t\xC3\x83\"\n") << "stray bytes are Latin-1";
  EXPECT_EQ(written("\xC0\x80"), "\"\xC3\x80\xC2\x80\"\n") << "overlong encodings are not UTF-8";
  EXPECT_EQ(written(std::string("a\0b", 3)), "\"a\\u0000b\"\n") << "a zero byte stays";
}

TEST(Json, FloatsReadBackExactlyAndNonFiniteIsNull) {
  const Json values = {0.1f, std::numeric_limits<float>::quiet_NaN(), -INFINITY, 0.899999976f,
                       1e-30f};
  const std::string text = jsonDocument(values);
  EXPECT_EQ(text, "[\n  0.1,\n  null,\n  null,\n  0.9,\n  1e-30\n]\n");
  const std::pair<const char*, float> shown[] = {
      {"0.1", 0.1f}, {"0.9", 0.899999976f}, {"1e-30", 1e-30f}};
  for (const auto& [shownText, value] : shown) {
    EXPECT_EQ(std::stof(shownText), value) << shownText << " reads back as the float written";
  }
}

}  // namespace
