// A stand-in with no resources of its own, so that the board links and can be
// tested; the game screen proper builds the buttons, sprites, images and sounds.
#include "game/game_screen.h"

#include "core/globals.h"

GameScreen gameScreen;

GameScreen::GameScreen()
    : scoreFont(nullptr),
      roundCompleteFont(nullptr),
      tileSet(nullptr),
      gameOverAnimation(nullptr),
      arrows(nullptr),
      selectionMarker(nullptr) {
  SetName("GloomGrid");
}

GameScreen::~GameScreen() {}

void GameScreen::Activate(LPDIRECTDRAW newDirectDraw, LPDIRECTDRAWSURFACE surface) {
  Screen::Activate(newDirectDraw, surface);
}

void GameScreen::Deactivate() { Screen::Deactivate(); }

int GameScreen::HandleMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return Screen::HandleMessage(hWnd, msg, wParam, lParam);
}

int GameScreen::Frame(int) { return FrameContinue; }
