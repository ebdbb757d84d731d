// File access of the host program. OutputFile: a file written under a temporary name in the
// target's folder and renamed onto the target only when complete, so a failed or interrupted
// write never leaves a half file behind. readWholeFile: a size-limited read of an input file.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "overtonic-host/lib/Result.h"

namespace hostapp {

class OutputFile {
 public:
  // Creates the temporary file; fails with a message naming `path` when its folder is missing or
  // not writable, or when `path` is a folder.
  static hostlib::Result<OutputFile> create(const std::string& path);

  OutputFile(OutputFile&& other) noexcept;
  OutputFile& operator=(OutputFile&&) = delete;
  OutputFile(const OutputFile&) = delete;
  ~OutputFile();  // removes the temporary file unless committed

  // The open descriptor of the temporary file; -1 after commit().
  int descriptor() const { return fd_; }
  const std::string& path() const { return path_; }
  const std::string& temporaryPath() const { return temporaryPath_; }

  hostlib::Status write(std::span<const unsigned char> bytes);
  // Closes the descriptor and renames the temporary file onto the target.
  hostlib::Status commit();

 private:
  OutputFile(std::string path, std::string temporaryPath, int fd);
  std::string path_;
  std::string temporaryPath_;
  int fd_ = -1;
  bool committed = false;
};

// Writes all bytes to `path` through an OutputFile.
hostlib::Status writeWholeFile(const std::string& path, std::span<const unsigned char> bytes);

// Reads all of `path`; `what` ("MIDI file") names it in errors; larger than maxBytes is an error.
hostlib::Result<std::vector<unsigned char>> readWholeFile(const std::string& path, size_t maxBytes,
                                                          const std::string& what);

}  // namespace hostapp
