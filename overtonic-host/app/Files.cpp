// Input and temporary-then-rename output files, with every system call checked.
#include "overtonic-host/app/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <utility>

namespace hostapp {

using hostlib::fail;
using hostlib::Result;
using hostlib::Status;

namespace {

std::string systemError() { return std::strerror(errno); }

std::string randomSuffix() {
  static std::mt19937_64 generator{std::random_device{}() ^ static_cast<uint64_t>(::getpid())};
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string suffix(8, 'x');
  for (char& c : suffix) c = kLetters[generator() % (sizeof kLetters - 1)];
  return suffix;
}

}  // namespace

OutputFile::OutputFile(std::string path, std::string temporaryPath, int fd)
    : path_(std::move(path)), temporaryPath_(std::move(temporaryPath)), fd_(fd) {}

OutputFile::OutputFile(OutputFile&& other) noexcept
    : path_(std::move(other.path_)),
      temporaryPath_(std::move(other.temporaryPath_)),
      fd_(std::exchange(other.fd_, -1)),
      committed(std::exchange(other.committed, true)) {}

OutputFile::~OutputFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed && !temporaryPath_.empty()) ::unlink(temporaryPath_.c_str());
}

Result<OutputFile> OutputFile::create(const std::string& path) {
  namespace fs = std::filesystem;
  if (path.empty()) return fail("no output file given");
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    return fail(path + ": is a folder");
  }
  const fs::path target(path);
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  const std::string base = target.filename().string();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string temporary = (folder / ("." + base + ".part-" + randomSuffix())).string();
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return OutputFile(path, temporary, fd);
    if (errno != EEXIST) return fail(path + ": cannot create (" + systemError() + ")");
  }
  return fail(path + ": cannot create a temporary file next to it");
}

Status OutputFile::write(std::span<const unsigned char> bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return fail(path_ + ": cannot write (" + systemError() + ")");
    done += static_cast<size_t>(n);
  }
  return {};
}

Status OutputFile::commit() {
  if (fd_ >= 0) {
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0) return fail(path_ + ": cannot write (" + systemError() + ")");
  }
  if (::rename(temporaryPath_.c_str(), path_.c_str()) != 0) {
    return fail(path_ + ": cannot replace (" + systemError() + ")");
  }
  committed = true;
  return {};
}

Status writeWholeFile(const std::string& path, std::span<const unsigned char> bytes) {
  auto file = OutputFile::create(path);
  if (!file.ok()) return fail(file.error());
  if (Status s = file.value().write(bytes); !s) return s;
  return file.value().commit();
}

Result<std::vector<unsigned char>> readWholeFile(const std::string& path, size_t maxBytes,
                                                 const std::string& what) {
  std::ifstream in(path, std::ios::binary);
  struct stat info {};
  if (!in || ::stat(path.c_str(), &info) != 0) {
    return fail(path + ": cannot open " + what + " (" + systemError() + ")");
  }
  if (S_ISDIR(info.st_mode)) return fail(path + ": is a folder, not a " + what);
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0) return fail(path + ": cannot read " + what);
  if (static_cast<uint64_t>(size) > maxBytes) {
    return fail(path + ": " + std::to_string(size) + " bytes is too large for a " + what);
  }
  in.seekg(0);
  std::vector<unsigned char> data(static_cast<size_t>(size));
  if (!in.read(reinterpret_cast<char*>(data.data()), size))
    return fail(path + ": cannot read " + what);
  return data;
}

}  // namespace hostapp
