#include "core/globals.h"

#include <cstdio>

HWND mainWindow = nullptr;
int32_t clientWidth = 0;
int32_t clientHeight = 0;
LPDIRECTDRAW directDraw = nullptr;
LPDIRECTDRAWSURFACE primarySurface = nullptr;
LPDIRECTDRAWSURFACE backSurface = nullptr;
int32_t appActive = 0;
int32_t fullScreen = 0;
int32_t showFps = 0;
char launchDirectory[256] = {};
int32_t mouseOffsetX = 0;
int32_t mouseOffsetY = 0;
HINSTANCE moduleInstance = nullptr;

void CopyLaunchDirectory(const char* commandLine) {
  std::snprintf(launchDirectory, sizeof(launchDirectory), "%s", commandLine ? commandLine : "");
}
