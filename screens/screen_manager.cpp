#include "screens/screen_manager.h"

#include <cstring>

ScreenManager screenManager;

ScreenManager::ScreenManager() : screens(new PtrArray), current(nullptr), directDraw(nullptr), surface(nullptr) {}

ScreenManager::~ScreenManager() {
  delete screens;
  screens = nullptr;
}

LPDIRECTDRAWSURFACE ScreenManager::Init(LPDIRECTDRAW newDirectDraw, LPDIRECTDRAWSURFACE newSurface) {
  directDraw = newDirectDraw;
  surface = newSurface;
  return surface;
}

void ScreenManager::AddScreen(Screen* screen) {
  if (screens) screens->Append(screen);
}

Screen* ScreenManager::SelectScreen(const char* screenName) {
  if (!screens || !screenName) return current;
  for (int32_t i = 0; i < screens->Count(); ++i) {
    Screen* screen = screens->At<Screen>(i);
    if (screen == current || std::strcmp(screen->GetName(), screenName) != 0) continue;
    if (current) current->Deactivate();
    current = screen;
    current->Activate(directDraw, surface);
    return current;
  }
  return current;
}

int ScreenManager::RunFrame(int flag) { return current ? current->Frame(flag) : 0; }

int ScreenManager::ForwardMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return current ? current->HandleMessage(hWnd, msg, wParam, lParam) : 1;
}

void ScreenManager::DeactivateAll() {
  if (!screens) return;
  for (int32_t i = 0; i < screens->Count(); ++i) screens->At<Screen>(i)->Deactivate();
}
