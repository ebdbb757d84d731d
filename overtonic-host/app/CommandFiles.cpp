// `overtonic-host drop` and `overtonic-host select`: the toolkit's two ways for files to reach an
// editor, shown without a plug-in. `drop` opens a window whose frame takes files and text
// dropped on it and prints what arrived; `select` runs the file selector (the desktop's dialog,
// since this program offers plug-ins no selector of its own) and prints the chosen paths.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "gui/DrawContext.h"
#include "gui/DrawingCaches.h"
#include "gui/GuiDrop.h"
#include "gui/GuiFileSelector.h"
#include "gui/GuiView.h"
#include "overtonic-host/app/Commands.h"
#include "overtonic-host/app/EditorHost.h"
#include "overtonic-host/app/ToolkitWindow.h"
#include "overtonic-host/app/Values.h"

namespace hostapp {
namespace {

constexpr GuiColor kPanelColor{48, 52, 60, 0};
constexpr GuiColor kTextColor{230, 230, 230, 0};
constexpr GuiColor kBarColor{110, 170, 230, 0};
// The bar of the selector's window moves this many pixels per idle, to show the window is alive.
constexpr int kBarStep = 4;
constexpr int kBarWidth = 40;

// Fills the frame and writes a few lines of text on it.
class TextPanel : public GuiView {
 public:
  explicit TextPanel(const GuiRect& rect) : GuiView(rect) {}
  void draw(DrawContext* context) override {
    context->setFillColor(kPanelColor);
    context->fillRect({size.left - 1, size.top - 1, size.right, size.bottom});
    context->setFont(FontId::normal);
    context->setFontColor(kTextColor);
    std::int32_t top = size.top + 10;
    for (const std::string& line : lines) {
      context->drawString(line.c_str(), {size.left + 10, top, size.right - 10, top + 18}, false,
                          TextAlign::left);
      top += 20;
    }
  }
  std::vector<std::string> lines;
};

// Takes every drop, prints it and shows a summary of the last one.
class DropReport final : public TextPanel {
 public:
  explicit DropReport(const GuiRect& rect) : TextPanel(rect) {
    lines = {"Drop files or text here."};
  }
  bool onDrop(void** items, std::int32_t count, std::int32_t type, GuiPoint where) override {
    const std::string at = std::to_string(where.h) + "," + std::to_string(where.v);
    std::string report;
    if (type == kDropFileNames) {
      report = "drop at " + at + ": " + std::to_string(count) + " file name" +
               (count == 1 ? "" : "s") + "\n";
      for (std::int32_t i = 0; i < count; ++i) {
        report += "  " + std::string(static_cast<const char*>(items[i])) + "\n";
      }
      lines = {"Dropped at " + at + ": " + std::to_string(count) + " file name(s)",
               static_cast<const char*>(items[0])};
    } else {
      const std::string text(static_cast<const char*>(items[0]), static_cast<std::size_t>(count));
      report = "drop at " + at + ": text of " + std::to_string(count) + " bytes\n";
      std::size_t begin = 0;
      while (begin < text.size()) {
        const std::size_t end = std::min(text.find('\n', begin), text.size());
        report += "  " + text.substr(begin, end - begin) + "\n";
        begin = end + 1;
      }
      lines = {"Dropped at " + at + ": " + std::to_string(count) + " bytes of text"};
    }
    printOut(report);
    std::fflush(stdout);  // a reader sees each drop as it happens
    setDirty(true);
    return true;
  }
};

// A line of text and a bar running across the window while the dialog is open.
class WaitingPanel final : public TextPanel {
 public:
  explicit WaitingPanel(const GuiRect& rect) : TextPanel(rect) {
    lines = {"Waiting for the file dialog. This window keeps drawing meanwhile."};
  }
  void draw(DrawContext* context) override {
    TextPanel::draw(context);
    const std::int32_t span = size.width() - kBarWidth;
    const std::int32_t left = size.left + (span > 0 ? position % span : 0);
    context->setFillColor(kBarColor);
    context->fillRect({left, size.bottom - 30, left + kBarWidth, size.bottom - 20});
  }
  void step() {
    position += kBarStep;
    setDirty(true);
  }

