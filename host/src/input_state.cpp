// GetAsyncKeyState and GetCursorPos.
//
// Windows behaviour reproduced: GetAsyncKeyState sets the high bit while the key
// or mouse button is down. GetCursorPos gives screen coordinates.
// Where the host differs from Windows: Windows updates the asynchronous state
// as the device reports it, whatever the program is doing; the host learns of
// input only when the main thread pumps its events. A press and its release
// can then arrive together after a slow frame, and a poll between them (the
// game polls the mouse every 10 ms from its timer thread) would never see the
// button down. So a press is shown to at least one reader before its release
// takes effect: the button reads down once more, then up.
// FIXME: the "pressed since the last call" low bit is not kept; the game never
// reads it.
#include "input_state.h"

#include <atomic>
#include <cstdint>

#include "window.h"

namespace host {
namespace {
constexpr uint8_t kDown = 1;
constexpr uint8_t kPressUnread = 2;     // down, and no reader has seen it yet
constexpr uint8_t kReleasePending = 4;  // released before any reader saw the press
std::atomic<uint8_t> keyStates[256];
std::atomic<int> cursorX{0};
std::atomic<int> cursorY{0};

// The state a key has after a reader saw it.
uint8_t AfterRead(uint8_t state) {
  if (!(state & kPressUnread)) return state;
  return (state & kReleasePending) ? 0 : kDown;
}
}  // namespace

void SetKeyDown(int vk, bool down) {
  if (vk < 0 || vk >= 256) return;
  std::atomic<uint8_t>& key = keyStates[vk];
  if (down) {
    key.store(kDown | kPressUnread, std::memory_order_relaxed);
    return;
  }
  uint8_t state = key.load(std::memory_order_relaxed);
  while (!key.compare_exchange_weak(state, (state & kPressUnread) ? state | kReleasePending : 0,
                                    std::memory_order_relaxed)) {
  }
}

bool ReadKeyDown(int vk) {
  if (vk < 0 || vk >= 256) return false;
  std::atomic<uint8_t>& key = keyStates[vk];
  uint8_t state = key.load(std::memory_order_relaxed);
  while (!key.compare_exchange_weak(state, AfterRead(state), std::memory_order_relaxed)) {
  }
  return (state & kDown) != 0;
}

void SetCursorClientPosition(int x, int y) {
  cursorX.store(x, std::memory_order_relaxed);
  cursorY.store(y, std::memory_order_relaxed);
}

void GetCursorClientPosition(int* x, int* y) {
  *x = cursorX.load(std::memory_order_relaxed);
  *y = cursorY.load(std::memory_order_relaxed);
}

void ResetInputState() {
  for (auto& key : keyStates) key.store(0);
  SetCursorClientPosition(0, 0);
}

}  // namespace host

SHORT WINAPI GetAsyncKeyState(int vKey) {
  return host::ReadKeyDown(vKey) ? static_cast<SHORT>(0x8000) : 0;
}

BOOL WINAPI GetCursorPos(LPPOINT point) {
  if (!point) return FALSE;
  int x = 0, y = 0;
  host::GetCursorClientPosition(&x, &y);
  point->x = x;
  point->y = y;
  if (host::Window* window = host::InputWindow()) {
    point->x += window->x;
    point->y += window->y;
  }
  return TRUE;
}
