// The window's messages, in order and with their values, as the game's window procedure meets them: creating,
// showing and activating a window, closing and destroying it, and WM_QUIT.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "conformance.h"

namespace {

using Seen = std::vector<std::string>;

// Only the messages the game's window procedure acts on (Windows sends many more), with the values it reads.
Seen seen;
bool withPlaces = true;  // host windows have no frame, so a framed window's size and place are not compared

LRESULT CALLBACK Record(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  const std::string point = withPlaces ? " " + std::to_string(short(LOWORD(lParam))) + "," +
                                             std::to_string(short(HIWORD(lParam))) : "";
  const std::pair<UINT, std::string> names[] = {
      {WM_NCCREATE, "NCCREATE"}, {WM_CREATE, "CREATE"}, {WM_SIZE, "SIZE" + point}, {WM_MOVE, "MOVE" + point},
      {WM_SHOWWINDOW, "SHOWWINDOW " + std::to_string(wParam)}, {WM_ACTIVATEAPP, "ACTIVATEAPP " + std::to_string(wParam != 0)},
      {WM_ACTIVATE, "ACTIVATE " + std::to_string(LOWORD(wParam))}, {WM_SETFOCUS, "SETFOCUS"}, {WM_KILLFOCUS, "KILLFOCUS"},
      {WM_CLOSE, "CLOSE"}, {WM_DESTROY, "DESTROY"}, {WM_NCDESTROY, "NCDESTROY"}, {WM_QUIT, "QUIT (in the procedure)"}};
  for (const auto& [value, name] : names)
    if (value == msg) seen.push_back(name);
  return DefWindowProcA(window, msg, wParam, lParam);
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    conformance::ResetHost();
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Record;
    windowClass.lpszClassName = "ConformanceWindow";
    RegisterClassA(&windowClass);
    seen.clear(), withPlaces = true;
  }
  void TearDown() override { conformance::ResetHost(); }
  static HWND Create(DWORD style) {
    return CreateWindowExA(0, "ConformanceWindow", "test", style, 10, 20, 300, 200, nullptr, nullptr, nullptr, nullptr);
  }
  static Seen Take() { return std::exchange(seen, {}); }  // what the procedure saw since the last look
};

// A pop-up window (the game's full-screen one) hears its size and place at once, a framed one once shown.
TEST_F(WindowTest, CreatingAVisibleWindowShowsAndActivatesIt) {
  const Seen shown{"SHOWWINDOW 1", "ACTIVATEAPP 1", "ACTIVATE 1", "SETFOCUS"};
  HWND popup = Create(WS_POPUP | WS_VISIBLE);
  Seen expected{"NCCREATE", "CREATE", "SIZE 300,200", "MOVE 10,20"};
  expected.insert(expected.end(), shown.begin(), shown.end());
  EXPECT_EQ(Take(), expected);
  const BOOL destroyed = DestroyWindow(popup);
  EXPECT_EQ(std::make_pair(destroyed, DestroyWindow(popup)), std::make_pair(TRUE, FALSE)) << "then it is gone";
  EXPECT_EQ(Take(), (Seen{"ACTIVATE 0", "ACTIVATEAPP 0", "KILLFOCUS", "DESTROY", "NCDESTROY"}));

  withPlaces = false;
  DestroyWindow(Create(WS_VISIBLE | WS_SYSMENU | WS_MINIMIZEBOX));
  expected = {"NCCREATE", "CREATE"};
  expected.insert(expected.end(), shown.begin(), shown.end());
  expected.insert(expected.end(), {"SIZE", "MOVE", "ACTIVATE 0", "ACTIVATEAPP 0", "KILLFOCUS", "DESTROY", "NCDESTROY"});
  EXPECT_EQ(Take(), expected);
}

// WM_CLOSE through the queue: DefWindowProcA destroys the window. WM_QUIT carries the exit code, comes only
// from PostQuitMessage, with no window, and never reaches a procedure.
TEST_F(WindowTest, CloseDestroysTheWindowAndQuitStaysInTheQueue) {
  HWND window = Create(WS_POPUP | WS_VISIBLE);
  Take();
  PostMessageA(window, WM_CLOSE, 0, 0);
  PostQuitMessage(3);
  MSG msg{};
  std::vector<std::pair<UINT, WPARAM>> fetched;  // WM_QUIT with its exit code, plus 100 if it had a window
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_CLOSE || msg.message == WM_QUIT)
      fetched.push_back({msg.message, msg.message == WM_QUIT ? msg.wParam + (msg.hwnd ? 100 : 0) : 0});
    DispatchMessageA(&msg);
  }
  EXPECT_EQ(fetched, (std::vector<std::pair<UINT, WPARAM>>{{WM_CLOSE, 0}, {WM_QUIT, 3}}));
  EXPECT_EQ(Take(), (Seen{"CLOSE", "ACTIVATE 0", "ACTIVATEAPP 0", "KILLFOCUS", "DESTROY", "NCDESTROY"}));
}

}  // namespace
