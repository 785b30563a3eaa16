// Window classes, windows, the message queue, message boxes, metrics and the
// keyboard. Called from the main thread only, except GetAsyncKeyState, which the
// mouse poll reads on the timer thread.
//
// Windows behaviour reproduced: creating a window sends WM_NCCREATE and
// WM_CREATE (a pop-up also WM_SIZE and WM_MOVE); a window created visible is shown
// at once: WM_SHOWWINDOW, WM_ACTIVATEAPP(TRUE), WM_ACTIVATE(WA_ACTIVE), WM_SETFOCUS.
// DestroyWindow of the active window sends WM_ACTIVATE(WA_INACTIVE),
// WM_ACTIVATEAPP(FALSE), WM_KILLFOCUS, WM_DESTROY, WM_NCDESTROY. WM_QUIT comes only
// from PostQuitMessage, after every other waiting message, and never reaches a
// window procedure.
// FIXME: host windows have no frame; frame metrics are 0 and the client area is
// the whole window.
#pragma once

#include "win/types.h"

typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);

typedef struct tagWNDCLASSA {
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCSTR lpszMenuName;
  LPCSTR lpszClassName;
} WNDCLASSA, *LPWNDCLASSA;
typedef WORD ATOM;

typedef struct tagMSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
} MSG, *LPMSG;

#define WM_NULL 0x0000
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_MOVE 0x0003
#define WM_SIZE 0x0005
#define WM_ACTIVATE 0x0006
#define WM_SETFOCUS 0x0007
#define WM_KILLFOCUS 0x0008
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_SHOWWINDOW 0x0018
#define WM_ACTIVATEAPP 0x001C
#define WM_NCCREATE 0x0081
#define WM_NCDESTROY 0x0082
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_SYSCOMMAND 0x0112
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_RBUTTONDOWN 0x0204
#define WM_RBUTTONUP 0x0205

#define WA_INACTIVE 0
#define WA_ACTIVE 1
#define WA_CLICKACTIVE 2

#define SIZE_RESTORED 0
#define SIZE_MINIMIZED 1
#define SIZE_MAXIMIZED 2

#define SC_SCREENSAVE 0xF140

#define MK_LBUTTON 0x0001
#define MK_RBUTTON 0x0002

#define VK_LBUTTON 0x01
#define VK_RBUTTON 0x02
#define VK_RETURN 0x0D
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_F1 0x70

#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002

#define WS_OVERLAPPED 0x00000000L
#define WS_POPUP 0x80000000L
#define WS_VISIBLE 0x10000000L
#define WS_SYSMENU 0x00080000L
#define WS_MINIMIZEBOX 0x00020000L
#define WS_MAXIMIZEBOX 0x00010000L

#define SW_HIDE 0
#define SW_SHOWNORMAL 1

#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define SM_CYFRAME 33
#define SM_CYSMCAPTION 51

#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001

#define MB_OK 0x00000000L
#define MB_ICONERROR 0x00000010L
#define IDOK 1

#define MAKEINTRESOURCEA(i) ((LPSTR)((uintptr_t)((WORD)(i))))
#define IDC_ARROW MAKEINTRESOURCEA(32512)

ATOM WINAPI RegisterClassA(const WNDCLASSA* wndClass);
HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                            int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
BOOL WINAPI ShowWindow(HWND hWnd, int cmdShow);
BOOL WINAPI UpdateWindow(HWND hWnd);
BOOL WINAPI DestroyWindow(HWND hWnd);
BOOL WINAPI GetClientRect(HWND hWnd, LPRECT rect);
BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT point);
LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL WINAPI PeekMessageA(LPMSG msg, HWND hWnd, UINT msgFilterMin, UINT msgFilterMax, UINT removeMsg);
BOOL WINAPI TranslateMessage(const MSG* msg);
LRESULT WINAPI DispatchMessageA(const MSG* msg);
BOOL WINAPI PostMessageA(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
void WINAPI PostQuitMessage(int exitCode);
HWND WINAPI SetFocus(HWND hWnd);
BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR text);
int WINAPI GetSystemMetrics(int index);
BOOL WINAPI GetCursorPos(LPPOINT point);
HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR cursorName);
HDC WINAPI GetDC(HWND hWnd);
int WINAPI ReleaseDC(HWND hWnd, HDC hDC);
int WINAPI MessageBoxA(HWND hWnd, LPCSTR text, LPCSTR caption, UINT type);
SHORT WINAPI GetAsyncKeyState(int vKey);

#define RegisterClass RegisterClassA
#define CreateWindowEx CreateWindowExA
#define DefWindowProc DefWindowProcA
#define PeekMessage PeekMessageA
#define DispatchMessage DispatchMessageA
#define PostMessage PostMessageA
#define SetWindowText SetWindowTextA
#define MessageBox MessageBoxA
#define LoadCursor LoadCursorA
