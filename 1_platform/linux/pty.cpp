#include "1_platform/pty.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace kal {

bool OpenPseudoTerminal(int columns, int rows, PseudoTerminal* pty) {
  winsize ws{};
  ws.ws_col = static_cast<unsigned short>(columns);
  ws.ws_row = static_cast<unsigned short>(rows);
  if (openpty(&pty->master, &pty->slave, nullptr, nullptr, &ws) != 0) return false;
  fcntl(pty->master, F_SETFD, FD_CLOEXEC);
  fcntl(pty->slave, F_SETFD, FD_CLOEXEC);
  return true;
}

void ClosePseudoTerminal(PseudoTerminal* pty) {
  if (pty->slave >= 0) close(pty->slave);
  if (pty->master >= 0) close(pty->master);
  pty->master = pty->slave = -1;
}

size_t DrainPseudoTerminal(int master, int wait_ms, std::string* out) {
  size_t total = 0;
  int wait = wait_ms;
  for (;;) {
    pollfd p{master, POLLIN, 0};
    if (poll(&p, 1, wait) <= 0) return total;
    char buf[65536];
    ssize_t n = read(master, buf, sizeof buf);
    if (n <= 0) return total;
    out->append(buf, static_cast<size_t>(n));
    total += static_cast<size_t>(n);
    wait = 0;
  }
}

bool WriteToPseudoTerminal(int master, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = write(master, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

}  // namespace kal
