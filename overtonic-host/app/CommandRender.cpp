// `overtonic-host render`: plays a MIDI file or a list of notes through the plug-in, block by
// block as a host does, into a WAV file; prints peak and RMS and can draw a plot.
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <filesystem>

#include "overtonic-host/app/Commands.h"
#include "overtonic-host/app/MidiFile.h"
#include "overtonic-host/app/Plot.h"
#include "overtonic-host/app/PluginSession.h"
#include "overtonic-host/app/Renderer.h"
#include "overtonic-host/app/WavWriter.h"

namespace hostapp {
namespace {

constexpr int kMinRate = 22050;
constexpr int kMaxRate = 192000;
constexpr int kMaxBlock = 65536;
constexpr int kSpectrumSize = 8192;
constexpr double kProgressDelaySeconds = 1.0;

volatile std::sig_atomic_t interrupted = 0;
extern "C" void onInterrupt(int) { interrupted = 1; }

const CommandLine kRender = {
    "render",
    "render [PLUGIN] (--midi FILE.mid | --note NOTE[:VELOCITY[:SECONDS]] ...) -o OUT.wav [options]",
    "Renders through the plug-in as a host plays it: effOpen, sample rate, block size, resume,\n"
    "then for each block the MIDI events inside it (with their deltaFrames) and processReplacing.\n"
    "A MIDI file (format 0 or 1) plays until its last note event plus the tail; --note plays\n"
    "notes one after another (NOTE is 0-127 or a name like C4 = 60, F#3, Bb2; velocity 1-127,\n"
    "default 100; length in seconds, default 1). Settings are applied in this order: --bank,\n"
    "--program, --preset, --set. The WAV file appears only when the render is complete.\n"
    "Exit status: 0 done, 1 a file or the plug-in failed, 2 wrong command line.",
    {
        {"--midi", "", "FILE.mid", false, "standard MIDI file to play"},
        {"--note", "", "NOTE[:VEL[:SEC]]", true, "a note to play (repeatable, played in order)"},
        {"--output", "-o", "OUT.wav", false, "the WAV file to write (required)"},
        {"--rate", "", "HZ", false, "sample rate, 22050-192000 (default 44100)"},
        {"--block", "", "FRAMES", false, "host block size, 1-65536 (default 512)"},
        {"--tail", "", "SECONDS", false, "time rendered after the last note event (default 1)"},
        {"--format", "", "f32|s16|s24", false, "sample format (default f32)"},
        {"--plot", "", "FILE.png", false, "also draw waveform and spectrum into a PNG"},
    },
};

// Everything the command line asks for, checked before the plug-in is loaded.
struct RenderRequest {
  std::string pluginPath, output, midiPath, plotPath;
  std::vector<NoteRequest> notes;
  StateOptions state;
  int rate = 44100;
  int32_t block = 512;
  double tail = 1.0;
  SampleFormat format = SampleFormat::float32;
};

hostlib::Result<RenderRequest> readRequest(const ParsedArguments& args) {
  using hostlib::fail;
  RenderRequest r;
  if (args.positional().size() > 1)
    return fail("more than one plug-in given: " + args.positional()[1]);
  if (!args.positional().empty()) r.pluginPath = args.positional()[0];
  r.output = args.value("--output").value_or("");
  if (r.output.empty()) return fail("no output file given (-o OUT.wav)");
  r.midiPath = args.value("--midi").value_or("");
  if (r.midiPath.empty() == args.all("--note").empty())
    return fail("give either --midi FILE or --note NOTE");
  for (const std::string& text : args.all("--note")) {
    auto note = parseNoteRequest(text);
    if (!note.ok()) return fail("--note " + text + ": " + note.error());
    r.notes.push_back(note.value());
  }
  if (auto text = args.value("--rate")) {
    auto rate = parseInteger(*text, kMinRate, kMaxRate);
    if (!rate.ok()) return fail("--rate " + rate.error());
    r.rate = static_cast<int>(rate.value());
  }
  if (auto text = args.value("--block")) {
    auto block = parseInteger(*text, 1, kMaxBlock);
    if (!block.ok()) return fail("--block " + block.error());
    r.block = static_cast<int32_t>(block.value());
  }
  if (auto text = args.value("--tail")) {
    auto tail = parseNumber(*text, 0, kMaxRenderSeconds);
    if (!tail.ok()) return fail("--tail " + tail.error());
    r.tail = tail.value();
  }
  if (auto text = args.value("--format")) {
    auto format = parseSampleFormat(*text);
    if (!format.ok()) return fail("--format " + format.error());
    r.format = format.value();
  }
  r.plotPath = args.value("--plot").value_or("");
  auto state = readStateOptions(args);
  if (!state.ok()) return fail(state.error());
  r.state = std::move(state).value();
  return r;
}

// The timeline: events on sample positions and the total length.
struct Timeline {
  std::vector<TimedMidiEvent> events;
  int64_t frames = 0;
};

hostlib::Result<Timeline> buildTimeline(const RenderRequest& r) {
  Timeline t;
  double lastNote = 0;
  if (!r.midiPath.empty()) {
    auto midi = MidiFile::read(r.midiPath);
    if (!midi.ok()) return hostlib::fail(midi.error());
    if (midi.value().events().empty())
      return hostlib::fail(r.midiPath + ": holds no notes or other channel messages");
    t.events = midi.value().schedule(r.rate);
    lastNote = midi.value().lastNoteSeconds();
  } else {
    for (const NoteRequest& note : r.notes) {
      const auto on = static_cast<int64_t>(std::llround(lastNote * r.rate));
      lastNote += note.seconds;
      const auto off = static_cast<int64_t>(std::llround(lastNote * r.rate));
      t.events.push_back(
          {on, {0x90, static_cast<uint8_t>(note.note), static_cast<uint8_t>(note.velocity)}, 3});
      t.events.push_back({off, {0x80, static_cast<uint8_t>(note.note), 0}, 3});
    }
  }
  const double seconds = lastNote + r.tail;
  if (seconds > kMaxRenderSeconds) {
    return hostlib::fail("the render would last " + std::to_string(static_cast<int64_t>(seconds)) +
                         " s; at most " + std::to_string(static_cast<int64_t>(kMaxRenderSeconds)) +
                         " s");
  }
  t.frames = std::max<int64_t>(1, static_cast<int64_t>(std::llround(seconds * r.rate)));
  return t;
}

// A progress bar on a terminal, shown once a render has taken longer than about a second.
class ProgressBar {
 public:
  ProgressBar() : enabled(::isatty(STDERR_FILENO) == 1), start(std::chrono::steady_clock::now()) {}
  ~ProgressBar() {
    if (shown_) std::fputs("\r\033[K", stderr);
  }
  bool update(double done) {
    if (enabled) {
      const auto now = std::chrono::steady_clock::now();
      const double elapsed = std::chrono::duration<double>(now - start).count();
      if (elapsed >= kProgressDelaySeconds && now - lastDrawn >= std::chrono::milliseconds(100)) {
        draw(done);
        lastDrawn = now;
      }
    }
    return interrupted == 0;
  }

