// overtonic-host: renders, inspects and manages presets of a VST 2 plug-in from the command line,
// loading it through the host library exactly as a host does.
#include <cstdio>
#include <string>
#include <vector>

#include "overtonic-host/app/Commands.h"

namespace {

constexpr const char* kUsage =
    "Usage: overtonic-host COMMAND [ARGUMENTS]\n"
    "\n"
    "Loads overtonic.so (or the plug-in named) exactly as a host does and drives it.\n"
    "\n"
    "Commands:\n"
    "  info [PLUGIN] [--json]           identity, record, capabilities, programs, parameters\n"
    "  render [PLUGIN] ... -o OUT.wav   play a MIDI file or notes through the plug-in\n"
    "  preset save OUT.fxp [PLUGIN]     save the current program as a program file\n"
    "  preset bank-save OUT.fxb [PLUGIN]  save all programs as a bank file\n"
    "  preset show FILE                 show a program or bank file\n"
    "  gui [PLUGIN]                     open the plug-in's editor in a window\n"
    "  snapshot [PLUGIN] -o PANEL.png   save a picture of the plug-in's editor\n"
    "  gallery [-o GALLERY.png]         show the GUI toolkit's controls (window or picture)\n"
    "\n"
    "Every command explains itself with --help. Exit status: 0 done, 1 failed, 2 wrong usage.\n";

int dispatch(const std::string& command, const std::vector<std::string>& rest) {
  using namespace hostapp;
  if (command == "info") return runInfo(rest);
  if (command == "render") return runRender(rest);
  if (command == "preset") return runPreset(rest);
  if (command == "gui") return runGui(rest);
  if (command == "snapshot") return runSnapshot(rest);
  if (command == "gallery") return runGallery(rest);
  if (command == "help" || command == "--help" || command == "-h") {
    if (!rest.empty()) return dispatch(rest[0], {"--help"});
    printOut(kUsage);
    return kExitOk;
  }
  std::fprintf(stderr, "overtonic-host: unknown command '%s' (see overtonic-host --help)\n",
               command.c_str());
  return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs(kUsage, stderr);
    return hostapp::kExitUsage;
  }
  const std::vector<std::string> rest(argv + 2, argv + argc);
  int status = hostapp::kExitFailure;
  try {
    status = dispatch(argv[1], rest);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "overtonic-host: %s\n", error.what());
    status = hostapp::kExitFailure;
  }
  // Results that never reached their reader (a full disk, a closed pipe) are a failure too.
  if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
    std::fputs("overtonic-host: cannot write to standard output\n", stderr);
    return hostapp::kExitFailure;
  }
  return status;
}
