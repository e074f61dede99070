// The real pspkvx-service as a child process on a loopback port (one the system picks, unless
// the test names one), with its database in a folder of the test's.
#pragma once

#include <memory>
#include <string>

#include "support/Process.h"

namespace pspkvx::test {

class ServiceProcess {
 public:
  // Starts the service (with --demo unless told otherwise) and waits until it listens. Throws
  // when it does not come up.
  explicit ServiceProcess(const std::string& databasePath, bool demo = true, int port = 0);

  // Ends it at once (its port is free again, apart from closed connections in TIME_WAIT).
  void Kill() { child_->Terminate(); }

  std::string HostPort() const { return hostPort_; }  // "127.0.0.1:PORT"
  std::string Base() const { return "http://" + hostPort_; }
  // What the service printed so far (reading it also keeps its output pipe from filling).
  std::string Output() { return child_->Output(); }

 private:
  std::unique_ptr<Child> child_;
  std::string hostPort_;
};

}  // namespace pspkvx::test
