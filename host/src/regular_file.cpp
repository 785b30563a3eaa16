#include "regular_file.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace host {

int OpenRegularFile(const std::string& path, int flags) {
  int fd = open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0644);
  if (fd < 0) return -1;
  struct stat info{};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    int error = S_ISDIR(info.st_mode) ? EISDIR : EACCES;
    close(fd);
    errno = error;
    return -1;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

std::optional<std::string> ReadRegularFile(const std::string& path, size_t maxBytes) {
  int fd = OpenRegularFile(path);
  if (fd < 0) return std::nullopt;
  std::string content;
  char chunk[65536];
  bool ok = true;
  for (;;) {
    ssize_t got = read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      ok = got == 0;
      break;
    }
    if (content.size() + static_cast<size_t>(got) > maxBytes) {
      ok = false;  // grown past the limit, perhaps while we read
      break;
    }
    content.append(chunk, static_cast<size_t>(got));
  }
  close(fd);
  if (!ok) return std::nullopt;
  return content;
}

}  // namespace host