 private:
  void draw(double done) {
    constexpr int kWidth = 40;
    const int filled = static_cast<int>(done * kWidth);
    std::string bar(static_cast<size_t>(filled), '#');
    bar.append(static_cast<size_t>(kWidth - filled), '.');
    std::fprintf(stderr, "\rrendering [%s] %3d%%", bar.c_str(), static_cast<int>(done * 100));
    std::fflush(stderr);
    shown_ = true;
  }
  bool enabled;
  bool shown_ = false;
  std::chrono::steady_clock::time_point start;
  std::chrono::steady_clock::time_point lastDrawn{};
};

std::string summary(const RenderRequest& r, const SignalMeter& meter) {
  char text[512];
  std::snprintf(text, sizeof text,
                "wrote %s: %.3f s, %lld frames at %d Hz, mono, %s\npeak %s (%.6f), RMS %s (%.6f)\n",
                r.output.c_str(), static_cast<double>(meter.frames()) / r.rate,
                static_cast<long long>(meter.frames()), r.rate, sampleFormatName(r.format),
                formatDecibelsFullScale(meter.peak()).c_str(), meter.peak(),
                formatDecibelsFullScale(meter.rms()).c_str(), meter.rms());
  std::string out = text;
  if (meter.nonFinite() > 0) {
    out += "warning: the plug-in produced " + std::to_string(meter.nonFinite()) +
           " samples that are not finite numbers\n";
  }
  if (!r.plotPath.empty()) out += "plot " + r.plotPath + "\n";
  return out;
}

int renderRequest(const RenderRequest& r) {
  auto timeline = buildTimeline(r);
  if (!timeline.ok()) return reportError("render", timeline.error(), kExitFailure);
  hostlib::HostOptions options;
  options.sampleRate = static_cast<float>(r.rate);
  options.blockSize = r.block;
  auto loaded = loadPlugin(r.pluginPath, options);
  if (!loaded.ok()) return reportError("render", loaded.error(), kExitFailure);
  hostlib::PluginInstance& plugin = *loaded.value();
  bool usageError = false;
  if (hostlib::Status s = applyState(plugin, r.state, usageError); !s) {
    return reportError("render", s.error(), usageError ? kExitUsage : kExitFailure);
  }
  auto wav = WavWriter::create(r.output, r.rate, r.format);
  if (!wav.ok()) return reportError("render", wav.error(), kExitFailure);

  SignalMeter meter;
  std::optional<WaveformEnvelope> waveform;
  std::optional<SpectrumAnalyzer> spectrum;
  if (!r.plotPath.empty()) {
    waveform.emplace(kPlotColumns, timeline.value().frames);
    spectrum.emplace(kSpectrumSize, r.rate);
  }
  auto sink = [&](std::span<const float> block) -> hostlib::Status {
    meter.add(block);
    if (waveform) waveform->add(block);
    if (spectrum) spectrum->add(block);
    return wav.value()->write(block);
  };
  interrupted = 0;
  std::signal(SIGINT, onInterrupt);
  std::signal(SIGTERM, onInterrupt);
  hostlib::Status rendered;
  {
    ProgressBar progress;
    plugin.start(static_cast<float>(r.rate), r.block);
    rendered = render(plugin, timeline.value().events, {r.block, timeline.value().frames}, sink,
                      [&progress](double done) { return progress.update(done); });
    plugin.stop();
  }
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  if (!rendered)
    return reportError("render", r.output + ": " + rendered.error() + ", nothing written",
                       kExitFailure);
  if (hostlib::Status s = wav.value()->finish(); !s)
    return reportError("render", s.error(), kExitFailure);
  std::optional<OutputFile> plot;
  if (!r.plotPath.empty()) {
    PlotInfo info{std::filesystem::path(r.output).filename().string(), r.rate, meter.frames(),
                  meter.peak(), meter.rms()};
    auto drawn = drawPlot(r.plotPath, info, *waveform, *spectrum);
    releaseDrawingCaches();
    if (!drawn.ok()) return reportError("render", drawn.error(), kExitFailure);
    plot.emplace(std::move(drawn).value());
  }
  if (hostlib::Status s = wav.value()->commit(); !s)
    return reportError("render", s.error(), kExitFailure);
  if (plot) {
    if (hostlib::Status s = plot->commit(); !s)
      return reportError("render", s.error(), kExitFailure);
  }
  printOut(summary(r, meter));
  return kExitOk;
}

}  // namespace

int runRender(const std::vector<std::string>& args) {
  int status = kExitOk;
  CommandLine line = kRender;
  for (const CommandOption& option : stateOptionList(true)) line.options.push_back(option);
  auto parsed = parseCommandLine(line, args, status);
  if (!parsed) return status;
  auto request = readRequest(*parsed);
  if (!request.ok()) return reportError("render", request.error(), kExitUsage);
  return renderRequest(request.value());
}

}  // namespace hostapp
