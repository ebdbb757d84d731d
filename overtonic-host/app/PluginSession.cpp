// Plug-in loading and state set-up shared by the commands.
#include "overtonic-host/app/PluginSession.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>

#include "overtonic-host/lib/PluginLibrary.h"

namespace hostapp {

using hostlib::fail;
using hostlib::PluginInstance;
using hostlib::Result;
using hostlib::Status;

namespace fs = std::filesystem;

namespace {

constexpr const char* kPluginFileName = "overtonic.so";

fs::path programFolder() {
  std::array<char, 4096> buffer{};
  const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (length <= 0) return {};
  return fs::path(std::string(buffer.data(), static_cast<size_t>(length))).parent_path();
}

}  // namespace

std::string defaultPluginPath() {
  std::vector<fs::path> candidates;
  if (const fs::path folder = programFolder(); !folder.empty())
    candidates.push_back(folder / kPluginFileName);
#ifdef OVERTONIC_BUILT_PLUGIN
  candidates.emplace_back(OVERTONIC_BUILT_PLUGIN);
#endif
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    candidates.push_back(fs::path(home) / ".vst" / kPluginFileName);
  }
  candidates.emplace_back(fs::path("/usr/local/lib/vst") / kPluginFileName);
  candidates.emplace_back(fs::path("/usr/lib/vst") / kPluginFileName);
  for (const fs::path& candidate : candidates) {
    std::error_code error;
    if (fs::is_regular_file(candidate, error)) return candidate.string();
  }
  return {};
}

Result<std::unique_ptr<PluginInstance>> loadPlugin(const std::string& path,
                                                   const hostlib::HostOptions& options) {
  const std::string chosen = path.empty() ? defaultPluginPath() : path;
  if (chosen.empty()) {
    return fail(std::string("no plug-in given and no ") + kPluginFileName +
                " found next to the program, in ~/.vst or in /usr/(local/)lib/vst");
  }
  auto library = hostlib::PluginLibrary::open(chosen);
  if (!library.ok()) return fail(library.error());
  return library.value().instantiate(options);
}

Result<std::vector<ParameterAssignment>> parseAssignments(const std::vector<std::string>& texts,
                                                          int32_t parameterCount) {
  std::vector<ParameterAssignment> sets;
  for (const std::string& text : texts) {
    auto assignment = parseAssignment(text, parameterCount);
    if (!assignment.ok()) return fail("--set " + text + ": " + assignment.error());
    sets.push_back(assignment.value());
  }
  return sets;
}

Result<int32_t> parseProgramNumber(const std::string& text, int32_t programCount) {
  if (programCount <= 0) return fail("--program " + text + ": the plug-in has no programs");
  auto number = parseInteger(text, 0, programCount - 1);
  if (!number.ok()) return fail("--program " + number.error());
  return static_cast<int32_t>(number.value());
}

void applyAssignments(PluginInstance& plugin, const std::vector<ParameterAssignment>& sets) {
  for (const ParameterAssignment& set : sets) plugin.setParameter(set.index, set.value);
}

Status checkPresetFits(const PresetFile& preset, const std::string& name,
                       const PluginInstance& plugin) {
  const AEffect* effect = plugin.effect();
  if (effect == nullptr) return fail(name + ": the plug-in is closed");
  if (preset.pluginId != effect->uniqueID) {
    return fail(name + ": made for plug-in " + describePluginId(preset.pluginId) + ", not for " +
                describePluginId(effect->uniqueID));
  }
  if (preset.isChunk && !plugin.offersChunks())
    return fail(name + ": holds a chunk, and the plug-in takes no chunks");
  if (preset.kind == PresetFile::Kind::bank &&
      preset.programs.size() > static_cast<size_t>(std::max(effect->numPrograms, 0))) {
    return fail(name + ": holds " + std::to_string(preset.programs.size()) +
                " programs, the plug-in has " + std::to_string(effect->numPrograms));
  }
  for (const ProgramData& program : preset.programs) {
    if (program.parameters.size() > static_cast<size_t>(std::max(effect->numParams, 0))) {
      return fail(name + ": holds " + std::to_string(program.parameters.size()) +
                  " parameters, the plug-in has " + std::to_string(effect->numParams));
    }
  }
  return {};
}

namespace {

void loadProgram(PluginInstance& plugin, const ProgramData& program) {
  for (size_t i = 0; i < program.parameters.size(); ++i) {
    plugin.setParameter(static_cast<int32_t>(i), program.parameters[i]);
  }
  std::array<char, kProgramNameBytes + 1> name{};
  program.name.copy(name.data(), kProgramNameBytes);
  plugin.dispatch(effSetProgramName, 0, 0, name.data());
}

}  // namespace

