#include "service/ServiceListener.h"

#include <memory>
#include <optional>

#include "platform/Platform.h"

namespace pspkvx::service {

BindResult BindService(httplib::Server& server, const std::string& address, int port, int backlog) {
  auto listening = std::make_shared<std::optional<uintptr_t>>();
  server.set_socket_options([listening](socket_t socket) {
    platform::SetListeningSocketOptions(static_cast<uintptr_t>(socket));
    *listening = static_cast<uintptr_t>(socket);
  });
  platform::ClearLastSocketError();
  BindResult result;
  if (port == 0) {
    const int bound = server.bind_to_any_port(address);
    result.port = bound > 0 ? bound : 0;
  } else if (server.bind_to_port(address, port)) {
    result.port = port;
  }
  if (result.ok()) {
    if (*listening && backlog > 0) platform::SetListenBacklog(**listening, backlog);
    return result;
  }
  const std::string reason = platform::LastListenErrorText();
  result.error = "cannot listen on " + address + ":" + std::to_string(port) +
                 (reason.empty() ? "" : ": " + reason);
  return result;
}

}  // namespace pspkvx::service
