// MoveFileExA and DeleteFileA over rename(2) and unlink(2).
//
// Windows behaviour reproduced: a move onto an existing file fails unless
// MOVEFILE_REPLACE_EXISTING is given, and a replacing move within one volume is
// a single step, so a reader sees the old file or the new one, never a mix.
// MOVEFILE_WRITE_THROUGH flushes the moved file and its folder to the disk
// before returning. Moving a missing file, or onto a folder, fails.
// FIXME: MOVEFILE_COPY_ALLOWED is ignored: the game's moves stay in one folder.
// FIXME: GetLastError is not kept; callers see only the result.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "paths.h"
#include "windows.h"

namespace {

bool Exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

bool SyncPath(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0) return false;
  const bool synced = fsync(fd) == 0;
  return close(fd) == 0 && synced;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace

BOOL WINAPI MoveFileExA(LPCSTR existingFileName, LPCSTR newFileName, DWORD flags) {
  if (existingFileName == nullptr || newFileName == nullptr) return FALSE;
  const std::string from = host::MapWindowsPath(existingFileName);
  const std::string to = host::MapWindowsPath(newFileName);
  if (!Exists(from)) return FALSE;
  if ((flags & MOVEFILE_REPLACE_EXISTING) == 0 && Exists(to)) return FALSE;
  const bool writeThrough = (flags & MOVEFILE_WRITE_THROUGH) != 0;
  if (writeThrough && !SyncPath(from)) return FALSE;
  if (std::rename(from.c_str(), to.c_str()) != 0) return FALSE;
  if (writeThrough && !SyncPath(FolderOf(to))) return FALSE;
  return TRUE;
}

BOOL WINAPI DeleteFileA(LPCSTR fileName) {
  if (fileName == nullptr) return FALSE;
  const std::string path = host::MapWindowsPath(fileName);
  struct stat info;
  // Windows deletes files only; a folder needs RemoveDirectory.
  if (stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return FALSE;
  return unlink(path.c_str()) == 0 ? TRUE : FALSE;
}
