// End-to-end tests of the overtonic-host program through the built plug-in: info fields, renders
// (length, rate, format, silence), parameter and preset round trips, and the exit status and
// one-line message of every kind of bad input, with no partial output left behind.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "overtonic-host/app/PresetFile.h"
#include "tests/hostprog/TestSupport.h"

namespace {

using namespace hostprogtest;
using ::testing::AllOf;
using ::testing::Each;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

const std::string kProgram = OVERTONIC_HOST_PATH;
const std::string kPlugin = OVERTONIC_PLUGIN_PATH;

class HostCli : public ::testing::Test {
 protected:
  RunResult host(const std::vector<std::string>& args) { return run(kProgram, args, scratch); }
  // Runs a command that must succeed.
  RunResult ok(const std::vector<std::string>& args) {
    RunResult r = host(args);
    EXPECT_EQ(r.status, 0) << "stderr: " << r.err;
    return r;
  }
  // The value of parameter `index` in `info --json` output.
  // (Entries are written in the order index, name, label, value.)
  static double jsonParameter(const std::string& json, int index) {
    const size_t entry =
        json.find("\"index\": " + std::to_string(index) + ",\n", json.find("\"parameters\""));
    if (entry == std::string::npos) return NAN;
    const size_t value = json.find("\"value\": ", entry);
    if (value == std::string::npos) return NAN;
    return std::strtod(json.c_str() + value + 9, nullptr);
  }
  TempFolder scratch;
  TempFolder out_;
};

TEST_F(HostCli, InfoJsonNamesThePluginAndItsRecord) {
  const RunResult r = ok({"info", kPlugin, "--json"});
  EXPECT_THAT(r.out, HasSubstr("\"effectName\": \"Tallowmere Overtonic\""));
  EXPECT_THAT(r.out, HasSubstr("\"vendor\": \"Tallowmere Recordings\""));
  EXPECT_THAT(r.out, HasSubstr("\"product\": \"Overtonicum\""));
  EXPECT_THAT(r.out, HasSubstr("\"text\": \"QNTR\""));
  EXPECT_THAT(r.out, HasSubstr("\"hex\": \"0x514E5452\""));
  EXPECT_THAT(r.out, HasSubstr("\"numParams\": 237"));
  EXPECT_THAT(r.out, HasSubstr("\"numPrograms\": 32"));
  EXPECT_THAT(r.out, HasSubstr("\"numInputs\": 0"));
  EXPECT_THAT(r.out, HasSubstr("\"numOutputs\": 1"));
  EXPECT_THAT(r.out, HasSubstr("\"effFlagsIsSynth\""));
  EXPECT_THAT(r.out, HasSubstr("\"receiveVstMidiEvent\": 1"));
  EXPECT_THAT(r.out, HasSubstr("\"receiveVstTimeInfo\": -1"));
  EXPECT_THAT(r.out, HasSubstr("\"label\": \"Vstx 1\""));
  EXPECT_THAT(r.out, HasSubstr("\"name\": \" Main Volume \""));
  EXPECT_THAT(r.out, HasSubstr("\"name\": \" Osc32 Detune \""));
  EXPECT_THAT(r.out, HasSubstr("\"index\": 236"));
  EXPECT_NEAR(jsonParameter(r.out, 0), 0.9, 1e-6) << "main volume of the default program";
}

TEST_F(HostCli, InfoTableShowsBlanksInsideQuotes) {
  const RunResult r = ok({"info", kPlugin});
  EXPECT_THAT(r.out, HasSubstr("'QNTR' (0x514E5452)"));
  EXPECT_THAT(r.out, HasSubstr("\" Main Volume \""));
  EXPECT_THAT(r.out, HasSubstr("\"   dB   \""));
  EXPECT_THAT(r.out, HasSubstr("\"Basic\""));
}

TEST_F(HostCli, InfoWithoutPluginArgumentUsesTheBuiltOne) {
  EXPECT_THAT(ok({"info", "--json"}).out, HasSubstr("\"text\": \"QNTR\""));
}

TEST_F(HostCli, InfoLoadsAnyPluginSuchAsTheFixture) {
  EXPECT_THAT(ok({"info", FAKE_PLUGIN_PATH}).out, HasSubstr("\"Fake Effect\""));
}

TEST_F(HostCli, SetValuesReadBack) {
  const RunResult r =
      ok({"info", kPlugin, "--json", "--set", "82=0.7", "--set=146=0.25", "--set", "178=0.125"});
  EXPECT_NEAR(jsonParameter(r.out, 82), 0.7, 1e-6);
  EXPECT_NEAR(jsonParameter(r.out, 146), 0.25, 1e-6);
  EXPECT_NEAR(jsonParameter(r.out, 178), 0.125, 1e-6);
}

struct RenderCase {
  std::vector<std::string> options;
  int rate;
  int subtype;
  int64_t frames;
};

TEST_F(HostCli, RenderWritesTheRequestedLengthRateAndFormat) {
  const std::vector<RenderCase> cases = {
      {{"--note", "60:100:0.5", "--tail", "0.25"}, 44100, SF_FORMAT_FLOAT, 33075},
      {{"--note", "C4", "--note", "E4:90:0.5", "--tail", "0", "--rate", "48000", "--format", "s24"},
       48000,
       SF_FORMAT_PCM_24,
       72000},
      {{"--note", "A4:127:0.1", "--tail", "0.1", "--rate", "22050", "--block", "1", "--format",
        "s16"},
       22050,
       SF_FORMAT_PCM_16,
       4410},
      {{"--note", "60:100:0.3", "--tail", "0.2", "--block", "4096", "--rate", "192000"},
       192000,
       SF_FORMAT_FLOAT,
       96000},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    const std::string wav = out_.path("render" + std::to_string(i) + ".wav");
    std::vector<std::string> args = {"render", kPlugin, "-o", wav};
    args.insert(args.end(), cases[i].options.begin(), cases[i].options.end());
    const RunResult r = ok(args);
    EXPECT_THAT(r.out, HasSubstr("wrote " + wav)) << i;
    EXPECT_THAT(r.out, HasSubstr("peak ")) << i;
    EXPECT_THAT(r.out, HasSubstr("RMS ")) << i;
    const WavContents contents = readWav(wav);
    ASSERT_TRUE(contents.opened) << i;
    EXPECT_EQ(contents.info.samplerate, cases[i].rate) << i;
    EXPECT_EQ(contents.info.channels, 1) << i;
    EXPECT_EQ(contents.info.format, SF_FORMAT_WAV | cases[i].subtype) << i;
    EXPECT_EQ(contents.info.frames, cases[i].frames) << i;
  }
}

TEST_F(HostCli, DefaultProgramIsExactlySilent) {
  // Program 0 has every oscillator volume at 0: a note produces exact zeros, not just quiet.
  const std::string wav = out_.path("silent.wav");
  const RunResult r = ok({"render", kPlugin, "--note", "69:127:0.5", "-o", wav});
  EXPECT_THAT(r.out, HasSubstr("peak -inf dBFS"));
  const WavContents contents = readWav(wav);
  ASSERT_TRUE(contents.opened);
  ASSERT_FALSE(contents.samples.empty());
  EXPECT_THAT(contents.samples, Each(0.0f));
}

TEST_F(HostCli, RenderPlaysAMidiFileAndDrawsThePlot) {
  const std::string mid =
      out_.write("tune.mid", midiFile({header(1, 2, 480), track({{0, tempo(250000)}}),
                                       track({{0, {0x90, 60, 100}},
                                              {480, {0x80, 60, 0}},
                                              {0, {0x90, 64, 100}},
                                              {960, {0x80, 64, 0}}})}));
  const std::string wav = out_.path("tune.wav");
  const std::string png = out_.path("tune.png");
  const RunResult r =
      ok({"render", kPlugin, "--midi", mid, "-o", wav, "--tail", "0.5", "--plot", png});
  EXPECT_THAT(r.out, HasSubstr("plot " + png));
  // Three quarters at 240 bpm (0.75 s) plus the tail.
  EXPECT_EQ(readWav(wav).info.frames, 55125);
  EXPECT_TRUE(fs::is_regular_file(png));
  EXPECT_GT(fs::file_size(png), 1000u);
}

TEST_F(HostCli, PresetRoundTripThroughSaveShowInfoAndRender) {
  const std::string fxp = out_.path("warm.fxp");
  const RunResult saved =
      ok({"preset", "save", fxp, kPlugin, "--set", "82=0.7", "--set", "1=0.25", "--parameters"});
  EXPECT_THAT(saved.out, HasSubstr("wrote " + fxp));
  EXPECT_EQ(fs::file_size(fxp), 56u + 4u * 237u);

  const RunResult shown = ok({"preset", "show", fxp});
  EXPECT_THAT(shown.out, HasSubstr("program file ('FxCk'"));
  EXPECT_THAT(shown.out, HasSubstr("'QNTR' (0x514E5452)"));
  EXPECT_THAT(shown.out, HasSubstr("\"Basic\""));
  EXPECT_THAT(shown.out, HasSubstr("parameters   237"));
  EXPECT_THAT(shown.out, HasSubstr("   82  0.69999"));
  EXPECT_THAT(shown.out, HasSubstr("    1  0.25\n"));

  const RunResult loaded = ok({"info", kPlugin, "--json", "--program", "5", "--preset", fxp});
  EXPECT_NEAR(jsonParameter(loaded.out, 82), 0.7, 1e-6);
  EXPECT_NEAR(jsonParameter(loaded.out, 1), 0.25, 1e-6);
  EXPECT_THAT(loaded.out, HasSubstr("\"currentProgram\": 5"));

  ok({"render", kPlugin, "--preset", fxp, "--note", "60:100:0.1", "-o", out_.path("preset.wav")});
}

TEST_F(HostCli, BankRoundTripKeepsEveryProgramAndTheCurrentOne) {
  const std::string fxb = out_.path("all.fxb");
  ok({"preset", "bank-save", fxb, kPlugin, "--program", "3", "--set", "82=0.5", "--parameters"});
  EXPECT_EQ(fs::file_size(fxb), 156u + 32u * (56u + 4u * 237u));
  const RunResult shown = ok({"preset", "show", fxb});
  EXPECT_THAT(shown.out, HasSubstr("bank file ('FxBk'"));
  EXPECT_THAT(shown.out, HasSubstr("programs     32, current 3"));
  EXPECT_THAT(ok({"preset", "show", fxb, "--values"}).out, HasSubstr("          82  0.5\n"));

  const RunResult loaded = ok({"info", kPlugin, "--json", "--bank", fxb});
  EXPECT_THAT(loaded.out, HasSubstr("\"currentProgram\": 3"));
  EXPECT_NEAR(jsonParameter(loaded.out, 82), 0.5, 1e-6);
  const RunResult other = ok({"info", kPlugin, "--json", "--bank", fxb, "--program", "0"});
  EXPECT_NEAR(jsonParameter(other.out, 82), 0.0, 1e-6) << "program 0 was saved unchanged";
}

TEST_F(HostCli, PresetOfAnotherPluginIsRefused) {
  const std::string foreign =
      out_.write("foreign.fxp",
                 hostapp::encodeProgram(0x41424344, 1, {"Other", std::vector<float>(237, 0.5f)}));
  const RunResult r =
      host({"render", kPlugin, "--preset", foreign, "--note", "60", "-o", out_.path("x.wav")});
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(r.err, HasSubstr(foreign + ": made for plug-in 'ABCD' (0x41424344), not for 'QNTR'"));
  EXPECT_THAT(out_.entries(), Not(testing::Contains("x.wav")));
  const RunResult asBank = host({"info", kPlugin, "--bank", foreign});
  EXPECT_EQ(asBank.status, 1);
  EXPECT_THAT(asBank.err, HasSubstr("is a program file, not a bank"));
}

// ---- chunk presets: the curves travel with the program --------------------------------------

// A plucked sound on four oscillators, typed on the command line.
const std::vector<std::string> kPluck = {"--set",   "82=0.9",
                                         "--set",   "83=0.6",
                                         "--set",   "84=0.45",
                                         "--set",   "85=0.3",
                                         "--curve", "0=ad:0.005:1.2",
                                         "--curve", "1-3=ad:0.005:0.6",
                                         "--curve", "32=vibrato:0.2:5:0.3"};

std::vector<std::string> with(std::vector<std::string> words,
                              const std::vector<std::string>& more) {
  words.insert(words.end(), more.begin(), more.end());
  return words;
}

// The bytes of a chunk preset's chunk.
std::vector<unsigned char> chunkOf(const std::string& path) {
  auto preset = hostapp::readPreset(path);
  EXPECT_TRUE(preset.ok()) << preset.error();
  return preset.ok() ? preset.value().chunk : std::vector<unsigned char>{};
}

float peak(const std::vector<float>& samples) {
  float highest = 0;
  for (float s : samples) highest = std::max(highest, std::fabs(s));
  return highest;
}

TEST_F(HostCli, ProgramChunkPresetCarriesCurvesIntoARender) {
  const std::string fxp = out_.path("pluck.fxp");
  const RunResult saved = ok(with({"preset", "save", fxp, kPlugin}, kPluck));
  EXPECT_THAT(saved.out, HasSubstr("as a chunk of"));

  EXPECT_THAT(
      ok({"preset", "show", fxp}).out,
      AllOf(HasSubstr("program chunk file ('FPCh'"), HasSubstr("Overtonic state 1.0"),
            HasSubstr("233 values, 5 curves"), HasSubstr("curve   0  amplitude, oscillator 1 "),
            HasSubstr("curve   3  amplitude, oscillator 4 "),
            HasSubstr("curve  32  pitch, oscillator 1 "), HasSubstr("   82  0.899999976\n")));

  const std::string fromPreset = out_.path("preset.wav");
  const std::string direct = out_.path("direct.wav");
  ok({"render", kPlugin, "--preset", fxp, "--note", "A3:110:1.5", "-o", fromPreset});
  ok(with({"render", kPlugin, "--note", "A3:110:1.5", "-o", direct}, kPluck));
  const WavContents a = readWav(fromPreset);
  const WavContents b = readWav(direct);
  ASSERT_TRUE(a.opened && b.opened);
  EXPECT_GT(peak(a.samples), 0.05f) << "the preset's curves make the note audible";
  EXPECT_EQ(a.samples, b.samples);

  // Loaded into another program and saved again, the chunk comes back byte for byte.
  const std::string again = out_.path("again.fxp");
  ok({"preset", "save", again, kPlugin, "--program", "7", "--preset", fxp});
  EXPECT_EQ(chunkOf(again), chunkOf(fxp));
}

TEST_F(HostCli, BankChunkPresetKeepsEveryProgramsCurvesAndTheCurrentOne) {
  const std::string fxb = out_.path("bank.fxb");
  ok(with({"preset", "bank-save", fxb, kPlugin, "--program", "3"}, kPluck));
  const RunResult shown = ok({"preset", "show", fxb});
  EXPECT_THAT(shown.out, HasSubstr("bank chunk file ('FBCh'"));
  EXPECT_THAT(shown.out, HasSubstr("programs     32, current 3"));
  EXPECT_THAT(shown.out, HasSubstr("    3  \"Basic\"  233 values, 5 curves"));
  EXPECT_THAT(shown.out, HasSubstr("    4  \"Basic\"  233 values, 0 curves"));

  const std::string again = out_.path("again.fxb");
  ok({"preset", "bank-save", again, kPlugin, "--bank", fxb});
  EXPECT_EQ(chunkOf(again), chunkOf(fxb));

  ok({"render", kPlugin, "--bank", fxb, "--note", "60:100:0.5", "-o", out_.path("three.wav")});
  ok({"render", kPlugin, "--bank", fxb, "--program", "4", "--note", "60:100:0.5", "-o",
      out_.path("four.wav")});
  EXPECT_GT(peak(readWav(out_.path("three.wav")).samples), 0.05f) << "the bank's current program";
  EXPECT_EQ(peak(readWav(out_.path("four.wav")).samples), 0.0f) << "a program without curves";
}

TEST_F(HostCli, CurveFilesAreReadFromText) {
  std::string text = "# a slow swell\n";
  for (int k = 0; k < 385; ++k) text += std::to_string(k / 384.0) + (k % 8 == 7 ? "\n" : ", ");
  const std::string curve = out_.write("swell.txt", text);
  const std::string fxp = out_.path("swell.fxp");
  ok({"preset", "save", fxp, kPlugin, "--set", "82=1", "--curve", "0=" + curve});
  EXPECT_THAT(ok({"preset", "show", fxp}).out,
              testing::ContainsRegex("curve   0  amplitude, oscillator 1 +points 0 to 1, "
                                     "384 of 385 not 0"));
}

TEST_F(HostCli, DamagedOrMisplacedChunkPresetsAreRefused) {
  const std::string fxp = out_.path("good.fxp");
  ok(with({"preset", "save", fxp, kPlugin}, kPluck));
  std::string bytes = slurp(fxp);
  bytes[bytes.size() - 100] ^= 0x01;  // inside the chunk: its checksum no longer matches
  const std::string damaged = out_.write("damaged.fxp", bytes);
  const RunResult refused =
      host({"render", kPlugin, "--preset", damaged, "--note", "60", "-o", out_.path("x.wav")});
  EXPECT_EQ(refused.status, 1);
  EXPECT_THAT(refused.err, HasSubstr(damaged + ": the plug-in refused the program chunk"));
  EXPECT_THAT(out_.entries(), Not(testing::Contains("x.wav")));

  const std::string fake = out_.write(  // for the fixture plug-in 'HlFx', which offers no chunks
      "fake.fxp",
      hostapp::encodeProgramChunk(0x486C4678, 1, 4, "x", std::vector<unsigned char>(8)));
  const RunResult noChunks = host({"info", FAKE_PLUGIN_PATH, "--preset", fake});
  EXPECT_EQ(noChunks.status, 1);
  EXPECT_THAT(noChunks.err, HasSubstr("holds a chunk, and the plug-in takes no chunks"));
  const RunResult noCurves = host({"info", FAKE_PLUGIN_PATH, "--curve", "0=const:1"});
  EXPECT_EQ(noCurves.status, 1);
  EXPECT_THAT(noCurves.err, HasSubstr("the plug-in keeps no chunks to hold curves"));
}

// The committed example presets are what tools/make-examples.sh makes, and each plays the demo.
TEST_F(HostCli, ExamplePresetsAreRegeneratedByTheirScriptAndPlayTheDemo) {
  const std::string source = OVERTONIC_SOURCE_DIR;
  const std::string command = "OVERTONIC_EXAMPLES_DIR='" + out_.root() + "' '" + source +
                              "/tools/make-examples.sh' '" + kProgram + "' '" + kPlugin +
                              "' >/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  for (const char* name : {"pluck.fxp", "organ.fxp", "effects.fxp", "examples.fxb"}) {
    EXPECT_EQ(slurp(out_.path(name)), slurp(source + "/examples/" + name))
        << name << " differs from what tools/make-examples.sh makes";
  }
  for (const char* name : {"pluck.fxp", "organ.fxp", "effects.fxp"}) {
    const std::string wav = out_.path(std::string(name) + ".wav");
    ok({"render", kPlugin, "--midi", source + "/examples/demo.mid", "--preset",
        source + "/examples/" + name, "-o", wav});
    const WavContents played = readWav(wav);
    double sum = 0;
    for (float s : played.samples) sum += static_cast<double>(s) * static_cast<double>(s);
    const auto count = static_cast<double>(std::max<size_t>(1, played.samples.size()));
    const double rms = std::sqrt(sum / count);
    EXPECT_GT(rms, 0.05) << name << " plays the demo audibly";
  }
  const RunResult bank = ok({"preset", "show", source + "/examples/examples.fxb"});
  EXPECT_THAT(bank.out,
              AllOf(HasSubstr("\"Pluck\""), HasSubstr("\"Organ\""), HasSubstr("\"Every Effect\"")));
}

