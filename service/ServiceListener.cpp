#include "service/ServiceListener.h"

#include "platform/Platform.h"

namespace pspkvx::service {

BindResult BindService(httplib::Server& server, const std::string& address, int port) {
  server.set_socket_options(
      [](socket_t socket) { platform::SetListeningSocketOptions(static_cast<uintptr_t>(socket)); });
  platform::ClearLastSocketError();
  BindResult result;
  if (port == 0) {
    const int bound = server.bind_to_any_port(address);
    result.port = bound > 0 ? bound : 0;
  } else if (server.bind_to_port(address, port)) {
    result.port = port;
  }
  if (result.ok()) return result;
  const std::string reason = platform::LastListenErrorText();
  result.error = "cannot listen on " + address + ":" + std::to_string(port) +
                 (reason.empty() ? "" : ": " + reason);
  return result;
}

}  // namespace pspkvx::service
