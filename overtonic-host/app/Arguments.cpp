// Command-line parsing for overtonic-host: one pass over the words, checked against the command's
// option table.
#include "overtonic-host/app/Arguments.h"

#include <algorithm>

namespace hostapp {

using hostlib::fail;
using hostlib::Result;

std::optional<std::string> ParsedArguments::value(const std::string& name) const {
  auto found = values.find(name);
  if (found == values.end() || found->second.empty()) return std::nullopt;
  return found->second.back();
}

std::vector<std::string> ParsedArguments::all(const std::string& name) const {
  auto found = values.find(name);
  return found == values.end() ? std::vector<std::string>{} : found->second;
}

namespace {

const CommandOption* findOption(const std::vector<CommandOption>& optionList,
                                const std::string& word) {
  auto found = std::find_if(optionList.begin(), optionList.end(), [&](const CommandOption& s) {
    return s.name == word || (!s.alias.empty() && s.alias == word);
  });
  return found == optionList.end() ? nullptr : &*found;
}

bool looksLikeOption(const std::string& word) {
  // "-" alone is a positional (stdin/stdout convention); "-5" is a negative number.
  return word.size() > 1 && word[0] == '-' && !(word[1] >= '0' && word[1] <= '9') && word[1] != '.';
}

}  // namespace

Result<ParsedArguments> parseArguments(const std::vector<CommandOption>& optionList,
                                       const std::vector<std::string>& args) {
  ParsedArguments parsed;
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    if (optionsEnded || !looksLikeOption(word)) {
      parsed.positional_.push_back(word);
      continue;
    }
    if (word == "--") {
      optionsEnded = true;
      continue;
    }
    const size_t equals = word.find('=');
    const bool inlineValue = word.rfind("--", 0) == 0 && equals != std::string::npos;
    const std::string name = inlineValue ? word.substr(0, equals) : word;
    const CommandOption* option = findOption(optionList, name);
    if (option == nullptr) return fail("unknown option " + name);
    std::string value;
    if (option->valueName.empty()) {
      if (inlineValue) return fail("option " + option->name + " takes no value");
    } else if (inlineValue) {
      value = word.substr(equals + 1);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      return fail("option " + option->name + " needs a value (" + option->valueName + ")");
    }
    auto& slot = parsed.values[option->name];
    if (!slot.empty() && !option->repeatable)
      return fail("option " + option->name + " given twice");
    slot.push_back(value);
  }
  return parsed;
}

std::string describeOptions(const std::vector<CommandOption>& optionList) {
  std::vector<std::string> heads;
  size_t width = 0;
  for (const CommandOption& s : optionList) {
    std::string head = s.alias.empty() ? "    " : s.alias + ", ";
    head += s.name;
    if (!s.valueName.empty()) head += " " + s.valueName;
    width = std::max(width, head.size());
    heads.push_back(head);
  }
  std::string text;
  for (size_t i = 0; i < optionList.size(); ++i) {
    text +=
        "  " + heads[i] + std::string(width - heads[i].size() + 2, ' ') + optionList[i].help + "\n";
  }
  return text;
}

}  // namespace hostapp
