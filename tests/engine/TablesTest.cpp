// The process-wide sine and note-frequency tables.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "engine/NoteTable.h"
#include "engine/SineTable.h"
#include "engine/SynthEngine.h"

namespace {

TEST(SineTable, HoldsOnePeriodOverTenTwentyOneEntries) {
  const SineTable& table = sineTable();
  EXPECT_EQ(table[0], 0.0f);
  for (int32_t k = 0; k < SineTable::kSize; ++k) {
    const double expected = std::sin(2.0 * std::numbers::pi * k / SineTable::kPeriod);
    ASSERT_NEAR(table[k], expected, 2e-4) << "entry " << k;
  }
  // Quarter, half and three quarters of the period.
  EXPECT_GT(table[255], 0.99999f);
  EXPECT_GT(table[510], 0.0f);
  EXPECT_LT(table[511], 0.0f);
  EXPECT_LT(table[766], -0.99999f);
}

TEST(SineTable, LastThreeEntriesContinueThePeriod) {
  const SineTable& table = sineTable();
  for (int32_t k = 0; k < 3; ++k) {
    EXPECT_NEAR(table[SineTable::kPeriod + k], table[k], 2e-4) << "look-ahead entry " << k;
  }
}

TEST(SineTable, IsSharedAndNotRewrittenByLaterEngines) {
  const SineTable& table = sineTable();
  const std::vector<float> before(table.data(), table.data() + SineTable::kSize);
  { SynthEngine engine; }
  { SynthEngine engine; }
  EXPECT_EQ(&table, &sineTable());
  EXPECT_EQ(before, std::vector<float>(table.data(), table.data() + SineTable::kSize));
}

TEST(NoteTable, NoteSixtyNineIsExactlyFourForty) { EXPECT_EQ(noteFrequencyTable()[69], 440.0f); }

TEST(NoteTable, KnownNotes) {
  struct Case {
    int32_t note;
    double hertz;
  };
  for (const Case c :
       {Case{0, 8.175798915636872}, Case{60, 261.6256}, Case{81, 880.0}, Case{127, 12543.85}}) {
    EXPECT_NEAR(noteFrequencyTable()[std::size_t(c.note)], c.hertz, c.hertz * 2e-6)
        << "note " << c.note;
  }
}

TEST(NoteTable, NeighboursAreASemitoneApart) {
  const auto& table = noteFrequencyTable();
  for (std::size_t n = 1; n < table.size(); ++n) {
    EXPECT_NEAR(double(table[n]) / double(table[n - 1]), std::pow(2.0, 1.0 / 12.0), 1e-6)
        << "notes " << n - 1 << " and " << n;
  }
}

TEST(NoteTable, NoteNumbersAreReducedToSevenBits) {
  EXPECT_EQ(noteFrequency(69 + 128), 440.0f);
  EXPECT_EQ(noteFrequency(-59), noteFrequencyTable()[69]);  // -59 & 0x7F == 69
}

}  // namespace