Status loadPreset(PluginInstance& plugin, const PresetFile& preset, const std::string& name) {
  if (preset.isChunk) {
    const bool program = preset.kind == PresetFile::Kind::program;
    if (!plugin.setChunk(preset.chunk, program))
      return fail(name + ": the plug-in refused the " + (program ? "program" : "bank") + " chunk");
    return {};
  }
  if (preset.kind == PresetFile::Kind::program) {
    loadProgram(plugin, preset.programs.front());
    return {};
  }
  for (size_t p = 0; p < preset.programs.size(); ++p) {
    plugin.setProgram(static_cast<int32_t>(p));
    loadProgram(plugin, preset.programs[p]);
  }
  if (!preset.programs.empty()) plugin.setProgram(preset.currentProgram);
  return {};
}

ProgramData captureProgram(PluginInstance& plugin) {
  ProgramData program;
  program.name = plugin.programName();
  const int32_t count =
      plugin.effect() != nullptr ? std::min(plugin.effect()->numParams, kMaxPresetParameters) : 0;
  for (int32_t i = 0; i < count; ++i) program.parameters.push_back(plugin.getParameter(i));
  return program;
}

std::vector<CommandOption> stateOptionList(bool withFiles) {
  std::vector<CommandOption> optionList;
  if (withFiles)
    optionList.push_back({"--bank", "", "FILE.fxb", false, "load a bank file into the programs"});
  optionList.push_back({"--program", "", "N", false, "select program N"});
  if (withFiles)
    optionList.push_back(
        {"--preset", "", "FILE.fxp", false, "load a program file into the current program"});
  optionList.push_back({"--set", "", "INDEX=VALUE", true, "set a parameter (repeatable)"});
  optionList.push_back({"--name", "", "TEXT", false, "rename the current program"});
  optionList.push_back({"--curve", "", "SLOT=FILE|SHAPE", true,
                        "put a curve into the current program (repeatable; shapes: preset "
                        "save --help)"});
  return optionList;
}

Result<StateOptions> readStateOptions(const ParsedArguments& args) {
  StateOptions state;
  state.bankPath = args.value("--bank").value_or("");
  state.program = args.value("--program");
  state.presetPath = args.value("--preset").value_or("");
  state.sets = args.all("--set");
  state.name = args.value("--name");
  // Index ranges are checked once the plug-in is loaded; the syntax now.
  if (auto sets = parseAssignments(state.sets, INT32_MAX); !sets.ok()) return fail(sets.error());
  for (const std::string& text : args.all("--curve")) {
    auto curve = parseCurveRequest(text);
    if (!curve.ok()) return fail("--curve " + curve.error());
    state.curves.push_back(std::move(curve).value());
  }
  return state;
}

namespace {

Result<std::optional<PresetFile>> readPresetOption(const std::string& path, PresetFile::Kind kind,
                                                   const PluginInstance& plugin) {
  if (path.empty()) return std::optional<PresetFile>();
  auto preset = readPreset(path);
  if (!preset.ok()) return fail(preset.error());
  if (preset.value().kind != kind) {
    return fail(path + (kind == PresetFile::Kind::bank
                            ? ": is a program file, not a bank (use --preset)"
                            : ": is a bank file, not a program (use --bank)"));
  }
  if (Status fits = checkPresetFits(preset.value(), path, plugin); !fits) return fail(fits.error());
  return std::optional<PresetFile>(std::move(preset).value());
}

}  // namespace

Status applyState(PluginInstance& plugin, const StateOptions& state, bool& usageError) {
  usageError = true;
  std::optional<int32_t> program;
  if (state.program) {
    auto number = parseProgramNumber(*state.program, plugin.effect()->numPrograms);
    if (!number.ok()) return fail(number.error());
    program = number.value();
  }
  auto sets = parseAssignments(state.sets, plugin.effect()->numParams);
  if (!sets.ok()) return fail(sets.error());
  usageError = false;
  auto bank = readPresetOption(state.bankPath, PresetFile::Kind::bank, plugin);
  if (!bank.ok()) return fail(bank.error());
  auto preset = readPresetOption(state.presetPath, PresetFile::Kind::program, plugin);
  if (!preset.ok()) return fail(preset.error());
  std::vector<CurveRequest> curves = state.curves;
  if (Status read = readCurveFiles(curves); !read) return read;
  if (bank.value()) {
    if (Status s = loadPreset(plugin, *bank.value(), state.bankPath); !s) return s;
  }
  if (program) plugin.setProgram(*program);
  if (preset.value()) {
    if (Status s = loadPreset(plugin, *preset.value(), state.presetPath); !s) return s;
  }
  applyAssignments(plugin, sets.value());
  if (state.name) {
    std::vector<char> name(state.name->begin(), state.name->end());
    name.resize(std::max<size_t>(name.size() + 1, hostlib::kTextBufferSize), '\0');
    plugin.dispatch(effSetProgramName, 0, 0, name.data());
  }
  return applyCurves(plugin, curves);
}

}  // namespace hostapp
