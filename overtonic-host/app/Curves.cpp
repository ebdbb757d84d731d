// Curves from files and named shapes, and their way into the plug-in through the program chunk.
// Shapes give the points as they would be drawn on the panel; the instrument squares each point
// when it loads it, so a straight ramp of points rises in level like a curve, and the vibrato
// takes square roots so that the pitch it adds follows a sine.
#include "overtonic-host/app/Curves.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "overtonic-host/app/Files.h"
#include "overtonic-host/app/Values.h"

namespace hostapp {

using hostlib::fail;
using hostlib::Result;
using hostlib::Status;

namespace {

constexpr double kCurveSeconds = (chunkformat::kCurvePoints - 1) * kSecondsPerCurvePoint;
constexpr double kMaxPoint = 8.0;  // far beyond what the panel draws (one unit is 120 pixels)
constexpr size_t kMaxCurveFileBytes = 1u << 20;

double timeOf(int point) { return point * kSecondsPerCurvePoint; }

template <typename Level>
CurvePoints sampled(Level level) {
  CurvePoints points{};
  for (int k = 0; k < chunkformat::kCurvePoints; ++k)
    points[static_cast<size_t>(k)] = static_cast<float>(level(timeOf(k)));
  return points;
}

// Linear from 0 to 1 over `length` seconds; a length of 0 is already there.
double rise(double t, double length) { return length <= 0 ? 1.0 : std::min(1.0, t / length); }

CurvePoints constantShape(const std::vector<double>& a) {
  return sampled([&](double) { return a[0]; });
}

CurvePoints rampShape(const std::vector<double>& a) {
  return sampled([&](double t) { return a[0] + (a[1] - a[0]) * t / kCurveSeconds; });
}

// Attack to the peak, then straight down to zero.
CurvePoints attackDecayShape(const std::vector<double>& a) {
  const double attack = a[0], decay = a[1], peak = a.size() > 2 ? a[2] : 1.0;
  return sampled([&](double t) {
    if (t < attack) return peak * rise(t, attack);
    return peak * (1.0 - rise(t - attack, decay));
  });
}

// Attack to 1, decay to the sustain level, and a release that ends with the curve.
CurvePoints adsrShape(const std::vector<double>& a) {
  const double attack = a[0], decay = a[1], sustain = a[2], release = a[3];
  return sampled([&](double t) {
    double level = t < attack ? rise(t, attack) : 1.0 + (sustain - 1.0) * rise(t - attack, decay);
    if (release > 0) level *= std::clamp((kCurveSeconds - t) / release, 0.0, 1.0);
    return level;
  });
}

// The pitch layers add their squared points to the oscillator's frequency factor: points whose
// squares swing between 0 and the factor of SEMITONES give a vibrato above the note.
CurvePoints vibratoShape(const std::vector<double>& a) {
  const double depth = std::exp2(a[0] / 12.0) - 1.0, rate = a[1], delay = a.size() > 2 ? a[2] : 0;
  return sampled([&](double t) {
    if (t < delay) return 0.0;
    const double swing = (1.0 - std::cos(2 * std::numbers::pi * rate * (t - delay))) / 2;
    return std::sqrt(depth * swing);
  });
}

struct Argument {
  const char* name;
  double min;
  double max;
};

struct Shape {
  const char* name;
  std::vector<Argument> arguments;
  size_t required;
  CurvePoints (*make)(const std::vector<double>&);
  const char* help;
};

const std::vector<Shape>& shapes() {
  constexpr double kSeconds = 6.0;
  static const std::vector<Shape> table = {
      {"const", {{"VALUE", -kMaxPoint, kMaxPoint}}, 1, constantShape, "every point VALUE"},
      {"ramp",
       {{"FROM", -kMaxPoint, kMaxPoint}, {"TO", -kMaxPoint, kMaxPoint}},
       2,
       rampShape,
       "straight from FROM to TO over the whole curve (5.83 s)"},
      {"ad",
       {{"ATTACK", 0, kSeconds}, {"DECAY", 0, kSeconds}, {"PEAK", -kMaxPoint, kMaxPoint}},
       2,
       attackDecayShape,
       "up to PEAK (default 1) in ATTACK seconds, down to 0 in DECAY seconds"},
      {"adsr",
       {{"ATTACK", 0, kSeconds},
        {"DECAY", 0, kSeconds},
        {"SUSTAIN", -kMaxPoint, kMaxPoint},
        {"RELEASE", 0, kSeconds}},
       4,
       adsrShape,
       "up to 1, down to SUSTAIN, held, and down to 0 in the curve's last RELEASE seconds"},
      {"vibrato",
       {{"SEMITONES", 0, 12}, {"RATE", 0.1, 30}, {"DELAY", 0, kSeconds}},
       2,
       vibratoShape,
       "for pitch slots: pitch rises up to SEMITONES and back RATE times a second, after\n"
       "DELAY seconds (default 0)"},
  };
  return table;
}

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + 1)
    parts.push_back(text.substr(start, at - start));
  parts.push_back(text.substr(start));
  return parts;
}

