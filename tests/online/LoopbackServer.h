// A small HTTP server on a loopback port chosen by the system, whose answers the test scripts
// per path, misbehaviour included: a reply cut off mid-way, no answer at all, a body that never
// ends, one that trickles.
#pragma once

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace pspkvx::test {

struct ScriptedAnswer {
  enum Kind {
    Reply,          // status line, Content-Length, the body, close
    CloseMidReply,  // announces twice the body's length, sends the body, hangs up
    NeverAnswer,    // reads the request and says nothing until the server stops
    Endless,        // a body without a length that goes on until the client hangs up
    Trickle,        // a body without a length: the body text again every gap
  };
  Kind kind = Reply;
  std::string body;
  int status = 200;
  std::chrono::milliseconds gap{50};
};

class LoopbackServer {
 public:
  LoopbackServer();
  ~LoopbackServer();  // stops answering and ends every connection
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  // Paths without a script get a 404.
  void On(const std::string& path, const ScriptedAnswer& answer);
  std::string Url(const std::string& path) const;
  std::string HostPort() const;
  // Request targets received so far, in order.
  std::vector<std::string> Requests() const;

 private:
  void AcceptLoop();
  void Answer(int fd);
  bool Stopping() const { return stopping_.load(); }

  int listenFd_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  mutable std::mutex mutex_;
  std::map<std::string, ScriptedAnswer> answers_;
  std::vector<std::string> requests_;
  std::vector<std::thread> connections_;
  std::thread acceptor_;
};

}  // namespace pspkvx::test
