// The native side of windows: an SDL window per visible game window, its events
// and the pictures shown in it. Headless, nothing native exists and input comes
// only from tests and scripts. Main thread only.
#pragma once

#include "window.h"

namespace host {

bool IsHeadless();
void DesktopSize(int* width, int* height);

// False, after saying why on standard error, when the window cannot be shown.
bool CreateNativeWindow(Window* window);
void DestroyNativeWindow(Window* window);
void SetNativeTitle(Window* window);

// Turns waiting SDL events into window messages for the input window.
void PumpNativeEvents();

// Writes the screenshot asked for in the settings and closes SDL.
void ShutdownVideo();

}  // namespace host
