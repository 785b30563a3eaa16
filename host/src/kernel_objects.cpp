// Kernel handles, CloseHandle and the thread's last error.
//
// Windows behaviour reproduced: CloseHandle of an unknown handle returns FALSE
// with ERROR_INVALID_HANDLE; an object lives on while a thread still uses it
// (a running thread whose handle was closed, a wait in progress).
#include "kernel_objects.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace host {
namespace {

std::mutex tableMutex;
std::unordered_map<uintptr_t, std::shared_ptr<KernelObject>> table;
uintptr_t nextHandle = 0x1000;  // multiples of 4, as Windows hands them out

thread_local DWORD lastError = 0;

}  // namespace

HANDLE AddKernelObject(std::shared_ptr<KernelObject> object) {
  std::lock_guard<std::mutex> lock(tableMutex);
  uintptr_t value = nextHandle;
  nextHandle += 4;
  table.emplace(value, std::move(object));
  return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> FindKernelObject(HANDLE handle) {
  std::lock_guard<std::mutex> lock(tableMutex);
  auto it = table.find(reinterpret_cast<uintptr_t>(handle));
  return it == table.end() ? nullptr : it->second;
}

}  // namespace host

DWORD WINAPI GetLastError(void) { return host::lastError; }

void WINAPI SetLastError(DWORD errorCode) { host::lastError = errorCode; }

BOOL WINAPI CloseHandle(HANDLE object) {
  std::shared_ptr<host::KernelObject> closed;  // destroyed after the lock is let go
  {
    std::lock_guard<std::mutex> lock(host::tableMutex);
    auto it = host::table.find(reinterpret_cast<uintptr_t>(object));
    if (it == host::table.end()) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    closed = std::move(it->second);
    host::table.erase(it);
  }
  return TRUE;
}
