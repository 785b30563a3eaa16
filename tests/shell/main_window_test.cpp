// The main window and its window procedure on the headless host: activation,
// maximize offsets, keys, the title, the screen saver, and the message pump's
// handling of the quit message.
#include <gtest/gtest.h>

#include "host/control.h"
#include "host/src/window.h"
#include "screens/screen_manager.h"
#include "core/globals.h"
#include "core/message_pump.h"
#include "shell/main_window.h"

namespace {

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host::ResetForTest();
    host::settings() = host::Settings{};
    host::settings().headless = true;
    host::settings().timeMode = host::TimeMode::Manual;
    mainWindow = nullptr;
    appActive = showFps = fullScreen = mouseOffsetX = mouseOffsetY = 0;
  }
  void TearDown() override { host::ResetForTest(); }
  host::Window* Create(int fullScreenSetting) {
    fullScreen = fullScreenSetting;
    EXPECT_EQ(RegisterMainWindowClass(nullptr), 1);
    EXPECT_EQ(CreateMainWindow(nullptr, 0), 1);
    return host::FindWindow(mainWindow);
  }
  // A key pressed or released, then the queue run dry; true when the quit message was met.
  static bool Key(int key, bool down) {
    host::InjectKey(key, down);
    return PumpMessages() == 1;
  }
  static UINT_PTR QuitCodeReposted() {
    MSG msg{};
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message == WM_QUIT) << "quit posted again";
    return msg.wParam;
  }
};

// Window styles, places and sizes are checked on the real binary's trace (startup_test).
TEST_F(MainWindowTest, ActivationSizingTitleAndTheScreenSaver) {
  host::Window* window = Create(0);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(appActive, 1) << "creating a visible window activates it";
  EXPECT_EQ(RegisterMainWindowClass(nullptr), 0) << "registering the class twice fails";
  SetWindowTitle("Morticia");
  EXPECT_EQ(window->title, "Gloom Grid - Morticia");
  host::InjectActivate(false);
  EXPECT_EQ(appActive, 0);
  host::InjectActivate(true);
  EXPECT_EQ(appActive, 1);
  MainWindowProc(mainWindow, WM_ACTIVATE, WA_CLICKACTIVE, 0);  // alone changes nothing
  MainWindowProc(mainWindow, WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_EQ(appActive, 0) << "the application message decides";
  host::InjectMaximize(1024, 741);
  EXPECT_EQ(std::make_pair(mouseOffsetX, mouseOffsetY), std::make_pair(1024 / 2 - 399, 741 / 2 - 300))
      << "frame and caption heights are 0 on this host";
  MainWindowProc(mainWindow, WM_SIZE, SIZE_MINIMIZED, 0);
  EXPECT_EQ(mouseOffsetX, 1024 / 2 - 399) << "other kinds of resize leave the offsets alone";
  host::InjectRestore();
  EXPECT_EQ(std::make_pair(mouseOffsetX, mouseOffsetY), std::make_pair(0, 0));
  EXPECT_EQ(MainWindowProc(mainWindow, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 0) << "the screen saver never starts";
}

TEST_F(MainWindowTest, ReleasedKeysToggleTheFrameRateAndCloseTheWindow) {
  Create(0);
  EXPECT_FALSE(Key(VK_F1, true));
  EXPECT_EQ(showFps, 0) << "pressing does nothing";
  EXPECT_FALSE(Key(VK_F1, false));
  EXPECT_EQ(showFps, 1);
  EXPECT_FALSE(Key(VK_F1, false));
  EXPECT_EQ(showFps, 0);
  EXPECT_FALSE(Key(VK_ESCAPE, true)) << "pressing Escape does nothing";
  EXPECT_TRUE(Key(VK_ESCAPE, false));
  EXPECT_EQ(host::FindWindow(mainWindow), nullptr) << "the window is gone";
  EXPECT_EQ(appActive, 0);
  EXPECT_EQ(QuitCodeReposted(), 0u);
}

TEST_F(MainWindowTest, QuitMessageKeepsItsExitCodeThroughThePump) {
  Create(0);
  PostQuitMessage(3);
  EXPECT_EQ(PumpMessages(), 1);
  EXPECT_EQ(QuitCodeReposted(), 3u);
}

}  // namespace
