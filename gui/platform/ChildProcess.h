// A helper program run as a child process: started with posix_spawnp (no shell; the arguments
// are a vector, searched on PATH like a shell would), its standard output collected through a
// pipe, its standard input and error on /dev/null. Everything is non-blocking so that the
// user-interface thread can keep working while the program runs; poll() advances it. A child is
// always reaped: when it ends, when it is stopped, and when the object goes away (stopping it
// first), so that it never lingers as a zombie.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ChildProcess {
 public:
  // Output beyond this many bytes is not kept: the run counts as failed.
  static constexpr std::size_t kDefaultOutputLimit = 1 << 20;

  // Starts `arguments[0]` (looked up on PATH) with the given arguments. Null when it could not be
  // started; then `error` (if given) holds the errno value (ENOENT: no such program).
  static std::unique_ptr<ChildProcess> start(const std::vector<std::string>& arguments,
                                             int* error = nullptr,
                                             std::size_t outputLimit = kDefaultOutputLimit);
  // Stops the child if it still runs (see stop).
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Reads what the child wrote and reaps it once it has ended, without waiting. True while it
  // still runs.
  bool poll();
  // Waits up to `milliseconds` for output or the end of the output stream, then polls. True
  // while the child still runs.
  bool wait(std::int32_t milliseconds);
  // Ends the child: SIGTERM, then SIGKILL if it has not ended within a short grace time, and
  // reaps it. Its output is discarded and it counts as failed.
  void stop();

  bool running() const { return !ended; }
  // Ended by itself, with exit status 0, its output complete and within the limit. A child that
  // someone else reaped (a host that ignores SIGCHLD or reaps every child) counts as succeeded
  // when it wrote anything, since its status cannot be known.
  bool succeeded() const;
  const std::string& output() const { return output_; }
  pid_t pid() const { return pid_; }

 private:
  ChildProcess(pid_t pid, int outputFd, std::size_t outputLimit);
  void readOutput();
  void closeOutput();
  bool reap(bool block);

  pid_t pid_;
  int outputFd_;
  std::size_t outputLimit_;
  std::string output_;
  bool overflowed = false;
  bool ended = false;
  bool stopped = false;
  bool statusKnown = false;
  int status_ = 0;
  std::int64_t endOfOutputTicks = -1;  // when the output stream closed while the child lived
};
