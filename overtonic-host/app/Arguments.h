// A small command-line parser for the overtonic-host commands: long options with or without a
// value (`--rate 48000`, `--rate=48000`), one-letter aliases (`-o`), repeatable options, and
// positional arguments; "--" ends the options. Errors are one-line messages for the user.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "overtonic-host/lib/Result.h"

namespace hostapp {

struct CommandOption {
  std::string name;       // "--rate"
  std::string alias;      // "-o" or empty
  std::string valueName;  // "HZ"; empty for a flag without value
  bool repeatable = false;
  std::string help;
};

class ParsedArguments {
 public:
  bool has(const std::string& name) const { return values.count(name) != 0; }
  // The value of a single option, or nullopt when absent.
  std::optional<std::string> value(const std::string& name) const;
  // Every value of a repeatable option, in the order given.
  std::vector<std::string> all(const std::string& name) const;
  const std::vector<std::string>& positional() const { return positional_; }

 private:
  friend hostlib::Result<ParsedArguments> parseArguments(const std::vector<CommandOption>&,
                                                         const std::vector<std::string>&);
  std::map<std::string, std::vector<std::string>> values;
  std::vector<std::string> positional_;
};

hostlib::Result<ParsedArguments> parseArguments(const std::vector<CommandOption>& optionList,
                                                const std::vector<std::string>& args);

// The option lines of a help text, aligned.
std::string describeOptions(const std::vector<CommandOption>& optionList);

}  // namespace hostapp
