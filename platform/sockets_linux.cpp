#include <sys/socket.h>

#include <cerrno>
#include <system_error>

#include "platform/Platform.h"

namespace pspkvx::platform {

void SetListeningSocketOptions(uintptr_t socket) {
  // SO_REUSEADDR alone: a socket still in TIME_WAIT does not block a restart, and Linux still
  // refuses a second listener on the same address and port (SO_REUSEPORT would accept it and
  // share the connections between the two).
  const int yes = 1;
  ::setsockopt(static_cast<int>(socket), SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
}

void SetListenBacklog(uintptr_t socket, int backlog) {
  // listen() again on a listening socket changes only its backlog.
  const int saved = errno;
  ::listen(static_cast<int>(socket), backlog);
  errno = saved;
}

void ClearLastSocketError() {
  errno = 0;
}

std::string LastListenErrorText() {
  const int error = errno;
  switch (error) {
    case 0:
      return "";
    case EADDRINUSE:
      return "the port is already in use";
    case EADDRNOTAVAIL:
      return "the address is not one of this machine's";
    case EACCES:
      return "permission denied (ports below 1024 need privileges)";
    default:
      return std::generic_category().message(error);
  }
}

}  // namespace pspkvx::platform
