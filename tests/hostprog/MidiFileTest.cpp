// Tests of the MIDI file reader: timing (division, tempo changes, SMPTE) checked against sample
// positions worked out by hand, running status, track merging, and a table of hostile files that
// must give clean errors naming the offset.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

#include "overtonic-host/app/MidiFile.h"
#include "overtonic-host/app/Renderer.h"
#include "tests/hostprog/TestSupport.h"

namespace {

using hostapp::MidiFile;
using hostapp::TimedMidiEvent;
using namespace hostprogtest;
using ::testing::HasSubstr;

using Bytes = std::vector<unsigned char>;

MidiFile parseOk(const Bytes& data) {
  auto file = MidiFile::parse(data, "test.mid");
  EXPECT_TRUE(file.ok()) << file.error();
  return file.ok() ? std::move(file).value() : MidiFile{};
}

struct Expected {
  int64_t frame;
  unsigned char status, data1, data2;
};

void expectSchedule(const MidiFile& file, int64_t rate, const std::vector<Expected>& expected) {
  const std::vector<TimedMidiEvent> timed = file.schedule(rate);
  ASSERT_EQ(timed.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(timed[i].frame, expected[i].frame) << "event " << i;
    EXPECT_EQ(timed[i].bytes[0], expected[i].status) << "event " << i;
    EXPECT_EQ(timed[i].bytes[1], expected[i].data1) << "event " << i;
    if (timed[i].size == 3) {
      EXPECT_EQ(timed[i].bytes[2], expected[i].data2) << "event " << i;
    }
  }
}

TEST(MidiFileTiming, Format0AtDefaultTempoPlacesQuarterNotesEveryHalfSecond) {
  // 480 ticks per quarter, no tempo event: 120 beats per minute, a quarter note is 0.5 s.
  const Bytes data = midiFile({header(0, 1, 480), track({{0, {0x90, 60, 100}},
                                                         {480, {0x80, 60, 0}},
                                                         {240, {0x91, 67, 90}},
                                                         {240, {0x81, 67, 64}}})});
  const MidiFile file = parseOk(data);
  EXPECT_EQ(file.format(), 0);
  expectSchedule(
      file, 44100,
      {{0, 0x90, 60, 100}, {22050, 0x80, 60, 0}, {33075, 0x91, 67, 90}, {44100, 0x81, 67, 64}});
  expectSchedule(
      file, 48000,
      {{0, 0x90, 60, 100}, {24000, 0x80, 60, 0}, {36000, 0x91, 67, 90}, {48000, 0x81, 67, 64}});
  EXPECT_DOUBLE_EQ(file.lastNoteSeconds(), 1.0);
}

TEST(MidiFileTiming, RunningStatusRepeatsTheLastStatus) {
  const Bytes data = midiFile({header(0, 1, 96), track({{0, {0x90, 60, 100}},
                                                        {96, {62, 101}},
                                                        {96, {60, 0}},
                                                        {0, {0xB0, 7, 80}},
                                                        {96, {10, 64}}})});
  expectSchedule(parseOk(data), 44100,
                 {{0, 0x90, 60, 100},
                  {22050, 0x90, 62, 101},
                  {44100, 0x90, 60, 0},
                  {44100, 0xB0, 7, 80},
                  {66150, 0xB0, 10, 64}});
}

TEST(MidiFileTiming, TempoChangesApplyFromTheirTick) {
  // One quarter at 120 bpm (0.5 s), then tempo 60 bpm (1 s per quarter), then 240 bpm.
  const Bytes data = midiFile({header(0, 1, 100), track({{0, tempo(500000)},
                                                         {0, {0x90, 60, 100}},
                                                         {100, tempo(1000000)},
                                                         {0, {0x90, 61, 100}},
                                                         {50, {0x90, 62, 100}},
                                                         {50, tempo(250000)},
                                                         {100, {0x90, 63, 100}}})});
  // 0.5 s, 0.5 + 0.5, 0.5 + 1.0, 1.5 + 0.25 seconds.
  expectSchedule(
      parseOk(data), 44100,
      {{0, 0x90, 60, 100}, {22050, 0x90, 61, 100}, {44100, 0x90, 62, 100}, {77175, 0x90, 63, 100}});
}

TEST(MidiFileTiming, Format1MergesTracksInTimeOrderWithTheTempoTrack) {
  const Bytes data =
      midiFile({header(1, 3, 480), track({{0, tempo(600000)}}),  // 100 bpm: a quarter lasts 0.6 s
                track({{0, {0x90, 60, 100}}, {960, {0x80, 60, 0}}}),
                track({{480, {0x91, 64, 80}}, {480, {0x81, 64, 0}}})});
  const MidiFile file = parseOk(data);
  EXPECT_EQ(file.format(), 1);
  EXPECT_EQ(file.trackCount(), 3);
  // Ticks 0, 480, 960 (two events: the earlier track first) at 0, 0.6 and 1.2 s.
  expectSchedule(
      file, 44100,
      {{0, 0x90, 60, 100}, {26460, 0x91, 64, 80}, {52920, 0x80, 60, 0}, {52920, 0x81, 64, 0}});
}

TEST(MidiFileTiming, SmpteDivisionCountsTicksPerFrame) {
  // 25 frames per second, 40 ticks per frame: 1000 ticks per second, tempo events ignored.
  const uint16_t division = static_cast<uint16_t>((static_cast<uint8_t>(-25) << 8) | 40);
  const Bytes data =
      midiFile({header(0, 1, division),
                track({{0, tempo(1000000)}, {250, {0x90, 60, 100}}, {750, {0x80, 60, 0}}})});
  expectSchedule(parseOk(data), 48000, {{12000, 0x90, 60, 100}, {48000, 0x80, 60, 0}});
}

TEST(MidiFileTiming, SmpteDropFrameRateIs29Point97) {
  const uint16_t division = static_cast<uint16_t>((static_cast<uint8_t>(-29) << 8) | 100);
  // 2997 ticks at 2997 ticks per second (29.97 x 100) is exactly one second.
  const Bytes data = midiFile({header(0, 1, division), track({{2997, {0x90, 60, 100}}})});
  expectSchedule(parseOk(data), 44100, {{44100, 0x90, 60, 100}});
}

TEST(MidiFileTiming, SamplePositionsRoundToTheNearestFrame) {
  // One tick at 480 per quarter and 120 bpm is 1/960 s = 45.9375 frames at 44100 Hz.
  const Bytes data = midiFile({header(0, 1, 480), track({{1, {0x90, 60, 1}}, {1, {0x90, 61, 1}}})});
  expectSchedule(parseOk(data), 44100, {{46, 0x90, 60, 1}, {92, 0x90, 61, 1}});
}

TEST(MidiFileContents, SysExMetaAndForeignChunksAreSkipped) {
  Bytes data = midiFile({header(0, 1, 96), chunk("XFIH", {1, 2, 3}),
                         track({{0, {0xF0, 0x03, 0x7E, 0x7F, 0xF7}},
                                {0, {0xFF, 0x03, 0x04, 'L', 'e', 'a', 'd'}},
                                {0, {0xC0, 5}},
                                {0, {0xD0, 9}},
                                {96, {0xE0, 0x00, 0x40}}})});
  expectSchedule(parseOk(data), 44100,
                 {{0, 0xC0, 5, 0}, {0, 0xD0, 9, 0}, {22050, 0xE0, 0x00, 0x40}});
}

TEST(MidiFileContents, EmptyTracksAndAMissingEndOfTrackAreAccepted) {
  const Bytes data =
      midiFile({header(1, 2, 96), chunk("MTrk", {}), track({{0, {0x90, 60, 100}}}, false)});
  EXPECT_EQ(parseOk(data).events().size(), 1u);
}

TEST(MidiFileContents, EventsAfterEndOfTrackAreIgnored) {
  Bytes body = {0x00, 0x90, 60, 100, 0x00, 0xFF, 0x2F, 0x00, 0x00, 0x90, 61, 100};
  const Bytes data = midiFile({header(0, 1, 96), chunk("MTrk", body)});
  EXPECT_EQ(parseOk(data).events().size(), 1u);
}

struct HostileCase {
  const char* what;
  Bytes data;
  const char* reason;
  long offset;  // -1: no offset in the message
};

Bytes withLength(Bytes data, size_t at, uint32_t length) {
  data[at] = static_cast<unsigned char>(length >> 24);
  data[at + 1] = static_cast<unsigned char>(length >> 16);
  data[at + 2] = static_cast<unsigned char>(length >> 8);
  data[at + 3] = static_cast<unsigned char>(length);
  return data;
}

TEST(MidiFileHostile, MalformedFilesGiveErrorsNamingOffsetAndReason) {
  const Bytes good =
      midiFile({header(0, 1, 96), track({{0, {0x90, 60, 100}}, {96, {0x80, 60, 0}}})});
  const std::vector<HostileCase> cases = {
      {"empty file", {}, "not a standard MIDI file", -1},
      {"not MIDI", Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 4, 'W', 'A', 'V', 'E', 0, 0}, "no MThd", -1},
      {"header cut short", Bytes(good.begin(), good.begin() + 12), "not a standard MIDI file", -1},
      {"header length below 6", withLength(good, 4, 5), "header length 5", 4},
      {"header length past the end", withLength(good, 4, 1000), "the file is shorter", 4},
      {"format 2", midiFile({header(2, 1, 96), track({})}), "format 2", 8},
      {"format 7", midiFile({header(7, 1, 96), track({})}), "unknown format 7", 8},
      {"no tracks", midiFile({header(1, 0, 96)}), "no tracks", 10},
      {"format 0 with two tracks", midiFile({header(0, 2, 96), track({}), track({})}),
       "format 0 with 2 tracks", 10},
      {"zero division", midiFile({header(0, 1, 0), track({})}), "0 ticks per quarter", 12},
      {"SMPTE 31 fps",
       midiFile(
           {header(0, 1, static_cast<uint16_t>((static_cast<uint8_t>(-31) << 8) | 4)), track({})}),
       "31 frames per second", 12},
      {"fewer tracks than announced", midiFile({header(1, 3, 96), track({})}),
       "announces 3 tracks, the file holds 1", 26},
      {"track length past the end", withLength(good, 18, 400), "only 12 remain", 14},
      {"chunk header cut short", Bytes(good.begin(), good.begin() + 18), "truncated chunk header",
       14},
      {"track ends inside a delta time", midiFile({header(0, 1, 96), chunk("MTrk", {0x81})}),
       "track ends inside a delta time", 22},
      {"delta time of five bytes",
       midiFile({header(0, 1, 96), chunk("MTrk", {0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 1, 1})}),
       "delta time longer than 4 bytes", 22},
      {"track ends after a delta", midiFile({header(0, 1, 96), chunk("MTrk", {0x00})}),
       "before its event", 23},
      {"data byte without a status", midiFile({header(0, 1, 96), track({{0, {0x3C, 0x64}}})}),
       "data byte 0x3C without a status byte", 23},
      {"status where data belongs", midiFile({header(0, 1, 96), track({{0, {0x90, 0x3C, 0x90}}})}),
       "status byte 0x90 where a data byte of 0x90 belongs", 25},
      {"message cut at the track's end",
       midiFile({header(0, 1, 96), chunk("MTrk", {0x00, 0x90, 0x3C})}),
       "track ends inside a 0x90 message", 23},
      {"running status after a meta event",
       midiFile({header(0, 1, 96),
                 track({{0, {0x90, 60, 100}}, {0, {0xFF, 0x01, 0x00}}, {0, {61, 100}}})}),
       "without a status byte", 31},
      {"system real-time byte", midiFile({header(0, 1, 96), track({{0, {0xF8}}})}),
       "0xF8 is not allowed", 23},
      {"SysEx past the end", midiFile({header(0, 1, 96), track({{0, {0xF0, 0x7F, 0x01}}}, false)}),
       "SysEx runs past the track's end", 23},
      {"meta past the end",
       midiFile({header(0, 1, 96), track({{0, {0xFF, 0x01, 0x20, 'x'}}}, false)}),
       "meta event runs past the track's end", 23},
      {"tempo of two bytes",
       midiFile({header(0, 1, 96), track({{0, {0xFF, 0x51, 0x02, 0x07, 0xA1}}})}),
       "tempo event of 2 bytes", 23},
      {"huge delta times", midiFile({header(0, 1, 1), track({{0x0FFFFFFF, {0x90, 60, 100}}})}),
       "lies beyond the 3600 s limit", 26},
  };
  for (const HostileCase& c : cases) {
    auto file = MidiFile::parse(c.data, "hostile.mid");
    ASSERT_FALSE(file.ok()) << c.what;
    EXPECT_THAT(file.error(), HasSubstr("hostile.mid: ")) << c.what;
    EXPECT_THAT(file.error(), HasSubstr(c.reason)) << c.what;
    if (c.offset >= 0) {
      EXPECT_THAT(file.error(), HasSubstr("offset " + std::to_string(c.offset) + ":")) << c.what;
    }
  }
}