 private:
  std::int32_t position = 0;
};

// The drawing library's caches live until the process ends. A command that drew frees them once
// its window is gone (declared before the window, this goes after it), so that leak checks of
// the program report only real leaks.
class DrawingCachesReleased {
 public:
  DrawingCachesReleased() = default;
  DrawingCachesReleased(const DrawingCachesReleased&) = delete;
  DrawingCachesReleased& operator=(const DrawingCachesReleased&) = delete;
  ~DrawingCachesReleased() { releaseDrawingCaches(); }
};

// Idles the window about 30 times a second until `done`, the window is closed or `seconds` (if not
// negative) have passed.
void idleWindow(ToolkitWindow& window, double seconds, const std::function<bool()>& done) {
  const auto start = std::chrono::steady_clock::now();
  auto timeUp = [&] {
    return seconds >= 0.0 &&
           std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() >=
               seconds;
  };
  while (!done() && !window.closeRequested() && !timeUp()) {
    window.idle();
    std::this_thread::sleep_for(std::chrono::milliseconds(kEditorIdleMs));
  }
}

const CommandOption kSecondsOption{"--seconds", "", "S", false, "end by itself after S seconds"};

struct FilesCommand {
  ParsedArguments parsed;
  double seconds = -1.0;  // --seconds, -1 without it
};

// The start of both commands: options, no positional arguments, --seconds checked.
std::optional<FilesCommand> parseFilesCommand(const CommandLine& line,
                                              const std::vector<std::string>& args, int& status) {
  auto parsed = parseCommandLine(line, args, status);
  if (!parsed) return std::nullopt;
  if (!parsed->positional().empty()) {
    status = reportError(line.command, "takes no arguments", kExitUsage);
    return std::nullopt;
  }
  FilesCommand command{std::move(*parsed)};
  if (const std::optional<std::string> text = command.parsed.value("--seconds")) {
    auto seconds = parseNumber(*text, 0.0, 1e6);
    if (!seconds.ok()) {
      status = reportError(line.command, "--seconds: " + seconds.error(), kExitUsage);
      return std::nullopt;
    }
    command.seconds = seconds.value();
  }
  return command;
}

// ---- drop -------------------------------------------------------------------------------------

const CommandLine kDrop = {
    "drop",
    "drop [--seconds S]",
    "Opens a window that takes files and text dropped on it (from a file manager, a text\n"
    "editor) exactly as a plug-in's editor does, and prints each drop as it arrives:\n"
    "  drop at X,Y: N file names     followed by the names, one a line\n"
    "  drop at X,Y: text of N bytes  followed by the text\n"
    "each following line indented by two blanks. The first line, \"window ID\", names the\n"
    "window. It runs until the window is closed, the time given with --seconds is up, or the\n"
    "program is interrupted.",
    {kSecondsOption},
};

// ---- select -----------------------------------------------------------------------------------

const CommandLine kSelect = {
    "select",
    "select [--save | --several | --folder] [--title TEXT] [--in FOLDER]\n"
    "       [--type NAME=EXT ...] [--window [--seconds S]]",
    "Runs the toolkit's file selector as a plug-in does when its host offers no selector of its\n"
    "own: the desktop's dialog (zenity, else kdialog). It opens one file unless told to save,\n"
    "to open several, or to choose a folder, and prints each chosen path on a line of its own.\n"
    "Exit status 0 when something was chosen, 1 when nothing was (the dialog was cancelled, or\n"
    "neither zenity nor kdialog could be started).\n"
    "With --window the dialog belongs to a window of this program's own, as it belongs to a\n"
    "plug-in's editor, and runs beside it: the window keeps drawing (a bar moves across it)\n"
    "while the dialog is open; closing the window, or the end of --seconds, closes the dialog.",
    {{"--save", "", "", false, "choose a file to save"},
     {"--several", "", "", false, "open several files"},
     {"--folder", "", "", false, "choose a folder"},
     {"--title", "", "TEXT", false, "the dialog's title"},
     {"--in", "", "FOLDER", false, "the folder the dialog starts in"},
     {"--type", "", "NAME=EXT", true,
      "a file type of the dialog's type list (extension up to 7 "
      "characters)"},
     {"--window", "", "", false, "run beside a window of this program's own"},
     kSecondsOption},
};

struct Selection {
  VstFileSelect record{};
  std::vector<VstFileType> types;
  std::string folder;
};

// The record a plug-in would fill for the options given; an error for bad ones.
hostlib::Result<std::unique_ptr<Selection>> selectionFor(const ParsedArguments& parsed) {
  auto selection = std::make_unique<Selection>();
  VstFileSelect& record = selection->record;
  const int modes = parsed.has("--save") + parsed.has("--several") + parsed.has("--folder");
  if (modes > 1) return hostlib::fail("--save, --several and --folder exclude each other");
  record.command = parsed.has("--save")      ? kVstFileSave
                   : parsed.has("--several") ? kVstMultipleFilesLoad
                   : parsed.has("--folder")  ? kVstDirectorySelect
                                             : kVstFileLoad;
  const std::string title = parsed.value("--title").value_or("");
  if (title.size() >= sizeof record.title)
    return hostlib::fail("--title is longer than 1023 bytes");
  std::snprintf(record.title, sizeof record.title, "%s", title.c_str());
  for (const std::string& type : parsed.all("--type")) {
    const std::size_t equals = type.find('=');
    VstFileType entry{};
    if (equals == std::string::npos || equals == 0 || equals + 1 == type.size()) {
      return hostlib::fail("--type wants NAME=EXT, not '" + type + "'");
    }
    const std::string name = type.substr(0, equals);
    const std::string extension = type.substr(equals + 1);
    if (name.size() >= sizeof entry.name || extension.size() >= sizeof entry.dosType) {
      return hostlib::fail("--type '" + type +
                           "': the name takes up to 127 bytes, the extension 7");
    }
    std::snprintf(entry.name, sizeof entry.name, "%s", name.c_str());
    std::snprintf(entry.dosType, sizeof entry.dosType, "%s", extension.c_str());
    selection->types.push_back(entry);
  }
  record.fileTypes = selection->types.empty() ? nullptr : selection->types.data();
  record.nbFileTypes = static_cast<VstInt32>(selection->types.size());
  if (auto folder = parsed.value("--in")) {
    std::error_code error;
    selection->folder = std::filesystem::absolute(*folder, error).string();
    if (error) return hostlib::fail("--in '" + *folder + "': " + error.message());
    record.initialPath = selection->folder.data();
  }
  return selection;
}

int printChosen(const VstFileSelect& record, std::int32_t count) {
  if (count <= 0) {
    return reportError("select",
                       "nothing chosen (the dialog was cancelled, or neither zenity "
                       "nor kdialog could be started)",
                       kExitFailure);
  }
  if (record.command == kVstMultipleFilesLoad) {
    for (std::int32_t i = 0; i < count; ++i)
      printOut(std::string(record.returnMultiplePaths[i]) + "\n");
  } else {
    printOut(std::string(record.returnPath) + "\n");
  }
  return kExitOk;
}

int selectBesideWindow(Selection& selection, double seconds) {
  const DrawingCachesReleased caches;
  auto display = EditorDisplay::connectToUsersDisplay();
  if (!display.ok()) return reportError("select", display.error(), kExitFailure);
  auto* panel = new WaitingPanel({0, 0, 480, 120});
  auto window = ToolkitWindow::open(*display.value(), 480, 120, "overtonic-host select", panel);
  if (!window.ok()) return reportError("select", window.error(), kExitFailure);
  std::int32_t count = -1;
  auto selector = std::make_unique<GuiFileSelector>(window.value()->shell());
  if (!selector->start(&selection.record, [&](std::int32_t n) { count = n; })) count = 0;
  idleWindow(*window.value(), seconds, [&] {
    panel->step();
    return count >= 0;
  });
  const int status = printChosen(selection.record, std::max(count, 0));
  selector.reset();  // closes a dialog still open, frees the paths
  return status;
}

}  // namespace

int runDrop(const std::vector<std::string>& args) {
  int status = kExitOk;
  const std::optional<FilesCommand> command = parseFilesCommand(kDrop, args, status);
  if (!command) return status;
  const DrawingCachesReleased caches;
  auto display = EditorDisplay::connectToUsersDisplay();
  if (!display.ok()) return reportError("drop", display.error(), kExitFailure);
  auto window = ToolkitWindow::open(*display.value(), 480, 200, "overtonic-host drop",
                                    new DropReport({0, 0, 480, 200}));
  if (!window.ok()) return reportError("drop", window.error(), kExitFailure);
  char line[64];
  std::snprintf(line, sizeof line, "window 0x%lx\n", window.value()->window());
  printOut(line);
  std::fflush(stdout);
  idleWindow(*window.value(), command->seconds, [] { return false; });
  return kExitOk;
}

int runSelect(const std::vector<std::string>& args) {
  int status = kExitOk;
  const std::optional<FilesCommand> command = parseFilesCommand(kSelect, args, status);
  if (!command) return status;
  auto selection = selectionFor(command->parsed);
  if (!selection.ok()) return reportError("select", selection.error(), kExitUsage);
  if (command->parsed.has("--window")) {
    return selectBesideWindow(*selection.value(), command->seconds);
  }
  GuiFileSelector selector(nullptr);
  return printChosen(selection.value()->record, selector.run(&selection.value()->record));
}

}  // namespace hostapp
