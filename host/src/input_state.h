// What the keyboard and mouse are doing right now, as GetAsyncKeyState and
// GetCursorPos see it. Written on the main thread when input arrives; read from
// any thread (the mouse poll runs on the timer thread).
#pragma once

namespace host {

void SetKeyDown(int vk, bool down);
void SetCursorClientPosition(int x, int y);
void GetCursorClientPosition(int* x, int* y);
void ResetInputState();

}  // namespace host