TEST(MidiFileHostile, RandomCorruptionsNeverCrashOrHang) {
  const Bytes good = midiFile({header(1, 2, 96), track({{0, tempo(400000)}}),
                               track({{0, {0x90, 60, 100}},
                                      {96, {62, 100}},
                                      {96, {0xF0, 0x02, 0x01, 0xF7}},
                                      {10, {0xB0, 126, 0}},
                                      {96, {0x80, 60, 0}}})});
  std::mt19937 random(1234);
  int accepted = 0;
  for (int round = 0; round < 3000; ++round) {
    Bytes data = good;
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int e = 0; e < edits; ++e)
      data[random() % data.size()] = static_cast<unsigned char>(random());
    if (random() % 4 == 0) data.resize(random() % data.size());
    auto file = MidiFile::parse(data, "fuzz.mid");
    if (file.ok()) {
      ++accepted;
      for (const TimedMidiEvent& e : file.value().schedule(192000)) ASSERT_GE(e.frame, 0);
    } else {
      ASSERT_THAT(file.error(), HasSubstr("fuzz.mid: "));
    }
  }
  EXPECT_GT(accepted, 0) << "some corruptions (of data bytes) still make valid files";
}

TEST(MidiFileRead, MissingFileAndFolderAreNamed) {
  TempFolder folder;
  auto missing = MidiFile::read(folder.path("absent.mid"));
  ASSERT_FALSE(missing.ok());
  EXPECT_THAT(missing.error(), HasSubstr("absent.mid: cannot open MIDI file"));
  auto directory = MidiFile::read(folder.root());
  ASSERT_FALSE(directory.ok());
  EXPECT_THAT(directory.error(), HasSubstr("is a folder"));
}

