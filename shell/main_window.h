// The one main window: its class, creation, window procedure and the message
// pump shared by the main loop and the popups' modal loops. Main thread only.
#pragma once

#include <windows.h>

int RegisterMainWindowClass(HINSTANCE instance);
int CreateMainWindow(HINSTANCE instance, int showCommand);
LRESULT CALLBACK MainWindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Dispatches every waiting message. Returns 1 when the quit message was met (it
// is posted again, so an enclosing loop sees it too), else 0 once the queue is
// empty.
int PumpMessages();

// "Gloom Grid - <text>" as the window title.
void SetWindowTitle(const char* text);
