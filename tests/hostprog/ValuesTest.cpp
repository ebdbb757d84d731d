// Tests of command-line parsing: options and their errors, numbers with ranges, parameter
// assignments and note names.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "overtonic-host/app/Arguments.h"
#include "overtonic-host/app/Values.h"

namespace {

using namespace hostapp;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

const std::vector<CommandOption> kOptions = {
    {"--rate", "", "HZ", false, "rate"},
    {"--output", "-o", "FILE", false, "output"},
    {"--set", "", "I=V", true, "set"},
    {"--json", "", "", false, "json"},
};

TEST(Arguments, OptionsValuesAndPositionalsInAnyOrder) {
  auto parsed =
      parseArguments(kOptions, {"plug.so", "--rate", "48000", "-o", "out.wav", "--set=1=0.5",
                                "--json", "--set", "2=1", "--", "--not-an-option"});
  ASSERT_TRUE(parsed.ok()) << parsed.error();
  EXPECT_EQ(parsed.value().value("--rate"), "48000");
  EXPECT_EQ(parsed.value().value("--output"), "out.wav");
  EXPECT_THAT(parsed.value().all("--set"), ElementsAre("1=0.5", "2=1"));
  EXPECT_TRUE(parsed.value().has("--json"));
  EXPECT_FALSE(parsed.value().has("--missing"));
  EXPECT_THAT(parsed.value().positional(), ElementsAre("plug.so", "--not-an-option"));
}

TEST(Arguments, NegativeNumbersAndDashAreValuesNotOptions) {
  auto parsed = parseArguments(kOptions, {"--rate", "-5", "-"});
  ASSERT_TRUE(parsed.ok()) << parsed.error();
  EXPECT_EQ(parsed.value().value("--rate"), "-5");
  EXPECT_THAT(parsed.value().positional(), ElementsAre("-"));
}

struct BadCommandLine {
  std::vector<std::string> args;
  const char* message;
};

TEST(Arguments, MistakesAreNamed) {
  const std::vector<BadCommandLine> cases = {
      {{"--colour"}, "unknown option --colour"},
      {{"-x"}, "unknown option -x"},
      {{"--rate"}, "option --rate needs a value (HZ)"},
      {{"--json=yes"}, "option --json takes no value"},
      {{"--rate", "1", "--rate", "2"}, "option --rate given twice"},
  };
  for (const BadCommandLine& c : cases) {
    auto parsed = parseArguments(kOptions, c.args);
    ASSERT_FALSE(parsed.ok()) << c.message;
    EXPECT_EQ(parsed.error(), c.message);
  }
}

TEST(Arguments, HelpListsEveryOption) {
  const std::string help = describeOptions(kOptions);
  EXPECT_THAT(help, HasSubstr("-o, --output FILE"));
  EXPECT_THAT(help, HasSubstr("--rate HZ"));
  EXPECT_THAT(help, HasSubstr("--json"));
}

TEST(Values, IntegersAndNumbersWithinRange) {
  EXPECT_EQ(parseInteger("44100", 22050, 192000).value(), 44100);
  EXPECT_EQ(parseNumber("0.25", 0, 1).value(), 0.25);
  EXPECT_EQ(parseNumber("-1e-3", -1, 1).value(), -0.001);
  const std::vector<std::pair<std::string, std::string>> badIntegers = {
      {"", "'' is not a whole number"},
      {"12a", "'12a' is not a whole number"},
      {" 5", "' 5' is not a whole number"},
      {"1.5", "'1.5' is not a whole number"},
      {"8000", "8000 is outside 22050 to 192000"},
      {"99999999999999999999", "is outside"}};
  for (const auto& [text, message] : badIntegers) {
    auto value = parseInteger(text, 22050, 192000);
    ASSERT_FALSE(value.ok()) << text;
    EXPECT_THAT(value.error(), HasSubstr(message)) << text;
  }
  for (const char* text : {"nan", "inf", "-infinity", "abc", "1.0x", "", "1e999"}) {
    auto value = parseNumber(text, -1e300, 1e300);
    ASSERT_FALSE(value.ok()) << text;
    EXPECT_THAT(value.error(), HasSubstr("is not a number")) << text;
  }
  EXPECT_THAT(parseNumber("2", 0, 1).error(), HasSubstr("2 is outside 0 to 1"));
}

TEST(Values, AssignmentsCheckIndexAndValue) {
  auto ok = parseAssignment("82=0.7", 237);
  ASSERT_TRUE(ok.ok()) << ok.error();
  EXPECT_EQ(ok.value().index, 82);
  EXPECT_EQ(ok.value().value, 0.7f);
  EXPECT_EQ(parseAssignment("0=-3", 237).value().value, -3.0f)
      << "values outside 0-1 pass as they are";
  const std::vector<std::pair<std::string, std::string>> bad = {
      {"82", "'82' is not INDEX=VALUE"},
      {"=1", "parameter index '' is not a whole number"},
      {"x=1", "parameter index 'x' is not a whole number"},
      {"237=1", "parameter index 237 is outside 0 to 236"},
      {"-1=1", "parameter index -1 is outside 0 to 236"},
      {"5=abc", "parameter 5 value 'abc' is not a number"},
      {"5=nan", "parameter 5 value 'nan' is not a number"},
      {"5=", "parameter 5 value '' is not a number"},
      {"5=1e39", "parameter 5 value 1e39 is outside"},
  };
  for (const auto& [text, message] : bad) {
    auto value = parseAssignment(text, 237);
    ASSERT_FALSE(value.ok()) << text;
    EXPECT_THAT(value.error(), HasSubstr(message)) << text;
  }
}

TEST(Values, NoteNamesUseMiddleCAsC4) {
  const std::vector<std::pair<std::string, int>> names = {
      {"C4", 60},  {"A4", 69},  {"a4", 69},  {"C-1", 0}, {"G9", 127},  {"F#3", 54},
      {"Bb2", 46}, {"B#3", 60}, {"Cb4", 59}, {"0", 0},   {"127", 127}, {"64", 64}};
  for (const auto& [text, note] : names) {
    auto parsed = parseNoteName(text);
    ASSERT_TRUE(parsed.ok()) << text << ": " << parsed.error();
    EXPECT_EQ(parsed.value(), note) << text;
  }
  for (const char* text : {"", "H4", "C", "C10", "G#9", "Cb-1", "128", "C4x", "#4"}) {
    EXPECT_FALSE(parseNoteName(text).ok()) << text;
  }
}

TEST(Values, NoteRequestsTakeOptionalVelocityAndSeconds) {
  auto full = parseNoteRequest("A4:127:0.25");
  ASSERT_TRUE(full.ok()) << full.error();
  EXPECT_EQ(full.value().note, 69);
  EXPECT_EQ(full.value().velocity, 127);
  EXPECT_EQ(full.value().seconds, 0.25);
  auto plain = parseNoteRequest("60");
  ASSERT_TRUE(plain.ok());
  EXPECT_EQ(plain.value().velocity, 100);
  EXPECT_EQ(plain.value().seconds, 1.0);
  EXPECT_THAT(parseNoteRequest("60:0").error(), HasSubstr("velocity 0 is outside 1 to 127"));
  EXPECT_THAT(parseNoteRequest("60:200").error(), HasSubstr("velocity 200 is outside 1 to 127"));
  EXPECT_THAT(parseNoteRequest("60:100:0").error(), HasSubstr("note length 0 is outside"));
  EXPECT_THAT(parseNoteRequest("60:100:4000").error(), HasSubstr("note length 4000 is outside"));
  EXPECT_THAT(parseNoteRequest("60:100:x").error(), HasSubstr("note length 'x' is not a number"));
}

}  // namespace
