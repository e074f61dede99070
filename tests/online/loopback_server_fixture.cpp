#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

#include "LoopbackServer.h"

namespace pspkvx::test {
namespace {

bool SendAll(int fd, const std::string& bytes) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

std::string Headers(int status, const std::string& length) {
  std::string headers = "HTTP/1.1 " + std::to_string(status) + " Scripted\r\nConnection: close\r\n";
  if (!length.empty()) headers += "Content-Length: " + length + "\r\n";
  return headers + "Content-Type: text/plain\r\n\r\n";
}

}  // namespace

LoopbackServer::LoopbackServer() {
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
      ::listen(listenFd_, 16) != 0 ||
      ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
    throw std::runtime_error("cannot listen on the loopback");
  port_ = ntohs(address.sin_port);
  acceptor_ = std::thread(&LoopbackServer::AcceptLoop, this);
}

LoopbackServer::~LoopbackServer() {
  stopping_ = true;
  acceptor_.join();
  for (std::thread& connection : connections_)
    connection.join();
  ::close(listenFd_);
}

void LoopbackServer::On(const std::string& path, const ScriptedAnswer& answer) {
  std::lock_guard<std::mutex> lock(mutex_);
  answers_[path] = answer;
}

std::string LoopbackServer::HostPort() const {
  return "127.0.0.1:" + std::to_string(port_);
}
std::string LoopbackServer::Url(const std::string& path) const {
  return "http://" + HostPort() + path;
}

std::vector<std::string> LoopbackServer::Requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

void LoopbackServer::AcceptLoop() {
  while (!Stopping()) {
    pollfd ready{listenFd_, POLLIN, 0};
    if (::poll(&ready, 1, 20) <= 0) continue;
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    std::lock_guard<std::mutex> lock(mutex_);
    connections_.emplace_back(&LoopbackServer::Answer, this, fd);
  }
}

void LoopbackServer::Answer(int fd) {
  // The request head, up to its blank line.
  std::string request;
  char buffer[4096];
  while (request.find("\r\n\r\n") == std::string::npos && !Stopping()) {
    pollfd ready{fd, POLLIN, 0};
    if (::poll(&ready, 1, 20) <= 0) continue;
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    request.append(buffer, static_cast<size_t>(n));
  }
  const size_t start = request.find(' ') + 1;
  const std::string target = request.substr(start, request.find(' ', start) - start);
  const std::string path = target.substr(0, target.find('?'));
  ScriptedAnswer answer;
  bool scripted;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back(target);
    const auto it = answers_.find(path);
    scripted = it != answers_.end();
    if (scripted) answer = it->second;
  }
  if (!scripted) answer = {ScriptedAnswer::Reply, "not found\n", 404};
  switch (answer.kind) {
    case ScriptedAnswer::Reply:
      SendAll(fd, Headers(answer.status, std::to_string(answer.body.size())) + answer.body);
      break;
    case ScriptedAnswer::CloseMidReply:
      SendAll(fd, Headers(answer.status, std::to_string(answer.body.size() * 2)) + answer.body);
      break;
    case ScriptedAnswer::NeverAnswer:
      while (!Stopping())
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      break;
    case ScriptedAnswer::Endless: {
      const std::string piece(64 * 1024, 'x');
      if (SendAll(fd, Headers(answer.status, "") + answer.body))
        while (!Stopping() && SendAll(fd, piece)) {
        }
      break;
    }
    case ScriptedAnswer::Trickle: {
      bool open = SendAll(fd, Headers(answer.status, ""));
      while (open && !Stopping()) {
        open = SendAll(fd, answer.body);
        const auto next = std::chrono::steady_clock::now() + answer.gap;
        while (!Stopping() && std::chrono::steady_clock::now() < next)
          std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
      break;
    }
  }
  ::close(fd);
}

}  // namespace pspkvx::test
