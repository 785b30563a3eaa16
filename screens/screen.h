// The base of every screen the screen manager runs and of every popup.
// The table of virtual operations keeps its slot order; derived classes
// continue it.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <cstdint>

class Screen {
 public:
  Screen();

  virtual void Create();
  virtual void Activate(LPDIRECTDRAW directDraw, LPDIRECTDRAWSURFACE surface);
  virtual void Deactivate();
  virtual int HandleMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
  virtual int Frame(int flag);
  virtual void SetName(const char* newName);
  virtual const char* GetName();

 protected:
  char name[256];
  LPDIRECTDRAW directDraw;
  LPDIRECTDRAWSURFACE drawSurface;
};
