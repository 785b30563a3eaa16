// Setting a level up (deal, time, pictures) and repainting the level panel.
#include <cstdio>

#include "core/game_clock.h"
#include "game/game_screen.h"
#include "game/panels.h"
#include "game/tile_game.h"
#include "screens/scene_composer.h"
#include "screens/screen_image.h"

namespace {

// A picture loaded for one draw onto the background and released at once; a
// missing file leaves its place as it was.
void DrawPictureOnce(const char* file, int32_t x, int32_t y, int32_t width, int32_t height) {
  ScreenImage picture;
  if (picture.Load(file) != nullptr) picture.Draw(sceneComposer.GetBackground(), x, y);
  sceneComposer.AddRequest(x, y, width, height, RestoreOnce, RestoreFromBackground);
}

}  // namespace

void TileGame::DrawLevelPictures() {
  char file[32];
  std::snprintf(file, sizeof(file), "level%dsmall.bmp", ShownLevel() + 1);
  DrawPictureOnce(file, 620, 80, 152, 152);
  std::snprintf(file, sizeof(file), "levelname%d.bmp", ShownLevel() + 1);
  DrawPictureOnce(file, 4, 346, 189, 78);
}

void TileGame::AdvanceLevel() {
  sceneComposer.RestoreRect(190, 80, 410, 410);
  ++level;
  if (level >= kLevelCount) {
    level = kLevelCount;
    return;
  }
  board.NewBoard(level);
  SetTimeAllowance(kTimeAllowance);
  SetCountdown(GetTimeAllowance() + level * 10);
  DrawLevelPictures();
  PauseCountdown();
  SetState(StateIdle);
}

void TileGame::ShowLevelPanel() {
  LPDIRECTDRAWSURFACE background = sceneComposer.GetBackground();
  DrawTimerBar(background);
  DrawScorePanel(background);
  DrawLevelPictures();
  gameScreen.Present();
}
