// The one main window: its class, creation, window procedure and the message
// pump shared by the main loop and the popups' modal loops. Main thread only.
#pragma once

#include <windows.h>

int RegisterMainWindowClass(HINSTANCE instance);
int CreateMainWindow(HINSTANCE instance, int showCommand);
LRESULT CALLBACK MainWindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

// "Gloom Grid - <text>" as the window title.
void SetWindowTitle(const char* text);
