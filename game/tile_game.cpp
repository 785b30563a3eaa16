#include "game/tile_game.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/game_clock.h"
#include "core/globals.h"
#include "game/game_screen.h"
#include "game/panels.h"
#include "screens/control_panel.h"
#include "screens/mouse_cursor.h"
#include "screens/popup_screen.h"
#include "screens/scene_composer.h"
#include "screens/screen_image.h"
#include "screens/sprite_list.h"
#include "shell/main_window.h"
#include "shell/player_profiles.h"
#include "sound/sound_registry.h"

TileGame tileGame;
int32_t blinkOn = 0;
int32_t blinkTime = 0;

namespace {

constexpr int32_t kScareInterval = 10000;
constexpr int32_t kSolvedPause = 1500;
constexpr int32_t kBlinkInterval = 500;
constexpr char kOptionsFile[] = "..\\options.ini";
constexpr char kLauncherFile[] = "\\Portalis.exe";

const char* const kScareSounds[4] = {"scream1", "ghost", "thunder", "laugh"};

struct PopupLayout {
  const char* file;
  int32_t x, y;  // -1, -1: centred
  bool defaultButton;
  int32_t showMs;  // 0: until clicked
};

constexpr PopupLayout kHowToPlay = {"title\\HowToPlay.bmp", -1, -1, true, 0};
constexpr PopupLayout kTryAgain = {"tryagain.bmp", 302, 224, true, 2000};
constexpr PopupLayout kCongratulations = {"congrats.bmp", 208, 112, true, 6000};
constexpr PopupLayout kHallOfFameNotice = {"hallfamepop.bmp", 332, 187, false, 1000};

// 0 when the program is quitting.
int32_t RunPopup(const PopupLayout& layout, const char* pictureName = nullptr) {
  PopupScreen popup;
  ScreenImage* picture = popup.AddPicture(layout.file, nullptr);
  // Without its picture a popup that waits for a click on it would hold the
  // game behind nothing to see or click: it is passed over instead.
  if (layout.showMs == 0 && picture->surface == nullptr) return 1;
  if (layout.x != -1 || layout.y != -1) popup.SetPosition(layout.x, layout.y);
  if (layout.defaultButton) popup.AddDefaultButton();
  if (layout.showMs != 0) popup.SetDisplayEnd(GetTicks() + layout.showMs);
  char result[256];
  return popup.Run(result, pictureName);
}

int32_t Digits(int32_t value) {
  char text[16];
  return std::snprintf(text, sizeof(text), "%d", value);
}

// Starts the launcher from the directory the program was given; 1 when started.
int32_t StartLauncher() {
  char path[sizeof(launchDirectory) + sizeof(kLauncherFile)];
  std::snprintf(path, sizeof(path), "%s%s", launchDirectory, kLauncherFile);
  HINSTANCE started = ShellExecuteA(nullptr, "open", path, "GloomGrid", launchDirectory, SW_SHOWNORMAL);
  return reinterpret_cast<intptr_t>(started) > 32 ? 1 : 0;
}

}  // namespace

void PlayEffect(const char* name) { soundRegistry.PlayByName(name, 0xFFFF, 0); }

TileGame::TileGame() : level(-1), eventTime(0) {}

void TileGame::Start() {
  SetScore(0);
  SetProperty1(0);
  IdentifyPlayer(nullptr);
  hallOfFame.Resize(20);
  hallOfFame.Load(kHallOfFameFile);
  PauseCountdown();
  level = -1;
  AdvanceLevel();
  SetState(StateIdle);
}

void TileGame::Shutdown() {
  hallOfFame.Free();
  spriteList.DestroyAll();
}

void TileGame::IdentifyPlayer(char* buffer) {
  playerProfiles.SetFile(kOptionsFile);
  SetPlayerIndex(playerProfiles.ReadPlayerId());
  // A slot the profiles do not have is read as the first player.
  int32_t slot = PlayerSlot();
  playerProfiles.ReadPlayer(slot);
  SetWindowTitle(playerProfiles.players[slot].name);
  if (buffer != nullptr) playerProfiles.FormatPlayer(slot, buffer, kHallOfFameTextSize);
}

int32_t TileGame::ShowHallOfFameNotice() {
  gameScreen.Present();
  if (!RunPopup(kHallOfFameNotice)) return 0;
  ShowLevelPanel();
  return 1;
}

void TileGame::PlayScareSound() {
  PlayEffect(kScareSounds[std::rand() % 4]);
  eventTime = GetTicks();
}

int32_t TileGame::Frame() {
  if (TicksSince(eventTime) > kScareInterval) PlayScareSound();

  int x = 0, y = 0, buttons = 0;
  mouseCursor.GetState(&x, &y, &buttons, nullptr, nullptr);
  if (ControlPanel* panel = gameScreen.GetPanel()) {
    panel->Feed(x, y, buttons);
    panel->Redraw();
  }
  LPDIRECTDRAWSURFACE background = sceneComposer.GetBackground();
  DrawScorePanel(background);
  DrawTimerBar(background);
  board.DrawTiles();

  if (!HandleButtons()) return FrameQuit;

  if (GetState() != StateIdle && GetCountdown() == 0) return HandleTimeOver() ? FrameContinue : FrameQuit;

  switch (GetState()) {
    case StateIdle:
      BlinkNewGame();
      break;
    case StatePlaying:
      board.HandleMouse(x, y, buttons);
      if (board.IsSolved()) {
        PlayEffect("organ");
        SetState(StateRoundComplete);
        eventTime = GetTicks();
      }
      spriteList.AnimateAndDraw(backSurface);
      break;
    case StateRoundComplete:
      if (TicksSince(eventTime) > kSolvedPause && !ScoreRound()) return FrameQuit;
      break;
    default:
      break;
  }
  return FrameContinue;
}

