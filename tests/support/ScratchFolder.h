// A scratch folder of the test's own under the system's temporary folder, removed with
// everything in it at the end.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "overtonic-files-XXXXXX").string();
    if (::mkdtemp(pattern.data())) root_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    if (!root_.empty()) std::filesystem::remove_all(root_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::string path(const std::string& name) const { return root_ + "/" + name; }
  std::string touch(const std::string& name) const {
    std::ofstream(path(name)) << name;
    return path(name);
  }
  const std::string& root() const { return root_; }

 private:
  std::string root_;
};
