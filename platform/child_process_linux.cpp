#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <thread>

#include "platform/ChildProcess.h"

extern char** environ;  // NOLINT(readability-redundant-declaration): POSIX gives no header

namespace pspkvx::platform {
namespace {

int ExitCodeOf(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

class LinuxChildProcess : public ChildProcess {
 public:
  LinuxChildProcess(pid_t pid, int output, bool ownGroup)
      : pid_(pid), output_(output), ownGroup_(ownGroup) {}
  ~LinuxChildProcess() override {
    if (!exitCode_) {
      Terminate();
      int status = 0;
      while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
      }
    }
    if (output_ >= 0) ::close(output_);
  }
  LinuxChildProcess(const LinuxChildProcess&) = delete;
  LinuxChildProcess& operator=(const LinuxChildProcess&) = delete;

  int ReadOutput(char* buffer, size_t size, int timeoutMs) override {
    if (output_ < 0) return -1;
    pollfd ready{output_, POLLIN, 0};
    const int polled = ::poll(&ready, 1, timeoutMs);
    if (polled <= 0) return -1;
    for (;;) {
      const ssize_t n = ::read(output_, buffer, size);
      if (n < 0 && errno == EINTR) continue;
      // A read error is the end of the output as well: nothing more will come.
      return n < 0 ? 0 : static_cast<int>(n);
    }
  }

  std::optional<int> WaitFor(int timeoutMs) override {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!exitCode_) {
      int status = 0;
      const pid_t done = ::waitpid(pid_, &status, WNOHANG);
      if (done == pid_) {
        exitCode_ = ExitCodeOf(status);
        break;
      }
      if (done < 0 && errno != EINTR) {
        exitCode_ = -1;  // not our child any more: nothing to wait for
        break;
      }
      if (std::chrono::steady_clock::now() >= until) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return exitCode_;
  }

  void Terminate() override {
    if (exitCode_) return;
    ::kill(ownGroup_ ? -pid_ : pid_, SIGKILL);
  }

 private:
  pid_t pid_;
  int output_;
  bool ownGroup_;
  std::optional<int> exitCode_;
};

}  // namespace

std::unique_ptr<ChildProcess> StartChildProcess(const std::string& program,
                                                const std::vector<std::string>& args,
                                                const ChildOptions& options) {
  int pipeEnds[2] = {-1, -1};
  if (options.captureOutput && ::pipe2(pipeEnds, O_CLOEXEC) != 0) return nullptr;
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attributes);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (options.captureOutput) {
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 2);
  } else {
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
  }
  if (!options.workingFolder.empty())
    posix_spawn_file_actions_addchdir_np(&actions, options.workingFolder.c_str());
  // The child starts with the default signal handling and mask, whatever this program set.
  sigset_t all;
  sigset_t none;
  sigfillset(&all);
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawnattr_setsigmask(&attributes, &none);
  short flags = POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK;
  if (options.ownProcessGroup) {
    flags |= POSIX_SPAWN_SETPGROUP;
    posix_spawnattr_setpgroup(&attributes, 0);
  }
  posix_spawnattr_setflags(&attributes, flags);

  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& arg : args)
    argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int failed =
      ::posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (options.captureOutput) ::close(pipeEnds[1]);
  if (failed != 0) {
    if (options.captureOutput) ::close(pipeEnds[0]);
    return nullptr;
  }
  return std::make_unique<LinuxChildProcess>(pid, options.captureOutput ? pipeEnds[0] : -1,
                                             options.ownProcessGroup);
}

bool StartDetachedProgram(const std::string& program, const std::vector<std::string>& args,
                          const std::string& workingFolder) {
  // Everything is made ready before fork: between fork and exec only async-signal-safe calls.
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& arg : args)
    argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const char* folder = workingFolder.empty() ? nullptr : workingFolder.c_str();
  struct sigaction defaultAction {};
  defaultAction.sa_handler = SIG_DFL;
  sigset_t none;
  sigemptyset(&none);
  // The program's start reports a failure through this pipe; a successful exec closes it.
  int report[2] = {-1, -1};
  if (::pipe2(report, O_CLOEXEC) != 0) return false;
  const int devNull = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  if (devNull < 0) {
    ::close(report[0]);
    ::close(report[1]);
    return false;
  }

  const pid_t first = ::fork();
  if (first == 0) {
    // The first child starts a session and the program in it, and ends at once: the program's
    // parent becomes the system's reaper, so nothing of this program waits for it.
    ::setsid();
    const pid_t second = ::fork();
    if (second != 0) ::_exit(second < 0 ? 1 : 0);
    int failure = 0;
    if (folder && ::chdir(folder) != 0) {
      failure = errno;
    } else {
      ::dup2(devNull, 0);
      for (int number = 1; number < NSIG; ++number)
        ::sigaction(number, &defaultAction, nullptr);
      ::sigprocmask(SIG_SETMASK, &none, nullptr);
      ::execve(program.c_str(), argv.data(), environ);
      failure = errno;
    }
    while (::write(report[1], &failure, sizeof failure) < 0 && errno == EINTR) {
    }
    ::_exit(127);
  }
  ::close(report[1]);
  ::close(devNull);
  bool started = first > 0;
  if (started) {
    int status = 0;
    while (::waitpid(first, &status, 0) < 0 && errno == EINTR) {
    }
    started = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
  if (started) {
    // Nothing comes when exec went through (the pipe closed with it).
    int failure = 0;
    ssize_t n = 0;
    while ((n = ::read(report[0], &failure, sizeof failure)) < 0 && errno == EINTR) {
    }
    started = n == 0;
  }
  ::close(report[0]);
  return started;
}

std::string FindProgramOnPath(const std::string& name, const std::string& notThis) {
  const char* path = std::getenv("PATH");
  if (!path || name.empty() || name.find('/') != std::string::npos) return "";
  char resolved[PATH_MAX];
  const std::string self =
      !notThis.empty() && ::realpath(notThis.c_str(), resolved) ? resolved : "";
  const std::string folders = path;
  for (size_t start = 0; start <= folders.size();) {
    size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    const std::string folder = folders.substr(start, end - start);
    start = end + 1;
    if (folder.empty()) continue;
    std::string candidate = folder + "/" + name;
    struct stat st {};
    if (::stat(candidate.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
        ::access(candidate.c_str(), X_OK) != 0)
      continue;
    if (!self.empty() && ::realpath(candidate.c_str(), resolved) && self == resolved) continue;
    return candidate;
  }
  return "";
}

}  // namespace pspkvx::platform
