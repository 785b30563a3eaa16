// The one screen in which the puzzle is played, named "GloomGrid". Activation
// loads the background, builds the six buttons, the sprites and named images
// the game draws with, registers the sound effects and starts the game;
// deactivation frees them. The game reaches these resources only through the
// global `gameScreen`.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include "screens/screen.h"

class Sprite;

class GameScreen : public Screen {
 public:
  GameScreen();
  ~GameScreen() override;

  void Activate(LPDIRECTDRAW newDirectDraw, LPDIRECTDRAWSURFACE surface) override;
  void Deactivate() override;
  int HandleMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
  int Frame(int flag) override;

  // Each null until activation and again after deactivation.
  Sprite* scoreFont;
  Sprite* roundCompleteFont;
  Sprite* tileSet;
  Sprite* gameOverAnimation;
  Sprite* arrows;
  Sprite* selectionMarker;

  // The file whose absence stopped the last activation, or null when it went
  // through. Without its background the screen cannot run.
  const char* MissingFile() const { return missingFile; }

 private:
  void DeleteSprites();

  const char* missingFile;
};

constexpr char kBackgroundFile[] = "background.bmp";

extern GameScreen gameScreen;
