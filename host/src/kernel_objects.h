// The host's kernel handle table: files, events and threads live behind small
// numbered handles, as on Windows, so a stale or made-up handle is refused
// (ERROR_INVALID_HANDLE) instead of being followed.
#pragma once

#include <memory>

#include "windows.h"

namespace host {

struct KernelObject {
  virtual ~KernelObject() = default;
};

// Files the object under a new handle (never NULL or INVALID_HANDLE_VALUE).
HANDLE AddKernelObject(std::shared_ptr<KernelObject> object);

// The object behind a handle if it is of type T, else null. The object stays
// alive while the caller holds it, even if another thread closes the handle.
std::shared_ptr<KernelObject> FindKernelObject(HANDLE handle);
template <class T>
std::shared_ptr<T> FindKernel(HANDLE handle) {
  return std::dynamic_pointer_cast<T>(FindKernelObject(handle));
}

}  // namespace host
