// Mouse and keyboard. The game takes the mouse position and every key from its
// window's messages; all it asks of this module is the state of the two mouse
// buttons, polled from the game clock's timer thread.
//
// The buttons are read with GetAsyncKeyState, which reports the physical
// buttons as a mouse device would, whichever window has the focus. While the
// game is inactive the mouse is not acquired and reads as idle, so clicks in
// other programs never reach the game.
#include <atomic>

#include "platform/zq.h"

namespace {

HINSTANCE moduleInstance = nullptr;
bool mouseReady = false;
// Written by the main thread, read by the timer thread.
std::atomic<int> mouseAcquired{0};

bool IsHeld(int virtualKey) { return (GetAsyncKeyState(virtualKey) & 0x8000) != 0; }

}  // namespace

void ZQSetInstance(HINSTANCE instance) { moduleInstance = instance; }

int ZQInitMouse() {
  mouseReady = true;
  return 1;
}

// Keys arrive as window messages; there is no device to prepare.
int ZQInitKeyboard() { return 1; }

int ZQAcquireMouse(int acquire) {
  if (acquire == 0) {
    mouseAcquired.store(0, std::memory_order_relaxed);
    return 1;
  }
  if (!mouseReady) return 0;
  mouseAcquired.store(1, std::memory_order_relaxed);
  return 1;
}

int ZQGetMouseData(int* dx, int* dy, int* buttons) {
  const bool acquired = mouseAcquired.load(std::memory_order_relaxed) != 0;
  int held = 0;
  if (acquired) {
    if (IsHeld(VK_LBUTTON)) held |= 1;
    if (IsHeld(VK_RBUTTON)) held |= 2;
  }
  if (dx != nullptr) *dx = 0;
  if (dy != nullptr) *dy = 0;
  if (buttons != nullptr) *buttons = held;
  return acquired ? 1 : 0;
}

void ZQFreeDirectInput() {
  mouseAcquired.store(0, std::memory_order_relaxed);
  mouseReady = false;
  moduleInstance = nullptr;
}
