// Host blocks of any length: the note offset, the two entry semantics, splitting into pieces of
// at most 2000 frames, and calls the engine must survive.
#include <gtest/gtest.h>

#include <vector>

#include "EngineSetup.h"
#include "engine/SynthEngine.h"
#include "tests/support/SignalMeasure.h"

namespace {

constexpr float kUntouched = 7.0f;

// An engine with a rich patch and a note, ready to render.
struct PlayingEngine {
  SynthEngine engine;
  PlayingEngine() {
    engine_setup::richPatch(engine, 12);
    engine_setup::startNote(engine, 57);
  }
};

// What a fresh playing engine renders for `frames` frames in designed pieces of 2000.
std::vector<float> renderedInPieces(int32_t frames) {
  PlayingEngine playing;
  std::vector<float> out(static_cast<std::size_t>(frames), kUntouched);
  for (int32_t done = 0; done < frames; done += SynthEngine::kBlockLimit) {
    const int32_t piece = std::min(SynthEngine::kBlockLimit, frames - done);
    playing.engine.renderBlock(out.data() + done, piece, 0);
  }
  return out;
}

TEST(HostBlock, LongBlockEqualsTheSameFramesInPiecesOf2000) {
  for (int32_t frames : {2000, 2001, 5000, 8192}) {
    PlayingEngine playing;
    std::vector<float> out(static_cast<std::size_t>(frames), kUntouched);
    playing.engine.renderHostBlock(out.data(), frames, 0, true);
    EXPECT_EQ(out, renderedInPieces(frames)) << frames << " frames";
  }
}

TEST(HostBlock, NoteOffsetInsideTheBlock) {
  for (bool replacing : {true, false}) {
    PlayingEngine playing;
    std::vector<float> out(512, kUntouched);
    playing.engine.renderHostBlock(out.data(), 512, 100, replacing);
    const std::vector<float> expected = renderedInPieces(412);
    for (std::size_t k = 0; k < 100; ++k) {
      ASSERT_EQ(out[k], replacing ? 0.0f : kUntouched)
          << "frame " << k << " replacing " << replacing;
    }
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), out.begin() + 100))
        << "the note starts at frame 100, replacing " << replacing;
  }
}

TEST(HostBlock, NoteOffsetInALongBlockAppliesToTheFirstPieceOnly) {
  PlayingEngine playing;
  std::vector<float> out(4500, kUntouched);
  playing.engine.renderHostBlock(out.data(), 4500, 300, true);
  EXPECT_TRUE(signal_measure::allZero(std::span(out).first(300)));
  const std::vector<float> expected = renderedInPieces(4200);
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), out.begin() + 300));
}

TEST(HostBlock, OffsetAtOrBeyondTheBlockOrNegativeCountsAsZero) {
  const std::vector<float> expected = renderedInPieces(512);
  for (int32_t offset : {512, 513, 100000, -1, INT32_MIN, INT32_MAX}) {
    PlayingEngine playing;
    std::vector<float> out(512, kUntouched);
    playing.engine.renderHostBlock(out.data(), 512, offset, false);
    EXPECT_EQ(out, expected) << "offset " << offset;
  }
}

TEST(HostBlock, DesignedBlockRenderSkipsTheOffsetFrames) {
  PlayingEngine playing;
  std::vector<float> out(512, kUntouched);
  playing.engine.renderBlock(out.data(), 512, 100);
  EXPECT_EQ(out[99], kUntouched);
  const std::vector<float> expected = renderedInPieces(412);
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), out.begin() + 100));
}

TEST(HostBlock, NothingIsWrittenForEmptyOrNullBlocks) {
  PlayingEngine playing;
  std::vector<float> out(16, kUntouched);
  for (int32_t frames : {0, -1, INT32_MIN}) {
    playing.engine.renderHostBlock(out.data(), frames, 0, true);
    playing.engine.renderBlock(out.data(), frames, 0);
    playing.engine.processHostBlock(out.data(), frames, false, 0, true);
  }
  playing.engine.renderHostBlock(nullptr, 512, 0, true);
  playing.engine.renderBlock(nullptr, 512, 0);
  playing.engine.processHostBlock(nullptr, 512, false, 0, true);
  playing.engine.processHostBlock(nullptr, 512, true, 0, true);
  EXPECT_EQ(out, std::vector<float>(16, kUntouched));
}

TEST(HostBlock, DesignedBlockRenderNeverWritesBeyondTheBlockLimit) {
  PlayingEngine playing;
  std::vector<float> out(3000, kUntouched);
  playing.engine.renderBlock(out.data(), 3000, 0);
  EXPECT_NE(out[1999], kUntouched);
  EXPECT_EQ(out[2000], kUntouched);
}

TEST(HostBlock, GateOffGivesSilenceWhenReplacingAndLeavesTheBlockOtherwise) {
  PlayingEngine playing;
  std::vector<float> out(700, kUntouched);
  playing.engine.processHostBlock(out.data(), 700, false, 0, false);
  EXPECT_EQ(out, std::vector<float>(700, kUntouched)) << "process leaves the block untouched";
  playing.engine.processHostBlock(out.data(), 700, false, 0, true);
  EXPECT_TRUE(signal_measure::allZero(out)) << "processReplacing writes silence";
}

TEST(HostBlock, GateOnRendersLikeTheHostEntry) {
  PlayingEngine gated;
  std::vector<float> out(3000, kUntouched);
  gated.engine.processHostBlock(out.data(), 3000, true, 40, true);
  PlayingEngine direct;
  std::vector<float> expected(3000, kUntouched);
  direct.engine.renderHostBlock(expected.data(), 3000, 40, true);
  EXPECT_EQ(out, expected);
  EXPECT_GT(signal_measure::rms(out), 0.0);
}

TEST(HostBlock, OddBlockSizesRenderTheSameSignal) {
  PlayingEngine odd;
  std::vector<float> out;
  std::vector<float> block;
  for (int32_t size : {1, 7, 64, 333, 2000, 2001, 5, 4097}) {
    block.assign(static_cast<std::size_t>(size), kUntouched);
    odd.engine.renderHostBlock(block.data(), size, 0, true);
    out.insert(out.end(), block.begin(), block.end());
  }
  // Same oscillators, same effects: only the order of block boundaries differs.
  const std::vector<float> expected = renderedInPieces(static_cast<int32_t>(out.size()));
  for (std::size_t k = 0; k < out.size(); ++k) ASSERT_EQ(out[k], expected[k]) << "frame " << k;
}

}  // namespace
