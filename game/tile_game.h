// The game logic, one global object: the state of play, the score, the level,
// the board and the hall of fame. The game screen runs its Frame once per frame;
// Frame reads the mouse, handles the six buttons, plays the scare sounds, paints
// the panels and the board, runs the board while a round is played, scores a
// solved picture and runs the popups. Main thread only.
#pragma once

#include <cstdint>

#include "game/game_base.h"
#include "game/hall_of_fame.h"
#include "game/level_layouts.h"
#include "game/tile_board.h"

enum GameState : int32_t {
  StateIdle = 0,            // a level is dealt and shown; nothing moves until "newgame"
  StatePlaying = 1,
  StateRoundComplete = 9,   // solved; scored 1.5 seconds later
};

// What the timer bar can show, and every level's base time.
constexpr int32_t kTimeAllowance = 138;
constexpr char kHallOfFameFile[] = "hiscore.dat";

// The bonus for the seconds left on a solved level: 100 a second on level 1,
// doubling from level to level.
inline int32_t TimeBonus(int32_t levelIndex, int32_t remaining) { return remaining * 100 * (1 << levelIndex); }
inline int32_t LevelPoints(int32_t levelIndex) { return (levelIndex + 1) * 10000; }

class TileGame : public GameBase {
 public:
  TileGame();
  ~TileGame() = default;

  // Identifies the player, loads the hall of fame and deals level 1 in the
  // idle state with the countdown paused.
  void Start() override;
  void Shutdown() override;
  // FrameContinue, or FrameQuit to end the program.
  int32_t Frame() override;

  // Moves to level + 1 and deals it (set `level` first for another level); after
  // the last level only moves `level` to kLevelCount.
  void AdvanceLevel();
  // Repaints the timer bar, the score panel and the level pictures, then
  // presents the screen.
  void ShowLevelPanel();
  // Reads the current player from the options file into playerIndex and puts
  // the name in the window title; with a buffer (kHallOfFameTextSize bytes), also the player's
  // record text.
  void IdentifyPlayer(char* buffer);
  // 0 when the program is quitting, else 1.
  int32_t ShowHallOfFameNotice();

  // The level shown on the panels: `level`, or the last level once it is done.
  int32_t ShownLevel() const { return level < kLevelCount ? level : kLevelCount - 1; }

  int32_t level;      // 0 to 12; -1 before the first deal; 13 once the last level is done
  int32_t eventTime;  // last scare sound, or the moment the round was solved
  TileBoard board;
  HallOfFame hallOfFame;

 private:
  // Each 1 to go on, 0 when the frame must return FrameQuit.
  int32_t HandleButtons();
  int32_t HandleTimeOver();
  int32_t ScoreRound();
  int32_t OfferResult();
  void BlinkNewGame();
  void PlayScareSound();
  void DrawLevelPictures();
};

extern TileGame tileGame;

// The blinking "newgame" button while the game waits.
extern int32_t blinkOn;
extern int32_t blinkTime;

// Plays an effect the way the game always does: full volume, pan 0.
void PlayEffect(const char* name);
