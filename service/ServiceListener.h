// Binding the service's server to its address and port, so that a port in use is a clear
// failure: cpp-httplib's default socket options would let a second server share the port with
// the first, each getting some of the requests.
#pragma once

#include <httplib.h>

#include <string>

namespace pspkvx::service {

struct BindResult {
  int port = 0;       // the port bound; 0 when binding failed
  std::string error;  // "cannot listen on 127.0.0.1:8377: the port is already in use"
  bool ok() const { return port > 0; }
};

// Binds server to address:port (port 0: one the system picks) with options that refuse a port
// another socket listens on and allow one left in TIME_WAIT by a server that just stopped.
// The listen backlog is set to backlog afterwards (the library's own is 5), so that a burst of
// connections waits in the queue instead of being refused or retried.
BindResult BindService(httplib::Server& server, const std::string& address, int port,
                       int backlog = 1024);

}  // namespace pspkvx::service