struct ErrorCase {
  const char* what;
  std::vector<std::string> args;
  int status;
  std::vector<std::string> messageParts;
};

TEST_F(HostCli, BadInputGivesOneLineMessagesAndExitStatus) {
  const std::string text = out_.write("text.so", std::string("not a library\n"));
  const std::string truncated = out_.write(
      "cut.mid", std::vector<unsigned char>{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0});
  const std::string lying =
      out_.write("lying.mid", midiFile({header(0, 1, 96), chunk("MTrk", {0x00, 0x90})}));
  const std::string empty = out_.write("empty.mid", midiFile({header(0, 1, 96), track({})}));
  const std::string badPreset = out_.write("bad.fxp", std::string("CcnK\0\0\0\x10"
                                                                  "FxCk",
                                                                  12));
  const std::string wav = out_.path("out.wav");
  const std::vector<ErrorCase> cases = {
      {"no command", {}, 2, {"Usage: overtonic-host"}},
      {"unknown command", {"play"}, 2, {"unknown command 'play'"}},
      {"unknown option", {"info", "--colour"}, 2, {"info: unknown option --colour"}},
      {"missing plug-in",
       {"info", out_.path("none.so")},
       1,
       {"none.so: cannot open plug-in (No such file or directory)"}},
      {"text file as plug-in", {"info", text}, 1, {text, "not a loadable shared object"}},
      {"library without entry", {"info", NO_ENTRY_PATH}, 1, {"no plug-in entry point"}},
      {"entry refuses",
       {"render", REFUSING_PLUGIN_PATH, "--note", "60", "-o", wav},
       1,
       {"entry refused"}},
      {"no output", {"render", kPlugin, "--note", "60"}, 2, {"no output file given"}},
      {"no notes", {"render", kPlugin, "-o", wav}, 2, {"give either --midi FILE or --note NOTE"}},
      {"bad note", {"render", kPlugin, "--note", "H2", "-o", wav}, 2, {"--note H2: note 'H2'"}},
      {"bad rate",
       {"render", kPlugin, "--note", "60", "-o", wav, "--rate", "8000"},
       2,
       {"--rate 8000 is outside 22050 to 192000"}},
      {"bad block",
       {"render", kPlugin, "--note", "60", "-o", wav, "--block", "0"},
       2,
       {"--block 0 is outside"}},
      {"bad format",
       {"render", kPlugin, "--note", "60", "-o", wav, "--format", "mp3"},
       2,
       {"'mp3' is not a sample format"}},
      {"set index out of range",
       {"render", kPlugin, "--note", "60", "-o", wav, "--set", "300=0.5"},
       2,
       {"--set 300=0.5: parameter index 300 is outside 0 to 236"}},
      {"set value not a number",
       {"render", kPlugin, "--note", "60", "-o", wav, "--set", "5=loud"},
       2,
       {"--set 5=loud: parameter 5 value 'loud' is not a number"}},
      {"set without value", {"info", kPlugin, "--set", "5"}, 2, {"'5' is not INDEX=VALUE"}},
      {"program out of range",
       {"info", kPlugin, "--program", "32"},
       2,
       {"--program 32 is outside 0 to 31"}},
      {"missing MIDI file",
       {"render", kPlugin, "--midi", out_.path("none.mid"), "-o", wav},
       1,
       {"none.mid: cannot open MIDI file"}},
      {"truncated MIDI file",
       {"render", kPlugin, "--midi", truncated, "-o", wav},
       1,
       {truncated, "no MThd header"}},
      {"lying MIDI file",
       {"render", kPlugin, "--midi", lying, "-o", wav},
       1,
       {lying, "offset 23", "track ends inside a 0x90 message"}},
      {"MIDI file without notes",
       {"render", kPlugin, "--midi", empty, "-o", wav},
       1,
       {empty, "holds no notes"}},
      {"truncated preset",
       {"render", kPlugin, "--preset", badPreset, "--note", "60", "-o", wav},
       1,
       {badPreset, "program record cut short"}},
      {"unwritable output",
       {"render", kPlugin, "--note", "60", "-o", out_.path("no/such/dir/out.wav")},
       1,
       {"out.wav: cannot create"}},
      {"output is a folder",
       {"render", kPlugin, "--note", "60", "-o", out_.root()},
       1,
       {"is a folder"}},
      {"unwritable plot",
       {"render", kPlugin, "--note", "60:100:0.1", "-o", wav, "--plot", out_.path("no/plot.png")},
       1,
       {"plot.png: cannot create"}},
      {"unwritable preset",
       {"preset", "save", out_.path("no/p.fxp"), kPlugin},
       1,
       {"p.fxp: cannot create"}},
      {"show missing preset",
       {"preset", "show", out_.path("none.fxp")},
       1,
       {"none.fxp: cannot open preset file"}},
      {"unknown preset subcommand", {"preset", "load"}, 2, {"unknown subcommand 'load'"}},
      {"bad curve slot",
       {"render", kPlugin, "--note", "60", "-o", wav, "--curve", "200=const:1"},
       2,
       {"--curve slot 200 is outside 0 to 122"}},
      {"bad curve shape",
       {"preset", "save", out_.path("c.fxp"), kPlugin, "--curve", "0=ad:1"},
       2,
       {"the shape is ad:ATTACK:DECAY[:PEAK]"}},
      {"missing curve file",
       {"preset", "save", out_.path("c.fxp"), kPlugin, "--curve", "0=" + out_.path("no.txt")},
       1,
       {"--curve 0=", "no.txt: cannot open curve file"}},
  };
  const auto before = out_.entries();
  for (const ErrorCase& c : cases) {
    const RunResult r = host(c.args);
    EXPECT_EQ(r.status, c.status) << c.what << "\nstderr: " << r.err;
    for (const std::string& part : c.messageParts) EXPECT_THAT(r.err, HasSubstr(part)) << c.what;
    if (c.status == 1) {
      EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1)
          << c.what << ": one line expected, got\n"
          << r.err;
      EXPECT_THAT(r.err, testing::StartsWith("overtonic-host ")) << c.what;
    }
    EXPECT_EQ(out_.entries(), before) << c.what << ": no output, not even a temporary file";
  }
}

TEST_F(HostCli, EveryCommandExplainsItself) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--help"},
                                             {"help", "render"},
                                             {"info", "--help"},
                                             {"render", "--help"},
                                             {"preset", "--help"},
                                             {"preset", "save", "--help"},
                                             {"preset", "bank-save", "--help"},
                                             {"preset", "show", "--help"}}) {
    const RunResult r = host(args);
    EXPECT_EQ(r.status, 0) << args.back();
    EXPECT_THAT(r.out, HasSubstr("overtonic-host")) << args.back();
    EXPECT_THAT(r.err, IsEmpty()) << args.back();
  }
  EXPECT_THAT(host({"render", "--help"}).out,
              AllOf(HasSubstr("--midi FILE.mid"), HasSubstr("--tail SECONDS"),
                    HasSubstr("--bank FILE.fxb"), HasSubstr("--plot FILE.png")));
}

TEST_F(HostCli, AFullStandardOutputIsAFailure) {
  const RunResult r = run(kProgram, {"info", kPlugin}, scratch, "/dev/full");
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(r.err, HasSubstr("cannot write to standard output"));
}

}  // namespace
