// `overtonic-host preset`: save the plug-in's current program as a program file, save all its
// programs as a bank file, and show what a program or bank file holds.
#include <algorithm>
#include <cstdio>

#include "overtonic-host/app/Commands.h"
#include "overtonic-host/app/Files.h"
#include "overtonic-host/app/PluginSession.h"
#include "overtonic-host/app/PresetFile.h"

namespace hostapp {
namespace {

const CommandLine kSave = {
    "preset save",
    "preset save OUT.fxp [PLUGIN] [--bank F] [--program N] [--preset F] [--set INDEX=VALUE ...]",
    "Writes the plug-in's current program (after the options, applied in the order listed) as a\n"
    "VST 2 program file: 'CcnK'/'FxCk', the plug-in's unique id and version, the program name and\n"
    "every parameter value as read back from the plug-in, big-endian.",
    stateOptionList(true),
};

const CommandLine kBankSave = {
    "preset bank-save",
    "preset bank-save OUT.fxb [PLUGIN] [--bank F] [--program N] [--preset F] [--set INDEX=VALUE "
    "...]",
    "Writes all of the plug-in's programs as a VST 2 bank file ('CcnK'/'FxBk', version 2) with\n"
    "each program's name and parameter values; --preset and --set change the current program\n"
    "(chosen with --program) before saving, and the bank records it as current.",
    stateOptionList(true),
};

const CommandLine kShow = {
    "preset show",
    "preset show FILE [--values]",
    "Prints what a program (.fxp) or bank (.fxb) file holds: kind, plug-in id and version,\n"
    "program names and parameter values. A bank lists its values with --values.",
    {{"--values", "", "", false, "list every program's values (banks)"}},
};

const char* kPresetUsage =
    "Usage: overtonic-host preset save OUT.fxp [PLUGIN] [--bank F] [--program N] [--preset F] "
    "[--set I=V ...]\n"
    "       overtonic-host preset bank-save OUT.fxb [PLUGIN] [--bank F] [--program N] [--preset F] "
    "[--set I=V ...]\n"
    "       overtonic-host preset show FILE [--values]\n"
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
  if (bank) {
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
  std::string out = path + ": VST 2 " + (isBank ? "bank file ('FxBk'" : "program file ('FxCk'") +
                    ", format version " + std::to_string(file.formatVersion) + ")\n";
  out += "plug-in      " + describePluginId(file.pluginId) + ", version " +
         std::to_string(file.pluginVersion) + "\n";
  if (!isBank) {
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
