// Files opened by handle: CreateFileA, ReadFile, SetFilePointer.
//
// Windows behaviour reproduced: names are Windows paths, found whatever their
// case (host/paths.h); a missing file is ERROR_FILE_NOT_FOUND, a missing folder
// ERROR_PATH_NOT_FOUND; a folder, device or pipe cannot be opened as a file
// (ERROR_ACCESS_DENIED), which also keeps a read from blocking on a FIFO.
// ReadFile at the end of the file succeeds with 0 bytes read. SetFilePointer
// returns the new position (low 32 bits, the high part through its pointer) or
// INVALID_SET_FILE_POINTER, and a move before the start is ERROR_NEGATIVE_SEEK.
// FIXME: share modes are not enforced; no WriteFile (nothing writes through a handle).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "kernel_objects.h"
#include "paths.h"
#include "regular_file.h"

namespace host {
namespace {

struct File : KernelObject {
  int descriptor;
  explicit File(int fd) : descriptor(fd) {}
  ~File() override { close(descriptor); }
};

DWORD ErrorFromErrno(int error) {
  switch (error) {
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EEXIST: return ERROR_FILE_EXISTS;
    case EACCES: case EPERM: case EISDIR: return ERROR_ACCESS_DENIED;
    default: return ERROR_INVALID_PARAMETER;
  }
}

int OpenFlags(DWORD access, DWORD disposition) {
  int flags = (access & GENERIC_WRITE) ? ((access & GENERIC_READ) ? O_RDWR : O_WRONLY) : O_RDONLY;
  switch (disposition) {
    case CREATE_NEW: return flags | O_CREAT | O_EXCL;
    case CREATE_ALWAYS: return flags | O_CREAT | O_TRUNC;
    case OPEN_EXISTING: return flags;
    case OPEN_ALWAYS: return flags | O_CREAT;
    case TRUNCATE_EXISTING: return flags | O_TRUNC;
    default: return -1;
  }
}

// A missing file in a missing folder is a path error on Windows.
DWORD MissingFileError(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos || slash == 0) return ERROR_FILE_NOT_FOUND;
  struct stat info;
  return stat(path.substr(0, slash).c_str(), &info) == 0 ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

}  // namespace
}  // namespace host

HANDLE WINAPI CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode, LPSECURITY_ATTRIBUTES,
                          DWORD creationDisposition, DWORD, HANDLE) {
  int flags = host::OpenFlags(desiredAccess, creationDisposition);
  if (fileName == nullptr || *fileName == '\0' || flags < 0) {
    SetLastError(fileName && *fileName ? ERROR_INVALID_PARAMETER : ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  std::string path = host::MapWindowsPath(fileName);
  // A FIFO, a device or a folder is refused (ERROR_ACCESS_DENIED) without blocking.
  int fd = host::OpenRegularFile(path, flags);
  if (fd < 0) {
    int error = errno;
    SetLastError(error == ENOENT ? host::MissingFileError(path) : host::ErrorFromErrno(error));
    return INVALID_HANDLE_VALUE;
  }
  SetLastError(NO_ERROR);
  return host::AddKernelObject(std::make_shared<host::File>(fd));
}

BOOL WINAPI ReadFile(HANDLE file, LPVOID buffer, DWORD numberOfBytesToRead, LPDWORD numberOfBytesRead,
                     LPOVERLAPPED) {
  if (numberOfBytesRead) *numberOfBytesRead = 0;
  auto object = host::FindKernel<host::File>(file);
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (buffer == nullptr && numberOfBytesToRead > 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  DWORD total = 0;
  while (total < numberOfBytesToRead) {
    ssize_t got = read(object->descriptor, static_cast<char*>(buffer) + total, numberOfBytesToRead - total);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      SetLastError(host::ErrorFromErrno(errno));
      if (numberOfBytesRead) *numberOfBytesRead = total;
      return FALSE;
    }
    if (got == 0) break;  // end of file: success with what was there
    total += static_cast<DWORD>(got);
  }
  if (numberOfBytesRead) *numberOfBytesRead = total;
  return TRUE;
}

DWORD WINAPI SetFilePointer(HANDLE file, LONG distanceToMove, PLONG distanceToMoveHigh, DWORD moveMethod) {
  auto object = host::FindKernel<host::File>(file);
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return INVALID_SET_FILE_POINTER;
  }
  // Without a high part the distance is a signed 32-bit number; with one, the
  // two make a signed 64-bit distance.
  int64_t distance = distanceToMoveHigh
                         ? static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(*distanceToMoveHigh)) << 32) |
                                                static_cast<uint32_t>(distanceToMove))
                         : distanceToMove;
  int whence = moveMethod == FILE_BEGIN ? SEEK_SET : moveMethod == FILE_CURRENT ? SEEK_CUR : moveMethod == FILE_END ? SEEK_END : -1;
  if (whence < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  off_t base = whence == SEEK_SET ? 0 : lseek(object->descriptor, 0, whence);
  if (base < 0 || base + distance < 0) {
    SetLastError(ERROR_NEGATIVE_SEEK);
    return INVALID_SET_FILE_POINTER;
  }
  off_t position = lseek(object->descriptor, base + distance, SEEK_SET);
  if (position < 0) {
    SetLastError(host::ErrorFromErrno(errno));
    return INVALID_SET_FILE_POINTER;
  }
  if (distanceToMoveHigh) *distanceToMoveHigh = static_cast<LONG>(static_cast<uint64_t>(position) >> 32);
  SetLastError(NO_ERROR);
  return static_cast<DWORD>(position);
}
