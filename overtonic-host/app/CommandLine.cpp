// What all commands share: argument parsing with --help, and error and output reporting.
#include <cstdio>

#include "overtonic-host/app/Commands.h"

namespace hostapp {

int reportError(const std::string& command, const std::string& message, int status) {
  std::fprintf(stderr, "overtonic-host %s: %s\n", command.c_str(), message.c_str());
  return status;
}

void printOut(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

std::string helpText(const CommandLine& line) {
  return "Usage: overtonic-host " + line.synopsis + "\n\n" + line.description + "\n\nOptions:\n" +
         describeOptions(line.options);
}

std::optional<ParsedArguments> parseCommandLine(const CommandLine& line,
                                                const std::vector<std::string>& args, int& status) {
  std::vector<CommandOption> options = line.options;
  options.push_back({"--help", "-h", "", false, "show this help"});
  auto parsed = parseArguments(options, args);
  if (!parsed.ok()) {
    status = reportError(line.command, parsed.error() + " (see --help)", kExitUsage);
    return std::nullopt;
  }
  if (parsed.value().has("--help")) {
    CommandLine withHelp = line;
    withHelp.options = options;
    printOut(helpText(withHelp));
    status = kExitOk;
    return std::nullopt;
  }
  return std::move(parsed).value();
}

}  // namespace hostapp
