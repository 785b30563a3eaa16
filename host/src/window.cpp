// Window classes and windows.
//
// Windows behaviour reproduced: CreateWindowExA sends WM_NCCREATE then WM_CREATE
// (a pop-up window also WM_SIZE and WM_MOVE); a window created with WS_VISIBLE is
// shown and activated at once: WM_SHOWWINDOW, WM_ACTIVATEAPP(TRUE),
// WM_ACTIVATE(WA_ACTIVE), WM_SETFOCUS, and an overlapped window then gets its
// first WM_SIZE and WM_MOVE. DestroyWindow of the active window sends
// WM_ACTIVATE(WA_INACTIVE), WM_ACTIVATEAPP(FALSE), WM_KILLFOCUS, WM_DESTROY and
// WM_NCDESTROY; destroying a destroyed window fails. A visible window that
// cannot be shown (no display) is not created. DefWindowProcA turns
// WM_SYSCOMMAND(SC_CLOSE) into WM_CLOSE and WM_CLOSE into DestroyWindow.
// FIXME: no frames, captions or menus: the client area is the whole window and
// frame metrics are 0. Class styles, icons, cursors and brushes are accepted and
// not used.
#include "window.h"

#include <cctype>
#include <cstring>
#include <memory>
#include <vector>

#include "host/control.h"
#include "video.h"

namespace host {
namespace {

struct WindowClass {
  std::string name;
  WNDPROC proc;
};

std::vector<WindowClass> classes;
std::vector<std::unique_ptr<Window>> windows;
Window* focusWindow = nullptr;

bool SameName(const std::string& a, const char* b) {
  if (a.size() != std::strlen(b)) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

LPARAM PackPoint(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

void SendSizeAndMove(Window* window) {
  SendToWindow(window, WM_SIZE, SIZE_RESTORED, PackPoint(window->clientWidth, window->clientHeight));
  SendToWindow(window, WM_MOVE, 0, PackPoint(window->x, window->y));
}

void Activate(Window* window) {
  SendToWindow(window, WM_ACTIVATEAPP, TRUE, 0);
  SendToWindow(window, WM_ACTIVATE, WA_ACTIVE, 0);
  focusWindow = window;
  SendToWindow(window, WM_SETFOCUS, 0, 0);
}

void Deactivate(Window* window) {
  SendToWindow(window, WM_ACTIVATE, WA_INACTIVE, 0);
  SendToWindow(window, WM_ACTIVATEAPP, FALSE, 0);
  if (focusWindow == window) focusWindow = nullptr;
  SendToWindow(window, WM_KILLFOCUS, 0, 0);
}

void Show(Window* window) {
  window->visible = true;
  CreateNativeWindow(window);
  SendToWindow(window, WM_SHOWWINDOW, TRUE, 0);
  Activate(window);
  if (!(window->style & WS_POPUP)) SendSizeAndMove(window);
}

}  // namespace

Window* FindWindow(HWND hWnd) {
  for (auto& window : windows)
    if (static_cast<HWND>(window.get()) == hWnd && window->alive) return window.get();
  return nullptr;
}

Window* InputWindow() {
  for (auto& window : windows)
    if (window->alive) return window.get();
  return nullptr;
}

LRESULT SendToWindow(Window* window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!window || !window->proc) return 0;
  if (msg != WM_MOUSEMOVE) Trace("message %s 0x%04x %lu %ld", window->title.c_str(), msg,
                                 static_cast<unsigned long>(wParam), static_cast<long>(lParam));
  return window->proc(static_cast<HWND>(window), msg, wParam, lParam);
}

void WindowMovedTo(Window* window, int x, int y) {
  window->x = x;
  window->y = y;
  SendToWindow(window, WM_MOVE, 0, PackPoint(x, y));
}

void WindowResized(Window* window, int width, int height, bool maximized) {
  window->clientWidth = width;
  window->clientHeight = height;
  window->maximized = maximized;
  SendToWindow(window, WM_SIZE, maximized ? SIZE_MAXIMIZED : SIZE_RESTORED, PackPoint(width, height));
}

void WindowFocusChanged(Window* window, bool focused) {
  if (focused && focusWindow != window) Activate(window);
  if (!focused && focusWindow == window) Deactivate(window);
}

void ResetWindows() {
  for (auto& window : windows)
    if (window->alive) DestroyNativeWindow(window.get());
  windows.clear();
  classes.clear();
  focusWindow = nullptr;
}

}  // namespace host

using host::Window;

ATOM WINAPI RegisterClassA(const WNDCLASSA* wndClass) {
  if (!wndClass || !wndClass->lpszClassName || !wndClass->lpfnWndProc) return 0;
  for (auto& existing : host::classes)
    if (host::SameName(existing.name, wndClass->lpszClassName)) return 0;  // ERROR_CLASS_ALREADY_EXISTS
  host::classes.push_back({wndClass->lpszClassName, wndClass->lpfnWndProc});
  host::Trace("RegisterClassA %s", wndClass->lpszClassName);
  return static_cast<ATOM>(0xC000 + host::classes.size());
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                            int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  if (!className) return nullptr;
  const host::WindowClass* windowClass = nullptr;
  for (auto& c : host::classes)
    if (host::SameName(c.name, className)) windowClass = &c;
  if (!windowClass) return nullptr;

  auto window = std::make_unique<Window>();
  window->proc = windowClass->proc;
  window->className = windowClass->name;
  window->title = windowName ? windowName : "";
  window->style = style;
  window->x = x;
  window->y = y;
  window->clientWidth = width > 0 ? width : 0;
  window->clientHeight = height > 0 ? height : 0;
  Window* created = window.get();
  host::windows.push_back(std::move(window));
  // No display: the window fails before its procedure hears of it.
  if ((style & WS_VISIBLE) && !host::CreateNativeWindow(created)) {
    created->alive = false;
    return nullptr;
  }
  host::Trace("CreateWindowExA %s \"%s\" style=0x%08x %d,%d %dx%d", className, created->title.c_str(),
              static_cast<unsigned>(style), x, y, width, height);

  if (host::SendToWindow(created, WM_NCCREATE, 0, 0) == FALSE ||
      host::SendToWindow(created, WM_CREATE, 0, 0) == -1) {
    DestroyWindow(static_cast<HWND>(created));
    return nullptr;
  }
  if (style & WS_POPUP) host::SendSizeAndMove(created);
  if (style & WS_VISIBLE) host::Show(created);
  return created->alive ? static_cast<HWND>(created) : nullptr;
}

BOOL WINAPI ShowWindow(HWND hWnd, int cmdShow) {
  Window* window = host::FindWindow(hWnd);
  if (!window) return FALSE;
  host::Trace("ShowWindow %d", cmdShow);
  BOOL wasVisible = window->visible ? TRUE : FALSE;
  if (cmdShow != SW_HIDE && !window->visible) host::Show(window);
  return wasVisible;
}

BOOL WINAPI UpdateWindow(HWND hWnd) { return host::FindWindow(hWnd) ? TRUE : FALSE; }

BOOL WINAPI DestroyWindow(HWND hWnd) {
  Window* window = host::FindWindow(hWnd);
  if (!window) return FALSE;
  host::Trace("DestroyWindow");
  if (host::focusWindow == window) host::Deactivate(window);
  host::SendToWindow(window, WM_DESTROY, 0, 0);
  host::SendToWindow(window, WM_NCDESTROY, 0, 0);
  host::DestroyNativeWindow(window);
  window->alive = false;
  window->visible = false;
  return TRUE;
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT rect) {
  Window* window = host::FindWindow(hWnd);
  if (!window || !rect) return FALSE;
  *rect = RECT{0, 0, window->clientWidth, window->clientHeight};
  return TRUE;
}

BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT point) {
  Window* window = host::FindWindow(hWnd);
  if (!window || !point) return FALSE;
  point->x += window->x;
  point->y += window->y;
  return TRUE;
}

LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* window = host::FindWindow(hWnd);
  if (!window) return 0;
  switch (msg) {
    case WM_NCCREATE:
      return TRUE;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == 0xF060 /* SC_CLOSE */) host::SendToWindow(window, WM_CLOSE, 0, 0);
      return 0;
    case WM_CLOSE:
      DestroyWindow(hWnd);
      return 0;
    default:
      return 0;
  }
}

HWND WINAPI SetFocus(HWND hWnd) {
  Window* previous = host::focusWindow;
  Window* window = host::FindWindow(hWnd);
  if (window && window != previous) {
    if (previous) host::SendToWindow(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hWnd), 0);
    host::focusWindow = window;
    host::SendToWindow(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(static_cast<HWND>(previous)), 0);
  }
  return static_cast<HWND>(previous);
}

BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR text) {
  Window* window = host::FindWindow(hWnd);
  if (!window) return FALSE;
  window->title = text ? text : "";
  host::SetNativeTitle(window);
  return TRUE;
}

int WINAPI GetSystemMetrics(int index) {
  int width = 0, height = 0;
  host::DesktopSize(&width, &height);
  switch (index) {
    case SM_CXSCREEN:
      return width;
    case SM_CYSCREEN:
      return height;
    default:
      return 0;  // frames and captions are drawn by the window manager, outside our windows
  }
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR cursorName) {
  static HICON__ arrow;
  return &arrow;
}

HGDIOBJ WINAPI GetStockObject(int object) {
  static int stockObjects[32];
  return (object >= 0 && object < 32) ? &stockObjects[object] : nullptr;
}

HDC WINAPI GetDC(HWND hWnd) {
  static HDC__ screenDc;
  return &screenDc;
}

int WINAPI ReleaseDC(HWND hWnd, HDC hDC) { return hDC ? 1 : 0; }

int WINAPI GetDeviceCaps(HDC hdc, int index) {
  if (!hdc) return 0;
  return index == BITSPIXEL ? host::settings().displayBitsPerPixel : 0;
}
