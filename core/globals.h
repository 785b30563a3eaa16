// Values set at start-up and read across the program. Main thread only.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <cstdint>

extern HWND mainWindow;
extern int32_t clientWidth;
extern int32_t clientHeight;
extern LPDIRECTDRAW directDraw;
extern LPDIRECTDRAWSURFACE primarySurface;
extern LPDIRECTDRAWSURFACE backSurface;
extern int32_t appActive;
extern int32_t fullScreen;
extern int32_t showFps;
extern char launchDirectory[256];
extern int32_t mouseOffsetX;
extern int32_t mouseOffsetY;
extern HINSTANCE moduleInstance;

// Keeps the command line, whole, as the launcher's directory (at most 255
// characters).
void CopyLaunchDirectory(const char* commandLine);

// Frame results of a screen.
enum FrameStatus : int32_t { FrameContinue = 5, FrameQuit = 7 };
