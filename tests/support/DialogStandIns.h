// Stand-in dialog tools for the file selector tests: a scratch folder that becomes the whole of
// PATH and holds tests/gui/standins/dialog-tool.sh under the names asked for ("zenity",
// "kdialog", or none), and what the stand-ins logged of each run. The stand-ins' behaviour is set
// through the environment they inherit (see the script). Everything is undone at the end.
#pragma once

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/ScratchFolder.h"

namespace standins {

// One run of a stand-in: its name, process id and arguments.
struct Run {
  std::string tool;
  pid_t pid = 0;
  std::vector<std::string> args;

  bool has(const std::string& word) const {
    return std::find(args.begin(), args.end(), word) != args.end();
  }
  // The argument after `word`, empty when there is none.
  std::string after(const std::string& word) const {
    auto found = std::find(args.begin(), args.end(), word);
    return found != args.end() && std::next(found) != args.end() ? *std::next(found) : "";
  }
};

// Whether the process is gone entirely (neither running nor left unreaped as a zombie).
inline bool processGone(pid_t pid) { return ::kill(pid, 0) != 0 && errno == ESRCH; }

class StandInTools {
 public:
  explicit StandInTools(std::initializer_list<const char*> names) {
    const char* path = std::getenv("PATH");
    if (path) savedPath = path;
    bin = folder_.path("bin");
    std::filesystem::create_directory(bin);
    for (const char* name : names)
      std::filesystem::create_symlink(STANDIN_TOOL_PATH, bin + "/" + name);
    ::setenv("PATH", bin.c_str(), 1);
    ::setenv("STANDIN_LOG", folder_.path("log").c_str(), 1);
    mode("reply");
    reply("");
  }
  ~StandInTools() {
    ::setenv("PATH", savedPath.c_str(), 1);
    for (const char* name :
         {"STANDIN_LOG", "STANDIN_REPLY", "STANDIN_STATUS", "STANDIN_MODE", "STANDIN_ATTACH"}) {
      ::unsetenv(name);
    }
  }
  StandInTools(const StandInTools&) = delete;
  StandInTools& operator=(const StandInTools&) = delete;

  // The next runs print `text` and exit with `status` (in the modes that reply).
  void reply(const std::string& text, int status = 0) {
    ::setenv("STANDIN_REPLY", text.c_str(), 1);
    ::setenv("STANDIN_STATUS", std::to_string(status).c_str(), 1);
  }
  void mode(const char* name) { ::setenv("STANDIN_MODE", name, 1); }
  void offerAttach(bool offered) { ::setenv("STANDIN_ATTACH", offered ? "1" : "0", 1); }

  std::vector<Run> runs() const {
    std::ifstream log(folder_.path("log"), std::ios::binary | std::ios::ate);
    std::string bytes(log ? static_cast<std::size_t>(log.tellg()) : 0, '\0');
    log.seekg(0);
    log.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    std::vector<Run> result;
    std::vector<std::string> words;
    std::size_t begin = 0;
    for (std::size_t end; (end = bytes.find('\0', begin)) != std::string::npos; begin = end + 1) {
      std::string word = bytes.substr(begin, end - begin);
      if (word != "--end--") {
        words.push_back(std::move(word));
        continue;
      }
      if (words.size() >= 2) {
        result.push_back({words[0], static_cast<pid_t>(std::atoi(words[1].c_str())),
                          std::vector<std::string>(words.begin() + 2, words.end())});
      }
      words.clear();
    }
    return result;
  }
  const ScratchFolder& folder() const { return folder_; }

 private:
  ScratchFolder folder_;
  std::string bin;
  std::string savedPath;
};

}  // namespace standins
