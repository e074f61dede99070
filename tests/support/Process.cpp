#include "support/Process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>
#include <thread>

namespace pspkvx::test {
namespace {

using Clock = std::chrono::steady_clock;

int Spawn(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
          int outWrite, int errWrite) {
  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    ::dup2(outWrite, 1);
    ::dup2(errWrite, 2);
    for (const auto& [key, value] : env)
      ::setenv(key.c_str(), value.c_str(), 1);
    std::vector<char*> args;
    for (const auto& a : argv)
      args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execv(args[0], args.data());
    ::_exit(127);
  }
  return pid;
}

void ReadAvailable(int fd, std::string& into) {
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n <= 0) return;
    into.append(buffer, static_cast<size_t>(n));
  }
}

int ExitCodeOf(int status) {
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

ProcessResult RunProcess(const std::vector<std::string>& argv,
                         const std::map<std::string, std::string>& env,
                         std::chrono::milliseconds limit) {
  int outPipe[2], errPipe[2];
  if (::pipe2(outPipe, O_CLOEXEC) != 0 || ::pipe2(errPipe, O_CLOEXEC) != 0)
    throw std::runtime_error("pipe failed");
  const int pid = Spawn(argv, env, outPipe[1], errPipe[1]);
  ::close(outPipe[1]);
  ::close(errPipe[1]);
  ProcessResult result;
  const auto deadline = Clock::now() + limit;
  pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
  int open = 2;
  while (open > 0) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) {
      result.timedOut = true;
      ::kill(pid, SIGKILL);
      break;
    }
    if (::poll(fds, 2, static_cast<int>(left.count())) <= 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !fds[i].revents) continue;
      char buffer[4096];
      const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        (i == 0 ? result.out : result.err).append(buffer, static_cast<size_t>(n));
      } else {
        fds[i].fd = -1;
        --open;
      }
    }
  }
  ::close(outPipe[0]);
  ::close(errPipe[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  result.exitCode = result.timedOut ? -1 : ExitCodeOf(status);
  return result;
}

Child::Child(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env) {
  int outPipe[2];
  if (::pipe2(outPipe, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  const int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  pid_ = Spawn(argv, env, outPipe[1], devNull);
  ::close(outPipe[1]);
  ::close(devNull);
  outFd_ = outPipe[0];
  ::fcntl(outFd_, F_SETFL, O_NONBLOCK);
}

Child::~Child() {
  Terminate();
  if (outFd_ >= 0) ::close(outFd_);
}

bool Child::Running() {
  if (reaped_) return false;
  if (::waitpid(pid_, &status_, WNOHANG) == pid_) reaped_ = true;
  return !reaped_;
}

int Child::Wait(std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  while (Running() && Clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  if (Running()) {
    Terminate();
    return -1;
  }
  return ExitCodeOf(status_);
}

void Child::Terminate() {
  if (pid_ <= 0 || !Running()) return;
  ::kill(pid_, SIGKILL);
  ::waitpid(pid_, &status_, 0);
  reaped_ = true;
}

std::string Child::Output() {
  ReadAvailable(outFd_, out_);
  return out_;
}

std::string ProgramFolderFile(const std::string& name) {
  return std::string(PSPKVX_PROGRAM_DIR) + "/" + name;
}

ProcessResult RunCli(std::vector<std::string> args, std::map<std::string, std::string> env,
                     std::chrono::milliseconds limit) {
  args.insert(args.begin(), ProgramFolderFile("pspkvx-cli"));
  env.emplace("HOME", "/home/nobody-here");
  return RunProcess(args, env, limit);
}

}  // namespace pspkvx::test
