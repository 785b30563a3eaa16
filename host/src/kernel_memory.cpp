// Global memory, critical sections and MulDiv.
//
// Windows behaviour reproduced: GlobalAlloc(GMEM_MOVEABLE) returns a handle, not
// memory; GlobalLock gives the memory and counts the locks; GlobalUnlock returns
// TRUE while locks remain and FALSE with NO_ERROR for the last one (FALSE with
// ERROR_NOT_LOCKED when none was held). GMEM_FIXED returns the memory itself,
// which GlobalLock hands back unchanged. GMEM_ZEROINIT zeroes the block.
// GlobalFree returns NULL on success and the handle itself on failure. Critical
// sections may be entered again by the thread that holds them. MulDiv works on a
// 64-bit product, rounds halves away from zero, and returns -1 for a zero
// divisor or a result that does not fit in an int.
// FIXME: moveable memory never moves; GMEM_DISCARDABLE and GlobalReAlloc are absent.
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "windows.h"

namespace host {
namespace {

struct GlobalBlock {
  std::unique_ptr<char[]> memory;
  bool moveable = false;
  int locks = 0;
};

std::mutex blocksMutex;
std::unordered_map<HGLOBAL, GlobalBlock> blocks;
uintptr_t nextMoveableHandle = 0x40000;  // not an address: a moveable handle is never memory

// The block behind a handle (blocksMutex held), or null with the error set.
GlobalBlock* FindBlock(HGLOBAL memory) {
  auto it = blocks.find(memory);
  if (it != blocks.end()) return &it->second;
  SetLastError(ERROR_INVALID_HANDLE);
  return nullptr;
}

}  // namespace
}  // namespace host

HGLOBAL WINAPI GlobalAlloc(UINT flags, SIZE_T bytes) {
  host::GlobalBlock block;
  // Windows hands out a usable block even for 0 bytes of fixed memory.
  block.memory.reset(new (std::nothrow) char[bytes ? bytes : 1]);
  if (!block.memory) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if (flags & GMEM_ZEROINIT) std::memset(block.memory.get(), 0, bytes);
  block.moveable = (flags & GMEM_MOVEABLE) != 0;
  std::lock_guard<std::mutex> lock(host::blocksMutex);
  HGLOBAL handle = block.moveable ? reinterpret_cast<HGLOBAL>(host::nextMoveableHandle += 8)
                                  : static_cast<HGLOBAL>(block.memory.get());
  host::blocks.emplace(handle, std::move(block));
  return handle;
}

LPVOID WINAPI GlobalLock(HGLOBAL memory) {
  std::lock_guard<std::mutex> lock(host::blocksMutex);
  host::GlobalBlock* block = host::FindBlock(memory);
  if (block == nullptr) return nullptr;
  if (block->moveable) ++block->locks;
  return block->memory.get();
}

BOOL WINAPI GlobalUnlock(HGLOBAL memory) {
  std::lock_guard<std::mutex> lock(host::blocksMutex);
  host::GlobalBlock* found = host::FindBlock(memory);
  if (found == nullptr) return FALSE;
  host::GlobalBlock& block = *found;
  if (!block.moveable) return TRUE;  // fixed memory is always "locked"
  if (block.locks == 0) {
    SetLastError(ERROR_NOT_LOCKED);
    return FALSE;
  }
  if (--block.locks > 0) return TRUE;
  SetLastError(NO_ERROR);
  return FALSE;
}

HGLOBAL WINAPI GlobalFree(HGLOBAL memory) {
  std::lock_guard<std::mutex> lock(host::blocksMutex);
  if (host::FindBlock(memory) == nullptr) return memory;
  host::blocks.erase(memory);
  return nullptr;
}

void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION section) {
  std::memset(section, 0, sizeof *section);
  section->LockCount = -1;
  section->LockSemaphore = new std::recursive_mutex;
}

void WINAPI EnterCriticalSection(LPCRITICAL_SECTION section) {
  static_cast<std::recursive_mutex*>(section->LockSemaphore)->lock();
}

void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION section) {
  static_cast<std::recursive_mutex*>(section->LockSemaphore)->unlock();
}

void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION section) {
  delete static_cast<std::recursive_mutex*>(section->LockSemaphore);
  section->LockSemaphore = nullptr;
}

int WINAPI MulDiv(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  long long product = static_cast<long long>(number) * numerator;
  long long divisor = denominator;
  if (divisor < 0) {
    product = -product;
    divisor = -divisor;
  }
  // Half the divisor added away from zero, then truncation: halves round outward.
  long long result = (product >= 0 ? product + divisor / 2 : product - divisor / 2) / divisor;
  if (result > 2147483647LL || result < -2147483647LL - 1) return -1;
  return static_cast<int>(result);
}