int32_t TileGame::HandleButtons() {
  ControlPanel* panel = gameScreen.GetPanel();
  if (panel == nullptr) return 1;
  if (panel->WasClicked("menu")) {
    PlayEffect("click");
    // A launcher that cannot be started leaves the player in the game.
    if (launchDirectory[0] != '\0' && StartLauncher()) return 0;
  }
  if (panel->WasClicked("info")) {
    // Reading the rules costs no time, and does not start a level's clock
    // before "newgame" either.
    int32_t wasRunning = IsCountdownRunning();
    PauseCountdown();
    if (!RunPopup(kHowToPlay, "rules")) return 0;
    if (wasRunning) ResumeCountdown();
    sceneComposer.RestoreAll();
    ShowLevelPanel();
  }
  if (panel->WasClicked("exit")) return 0;
  if (panel->WasClicked("newgame")) {
    if (level >= kLevelCount) {
      // The last level is done: a new game from level 1.
      level = -1;
      AdvanceLevel();
    } else if (GetState() == StatePlaying) {
      --level;
      AdvanceLevel();
    }
    SetScore(0);
    PlayEffect("organ");
    if (Button* newGame = panel->Find("newgame")) newGame->SetFrameOffset(0);
    ResumeCountdown();
    SetState(StatePlaying);
  }
  if (panel->WasClicked("up") && level < kLevelCount - 1) AdvanceLevel();
  if (panel->WasClicked("down") && level > 0) {
    level -= 2;
    AdvanceLevel();
  }
  return 1;
}

int32_t TileGame::HandleTimeOver() {
  PauseCountdown();
  gameScreen.Present();
  if (!RunPopup(kTryAgain)) return 0;
  LPDIRECTDRAWSURFACE background = sceneComposer.GetBackground();
  DrawTimerBar(background);
  DrawScorePanel(background);
  gameScreen.Present();
  if (!OfferResult()) return 0;
  SetState(StateIdle);
  sceneComposer.RestoreRect(190, 80, 410, 410);
  return 1;
}

int32_t TileGame::OfferResult() {
  char record[kHallOfFameTextSize];
  IdentifyPlayer(record);
  if (!hallOfFame.Insert(record, GetScore())) return 1;
  hallOfFame.Save(kHallOfFameFile);
  return ShowHallOfFameNotice();
}

void TileGame::BlinkNewGame() {
  ControlPanel* panel = gameScreen.GetPanel();
  Button* newGame = panel ? panel->Find("newgame") : nullptr;
  if (newGame == nullptr) return;
  if (newGame->IsMouseOver()) {
    newGame->SetFrameOffset(0);
  } else if (TicksSince(blinkTime) > kBlinkInterval) {
    blinkOn = 1 - blinkOn;
    newGame->SetFrameOffset(blinkOn);
    newGame->Draw(nullptr);
    blinkTime = GetTicks();
  }
}

int32_t TileGame::ScoreRound() {
  int32_t remaining = GetCountdown();
  int32_t bonus = TimeBonus(level, remaining);
  SetScore(GetScore() + LevelPoints(level));
  SetScore(GetScore() + bonus);

  PauseCountdown();
  board.DrawTiles();
  LPDIRECTDRAWSURFACE background = sceneComposer.GetBackground();
  DrawScorePanel(background);
  DrawTimerBar(background);
  gameScreen.Present();
  sceneComposer.RestoreRect(190, 80, 410, 410);

  {
    PopupScreen popup;
    popup.AddPicture("roundcomplete.bmp", nullptr);
    if (ScreenImage* picture = popup.GetPicture()) {
      char text[16];
      std::snprintf(text, sizeof(text), "%d", level + 1);
      DrawNumber(gameScreen.roundCompleteFont, 154 + 16 * Digits(level + 1), 57, text, picture->surface);
      std::snprintf(text, sizeof(text), "%d", bonus);
      DrawNumber(gameScreen.roundCompleteFont, 154 + 16 * Digits(bonus), 220, text, picture->surface);
    }
    popup.SetPosition(246, 130);
    popup.SetDisplayEnd(GetTicks() + 6000);
    char result[256];
    if (!popup.Run(result, nullptr)) return 0;
  }

  AdvanceLevel();
  bool finished = level >= kLevelCount;
  if (finished) {
    if (!RunPopup(kCongratulations)) return 0;
    // The finished board stays up, waiting for "newgame" or "down"; there is
    // no next level whose time could run.
    SetState(StateIdle);
  }
  if (!OfferResult()) return 0;
  if (!finished) ResumeCountdown();
  return 1;
}
