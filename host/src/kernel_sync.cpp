// Events, waits and threads.
//
// Windows behaviour reproduced: an auto-reset event stays signalled until one
// wait takes it, so one SetEvent releases exactly one waiter; a manual-reset
// event stays signalled until ResetEvent. WaitForMultipleObjects returns
// WAIT_OBJECT_0 + the lowest index that is signalled (taking only that one), or,
// with waitAll, waits until all are signalled at once and takes them all;
// WAIT_TIMEOUT when the time runs out (0 only looks); WAIT_FAILED with
// ERROR_INVALID_PARAMETER for 0 or more than MAXIMUM_WAIT_OBJECTS handles and
// ERROR_INVALID_HANDLE for a handle that is not an event or thread. A thread's
// handle becomes signalled when its body returns; GetExitCodeThread reports
// STILL_ACTIVE until then.
// FIXME: a handle closed while another thread waits on it leaves that wait
// waiting on the object (Windows leaves it undefined); CREATE_SUSPENDED is
// refused; priorities are accepted and ignored.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "kernel_objects.h"

namespace host {
namespace {

// Every event and thread shares one lock and one condition: waits are short
// checks, and one condition lets a wait watch any mix of objects.
std::mutex syncMutex;
std::condition_variable syncChanged;

struct Waitable : KernelObject {
  bool manualReset = false;
  bool signalled = false;  // guarded by syncMutex
};

struct Event : Waitable {};

struct Thread : Waitable {
  DWORD exitCode = STILL_ACTIVE;  // guarded by syncMutex
};

// With the lock held: the index that releases the wait, or -1.
int TakeSignalled(const std::vector<std::shared_ptr<Waitable>>& objects, bool waitAll) {
  if (waitAll) {
    for (auto& object : objects)
      if (!object->signalled) return -1;
    for (auto& object : objects)
      if (!object->manualReset) object->signalled = false;
    return 0;
  }
  for (size_t i = 0; i < objects.size(); ++i) {
    if (!objects[i]->signalled) continue;
    if (!objects[i]->manualReset) objects[i]->signalled = false;
    return static_cast<int>(i);
  }
  return -1;
}

HANDLE StartThread(std::function<DWORD()> body, DWORD creationFlags, LPDWORD threadId) {
  if (creationFlags & CREATE_SUSPENDED) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto thread = std::make_shared<Thread>();
  thread->manualReset = true;
  HANDLE handle = AddKernelObject(thread);
  static std::atomic<DWORD> nextThreadId{0x100};
  if (threadId) *threadId = nextThreadId.fetch_add(4);
  // The thread keeps its own object alive, whether or not the handle is closed.
  std::thread([thread, body = std::move(body)] {
    DWORD exitCode = body();
    std::lock_guard<std::mutex> lock(syncMutex);
    thread->exitCode = exitCode;
    thread->signalled = true;
    syncChanged.notify_all();
  }).detach();
  return handle;
}

BOOL SetSignal(HANDLE event, bool signalled) {
  auto object = FindKernel<Event>(event);
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  std::lock_guard<std::mutex> lock(syncMutex);
  object->signalled = signalled;
  if (signalled) syncChanged.notify_all();
  return TRUE;
}

}  // namespace
}  // namespace host

HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState, LPCSTR) {
  auto event = std::make_shared<host::Event>();
  event->manualReset = manualReset != FALSE;
  event->signalled = initialState != FALSE;
  return host::AddKernelObject(event);
}

BOOL WINAPI SetEvent(HANDLE event) { return host::SetSignal(event, true); }

BOOL WINAPI ResetEvent(HANDLE event) { return host::SetSignal(event, false); }

DWORD WINAPI WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds) {
  if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || handles == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  std::vector<std::shared_ptr<host::Waitable>> objects;
  for (DWORD i = 0; i < count; ++i) {
    auto object = host::FindKernel<host::Waitable>(handles[i]);
    if (!object) {
      SetLastError(ERROR_INVALID_HANDLE);
      return WAIT_FAILED;
    }
    objects.push_back(std::move(object));
  }
  const bool all = waitAll != FALSE;
  std::unique_lock<std::mutex> lock(host::syncMutex);
  int index = -1;
  auto released = [&] { return (index = host::TakeSignalled(objects, all)) >= 0; };
  if (milliseconds == INFINITE)
    host::syncChanged.wait(lock, released);
  else if (!host::syncChanged.wait_for(lock, std::chrono::milliseconds(milliseconds), released))
    return WAIT_TIMEOUT;
  return WAIT_OBJECT_0 + static_cast<DWORD>(index);
}

DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  return WaitForMultipleObjects(1, &handle, FALSE, milliseconds);
}

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE startAddress, LPVOID parameter,
                           DWORD creationFlags, LPDWORD threadId) {
  if (!startAddress) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return host::StartThread([=] { return startAddress(parameter); }, creationFlags, threadId);
}

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, unsigned long (*startAddress)(void*), LPVOID parameter,
                           DWORD creationFlags, LPDWORD threadId) {
  if (!startAddress) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return host::StartThread([=] { return static_cast<DWORD>(startAddress(parameter)); }, creationFlags, threadId);
}

BOOL WINAPI SetThreadPriority(HANDLE thread, int priority) {
  if (!host::FindKernel<host::Thread>(thread)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

BOOL WINAPI GetExitCodeThread(HANDLE thread, LPDWORD exitCode) {
  auto object = host::FindKernel<host::Thread>(thread);
  if (!object || !exitCode) {
    SetLastError(object ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
    return FALSE;
  }
  std::lock_guard<std::mutex> lock(host::syncMutex);
  *exitCode = object->exitCode;
  return TRUE;
}
