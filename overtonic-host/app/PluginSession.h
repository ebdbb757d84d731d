// Loading the plug-in for a command and bringing it into the state the user asked for: the
// default plug-in path, program selection, parameter assignments, and program or bank files
// (checked against the plug-in's unique id and counts before anything is changed).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "overtonic-host/app/Arguments.h"
#include "overtonic-host/app/Curves.h"
#include "overtonic-host/app/PresetFile.h"
#include "overtonic-host/app/Values.h"
#include "overtonic-host/lib/PluginInstance.h"
#include "overtonic-host/lib/Result.h"

namespace hostapp {

// The plug-in used when none is named: overtonic.so next to the program, the one this program
// was built with, then ~/.vst, /usr/local/lib/vst, /usr/lib/vst. Empty when none exists.
std::string defaultPluginPath();

// Opens and instantiates `path` (or the default plug-in when empty).
hostlib::Result<std::unique_ptr<hostlib::PluginInstance>> loadPlugin(
    const std::string& path, const hostlib::HostOptions& options = {});

// Parses every "INDEX=VALUE" against the plug-in's parameter count; nothing is applied on error.
hostlib::Result<std::vector<ParameterAssignment>> parseAssignments(
    const std::vector<std::string>& texts, int32_t parameterCount);
hostlib::Result<int32_t> parseProgramNumber(const std::string& text, int32_t programCount);

void applyAssignments(hostlib::PluginInstance& plugin,
                      const std::vector<ParameterAssignment>& sets);

// Refuses a file made for another plug-in, with more parameters or programs than it has, or a
// chunk preset for a plug-in that takes no chunks.
hostlib::Status checkPresetFits(const PresetFile& preset, const std::string& name,
                                const hostlib::PluginInstance& plugin);
// A program file goes into the current program; a bank replaces every program it holds and
// selects its current program. A chunk preset goes to the plug-in whole, which may refuse it.
hostlib::Status loadPreset(hostlib::PluginInstance& plugin, const PresetFile& preset,
                           const std::string& name);

// The plug-in state a command line can ask for, applied in this order: bank, program, program
// file, parameter assignments, program name, curves.
struct StateOptions {
  std::string bankPath;
  std::optional<std::string> program;
  std::string presetPath;
  std::vector<std::string> sets;
  std::optional<std::string> name;
  std::vector<CurveRequest> curves;
};

// The options --bank, --program, --preset, --set, --name, --curve (the files only when
// `withFiles`).
std::vector<CommandOption> stateOptionList(bool withFiles);
// Reads them and checks the syntax of every --set before any plug-in is loaded.
hostlib::Result<StateOptions> readStateOptions(const ParsedArguments& args);
// Checks everything against the plug-in first (program and parameter ranges, files and their
// ids), then applies. `usageError` tells a wrong command line from a refused file.
hostlib::Status applyState(hostlib::PluginInstance& plugin, const StateOptions& state,
                           bool& usageError);

// The current program's name and parameter values as read back from the plug-in.
ProgramData captureProgram(hostlib::PluginInstance& plugin);

}  // namespace hostapp
