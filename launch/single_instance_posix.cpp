#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>

#include "launch/single_instance.h"

// An abstract-namespace Unix socket has exactly the life of a named event: the
// kernel frees the name when the last descriptor closes, so a killed instance
// never leaves a stale claim behind, and there is no file to clean up.
bool ClaimSingleInstance(const char* name) {
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return true;

  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  size_t length = strnlen(name, sizeof address.sun_path - 1);
  memcpy(address.sun_path + 1, name, length);  // sun_path[0] = 0: abstract
  socklen_t size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);

  if (bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0) return true;  // keep fd open
  bool taken = errno == EADDRINUSE;
  close(fd);
  return !taken;
}
