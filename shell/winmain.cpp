// The program's entry point: start-up checks and order, then the main loop.
#include <windows.h>
#include <ddraw.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "gfx/surface_utils.h"
#include "platform/zq.h"
#include "screens/mouse_cursor.h"
#include "screens/screen_manager.h"
#include "core/game_clock.h"
#include "core/globals.h"
#include "core/message_pump.h"
#include "game/game_screen.h"
#include "shell/main_window.h"
#include "sound/sound_registry.h"
#include "sound/zq_sound.h"

namespace {

constexpr char kDepthMessage[] = "Orvane Games needs the display set to High Color (16 bit).";
constexpr char kNoDirectXMessage[] = "DirectX not installed. Program needs DirectX 7.0a or higher to run";
constexpr char kOldDirectXMessage[] = "DirectX Version 7.0a or greater not installed";

void ShowStartupError(const char* text) { MessageBoxA(nullptr, text, nullptr, MB_ICONERROR); }

int DisplayDepth() {
  HDC screen = GetDC(nullptr);
  int bits = GetDeviceCaps(screen, BITSPIXEL);
  ReleaseDC(nullptr, screen);
  return bits;
}

// 1 when DirectDraw 7 is there; shows the matching message otherwise.
int DirectX7Installed() {
  LPDIRECTDRAW probe = nullptr;
  if (FAILED(DirectDrawCreate(nullptr, &probe, nullptr)) || !probe) {
    ShowStartupError(kNoDirectXMessage);
    return 0;
  }
  LPDIRECTDRAW7 probe7 = nullptr;
  HRESULT result = probe->QueryInterface(IID_IDirectDraw7, reinterpret_cast<void**>(&probe7));
  if (FAILED(result) || !probe7) {
    probe->Release();
    ShowStartupError(kOldDirectXMessage);
    return 0;
  }
  probe7->Release();
  probe->Release();
  return 1;
}

int ReadFullScreenSetting() {
  char value[256];
  GetPrivateProfileStringA("setup", "fullscreen", "0", value, sizeof(value), ".\\setup.ini");
  return std::atoi(value);
}

int StartDisplay() {
  ZQDebugEnable(0);
  if (fullScreen) {
    if (!ZQInitDirectX(mainWindow, 800, 600, 16)) return 0;
    ZQSetViewport(0, 0, 800, 600);
  } else {
    if (!ZQInitDirectX(mainWindow, clientWidth, clientHeight)) {
      ZQPrintError();
      return 0;
    }
    ZQSetViewport(0, 0, clientWidth, clientHeight);
  }
  directDraw = ZQGetLPDD();
  ZQGetDDInfo(&primarySurface, &backSurface);
  FillSurface(backSurface, 0);
  return 1;
}

// The game draws no cursor of its own: the system's arrow shows, and the
// record only follows the mouse.
void StartMouseCursor() {
  mouseCursor.Init(nullptr);
  mouseCursor.SelectImage(0);
  mouseCursor.Hide();
  mouseCursor.SetFlipMode(fullScreen != 0);
  POINT position{};
  GetCursorPos(&position);
  mouseCursor.SetPosition(position.x, position.y);
}

void PollMouseCursor() { mouseCursor.Poll(); }

// A switch of the options file: on when its value begins with a capital Y.
int32_t ReadSoundSwitch(const char* key) {
  char value[2];
  GetPrivateProfileStringA("setup", key, "Y", value, sizeof(value), "..\\options.ini");
  return value[0] == 'Y' ? 1 : 0;
}

// The music plays from start-up to the end, looping, faded in; a music file
// that cannot be loaded leaves the game silent but running.
void StartSound() {
  soundRegistry.Init(mainWindow, 200);
  const int32_t music = ReadSoundSwitch("music");
  soundRegistry.EnableMusic(music);
  soundRegistry.EnableSFX(ReadSoundSwitch("SFX"));
  if (music && zqSound.LoadStream(".\\sounds\\music.wav", 0)) {
    ZQSound::SetStreamVolume(0x7FFF);
    zqSound.PlayStream(kStreamLoop);
    zqSound.FadeMusicIn(300);
  }
}

// Without its background the game cannot paint or restore anything.
int GameScreenReady() {
  if (gameScreen.MissingFile() == nullptr) return 1;
  char text[128];
  std::snprintf(text, sizeof(text), "Gloom Grid cannot start: the file \"%s\" is missing.", gameScreen.MissingFile());
  ShowStartupError(text);
  return 0;
}

int RunMainLoop() {
  for (;;) {
    if (PumpMessages()) return 0;
    HDC dc = nullptr;
    if (backSurface && SUCCEEDED(backSurface->GetDC(&dc))) backSurface->ReleaseDC(dc);
    if (appActive) {
      ZQAcquireMouse(1);
      WaitForNextFrame(100);
      if (screenManager.RunFrame(appActive) == FrameQuit) {
        DestroyWindow(mainWindow);
        return 0;
      }
    } else {
      ZQAcquireMouse(0);
      // Nothing is drawn while another program is in front: give the processor
      // up for a timer period instead of looking at the queue without pause.
      Sleep(10);
    }
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE prevInstance, LPSTR cmdLine, int cmdShow) {
  int depth = DisplayDepth();
  if (depth != 15 && depth != 16) {
    ShowStartupError(kDepthMessage);
    return 1;
  }
  // A start-up refusal is a failure: the exit code says so, not only the message.
  if (!DirectX7Installed()) return 1;

  moduleInstance = instance;
  ZQSetInstance(instance);
  fullScreen = ReadFullScreenSetting();
  if (!RegisterMainWindowClass(instance) || !CreateMainWindow(instance, cmdShow)) return 1;
  if (!StartDisplay()) return 1;

  ZQSetInstance(instance);
  ZQInitMouse();
  SetTickPoll(PollMouseCursor);
  StartGameClock();
  StartSound();
  StartMouseCursor();
  ZQAcquireMouse(1);
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  ZQInitFont(mainWindow);
  screenManager.Init(directDraw, backSurface);
  screenManager.AddScreen(&gameScreen);
  CopyLaunchDirectory(cmdLine);
  screenManager.SelectScreen("GloomGrid");
  if (!GameScreenReady()) {
    DestroyWindow(mainWindow);  // the whole shutdown
    return 1;
  }
  ZQInitKeyboard();
  return RunMainLoop();
}
