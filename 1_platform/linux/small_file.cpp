#include "1_platform/linux/small_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace kal {

std::string ReadSmallFile(const std::string& path, size_t cap) {
  std::string s;
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return s;
  char buf[4096];
  while (s.size() < cap) {
    ssize_t n = read(fd, buf, std::min(sizeof buf, cap - s.size()));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    s.append(buf, static_cast<size_t>(n));
  }
  close(fd);
  return s;
}

std::string ReadFirstLine(const std::string& path) {
  std::string s = ReadSmallFile(path);
  size_t end = s.find('\n');
  if (end != std::string::npos) s.resize(end);
  return s;
}

}  // namespace kal
