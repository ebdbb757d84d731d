// Helpers shared by the host program's tests: a temporary folder, a builder for small standard
// MIDI files, reading a WAV file back, and running the overtonic-host program.
#pragma once

#include <sndfile.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

namespace hostprogtest {

namespace fs = std::filesystem;

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "overtonic-hostprog-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data()) != nullptr ? pattern : "";
  }
  ~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::string path(const std::string& name) const { return (fs::path(path_) / name).string(); }
  std::string write(const std::string& name, const std::vector<unsigned char>& bytes) const {
    std::ofstream(path(name), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path(name);
  }
  std::string write(const std::string& name, const std::string& text) const {
    return write(name, std::vector<unsigned char>(text.begin(), text.end()));
  }
  // Names of everything in the folder (temporary files included).
  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path_))
      names.push_back(entry.path().filename().string());
    return names;
  }
  const std::string& root() const { return path_; }

 private:
  std::string path_;
};

// Variable-length quantity as MIDI files store it.
inline std::vector<unsigned char> vlq(uint32_t value) {
  std::vector<unsigned char> bytes{static_cast<unsigned char>(value & 0x7F)};
  while ((value >>= 7) != 0)
    bytes.insert(bytes.begin(), static_cast<unsigned char>(0x80 | (value & 0x7F)));
  return bytes;
}

inline void append(std::vector<unsigned char>& out, std::initializer_list<unsigned char> bytes) {
  out.insert(out.end(), bytes);
}
inline void append(std::vector<unsigned char>& out, const std::vector<unsigned char>& bytes) {
  out.insert(out.end(), bytes.begin(), bytes.end());
}

inline std::vector<unsigned char> chunk(const char* type, const std::vector<unsigned char>& body) {
  std::vector<unsigned char> out(type, type + 4);
  const auto n = static_cast<uint32_t>(body.size());
  append(out, {static_cast<unsigned char>(n >> 24), static_cast<unsigned char>(n >> 16),
               static_cast<unsigned char>(n >> 8), static_cast<unsigned char>(n)});
  append(out, body);
  return out;
}

inline std::vector<unsigned char> header(uint16_t format, uint16_t tracks, uint16_t division) {
  return chunk("MThd",
               {0, static_cast<unsigned char>(format), static_cast<unsigned char>(tracks >> 8),
                static_cast<unsigned char>(tracks), static_cast<unsigned char>(division >> 8),
                static_cast<unsigned char>(division)});
}

// A track body: delta time then event bytes, one entry per event.
struct TrackEvent {
  uint32_t delta;
  std::vector<unsigned char> bytes;
};

inline std::vector<unsigned char> track(const std::vector<TrackEvent>& events,
                                        bool endOfTrack = true) {
  std::vector<unsigned char> body;
  for (const TrackEvent& e : events) {
    append(body, vlq(e.delta));
    append(body, e.bytes);
  }
  if (endOfTrack) append(body, {0x00, 0xFF, 0x2F, 0x00});
  return chunk("MTrk", body);
}

inline std::vector<unsigned char> tempo(uint32_t microsPerQuarter) {
  return {0xFF,
          0x51,
          0x03,
          static_cast<unsigned char>(microsPerQuarter >> 16),
          static_cast<unsigned char>(microsPerQuarter >> 8),
          static_cast<unsigned char>(microsPerQuarter)};
}

inline std::vector<unsigned char> midiFile(const std::vector<std::vector<unsigned char>>& chunks) {
  std::vector<unsigned char> out;
  for (const auto& c : chunks) append(out, c);
  return out;
}

struct WavContents {
  bool opened = false;
  SF_INFO info{};
  std::vector<float> samples;
};

inline WavContents readWav(const std::string& path) {
  WavContents wav;
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &wav.info);
  if (file == nullptr) return wav;
  wav.opened = true;
  wav.samples.resize(static_cast<size_t>(wav.info.frames * wav.info.channels));
  sf_read_float(file, wav.samples.data(), static_cast<sf_count_t>(wav.samples.size()));
  sf_close(file);
  return wav;
}

struct RunResult {
  int status = -1;  // exit status, or 128 + signal
  std::string out;
  std::string err;
};

inline std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return {};
  std::string text(static_cast<size_t>(in.tellg()), '\0');
  in.seekg(0);
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  return text;
}

// Runs `program args...` with standard output and error captured through files in `scratch`;
// `stdoutPath` replaces the capture file when given (for example /dev/full).
inline RunResult run(const std::string& program, const std::vector<std::string>& args,
                     const TempFolder& scratch, const std::string& stdoutPath = "") {
  const std::string outPath = stdoutPath.empty() ? scratch.path(".stdout") : stdoutPath;
  const std::string errPath = scratch.path(".stderr");
  std::vector<std::string> words{program};
  words.insert(words.end(), args.begin(), args.end());
  const pid_t child = ::fork();
  if (child == 0) {
    if (!std::freopen(outPath.c_str(), "w", stdout) || !std::freopen(errPath.c_str(), "w", stderr))
      _exit(126);
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    _exit(127);
  }
  RunResult result;
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child) return result;
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  if (stdoutPath.empty()) result.out = slurp(outPath);
  result.err = slurp(errPath);
  std::error_code ignored;
  fs::remove(scratch.path(".stdout"), ignored);
  fs::remove(errPath, ignored);
  return result;
}

}  // namespace hostprogtest