const Shape* findShape(const std::string& spec) {
  const std::string name = spec.substr(0, spec.find(':'));
  for (const Shape& shape : shapes()) {
    if (name == shape.name) return &shape;
  }
  return nullptr;
}

std::string usageOf(const Shape& shape) {
  std::string usage = shape.name;
  for (size_t i = 0; i < shape.arguments.size(); ++i) {
    usage += i < shape.required ? ":" : "[:";
    usage += shape.arguments[i].name;
  }
  usage += std::string(shape.arguments.size() - shape.required, ']');
  return usage;
}

Result<CurvePoints> makeShape(const Shape& shape, const std::string& spec) {
  std::vector<std::string> words = split(spec, ':');
  words.erase(words.begin());
  if (words.size() < shape.required || words.size() > shape.arguments.size())
    return fail("'" + spec + "': the shape is " + usageOf(shape));
  std::vector<double> values;
  for (size_t i = 0; i < words.size(); ++i) {
    const Argument& argument = shape.arguments[i];
    auto value = parseNumber(words[i], argument.min, argument.max);
    if (!value.ok()) return fail(std::string(argument.name) + " " + value.error());
    values.push_back(value.value());
  }
  return shape.make(values);
}

Result<std::pair<int, int>> parseSlots(const std::string& text) {
  const size_t dash = text.find('-', 1);
  auto first = parseInteger(text.substr(0, dash), 0, chunkformat::kSlotCount - 1);
  if (!first.ok()) return fail("slot " + first.error());
  if (dash == std::string::npos) return std::pair<int, int>(first.value(), first.value());
  auto last = parseInteger(text.substr(dash + 1), first.value(), chunkformat::kSlotCount - 1);
  if (!last.ok()) return fail("last slot " + last.error());
  return std::pair<int, int>(first.value(), last.value());
}

// The nine oscillator groups of slots 96-122: their layer and who they address.
struct Group {
  int layer;
  const char* members;
};
constexpr Group kGroups[9] = {
    {1, "oscillators 1-16"},
    {1, "oscillators 17-32"},
    {2, "oscillators 1, 3 ... 31"},
    {2, "oscillators 2, 4 ... 32"},
    {3, "oscillators 1, 7, 13, 19, 25, 31"},
    {4, "oscillators 1-8"},
    {4, "oscillators 9-16"},
    {4, "oscillators 17-24"},
    {4, "oscillators 25-32"},
};
constexpr const char* kBankNames[3] = {"amplitude", "pitch", "phase"};

void setCurve(std::vector<chunkformat::SlotCurve>& curves, int slot, const CurvePoints& points) {
  const auto at =
      std::lower_bound(curves.begin(), curves.end(), static_cast<uint32_t>(slot),
                       [](const chunkformat::SlotCurve& c, uint32_t s) { return c.slot < s; });
  if (at != curves.end() && at->slot == static_cast<uint32_t>(slot)) {
    at->points = points;
  } else {
    curves.insert(at, {static_cast<uint32_t>(slot), points});
  }
}

}  // namespace