TEST(MidiFileRead, TheDemoFileOfTheRepositoryPlays) {
  auto demo = MidiFile::read(OVERTONIC_SOURCE_DIR "/examples/demo.mid");
  ASSERT_TRUE(demo.ok()) << demo.error();
  EXPECT_EQ(demo.value().format(), 1);
  EXPECT_FALSE(demo.value().tempos().empty());
  EXPECT_GT(demo.value().lastNoteSeconds(), 2.0);
  EXPECT_LT(demo.value().lastNoteSeconds(), 20.0);
}

// --- Events into host blocks ---

TimedMidiEvent at(int64_t frame, unsigned char note) { return {frame, {0x90, note, 100}, 3}; }

TEST(BlockEventQueue, EventsLandInTheirBlockWithDeltaFramesInsideIt) {
  const std::vector<TimedMidiEvent> events = {at(0, 1),    at(511, 2),  at(512, 3),
                                              at(1000, 4), at(1023, 5), at(5000, 6)};
  hostapp::BlockEventQueue queue(events);
  struct Block {
    int64_t start;
    int32_t frames;
    std::vector<std::pair<int32_t, int>> expected;  // deltaFrames, note
  };
  const std::vector<Block> blocks = {{0, 512, {{0, 1}, {511, 2}}},
                                     {512, 512, {{0, 3}, {488, 4}, {511, 5}}},
                                     {1024, 512, {}},
                                     {1536, 4000, {{3464, 6}}}};
  for (const Block& b : blocks) {
    const auto taken = queue.take(b.start, b.frames);
    ASSERT_EQ(taken.size(), b.expected.size()) << "block at " << b.start;
    for (size_t i = 0; i < taken.size(); ++i) {
      EXPECT_EQ(taken[i].type, kVstMidiType);
      EXPECT_EQ(taken[i].byteSize, static_cast<int32_t>(sizeof(VstMidiEvent)));
      EXPECT_EQ(taken[i].deltaFrames, b.expected[i].first)
          << "block at " << b.start << ", event " << i;
      EXPECT_EQ(taken[i].midiData[1], b.expected[i].second)
          << "block at " << b.start << ", event " << i;
    }
  }
}

TEST(BlockEventQueue, OneFrameBlocksGiveEveryEventDeltaZero) {
  const std::vector<TimedMidiEvent> events = {at(0, 1), at(2, 2), at(2, 3)};
  hostapp::BlockEventQueue queue(events);
  EXPECT_EQ(queue.take(0, 1).size(), 1u);
  EXPECT_EQ(queue.take(1, 1).size(), 0u);
  const auto third = queue.take(2, 1);
  ASSERT_EQ(third.size(), 2u);
  EXPECT_EQ(third[0].deltaFrames, 0);
  EXPECT_EQ(third[1].midiData[1], 3);
}

}  // namespace
