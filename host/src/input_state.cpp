// GetAsyncKeyState and GetCursorPos.
//
// Windows behaviour reproduced: GetAsyncKeyState sets the high bit while the key
// or mouse button is down. GetCursorPos gives screen coordinates.
// FIXME: the "pressed since the last call" low bit is not kept; the game never
// reads it.
#include "input_state.h"

#include <atomic>

#include "window.h"

namespace host {
namespace {
std::atomic<bool> keysDown[256];
std::atomic<int> cursorX{0};
std::atomic<int> cursorY{0};
}  // namespace

void SetKeyDown(int vk, bool down) {
  if (vk >= 0 && vk < 256) keysDown[vk].store(down, std::memory_order_relaxed);
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
  for (auto& key : keysDown) key.store(false);
  SetCursorClientPosition(0, 0);
}

}  // namespace host

SHORT WINAPI GetAsyncKeyState(int vKey) {
  if (vKey < 0 || vKey >= 256) return 0;
  return host::keysDown[vKey].load(std::memory_order_relaxed) ? static_cast<SHORT>(0x8000) : 0;
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
