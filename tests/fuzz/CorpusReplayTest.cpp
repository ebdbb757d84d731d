// Every input of the fuzz corpus, seeds and past findings alike, runs through its reader in the
// ordinary test build (and so under the sanitizer build of the test command). A target ends the
// process on a broken promise, so reaching the end of each folder is the check; the counts keep
// a folder from being empty or missing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/fuzz/FuzzTargets.h"

namespace {

namespace fs = std::filesystem;

size_t replay(const std::string& folder, int (*target)(const uint8_t*, size_t)) {
  size_t count = 0;
  for (const auto& entry : fs::directory_iterator(fs::path(FUZZ_CORPUS_DIR) / folder)) {
    std::ifstream in(entry.path(), std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    SCOPED_TRACE(entry.path().string());
    EXPECT_EQ(target(bytes.data(), bytes.size()), 0);
    ++count;
  }
  return count;
}

TEST(FuzzCorpus, EveryChunkInputIsReadSafely) { EXPECT_GE(replay("chunk", fuzzChunk), 5u); }

TEST(FuzzCorpus, EveryMidiInputIsReadSafely) { EXPECT_GE(replay("midi", fuzzMidiFile), 5u); }

TEST(FuzzCorpus, EveryPresetInputIsReadSafely) { EXPECT_GE(replay("preset", fuzzPresetFile), 5u); }

}  // namespace
