#include "screens/screen.h"

#include <cstdio>

Screen::Screen() : name{}, directDraw(nullptr), drawSurface(nullptr) {}

void Screen::Create() {}

void Screen::Activate(LPDIRECTDRAW newDirectDraw, LPDIRECTDRAWSURFACE surface) {
  directDraw = newDirectDraw;
  drawSurface = surface;
  Create();
}

void Screen::Deactivate() {}

int Screen::HandleMessage(HWND, UINT, WPARAM, LPARAM) { return 1; }

int Screen::Frame(int) { return 1; }

void Screen::SetName(const char* newName) { std::snprintf(name, sizeof(name), "%s", newName ? newName : ""); }

const char* Screen::GetName() { return name; }
