#include "platform/instance_lock_linux.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

namespace pspkvx::platform {
namespace {

constexpr char kRaiseRequest[] = "raise\n";

std::string RuntimePath(const std::string& name, const char* suffix) {
  const char* dir = std::getenv("XDG_RUNTIME_DIR");
  std::string base = (dir && *dir) ? dir : "/tmp";
  return base + "/" + name + "-" + std::to_string(::getuid()) + suffix;
}

bool FillAddress(const std::string& path, sockaddr_un& addr) {
  std::memset(&addr, 0, sizeof addr);
  addr.sun_family = AF_UNIX;
  if (path.size() >= sizeof addr.sun_path) return false;
  std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
  return true;
}

class LinuxInstanceLock final : public InstanceLock {
 public:
  LinuxInstanceLock(int lockFd, int listenFd, std::string socketPath)
      : lockFd_(lockFd), listenFd_(listenFd), socketPath_(std::move(socketPath)) {
    if (::pipe2(wakePipe_, O_CLOEXEC) != 0) wakePipe_[0] = wakePipe_[1] = -1;
    if (listenFd_ >= 0 && wakePipe_[0] >= 0) listener_ = std::thread([this] { Listen(); });
  }

  ~LinuxInstanceLock() override {
    if (listener_.joinable()) {
      const char byte = 0;
      [[maybe_unused]] ssize_t n = ::write(wakePipe_[1], &byte, 1);
      listener_.join();
    }
    for (int fd : {wakePipe_[0], wakePipe_[1], listenFd_})
      if (fd >= 0) ::close(fd);
    if (listenFd_ >= 0) ::unlink(socketPath_.c_str());
    ::close(lockFd_);  // releases the lock
  }

  void SetRaiseHandler(std::function<void()> handler) override {
    std::lock_guard<std::mutex> lock(mutex_);
    handler_ = std::move(handler);
    if (handler_ && pending_) {
      pending_ = false;
      handler_();
    }
  }

 private:
  void Listen() {
    pollfd fds[2] = {{listenFd_, POLLIN, 0}, {wakePipe_[0], POLLIN, 0}};
    for (;;) {
      if (::poll(fds, 2, -1) < 0) {
        if (errno == EINTR) continue;
        return;
      }
      if (fds[1].revents) return;
      if (!(fds[0].revents & POLLIN)) continue;
      const int client = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (client < 0) continue;
      char buffer[16] = {};
      // A short bounded read: a client that connects and says nothing cannot hold us up.
      pollfd in = {client, POLLIN, 0};
      ssize_t n = 0;
      if (::poll(&in, 1, 1000) > 0) n = ::read(client, buffer, sizeof buffer - 1);
      ::close(client);
      if (n > 0 && std::strncmp(buffer, kRaiseRequest, sizeof kRaiseRequest - 1) == 0) Raise();
    }
  }

  void Raise() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (handler_)
      handler_();
    else
      pending_ = true;
  }

  int lockFd_;
  int listenFd_;
  std::string socketPath_;
  int wakePipe_[2] = {-1, -1};
  std::thread listener_;
  std::mutex mutex_;
  std::function<void()> handler_;
  bool pending_ = false;
};

}  // namespace

std::unique_ptr<InstanceLock> AcquireLinuxInstanceLock(const std::string& name) {
  const std::string lockPath = RuntimePath(name, ".lock");
  const int lockFd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lockFd < 0) {
    // Without a place for the lock the program still runs, as if it were the only instance.
    return std::make_unique<LinuxInstanceLock>(::open("/dev/null", O_RDONLY | O_CLOEXEC), -1, "");
  }
  if (::flock(lockFd, LOCK_EX | LOCK_NB) != 0) {
    ::close(lockFd);
    return nullptr;
  }
  // We hold the lock, so any socket file left behind is stale.
  const std::string socketPath = RuntimePath(name, ".sock");
  ::unlink(socketPath.c_str());
  int listenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un addr;
  if (listenFd >= 0 && (!FillAddress(socketPath, addr) ||
                        ::bind(listenFd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
                        ::listen(listenFd, 4) != 0)) {
    ::close(listenFd);
    listenFd = -1;
  }
  return std::make_unique<LinuxInstanceLock>(lockFd, listenFd, socketPath);
}

bool AskLinuxInstanceToRaise(const std::string& name) {
  sockaddr_un addr;
  if (!FillAddress(RuntimePath(name, ".sock"), addr)) return false;
  // The first instance binds its socket right after taking the lock; give it a moment.
  for (int attempt = 0; attempt < 20; ++attempt) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
      const bool sent = ::write(fd, kRaiseRequest, sizeof kRaiseRequest - 1) ==
                        static_cast<ssize_t>(sizeof kRaiseRequest - 1);
      ::close(fd);
      return sent;
    }
    ::close(fd);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

}  // namespace pspkvx::platform
