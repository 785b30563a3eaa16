// The timer bar and the score panel, painted onto the background and brought to
// the back surface by the scene composer's restores.
#include <cstdio>
#include <cstring>

#include "core/game_clock.h"
#include "game/game_screen.h"
#include "game/panels.h"
#include "game/tile_game.h"
#include "screens/scene_composer.h"
#include "screens/screen_image.h"
#include "screens/sprite.h"

namespace {

// The drop falls 2 pixels a second for 104 seconds; then the animation runs.
constexpr int32_t kLastDropSecond = 104;
constexpr int32_t kBarTop = 306;

void DrawNamedImage(LPDIRECTDRAWSURFACE surface, const char* name, int32_t x, int32_t y) {
  ScreenImage* image = gameScreen.FindImage(name);
  if (image != nullptr) image->Draw(surface, x, y);
}

}  // namespace

void DrawTimerBar(LPDIRECTDRAWSURFACE surface) {
  sceneComposer.RestoreRect(724, 266, 42, 250);
  sceneComposer.RestoreRect(462, 510, 310, 54);
  if (!IsCountdownRunning()) return;
  int32_t remaining = GetCountdown();
  if (remaining > kTimeAllowance) return;
  DrawNamedImage(surface, "timerstart", 722, 269);
  int32_t used = tileGame.GetTimeAllowance() - remaining;
  if (used <= kLastDropSecond) {
    DrawNamedImage(surface, "timerdrop", 729, kBarTop + 2 * used);
  } else if (Sprite* animation = gameScreen.gameOverAnimation) {
    animation->SetPosition(471, 515);
    // Past its last frame the animation holds the frame it reached.
    if (used - kLastDropSecond < animation->FrameCount()) animation->SetFrameIndex(used - kLastDropSecond);
    animation->Draw(surface);
  }
  for (int32_t i = 0; i < used && i <= kLastDropSecond; ++i) DrawNamedImage(surface, "timerunit", 734, kBarTop + 2 * i);
}

void DrawScorePanel(LPDIRECTDRAWSURFACE surface) {
  sceneComposer.RestoreRect(7, 84, 180, 100);
  sceneComposer.RestoreRect(7, 166, 180, 100);
  sceneComposer.RestoreRect(620, 377, 75, 45);
  char text[16];
  std::snprintf(text, sizeof(text), "%d", tileGame.hallOfFame.TopScore());
  DrawNumber(gameScreen.scoreFont, 164, 98, text, surface);
  std::snprintf(text, sizeof(text), "%d", tileGame.GetScore());
  DrawNumber(gameScreen.scoreFont, 164, 178, text, surface);
  int32_t levelNumber = tileGame.ShownLevel() + 1;
  std::snprintf(text, sizeof(text), "%d", levelNumber);
  DrawNumber(gameScreen.scoreFont, levelNumber > 9 ? 680 : 670, 390, text, surface);
}

void DrawNumber(Sprite* font, int32_t x, int32_t y, const char* text, LPDIRECTDRAWSURFACE surface) {
  if (font == nullptr || text == nullptr) return;
  int32_t digitWidth = font->width / 10;
  int32_t length = static_cast<int32_t>(std::strlen(text));
  font->SetPosition(x - digitWidth * length, y);
  for (int32_t i = 0; i < length; ++i) {
    if (text[i] >= '0' && text[i] <= '9') {
      font->SetFrameIndex(text[i] - '0');
      font->Draw(surface);
    }
    font->x += static_cast<float>(digitWidth);
  }
}
