// The overtonic-host commands. Each takes the words after its name, writes results to standard
// output and one-line errors to standard error, and returns the exit status.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "overtonic-host/app/Arguments.h"

namespace hostapp {

enum ExitStatus : int {
  kExitOk = 0,
  kExitFailure = 1,  // a file, the plug-in or the system refused
  kExitUsage = 2,    // the command line is wrong
};

int runInfo(const std::vector<std::string>& args);
int runRender(const std::vector<std::string>& args);
int runPreset(const std::vector<std::string>& args);
int runGui(const std::vector<std::string>& args);
int runSnapshot(const std::vector<std::string>& args);
int runGallery(const std::vector<std::string>& args);

// "overtonic-host <command>: <message>" on standard error; returns `status`.
int reportError(const std::string& command, const std::string& message, int status);
// Writes to standard output; the program checks the stream once at exit.
void printOut(const std::string& text);

// The usual start of a command: parse, answer --help, or report a usage error. Returns nullopt
// with `status` set when the command is already done.
struct CommandLine {
  std::string command;      // "render", "preset save", ...
  std::string synopsis;     // usage line(s) after the program name
  std::string description;  // paragraph(s) for --help
  std::vector<CommandOption> options;
};
std::optional<ParsedArguments> parseCommandLine(const CommandLine& line,
                                                const std::vector<std::string>& args, int& status);
std::string helpText(const CommandLine& line);

}  // namespace hostapp
