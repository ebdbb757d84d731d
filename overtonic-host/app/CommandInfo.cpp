// `overtonic-host info`: everything a host can learn from the plug-in — identity, the record,
// capability answers, output pins, programs and every parameter — as a table or as JSON.
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

#include "overtonic-host/app/Commands.h"
#include "overtonic-host/app/Json.h"
#include "overtonic-host/app/PluginSession.h"
#include "overtonic-host/app/PresetFile.h"

namespace hostapp {
namespace {

constexpr const char* kCanDoQuestions[] = {"receiveVstEvents",   "receiveVstMidiEvent",
                                           "receiveVstTimeInfo", "sendVstEvents",
                                           "sendVstMidiEvent",   "offline",
                                           "midiProgramNames",   "bypass",
                                           "noRealTime",         "1in2out"};

struct FlagName {
  int32_t bit;
  const char* name;
};
constexpr FlagName kFlagNames[] = {
    {effFlagsHasEditor, "effFlagsHasEditor"},
    {effFlagsHasClip, "effFlagsHasClip"},
    {effFlagsHasVu, "effFlagsHasVu"},
    {effFlagsCanMono, "effFlagsCanMono"},
    {effFlagsCanReplacing, "effFlagsCanReplacing"},
    {effFlagsProgramChunks, "effFlagsProgramChunks"},
    {effFlagsIsSynth, "effFlagsIsSynth"},
    {effFlagsNoSoundInStop, "effFlagsNoSoundInStop"},
    {effFlagsExtIsAsync, "effFlagsExtIsAsync"},
    {effFlagsExtHasBuffer, "effFlagsExtHasBuffer"},
};
constexpr int32_t kMaxPinsShown = 64;
// A record claiming more programs or parameters than this is listed only this far.
constexpr int32_t kMaxListed = 1 << 16;

struct ParameterRow {
  int32_t index = 0;
  std::string name, label, display;
  float value = 0;
};

struct PinRow {
  int32_t index = 0;
  std::string label;
  int32_t flags = 0;
};

// What the host learns, gathered once and printed in either form.
struct PluginReport {
  std::string path, effectName, vendor, product;
  intptr_t vendorVersion = 0, plugCategory = 0, vstVersion = 0;
  AEffect record{};
  std::vector<std::string> flagNames;
  std::vector<std::pair<std::string, intptr_t>> canDo;
  std::vector<PinRow> outputs;
  int32_t currentProgram = 0;
  std::vector<std::string> programs;
  std::vector<ParameterRow> parameters;
};

PluginReport gather(hostlib::PluginInstance& plugin, const std::string& path) {
  PluginReport r;
  r.path = path;
  r.record = *plugin.effect();
  r.effectName = plugin.effectName();
  r.vendor = plugin.vendor();
  r.product = plugin.product();
  r.vendorVersion = plugin.vendorVersion();
  r.plugCategory = plugin.dispatch(effGetPlugCategory);
  r.vstVersion = plugin.dispatch(effGetVstVersion);
  for (const FlagName& f : kFlagNames) {
    if (r.record.flags & f.bit) r.flagNames.emplace_back(f.name);
  }
  for (const char* question : kCanDoQuestions)
    r.canDo.emplace_back(question, plugin.canDo(question));
  for (int32_t i = 0; i < std::min(r.record.numOutputs, kMaxPinsShown); ++i) {
    VstPinProperties pin{};
    if (plugin.dispatch(effGetOutputProperties, i, 0, &pin) == 0) continue;
    r.outputs.push_back(
        {i, std::string(pin.label, strnlen(pin.label, sizeof pin.label)), pin.flags});
  }
  r.currentProgram = plugin.program();
  for (int32_t i = 0; i < std::min(r.record.numPrograms, kMaxListed); ++i) {
    r.programs.push_back(
        plugin.programNameAt(i).value_or(i == r.currentProgram ? plugin.programName() : ""));
  }
  for (int32_t i = 0; i < std::min(r.record.numParams, kMaxListed); ++i) {
    r.parameters.push_back({i, plugin.parameterName(i), plugin.parameterLabel(i),
                            plugin.parameterDisplay(i), plugin.getParameter(i)});
  }
  return r;
}

// The text between double quotes, blanks kept, other unprintable bytes as \xNN.
std::string visible(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || c == '"' || c == '\\') {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string shortNumber(double value) {
  char text[48];
  std::snprintf(text, sizeof text, "%.7g", value);
  return text;
}

std::string rightAligned(int64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "%5lld", static_cast<long long>(value));
  return text;
}

std::string hex32(int32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<uint32_t>(value));
  return text;
}

std::string padded(const std::string& text, size_t width) {
  return text + std::string(width > text.size() ? width - text.size() : 0, ' ');
}

std::string parameterTable(const std::vector<ParameterRow>& rows) {
  std::vector<std::array<std::string, 4>> cells;
  std::array<size_t, 4> width = {4, 5, 5, 5};  // "name", "label", "value", ...
  for (const ParameterRow& p : rows) {
    cells.push_back({visible(p.name), visible(p.label), shortNumber(static_cast<double>(p.value)),
                     visible(p.display)});
    for (size_t c = 0; c < 4; ++c) width[c] = std::max(width[c], cells.back()[c].size());
  }
  std::string out = "index  " + padded("name", width[0]) + "  " + padded("label", width[1]) + "  " +
                    padded("value", width[2]) + "  display\n";
  for (size_t i = 0; i < rows.size(); ++i) {
    out += rightAligned(rows[i].index) + "  " + padded(cells[i][0], width[0]) + "  " +
           padded(cells[i][1], width[1]) + "  " + padded(cells[i][2], width[2]) + "  " +
           cells[i][3] + "\n";
  }
  return out;
}

std::string asText(const PluginReport& r) {
  std::string out;
  auto line = [&out](const char* head, const std::string& text) {
    out += padded(head, 13) + text + "\n";
  };
  line("Plug-in", r.path);
  line("Effect", visible(r.effectName));
  line("Vendor", visible(r.vendor));
  line("Product", visible(r.product));
  line("Versions", "vendor " + std::to_string(r.vendorVersion) + ", record " +
                       std::to_string(r.record.version) + ", VST " + std::to_string(r.vstVersion));
  line("Unique id", describePluginId(r.record.uniqueID));
  line("Category", std::to_string(r.plugCategory) + (r.plugCategory == 2   ? " (synth)"
                                                     : r.plugCategory == 1 ? " (effect)"
                                                                           : ""));
  line("Record",
       "magic '" + fourCharText(r.record.magic) + "', " + std::to_string(r.record.numPrograms) +
           " programs, " + std::to_string(r.record.numParams) + " parameters, " +
           std::to_string(r.record.numInputs) + " inputs, " + std::to_string(r.record.numOutputs) +
           " outputs, initial delay " + std::to_string(r.record.initialDelay) + ", ioRatio " +
           shortNumber(static_cast<double>(r.record.ioRatio)));
  std::string flags = hex32(r.record.flags);
  for (const std::string& name : r.flagNames) flags += " " + name;
  line("Flags", flags);
  std::string canDo;
  for (const auto& [question, answer] : r.canDo)
    canDo += (canDo.empty() ? "" : ", ") + question + " " + std::to_string(answer);
  line("Can do", canDo);
  for (const PinRow& pin : r.outputs) {
    line(pin.index == r.outputs.front().index ? "Outputs" : "", std::to_string(pin.index) + ": " +
                                                                    visible(pin.label) + " flags " +
                                                                    std::to_string(pin.flags));
  }
  line("Programs",
       std::to_string(r.programs.size()) + ", current " + std::to_string(r.currentProgram));
  for (size_t i = 0; i < r.programs.size(); ++i)
    out += rightAligned(static_cast<int64_t>(i)) + "  " + visible(r.programs[i]) + "\n";
  line("Parameters", std::to_string(r.parameters.size()) + " (texts in quotes, blanks included)");
  return out + parameterTable(r.parameters);
}

std::string asJson(const PluginReport& r) {
  Json flagNames = Json::array();
  for (const std::string& name : r.flagNames) flagNames.push_back(jsonText(name));
  Json canDo = Json::object();
  for (const auto& [question, answer] : r.canDo) {
    canDo[question] = static_cast<int64_t>(answer);
  }
  Json outputs = Json::array();
  for (const PinRow& pin : r.outputs) {
    outputs.push_back({{"index", pin.index}, {"label", jsonText(pin.label)}, {"flags", pin.flags}});
  }
  Json programs = Json::array();
  for (const std::string& name : r.programs) programs.push_back(jsonText(name));
  Json parameters = Json::array();
  for (const ParameterRow& p : r.parameters) {
    parameters.push_back({{"index", p.index},
                          {"name", jsonText(p.name)},
                          {"label", jsonText(p.label)},
                          {"value", p.value},
                          {"display", jsonText(p.display)}});
  }
  const Json document = {
      {"path", jsonText(r.path)},
      {"effectName", jsonText(r.effectName)},
      {"vendor", jsonText(r.vendor)},
      {"product", jsonText(r.product)},
      {"vendorVersion", static_cast<int64_t>(r.vendorVersion)},
      {"uniqueId",
       {{"text", jsonText(fourCharText(r.record.uniqueID))},
        {"hex", hex32(r.record.uniqueID)},
        {"value", r.record.uniqueID}}},
      {"version", r.record.version},
      {"vstVersion", static_cast<int64_t>(r.vstVersion)},
      {"plugCategory", static_cast<int64_t>(r.plugCategory)},
      {"record",
       {{"magic", jsonText(fourCharText(r.record.magic))},
        {"numPrograms", r.record.numPrograms},
        {"numParams", r.record.numParams},
        {"numInputs", r.record.numInputs},
        {"numOutputs", r.record.numOutputs},
        {"flags", r.record.flags},
        {"flagNames", flagNames},
        {"initialDelay", r.record.initialDelay},
        {"ioRatio", r.record.ioRatio}}},
      {"canDo", canDo},
      {"outputs", outputs},
      {"currentProgram", r.currentProgram},
      {"programs", programs},
      {"parameters", parameters},
  };
  return jsonDocument(document);
}

const CommandLine kInfo = {
    "info",
    "info [PLUGIN] [--json] [--bank F] [--program N] [--preset F] [--set INDEX=VALUE ...]",
    "Loads the plug-in as a host does and prints what a host can learn from it: identity, the\n"
    "effect record with its flags decoded, capability answers, output pins, program names and\n"
    "every parameter's name, label, value and display text (texts in quotes, so leading and\n"
    "trailing blanks show). PLUGIN defaults to the overtonic.so built with this program. The\n"
    "state options are applied first, so the table shows what a preset or setting does.",
    {},
};

}  // namespace

int runInfo(const std::vector<std::string>& args) {
  int status = kExitOk;
  CommandLine line = kInfo;
  line.options.push_back({"--json", "", "", false, "print the same as one JSON object"});
  for (const CommandOption& option : stateOptionList(true)) line.options.push_back(option);
  auto parsed = parseCommandLine(line, args, status);
  if (!parsed) return status;
  if (parsed->positional().size() > 1)
    return reportError("info", "more than one plug-in given", kExitUsage);
  auto state = readStateOptions(*parsed);
  if (!state.ok()) return reportError("info", state.error(), kExitUsage);
  const std::string path = parsed->positional().empty() ? "" : parsed->positional()[0];
  auto plugin = loadPlugin(path);
  if (!plugin.ok()) return reportError("info", plugin.error(), kExitFailure);
  bool usageError = false;
  if (hostlib::Status s = applyState(*plugin.value(), state.value(), usageError); !s) {
    return reportError("info", s.error(), usageError ? kExitUsage : kExitFailure);
  }
  const PluginReport report = gather(*plugin.value(), plugin.value()->pluginPath());
  printOut(parsed->has("--json") ? asJson(report) : asText(report));
  return kExitOk;
}

}  // namespace hostapp
