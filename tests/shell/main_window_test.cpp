// The main window and its window procedure on the headless host: window styles
// and sizes, activation, maximize offsets, keys, the screen saver, and the
// message pump's handling of the quit message.
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
    appActive = 0;
    showFps = 0;
    mouseOffsetX = mouseOffsetY = 0;
    fullScreen = 0;
  }
  void TearDown() override { host::ResetForTest(); }

  void Create(int fullScreenSetting) {
    fullScreen = fullScreenSetting;
    ASSERT_EQ(RegisterMainWindowClass(nullptr), 1);
    ASSERT_EQ(CreateMainWindow(nullptr, 0), 1);
  }

  // Runs the queue dry; true when the quit message was met.
  bool Pump() { return PumpMessages() == 1; }
};

TEST_F(MainWindowTest, WindowedIsCentredWithAnEightHundredBySixHundredClientArea) {
  Create(0);
  host::Window* window = host::FindWindow(mainWindow);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->style, static_cast<DWORD>(WS_VISIBLE | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  EXPECT_EQ(window->x, 1024 / 2 - 400);
  EXPECT_EQ(window->y, 768 / 2 - 300);
  EXPECT_EQ(clientWidth, 800);
  EXPECT_EQ(clientHeight, 600);
  EXPECT_EQ(window->title, "Gloom Grid");
  EXPECT_EQ(appActive, 1) << "creating a visible window activates it";
}

TEST_F(MainWindowTest, FullScreenIsAPlainVisibleWindowOverTheWholeScreen) {
  host::settings().screenWidth = 1280;
  host::settings().screenHeight = 1024;
  Create(1);
  host::Window* window = host::FindWindow(mainWindow);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->style, static_cast<DWORD>(WS_VISIBLE));
  EXPECT_EQ(window->x, 0);
  EXPECT_EQ(window->y, 0);
  EXPECT_EQ(clientWidth, 1280);
  EXPECT_EQ(clientHeight, 1024);
}

TEST_F(MainWindowTest, RegisteringTheClassTwiceFails) {
  ASSERT_EQ(RegisterMainWindowClass(nullptr), 1);
  EXPECT_EQ(RegisterMainWindowClass(nullptr), 0);
}

TEST_F(MainWindowTest, ActivationStartsAndStopsFrames) {
  Create(0);
  host::InjectActivate(false);
  EXPECT_EQ(appActive, 0);
  host::InjectActivate(true);
  EXPECT_EQ(appActive, 1);
  // A click activation alone changes nothing; the application message decides.
  MainWindowProc(mainWindow, WM_ACTIVATE, WA_CLICKACTIVE, 0);
  EXPECT_EQ(appActive, 1);
  MainWindowProc(mainWindow, WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_EQ(appActive, 0);
  MainWindowProc(mainWindow, WM_ACTIVATEAPP, TRUE, 0);
  EXPECT_EQ(appActive, 1);
}

TEST_F(MainWindowTest, MaximizingShiftsMousePositionsAndRestoringClearsTheShift) {
  Create(0);
  host::InjectMaximize(1024, 741);
  EXPECT_EQ(mouseOffsetX, 1024 / 2 - 399);
  EXPECT_EQ(mouseOffsetY, 741 / 2 - 300) << "frame and caption heights are 0 on this host";
  host::InjectRestore();
  EXPECT_EQ(mouseOffsetX, 0);
  EXPECT_EQ(mouseOffsetY, 0);
  // Other kinds of resize leave the offsets alone.
  host::InjectMaximize(900, 700);
  MainWindowProc(mainWindow, WM_SIZE, SIZE_MINIMIZED, 0);
  EXPECT_EQ(mouseOffsetX, 900 / 2 - 399);
}

TEST_F(MainWindowTest, F1ReleasedTogglesTheFrameRate) {
  Create(0);
  host::InjectKey(VK_F1, true);
  EXPECT_FALSE(Pump());
  EXPECT_EQ(showFps, 0) << "pressing does nothing";
  host::InjectKey(VK_F1, false);
  EXPECT_FALSE(Pump());
  EXPECT_EQ(showFps, 1);
  host::InjectKey(VK_F1, false);
  EXPECT_FALSE(Pump());
  EXPECT_EQ(showFps, 0);
}

TEST_F(MainWindowTest, TheScreenSaverNeverStarts) {
  Create(0);
  EXPECT_EQ(MainWindowProc(mainWindow, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 0);
  EXPECT_NE(host::FindWindow(mainWindow), nullptr);
}

TEST_F(MainWindowTest, EscapeReleasedClosesTheWindowAndThePumpSeesTheQuitTwice) {
  Create(0);
  host::InjectKey(VK_ESCAPE, true);
  EXPECT_FALSE(Pump()) << "pressing Escape does nothing";
  host::InjectKey(VK_ESCAPE, false);
  EXPECT_TRUE(Pump());
  EXPECT_EQ(host::FindWindow(mainWindow), nullptr) << "the window is gone";
  EXPECT_EQ(appActive, 0);
  // The quit message was posted again for an enclosing loop.
  MSG msg{};
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 0u);
}

TEST_F(MainWindowTest, QuitMessageKeepsItsExitCodeThroughThePump) {
  Create(0);
  PostQuitMessage(3);
  EXPECT_TRUE(Pump());
  MSG msg{};
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(MainWindowTest, TitleNamesThePlayer) {
  Create(0);
  SetWindowTitle("Morticia");
  EXPECT_EQ(host::FindWindow(mainWindow)->title, "Gloom Grid - Morticia");
  std::string longName(400, 'x');
  SetWindowTitle(longName.c_str());
  EXPECT_EQ(host::FindWindow(mainWindow)->title.size(), 255u);
}

}  // namespace
