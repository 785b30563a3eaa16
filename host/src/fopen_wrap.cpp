// fopen with Windows file names.
//
// The game opens hiscore.dat and its BMP files with the C library, passing the
// names as it would on Windows. The host is linked with --wrap=fopen, so every
// fopen of the program lands here; the name goes through MapWindowsPath (case-
// insensitive lookup, '\' as separator) and on to the real fopen. Names that
// already exist as written (GoogleTest's files, system files) pass unchanged.
// Opening for reading only opens a regular file (see regular_file.h): a
// picture or hall-of-fame name that leads to a directory, a device or a FIFO
// fails as a missing file would, at once, instead of blocking or never ending.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "paths.h"
#include "regular_file.h"

extern "C" FILE* __real_fopen(const char* path, const char* mode);

extern "C" FILE* __wrap_fopen(const char* path, const char* mode) {
  // Leave a null name to the C library so it fails exactly as it would unwrapped.
  if (path == nullptr) return __real_fopen(path, mode);
  std::string mapped = host::MapWindowsPath(path);
  bool readOnly = mode != nullptr && mode[0] == 'r' && std::strchr(mode, '+') == nullptr;
  if (!readOnly) return __real_fopen(mapped.c_str(), mode);
  int fd = host::OpenRegularFile(mapped);
  if (fd < 0) return nullptr;
  FILE* file = fdopen(fd, mode);
  if (file == nullptr) close(fd);
  return file;
}
