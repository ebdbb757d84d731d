// `overtonic-host preset`: save the plug-in's current program as a program file, save all its
// programs as a bank file, and show what a program or bank file holds. A plug-in that offers
// chunks is saved as a chunk preset (its whole state, curves included) unless told otherwise.
#include <algorithm>
#include <cstdio>

#include "overtonic-host/app/Curves.h"

#include "overtonic-host/app/Commands.h"
#include "overtonic-host/app/Files.h"
#include "overtonic-host/app/PluginSession.h"
#include "overtonic-host/app/PresetFile.h"

namespace hostapp {
namespace {

const CommandOption kParametersOption = {
    "--parameters", "", "", false,
    "write the parameter form ('FxCk'/'FxBk') even when the plug-in offers chunks"};

std::vector<CommandOption> saveOptions() {
  std::vector<CommandOption> options = stateOptionList(true);
  options.push_back(kParametersOption);
  return options;
}

const std::string kCurveHelp =
    "\n--curve SLOT=FILE puts the points of a text file (up to 385 numbers; blanks, commas and\n"
    "line ends separate them, '#' starts a comment) into envelope slot SLOT (0-122, or\n"
    "FIRST-LAST) of the current program; --curve SLOT=SHAPE makes the points from a shape.\n"
    "Slots 0-31 are the oscillators' amplitude curves, 32-63 pitch, 64-95 phase, 96-122 the\n"
    "group layers. The instrument squares every point. Shapes (times in seconds; a curve lasts\n"
    "5.83 s):\n" +
    curveShapeHelp();

const CommandLine kSave = {
    "preset save",
    "preset save OUT.fxp [PLUGIN] [--bank F] [--program N] [--preset F] [--set INDEX=VALUE ...]\n"
    "       [--curve SLOT=FILE|SHAPE ...] [--parameters]",
    "Writes the plug-in's current program (after the options, applied in the order listed) as a\n"
    "VST 2 program file with the plug-in's unique id and version and the program name. A plug-in\n"
    "that keeps its programs in chunks is saved as 'CcnK'/'FPCh' with its program chunk (for\n"
    "Overtonic: every value, the name and the drawn curves); otherwise, or with --parameters, as\n"
    "'CcnK'/'FxCk' with every parameter value as read back, big-endian.\n" +
        kCurveHelp,
    saveOptions(),
};

const CommandLine kBankSave = {
    "preset bank-save",
    "preset bank-save OUT.fxb [PLUGIN] [--bank F] [--program N] [--preset F] [--set INDEX=VALUE "
    "...]\n"
    "       [--curve SLOT=FILE|SHAPE ...] [--parameters]",
    "Writes all of the plug-in's programs as a VST 2 bank file (version 2): 'FBCh' with the\n"
    "plug-in's bank chunk when it keeps its programs in chunks, otherwise or with --parameters\n"
    "'FxBk' with each program's name and parameter values. --preset, --set and --curve change\n"
    "the current program (chosen with --program) before saving; the bank records it as current.\n" +
        kCurveHelp,
    saveOptions(),
};

const CommandLine kShow = {
    "preset show",
    "preset show FILE [--values]",
    "Prints what a program (.fxp) or bank (.fxb) file holds: kind, plug-in id and version,\n"
    "program names and parameter values. For a chunk preset of Overtonic it lists every\n"
    "program's drawn curves (slot, what the slot shapes, range of the points). A bank lists its\n"
    "values with --values.",
    {{"--values", "", "", false, "list every program's values (banks)"}},
};

const char* kPresetUsage =
    "Usage: overtonic-host preset save OUT.fxp [PLUGIN] [--bank F] [--program N] [--preset F] "
    "[--set I=V ...]\n"
    "       overtonic-host preset bank-save OUT.fxb [PLUGIN] [--bank F] [--program N] [--preset F] "
    "[--set I=V ...]\n"
    "       overtonic-host preset show FILE [--values]\n"
    "Save options also take --curve SLOT=FILE|SHAPE and --parameters.\n"
    "Each subcommand explains itself with --help.\n";

// Loads the plug-in named after the output (or the default) and applies the state options.
hostlib::Result<std::unique_ptr<hostlib::PluginInstance>> preparePlugin(const ParsedArguments& args,
                                                                        int& status) {
  status = kExitUsage;
  if (args.positional().size() > 2)
    return hostlib::fail("more than one plug-in given: " + args.positional()[2]);
  auto state = readStateOptions(args);
  if (!state.ok()) return hostlib::fail(state.error());
  status = kExitFailure;
  auto plugin = loadPlugin(args.positional().size() == 2 ? args.positional()[1] : "");
  if (!plugin.ok()) return plugin;
  bool usageError = false;
  if (hostlib::Status s = applyState(*plugin.value(), state.value(), usageError); !s) {
    status = usageError ? kExitUsage : kExitFailure;
    return hostlib::fail(s.error());
  }
  status = kExitOk;
  return plugin;
}

int runSave(const std::vector<std::string>& words, bool bank) {
  const CommandLine& line = bank ? kBankSave : kSave;
  int status = kExitOk;
  auto args = parseCommandLine(line, words, status);
  if (!args) return status;
  if (args->positional().empty())
    return reportError(line.command, "no output file given", kExitUsage);
  const std::string output = args->positional()[0];
  auto plugin = preparePlugin(*args, status);
  if (!plugin.ok()) return reportError(line.command, plugin.error(), status);
  hostlib::PluginInstance& instance = *plugin.value();
  const AEffect& record = *instance.effect();
  std::vector<unsigned char> bytes;
  std::string what;
  if (instance.offersChunks() && !args->has("--parameters")) {
    const std::vector<unsigned char> chunk = instance.getChunk(!bank);
    if (chunk.empty()) {
      return reportError(line.command,
                         "the plug-in offers chunks but handed none (try --parameters)",
                         kExitFailure);
    }
    const std::string name = instance.programName();
    bytes =
        bank ? encodeBankChunk(record.uniqueID, record.version, record.numPrograms,
                               instance.program(), chunk)
             : encodeProgramChunk(record.uniqueID, record.version, record.numPrograms, name, chunk);
    what = (bank ? "bank chunk of " + std::to_string(chunk.size()) + " bytes"
                 : "program \"" + name + "\" as a chunk of " + std::to_string(chunk.size()) +
                       " bytes");
  } else if (bank) {
    const int32_t current = instance.program();
    std::vector<ProgramData> programs;
    for (int32_t p = 0; p < std::min(record.numPrograms, kMaxBankPrograms); ++p) {
      instance.setProgram(p);
      programs.push_back(captureProgram(instance));
    }
    instance.setProgram(current);
    bytes = encodeBank(record.uniqueID, record.version, programs, current);
    what = std::to_string(programs.size()) + " programs of " + std::to_string(record.numParams) +
           " parameters";
  } else {
    const ProgramData program = captureProgram(instance);
    bytes = encodeProgram(record.uniqueID, record.version, program);
    what = "program \"" + program.name + "\", " + std::to_string(program.parameters.size()) +
           " parameters";
  }
  if (hostlib::Status s = writeWholeFile(output, bytes); !s)
    return reportError(line.command, s.error(), kExitFailure);
  printOut("wrote " + output + ": " + what + ", plug-in " + describePluginId(record.uniqueID) +
           "\n");
  return kExitOk;
}

std::string valueLines(const ProgramData& program, const char* indent) {
  std::string out;
  for (size_t i = 0; i < program.parameters.size(); ++i) {
    char line[64];
    std::snprintf(line, sizeof line, "%s%5zu  %.9g\n", indent, i,
                  static_cast<double>(program.parameters[i]));
    out += line;
  }
  return out;
}

std::string curveLines(const chunkformat::Program& program) {
  std::string out;
  for (const chunkformat::SlotCurve& curve : program.curves) {
    const auto [low, high] = std::minmax_element(curve.points.begin(), curve.points.end());
    const auto drawn =
        std::count_if(curve.points.begin(), curve.points.end(), [](float p) { return p != 0.0f; });
    char line[160];
    std::snprintf(line, sizeof line,
                  "       curve %3u  %-48s points %.3g to %.3g, %td of %d not 0\n", curve.slot,
                  describeSlot(static_cast<int>(curve.slot)).c_str(), static_cast<double>(*low),
                  static_cast<double>(*high), drawn, chunkformat::kCurvePoints);
    out += line;
  }
  return out;
}

std::string chunkValueLines(const chunkformat::Program& program) {
  std::string out;
  for (const chunkformat::Value& v : program.values) {
    char line[64];
    std::snprintf(line, sizeof line, "       %5u  %.9g\n", v.index, static_cast<double>(v.value));
    out += line;
  }
  return out;
}

// What the chunk of a chunk preset holds, when it is an Overtonic state.
std::string chunkContents(const PresetFile& file, bool values) {
  const std::vector<unsigned char>& chunk = file.chunk;
  std::string out = "chunk        " + std::to_string(chunk.size()) + " bytes";
  const chunkformat::ReadResult read = chunkformat::read(chunk);
  if (read.refusal != chunkformat::Refusal::none) {
    return out + " (not an Overtonic state: " + chunkformat::describe(read.refusal) +
           " at offset " + std::to_string(read.offset) + ")\n";
  }
  out += ", Overtonic state " + std::to_string(chunk[4] | chunk[5] << 8) + "." +
         std::to_string(chunk[6] | chunk[7] << 8) + "\n";
  const auto& programs = read.state.programs;
  if (read.state.kind == chunkformat::Kind::bank) {
    out += "programs     " + std::to_string(programs.size()) + ", current " +
           std::to_string(read.state.currentProgram) + "\n";
  }
  for (size_t p = 0; p < programs.size(); ++p) {
    char line[128];
    const size_t curves = programs[p].curves.size();
    std::snprintf(line, sizeof line, "%5zu  \"%s\"  %zu values, %zu curve%s\n", p,
                  programs[p].name.data(), programs[p].values.size(), curves,
                  curves == 1 ? "" : "s");
    out += line;
    out += curveLines(programs[p]);
    if (values || file.kind == PresetFile::Kind::program) out += chunkValueLines(programs[p]);
  }
  return out;
}

int runShow(const std::vector<std::string>& words) {
  int status = kExitOk;
  auto args = parseCommandLine(kShow, words, status);
  if (!args) return status;
  if (args->positional().size() != 1)
    return reportError(kShow.command, "give exactly one preset file", kExitUsage);
  const std::string path = args->positional()[0];
  auto preset = readPreset(path);
  if (!preset.ok()) return reportError(kShow.command, preset.error(), kExitFailure);
  const PresetFile& file = preset.value();
  const bool isBank = file.kind == PresetFile::Kind::bank;
  const char* form = file.isChunk
                         ? (isBank ? "bank chunk file ('FBCh'" : "program chunk file ('FPCh'")
                         : (isBank ? "bank file ('FxBk'" : "program file ('FxCk'");
  std::string out =
      path + ": VST 2 " + form + ", format version " + std::to_string(file.formatVersion) + ")\n";
  out += "plug-in      " + describePluginId(file.pluginId) + ", version " +
         std::to_string(file.pluginVersion) + "\n";
  if (file.isChunk) {
    if (!isBank) out += "name         \"" + file.programs.front().name + "\"\n";
    out += chunkContents(file, args->has("--values"));
  } else if (!isBank) {
    const ProgramData& program = file.programs.front();
    out += "name         \"" + program.name + "\"\nparameters   " +
           std::to_string(program.parameters.size()) + "\n";
    out += valueLines(program, "");
  } else {
    out += "programs     " + std::to_string(file.programs.size()) + ", current " +
           std::to_string(file.currentProgram) + "\n";
    for (size_t p = 0; p < file.programs.size(); ++p) {
      char line[96];
      std::snprintf(line, sizeof line, "%5zu  \"%s\"  %zu parameters\n", p,
                    file.programs[p].name.c_str(), file.programs[p].parameters.size());
      out += line;
      if (args->has("--values")) out += valueLines(file.programs[p], "       ");
    }
  }
  printOut(out);
  return kExitOk;
}

}  // namespace

int runPreset(const std::vector<std::string>& args) {
  if (args.empty() || args[0] == "--help" || args[0] == "-h") {
    printOut(kPresetUsage);
    return args.empty() ? kExitUsage : kExitOk;
  }
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (args[0] == "save") return runSave(rest, false);
  if (args[0] == "bank-save") return runSave(rest, true);
  if (args[0] == "show") return runShow(rest);
  return reportError("preset", "unknown subcommand '" + args[0] + "' (save, bank-save or show)",
                     kExitUsage);
}

}  // namespace hostapp
