// The thread's message queue.
//
// Windows behaviour reproduced: PeekMessageA returns posted messages in order,
// filtered by window and message range; WM_QUIT is returned only when nothing
// else is waiting, carries the exit code in wParam and never reaches a window
// procedure; activation and focus changes are sent straight to the window
// procedure, as Windows sends them. WM_KEYUP's lParam has repeat count 1, the
// scan code in bits 16-23 and bits 30 and 31 set; WM_KEYDOWN's has bit 30 clear.
// Mouse messages pack signed 16-bit client coordinates.
// FIXME: TranslateMessage produces no WM_CHAR; the game reads no characters.
#include <deque>
#include <mutex>

#include "host/control.h"
#include "input_script.h"
#include "input_state.h"
#include "stop_signals.h"
#include "timer.h"
#include "video.h"
#include "window.h"

namespace host {
namespace {

std::mutex queueMutex;
std::deque<MSG> queue;
bool quitPosted = false;
int quitCode = 0;

void Post(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  std::lock_guard<std::mutex> lock(queueMutex);
  MSG m{};
  m.hwnd = hWnd;
  m.message = msg;
  m.wParam = wParam;
  m.lParam = lParam;
  m.time = HostMilliseconds();
  queue.push_back(m);
}

bool Matches(const MSG& m, HWND hWnd, UINT low, UINT high) {
  if (hWnd && m.hwnd != hWnd) return false;
  if (low == 0 && high == 0) return true;
  return m.message >= low && m.message <= high;
}

int ScanCode(int vk) {
  switch (vk) {
    case VK_ESCAPE: return 0x01;
    case VK_RETURN: return 0x1C;
    case VK_SPACE: return 0x39;
    case VK_F1: return 0x3B;
    case VK_UP: return 0x48;
    case VK_LEFT: return 0x4B;
    case VK_RIGHT: return 0x4D;
    case VK_DOWN: return 0x50;
    default: return 0;
  }
}

WPARAM MouseKeys() {
  WPARAM keys = 0;
  if (GetAsyncKeyState(VK_LBUTTON) & 0x8000) keys |= MK_LBUTTON;
  if (GetAsyncKeyState(VK_RBUTTON) & 0x8000) keys |= MK_RBUTTON;
  return keys;
}

LPARAM PackClientPoint(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

}  // namespace

void InjectMouseMove(int x, int y) {
  SetCursorClientPosition(x, y);
  if (Window* window = InputWindow()) Post(window, WM_MOUSEMOVE, MouseKeys(), PackClientPoint(x, y));
}

void InjectMouseButton(int vkButton, bool down) {
  SetKeyDown(vkButton, down);
  Window* window = InputWindow();
  if (!window) return;
  UINT msg = vkButton == VK_RBUTTON ? (down ? WM_RBUTTONDOWN : WM_RBUTTONUP)
                                    : (down ? WM_LBUTTONDOWN : WM_LBUTTONUP);
  int x = 0, y = 0;
  GetCursorClientPosition(&x, &y);
  Post(window, msg, MouseKeys(), PackClientPoint(x, y));
}

void InjectKey(int vk, bool down) {
  SetKeyDown(vk, down);
  Window* window = InputWindow();
  if (!window) return;
  DWORD lParam = 1u | (static_cast<DWORD>(ScanCode(vk)) << 16);
  if (!down) lParam |= 0xC0000000u;
  Post(window, down ? WM_KEYDOWN : WM_KEYUP, static_cast<WPARAM>(vk), static_cast<LPARAM>(lParam));
}

void InjectClose() {
  if (Window* window = InputWindow()) Post(window, WM_SYSCOMMAND, 0xF060 /* SC_CLOSE */, 0);
}

void InjectActivate(bool active) {
  if (Window* window = InputWindow()) WindowFocusChanged(window, active);
}

void InjectMaximize(int clientWidth, int clientHeight) {
  Window* window = InputWindow();
  if (!window) return;
  WindowMovedTo(window, 0, 0);
  WindowResized(window, clientWidth, clientHeight, true);
}

void InjectRestore() {
  if (Window* window = InputWindow()) WindowResized(window, window->clientWidth, window->clientHeight, false);
}

void ResetMessageQueue() {
  std::lock_guard<std::mutex> lock(queueMutex);
  queue.clear();
  quitPosted = false;
  quitCode = 0;
}

}  // namespace host

BOOL WINAPI PeekMessageA(LPMSG msg, HWND hWnd, UINT msgFilterMin, UINT msgFilterMax, UINT removeMsg) {
  host::PumpNativeEvents();
  host::ActOnStopSignal();
  host::RunDueScriptEvents();
  {
    std::lock_guard<std::mutex> lock(host::queueMutex);
    for (auto it = host::queue.begin(); it != host::queue.end(); ++it) {
      if (!host::Matches(*it, hWnd, msgFilterMin, msgFilterMax)) continue;
      *msg = *it;
      if (removeMsg & PM_REMOVE) host::queue.erase(it);
      return TRUE;
    }
    bool wantsQuit = hWnd == nullptr && host::Matches(MSG{nullptr, WM_QUIT, 0, 0, 0, {}}, nullptr, msgFilterMin,
                                                      msgFilterMax);
    if (host::quitPosted && wantsQuit) {
      *msg = MSG{};
      msg->message = WM_QUIT;
      msg->wParam = static_cast<WPARAM>(host::quitCode);
      if (removeMsg & PM_REMOVE) host::quitPosted = false;
      return TRUE;
    }
  }
  if (host::settings().timeMode == host::TimeMode::Virtual) host::AdvanceVirtualTimeOnePeriod();
  return FALSE;
}

BOOL WINAPI TranslateMessage(const MSG* msg) { return FALSE; }

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
  if (!msg || msg->message == WM_QUIT) return 0;
  host::Window* window = host::FindWindow(msg->hwnd);
  return window ? host::SendToWindow(window, msg->message, msg->wParam, msg->lParam) : 0;
}

BOOL WINAPI PostMessageA(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (hWnd && !host::FindWindow(hWnd)) return FALSE;
  host::Post(hWnd, msg, wParam, lParam);
  return TRUE;
}

void WINAPI PostQuitMessage(int exitCode) {
  std::lock_guard<std::mutex> lock(host::queueMutex);
  host::Trace("PostQuitMessage %d", exitCode);
  host::quitPosted = true;
  host::quitCode = exitCode;
}
