// Writes every picture of the game folder and the review sheets.
#include <string>

#include "generate.hpp"
#include "levels.hpp"
#include "raster.hpp"
#include "review.hpp"
#include "tileset.hpp"
#include "ui.hpp"

namespace gg {

void generatePictures(const std::filesystem::path& game, const std::filesystem::path& reviewDir) {
  const TileArt art = buildTileArt();
  writeBmp(tileSheet(art.frames), game / "tileset.bmp");
  ScreenArt ui;
  ui.background = background();
  std::vector<Image> thumbs, names;
  for (int level = 1; level <= kLevels; ++level) {
    thumbs.push_back(thumbnail(art.scenes[level - 1]));
    // The game draws a level's name over the last one's: each carries the
    // plaque under it, so no letters of the name before show through.
    names.push_back(ui.background.crop(4, 346, 189, 78));
    names.back().overlay(levelName(level), 0, 0);
    writeBmp(thumbs.back(), game / ("level" + std::to_string(level) + "small.bmp"));
    writeBmp(names.back(), game / ("levelname" + std::to_string(level) + ".bmp"));
  }

  ui.buttons = {buttonStrip("New Game"), buttonStrip("Help"), buttonStrip("Menu"), buttonStrip("Exit"),
                levelArrowStrip(true), levelArrowStrip(false)};
  const char* buttonFiles[] = {"newgame.bmp", "helpbutton.bmp", "backbutton.bmp",
                               "exitbutton.bmp", "uparrow.bmp", "downarrow.bmp"};
  for (size_t i = 0; i < ui.buttons.size(); ++i) writeBmp(ui.buttons[i], game / buttonFiles[i]);
  writeBmp(ui.background, game / "background.bmp");
  ui.scoreFont = scoreFont();
  ui.roundFont = roundCompleteFont();
  writeBmp(ui.scoreFont, game / "Score&LevelFont.bmp");
  writeBmp(ui.roundFont, game / "RoundCompleteFont.bmp");
  ui.marker = selectionMarker();
  ui.arrows = moveArrows();
  writeBmp(ui.marker, game / "SelectState.bmp");
  writeBmp(ui.arrows, game / "arrows.bmp");
  ui.timerStart = timerStart(true);
  ui.timeDrop = timeDrop();
  ui.timeUnit = timeUnit();
  writeBmp(ui.timerStart, game / "TimerStart.bmp");
  writeBmp(ui.timeDrop, game / "TimeDrop.bmp");
  writeBmp(ui.timeUnit, game / "TimeUnit.bmp");
  std::vector<Image> gameOver;
  for (int f = 0; f < kGameOverFrames; ++f) gameOver.push_back(gameOverFrame(f));
  ui.gameOver = stacked(gameOver);
  writeBmp(ui.gameOver, game / "gameoveranim.bmp");
  ui.tryAgain = tryAgainPopup();
  ui.roundComplete = roundCompletePopup();
  ui.congrats = congratsPopup(art.scenes.back());
  ui.hallOfFame = hallOfFamePopup();
  ui.howToPlay = howToPlay();
  writeBmp(ui.tryAgain, game / "tryagain.bmp");
  writeBmp(ui.roundComplete, game / "roundcomplete.bmp");
  writeBmp(ui.congrats, game / "congrats.bmp");
  writeBmp(ui.hallOfFame, game / "hallfamepop.bmp");
  writeBmp(ui.howToPlay, game / "title" / "HowToPlay.bmp");

  writeLevelReview(reviewDir / "levels.png", ui.background, art.frames, thumbs, names);
  writeScreenReview(reviewDir / "screens.png", ui, thumbs, names, art.frames);
}

}  // namespace gg
