// fopen with Windows file names.
//
// The game opens hiscore.dat and its BMP files with the C library, passing the
// names as it would on Windows. The host is linked with --wrap=fopen, so every
// fopen of the program lands here; the name goes through MapWindowsPath (case-
// insensitive lookup, '\' as separator) and on to the real fopen. Names that
// already exist as written (GoogleTest's files, system files) pass unchanged.
#include <cstdio>
#include <string>

#include "paths.h"

extern "C" FILE* __real_fopen(const char* path, const char* mode);

extern "C" FILE* __wrap_fopen(const char* path, const char* mode) {
  // Leave a null name to the C library so it fails exactly as it would unwrapped.
  if (path == nullptr) return __real_fopen(path, mode);
  std::string mapped = host::MapWindowsPath(path);
  return __real_fopen(mapped.c_str(), mode);
}
