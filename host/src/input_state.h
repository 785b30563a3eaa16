// What the keyboard and mouse are doing right now, as GetAsyncKeyState and
// GetCursorPos see it. Written on the main thread when input arrives; read from
// any thread (the mouse poll runs on the timer thread).
#pragma once

namespace host {

void SetKeyDown(int vk, bool down);
// Whether the key is down for a reader; a press no reader has seen yet reads
// down once even when its release has already come.
bool ReadKeyDown(int vk);
void SetCursorClientPosition(int x, int y);
void GetCursorClientPosition(int* x, int* y);
void ResetInputState();

}  // namespace host
