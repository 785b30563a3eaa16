#include "shell/main_window.h"

#include <cstdio>

#include "platform/zq.h"
#include "screens/mouse_cursor.h"
#include "screens/screen_manager.h"
#include "core/game_clock.h"
#include "core/globals.h"
#include "game/tile_game.h"
#include "sound/sound_registry.h"

namespace {

constexpr char kClassName[] = "DirectX Class";
constexpr char kWindowTitle[] = "Gloom Grid";

void Shutdown() {
  StopGameClock();
  screenManager.DeactivateAll();
  mouseCursor.Release();
  tileGame.Shutdown();
  ZQAcquireMouse(0);
  ZQFreeFont();
  ZQFreeDirectInput();
  ZQFreeDirectX();
  // The display is gone: a popup's loop may still be running below this
  // message (it dispatched it), and it must find no surface to draw on.
  directDraw = nullptr;
  primarySurface = nullptr;
  backSurface = nullptr;
  soundRegistry.Shutdown();
  appActive = 0;
  PostQuitMessage(0);
}

void HandleSize(WPARAM kind, LPARAM lParam) {
  if (kind == SIZE_MAXIMIZED) {
    int32_t width = LOWORD(lParam);
    int32_t height = HIWORD(lParam);
    // 399, not 400: the picture sits one pixel right of the exact centre.
    ZQSetWindowXY(width / 2 - 399, height / 2 - 300);
    mouseOffsetX = width / 2 - 399;
    mouseOffsetY = height / 2 - 300 - GetSystemMetrics(SM_CYFRAME) - GetSystemMetrics(SM_CYSMCAPTION);
  } else if (kind == SIZE_RESTORED) {
    mouseOffsetX = 0;
    mouseOffsetY = 0;
  }
}

void HandleActivate(WPARAM wParam) {
  switch (LOWORD(wParam)) {
    case WA_INACTIVE:
      ZQAcquireMouse(0);
      appActive = 0;
      break;
    case WA_ACTIVE:
      ZQAcquireMouse(1);
      appActive = 1;
      SetFocus(mainWindow);
      break;
    default:
      break;
  }
}

}  // namespace

int RegisterMainWindowClass(HINSTANCE instance) {
  WNDCLASSA windowClass{};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kClassName;
  return RegisterClassA(&windowClass) != 0 ? 1 : 0;
}

int CreateMainWindow(HINSTANCE instance, int showCommand) {
  if (fullScreen) {
    mainWindow = CreateWindowExA(0, kClassName, kWindowTitle, WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                 GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, instance, nullptr);
  } else {
    mainWindow = CreateWindowExA(0, kClassName, kWindowTitle, WS_VISIBLE | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
                                 GetSystemMetrics(SM_CXSCREEN) / 2 - 400, GetSystemMetrics(SM_CYSCREEN) / 2 - 300,
                                 800, 600, nullptr, nullptr, instance, nullptr);
  }
  if (!mainWindow) return 0;
  // The show command handed to the program is deliberately not used.
  ShowWindow(mainWindow, SW_SHOWNORMAL);
  UpdateWindow(mainWindow);
  RECT client{};
  GetClientRect(mainWindow, &client);
  clientWidth = client.right;
  clientHeight = client.bottom;
  return 1;
}

LRESULT CALLBACK MainWindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  screenManager.ForwardMessage(hWnd, msg, wParam, lParam);
  switch (msg) {
    case WM_DESTROY:
      Shutdown();
      break;
    case WM_MOVE:
      if (mainWindow) {
        POINT origin{0, 0};
        ClientToScreen(mainWindow, &origin);
        ZQSetWindowXY(origin.x, origin.y);
      }
      break;
    case WM_SIZE:
      HandleSize(wParam, lParam);
      break;
    case WM_ACTIVATE:
      HandleActivate(wParam);
      break;
    case WM_ACTIVATEAPP:
      appActive = wParam != 0 ? 1 : 0;
      break;
    case WM_CLOSE:
      DestroyWindow(mainWindow);
      break;
    case WM_KEYUP:
      if (wParam == VK_ESCAPE) PostMessageA(mainWindow, WM_CLOSE, 0, 0);
      if (wParam == VK_F1) showFps = 1 - showFps;
      break;
    case WM_MOUSEMOVE:
      if (appActive) mouseCursor.SetPosition(LOWORD(lParam) - mouseOffsetX, HIWORD(lParam) - mouseOffsetY);
      break;
    case WM_SYSCOMMAND:
      if (wParam == SC_SCREENSAVE) return 0;  // the screen saver never starts while we run
      break;
    default:
      break;
  }
  return DefWindowProcA(hWnd, msg, wParam, lParam);
}

void SetWindowTitle(const char* text) {
  char title[256];
  std::snprintf(title, sizeof(title), "%s - %s", kWindowTitle, text ? text : "");
  SetWindowTextA(mainWindow, title);
}
