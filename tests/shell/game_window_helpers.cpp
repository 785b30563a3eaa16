#include "game_window_helpers.h"

#include "platform/zq.h"
#include "screens/mouse_cursor.h"
#include "core/globals.h"
#include "shell/main_window.h"

namespace shell_test {

bool GameWindowTest::StartGameWindow(bool fullScreenMode) {
  fullScreen = fullScreenMode ? 1 : 0;
  mouseOffsetX = mouseOffsetY = 0;
  if (RegisterMainWindowClass(nullptr) != 1 || CreateMainWindow(nullptr, 0) != 1) return false;
  window_ = mainWindow;
  const int started = fullScreenMode ? ZQInitDirectX(mainWindow, 800, 600, 16)
                                     : ZQInitDirectX(mainWindow, clientWidth, clientHeight);
  if (!started) return false;
  directDraw = ZQGetLPDD();
  ZQGetDDInfo(&primarySurface, &backSurface);
  ZQInitMouse();
  ZQAcquireMouse(1);
  MouseCursor::ResetPollHistoryForTest();
  return backSurface != nullptr;
}

POINT GameWindowTest::ClientOrigin() const {
  POINT origin{0, 0};
  if (!fullScreen) ClientToScreen(mainWindow, &origin);
  return origin;
}

}  // namespace shell_test
