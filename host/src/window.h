// Host-side records of window classes and windows, shared by the window,
// message-queue and video modules. Main thread only.
#pragma once

#include <string>

#include "windows.h"

namespace host {

struct Window : HWND__ {
  WNDPROC proc = nullptr;
  std::string className;
  std::string title;
  DWORD style = 0;
  int x = 0, y = 0;                    // client origin on the screen
  int clientWidth = 0, clientHeight = 0;
  bool visible = false;
  bool maximized = false;
  bool alive = true;
};

// The window behind a handle, or null for an unknown or destroyed one.
Window* FindWindow(HWND hWnd);

// The first live top-level window: the one that receives user input.
Window* InputWindow();

// Calls the window procedure directly, as SendMessage does.
LRESULT SendToWindow(Window* window, UINT msg, WPARAM wParam, LPARAM lParam);

// The video backend reports what the user did to the native window.
void WindowMovedTo(Window* window, int x, int y);
void WindowResized(Window* window, int width, int height, bool maximized);
void WindowFocusChanged(Window* window, bool focused);

void ResetWindows();

}  // namespace host
