// Opening game files for reading. The game's files are always regular files; a
// name that leads to a directory, a device such as /dev/zero or a FIFO would
// fail, never end or block, so such names read as missing. The check is made
// on the open file (opened without blocking), not by name beforehand, so that
// nothing can be swapped in between.
#pragma once

#include <fcntl.h>

#include <optional>
#include <string>

namespace host {

// A descriptor opened with `flags` (O_RDONLY unless told; blocking again), or -1
// with errno set: open's own error, or EISDIR for a directory and EACCES for
// anything else that is not a regular file. New files get mode 0644.
int OpenRegularFile(const std::string& path, int flags = O_RDONLY);

// The whole file when it is a regular file of at most maxBytes bytes;
// nothing when it is missing, not a regular file, larger, or unreadable.
std::optional<std::string> ReadRegularFile(const std::string& path, size_t maxBytes);

}  // namespace host
