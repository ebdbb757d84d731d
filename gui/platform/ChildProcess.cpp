// Child processes without a shell. The child gets an empty signal mask and default signal
// handling (a host may block or ignore signals on its threads, which a child would inherit), and
// none of the host's open files beyond its three standard ones where the C library can close them.
#include "gui/platform/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

extern char** environ;

namespace {

// A child that closed its output but lives on is given this long to end before it is stopped.
constexpr std::int64_t kLingerMs = 2000;
// How long stop() waits after SIGTERM, and after SIGKILL, polling every kReapPollMs.
constexpr int kTermGraceMs = 300;
constexpr int kKillGraceMs = 2000;
constexpr int kReapPollMs = 5;

std::int64_t nowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

class SpawnSetup {
 public:
  SpawnSetup() {
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;

  // Standard output into `outputFd`, input and error on /dev/null, default signals.
  bool prepare(int outputFd) {
    sigset_t empty;
    sigset_t all;
    sigemptyset(&empty);
    sigfillset(&all);
    sigdelset(&all, SIGKILL);
    sigdelset(&all, SIGSTOP);
    bool ok = posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0) == 0 &&
              posix_spawn_file_actions_adddup2(&actions, outputFd, 1) == 0 &&
              posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0) == 0;
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    ok = ok && posix_spawn_file_actions_addclosefrom_np(&actions, 3) == 0;
#endif
    ok = ok && posix_spawnattr_setsigmask(&attributes, &empty) == 0 &&
         posix_spawnattr_setsigdefault(&attributes, &all) == 0 &&
         posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF) == 0;
    return ok;
  }

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
};

}  // namespace

std::unique_ptr<ChildProcess> ChildProcess::start(const std::vector<std::string>& arguments,
                                                  int* error, std::size_t outputLimit) {
  int ignored = 0;
  int& failure = error ? *error : ignored;
  failure = 0;
  if (arguments.empty() || arguments[0].empty()) {
    failure = EINVAL;
    return nullptr;
  }
  std::vector<char*> argv;
  argv.reserve(arguments.size() + 1);
  for (const std::string& word : arguments) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);

  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) {
    failure = errno;
    return nullptr;
  }
  SpawnSetup setup;
  pid_t pid = -1;
  int spawned = setup.prepare(fds[1]) ? 0 : ENOMEM;
  if (spawned == 0) {
    spawned =
        ::posix_spawnp(&pid, argv[0], &setup.actions, &setup.attributes, argv.data(), environ);
  }
  ::close(fds[1]);
  if (spawned != 0) {
    ::close(fds[0]);
    failure = spawned;
    return nullptr;
  }
  // Only our end reads without blocking; the child's end stays as programs expect it.
  ::fcntl(fds[0], F_SETFL, ::fcntl(fds[0], F_GETFL) | O_NONBLOCK);
  return std::unique_ptr<ChildProcess>(new ChildProcess(pid, fds[0], outputLimit));
}

ChildProcess::ChildProcess(pid_t pid, int outputFd, std::size_t outputLimit)
    : pid_(pid), outputFd_(outputFd), outputLimit_(outputLimit) {}

ChildProcess::~ChildProcess() {
  stop();
  closeOutput();
}

void ChildProcess::closeOutput() {
  if (outputFd_ >= 0) ::close(outputFd_);
  outputFd_ = -1;
}

void ChildProcess::readOutput() {
  char buffer[4096];
  while (outputFd_ >= 0) {
    const ssize_t n = ::read(outputFd_, buffer, sizeof buffer);
    if (n > 0) {
      const auto count = static_cast<std::size_t>(n);
      if (output_.size() + count > outputLimit_) {
        overflowed = true;
        output_.clear();
        closeOutput();  // the child gets SIGPIPE or EPIPE if it goes on writing
        return;
      }
      output_.append(buffer, count);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) return;  // nothing more for now (EWOULDBLOCK is the same)
    closeOutput();                         // end of the stream, or an error reading it
  }
}

bool ChildProcess::reap(bool block) {
  if (ended) return true;
  int status = 0;
  for (;;) {
    const pid_t result = ::waitpid(pid_, &status, block ? 0 : WNOHANG);
    if (result == pid_) {
      statusKnown = true;
      status_ = status;
      ended = true;
      return true;
    }
    if (result == 0) return false;
    if (errno == EINTR) continue;
    // ECHILD: someone else reaped it (SIGCHLD ignored, or a host reaping every child).
    ended = true;
    return true;
  }
}

bool ChildProcess::poll() {
  if (ended) return false;
  readOutput();
  if (reap(false)) {
    readOutput();  // what it wrote last, if something else still holds the pipe open
    closeOutput();
    return false;
  }
  if (outputFd_ < 0) {
    if (endOfOutputTicks < 0) endOfOutputTicks = nowMs();
    if (nowMs() - endOfOutputTicks > kLingerMs) stop();
  }
  return !ended;
}

bool ChildProcess::wait(std::int32_t milliseconds) {
  if (ended) return false;
  if (outputFd_ >= 0) {
    pollfd ready{outputFd_, POLLIN, 0};
    if (::poll(&ready, 1, milliseconds) < 0 && errno != EINTR) {
      std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
  } else {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
  return poll();
}

void ChildProcess::stop() {
  if (ended) return;
  stopped = true;
  output_.clear();
  ::kill(pid_, SIGTERM);
  for (int waited = 0; waited < kTermGraceMs && !reap(false); waited += kReapPollMs) {
    std::this_thread::sleep_for(std::chrono::milliseconds(kReapPollMs));
  }
  if (ended) return;
  ::kill(pid_, SIGKILL);
  // A killed process ends at once unless it is stuck in the kernel; then it is left to the
  // system rather than holding the user-interface thread.
  for (int waited = 0; waited < kKillGraceMs && !reap(false); waited += kReapPollMs) {
    std::this_thread::sleep_for(std::chrono::milliseconds(kReapPollMs));
  }
}

bool ChildProcess::succeeded() const {
  if (!ended || stopped || overflowed) return false;
  if (!statusKnown) return !output_.empty();
  return WIFEXITED(status_) && WEXITSTATUS(status_) == 0;
}
