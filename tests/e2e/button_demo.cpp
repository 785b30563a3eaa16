// A small demonstration program for the screen framework (not the game): one
// screen with one button, run with the game's own window, clock, cursor and
// main loop. Its command line names the button's bitmap (normal, mouse-over
// and pressed pictures side by side); it prints "clicked" on standard output
// for every click the button reports.
#include <windows.h>

#include <cstdio>
#include <ctime>

#include "gfx/surface_utils.h"
#include "platform/zq.h"
#include "screens/button.h"
#include "screens/control_panel.h"
#include "screens/mouse_cursor.h"
#include "screens/scene_composer.h"
#include "screens/screen.h"
#include "screens/screen_manager.h"
#include "core/game_clock.h"
#include "core/globals.h"
#include "core/message_pump.h"
#include "shell/main_window.h"

namespace {

// The only screen; it lives until the program ends.
class DemoScreen : public Screen {
 public:
  const char* bitmap = "";
  void Activate(LPDIRECTDRAW dd, LPDIRECTDRAWSURFACE surface) override {
    Screen::Activate(dd, surface);
    LPDIRECTDRAWSURFACE background = CreateOffscreenSurface(800, 600);
    FillSurface(background, ColorFromRGB(background, 40, 20, 60));
    sceneComposer.SetBackground(background);
    sceneComposer.SetBackdrop(background);
    sceneComposer.RestoreAll();
    auto* button = new Button(340, 270);  // 120 x 60, centred
    button->LoadStates(bitmap, 3, 0);
    button->SetName("demo");
    button->SetDirtyTracking(1);
    GetPanel()->Add(button);
  }
  int Frame(int) override {
    int x = 0, y = 0, bits = 0;
    mouseCursor.GetState(&x, &y, &bits, nullptr, nullptr);
    GetPanel()->Feed(x, y, bits);
    GetPanel()->Redraw();
    if (GetPanel()->WasClicked("demo")) {
      std::printf("clicked\n");
      std::fflush(stdout);
    }
    return Present() ? FrameContinue : FrameQuit;
  }
};

DemoScreen demoScreen;

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
  fullScreen = 0;
  if (!RegisterMainWindowClass(instance) || !CreateMainWindow(instance, showCommand)) return 1;
  if (!ZQInitDirectX(mainWindow, clientWidth, clientHeight)) return 1;
  directDraw = ZQGetLPDD();
  ZQGetDDInfo(&primarySurface, &backSurface);
  ZQInitMouse();
  SetTickPoll([] { mouseCursor.Poll(); });
  StartGameClock();
  mouseCursor.Init(nullptr);
  mouseCursor.Hide();
  ZQAcquireMouse(1);
  screenManager.Init(directDraw, backSurface);
  demoScreen.bitmap = commandLine;
  demoScreen.SetName("Demo");
  screenManager.AddScreen(&demoScreen);
  screenManager.SelectScreen("Demo");
  for (;;) {
    if (PumpMessages()) return 0;
    if (!appActive) continue;
    WaitForNextFrame(100);
    if (screenManager.RunFrame(1) == FrameQuit) {
      DestroyWindow(mainWindow);
      return 0;
    }
  }
}
