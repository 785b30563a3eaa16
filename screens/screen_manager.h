// Keeps the named screens and runs the current one: activates a screen when it
// is selected, deactivates the one it replaces, hands it every window message
// and runs its frame once per turn of the main loop. Main thread only.
// The screens are not owned: they outlive the manager.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include "gfx/ptr_array.h"
#include "screens/screen.h"

class ScreenManager {
 public:
  ScreenManager();
  ~ScreenManager();
  ScreenManager(const ScreenManager&) = delete;
  ScreenManager& operator=(const ScreenManager&) = delete;

  LPDIRECTDRAWSURFACE Init(LPDIRECTDRAW newDirectDraw, LPDIRECTDRAWSURFACE newSurface);
  void AddScreen(Screen* screen);
  // The first screen of that name that is not current becomes current; returns
  // the current screen (unchanged when no other screen has the name).
  Screen* SelectScreen(const char* screenName);
  // 0 when no screen is current.
  int RunFrame(int flag);
  // 1 when no screen is current.
  int ForwardMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void DeactivateAll();

  Screen* Current() const { return current; }

 private:
  PtrArray* screens;
  Screen* current;
  LPDIRECTDRAW directDraw;
  LPDIRECTDRAWSURFACE surface;
};

extern ScreenManager screenManager;