Result<CurveRequest> parseCurveRequest(const std::string& text) {
  const size_t equals = text.find('=');
  if (equals == std::string::npos || equals + 1 == text.size())
    return fail("'" + text + "' is not SLOT=FILE or SLOT=SHAPE:ARGUMENTS");
  auto slots = parseSlots(text.substr(0, equals));
  if (!slots.ok()) return fail(slots.error());
  CurveRequest request;
  request.firstSlot = slots.value().first;
  request.lastSlot = slots.value().second;
  request.text = text;
  const std::string spec = text.substr(equals + 1);
  if (const Shape* shape = findShape(spec)) {
    auto points = makeShape(*shape, spec);
    if (!points.ok()) return fail(points.error());
    request.points = points.value();
  } else {
    request.file = spec;
  }
  return request;
}

Result<CurvePoints> parseCurveText(const std::string& text, const std::string& name) {
  CurvePoints points{};
  size_t count = 0;
  size_t line = 1;
  size_t at = 0;
  while (at < text.size()) {
    const char c = text[at];
    if (c == '#') {
      at = text.find('\n', at);
      continue;
    }
    if (c == '\n') ++line;
    if (std::isspace(static_cast<unsigned char>(c)) || c == ',') {
      ++at;
      continue;
    }
    const size_t end = text.find_first_of(" \t\r\n,#", at);
    const std::string word = text.substr(at, end - at);
    at = end == std::string::npos ? text.size() : end;
    auto value = parseNumber(word, -kMaxPoint, kMaxPoint);
    if (!value.ok()) return fail(name + ": line " + std::to_string(line) + ": " + value.error());
    if (count == points.size())
      return fail(name + ": more than " + std::to_string(points.size()) + " points");
    points[count++] = static_cast<float>(value.value());
  }
  if (count == 0) return fail(name + ": holds no points");
  return points;
}

Status readCurveFiles(std::vector<CurveRequest>& requests) {
  for (CurveRequest& request : requests) {
    if (request.file.empty()) continue;
    auto data = readWholeFile(request.file, kMaxCurveFileBytes, "curve file");
    if (!data.ok()) return fail("--curve " + request.text + ": " + data.error());
    auto points =
        parseCurveText(std::string(data.value().begin(), data.value().end()), request.file);
    if (!points.ok()) return fail("--curve " + request.text + ": " + points.error());
    request.points = points.value();
  }
  return {};
}

Status applyCurves(hostlib::PluginInstance& plugin, const std::vector<CurveRequest>& requests) {
  if (requests.empty()) return {};
  if (!plugin.offersChunks()) return fail("--curve: the plug-in keeps no chunks to hold curves");
  chunkformat::ReadResult chunk = chunkformat::read(plugin.getChunk(true));
  if (chunk.refusal != chunkformat::Refusal::none || chunk.state.kind != chunkformat::Kind::program)
    return fail("--curve: the plug-in's program chunk is not an Overtonic state");
  auto& curves = chunk.state.programs.front().curves;
  for (const CurveRequest& request : requests) {
    for (int slot = request.firstSlot; slot <= request.lastSlot; ++slot)
      setCurve(curves, slot, request.points);
  }
  if (!plugin.setChunk(chunkformat::write(chunk.state), true))
    return fail("--curve: the plug-in refused the program with the new curves");
  return {};
}

std::string describeSlot(int slot) {
  if (slot < 0 || slot >= chunkformat::kSlotCount) return "no such slot";
  if (slot < 96) {
    return std::string(kBankNames[slot / 32]) + ", oscillator " + std::to_string(slot % 32 + 1);
  }
  const Group& group = kGroups[(slot - 96) / 3];
  return std::string(kBankNames[(slot - 96) % 3]) + ", layer " + std::to_string(group.layer) +
         " of " + group.members;
}

std::string curveShapeHelp() {
  std::string text;
  for (const Shape& shape : shapes()) {
    text += "  " + usageOf(shape) + "\n      ";
    for (char c : std::string(shape.help))
      text += c == '\n' ? std::string("\n      ") : std::string(1, c);
    text += "\n";
  }
  return text;
}

}  // namespace hostapp
