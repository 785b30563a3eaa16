#include "game/game_screen.h"

#include "core/globals.h"
#include "game/tile_game.h"
#include "screens/button.h"
#include "screens/control_panel.h"
#include "screens/scene_composer.h"
#include "screens/screen_image.h"
#include "screens/sprite.h"
#include "screens/sprite_list.h"
#include "sound/sound_registry.h"

GameScreen gameScreen;

namespace {

struct ButtonPlace {
  const char* name;
  const char* file;
  int x, y;
};

constexpr ButtonPlace kButtons[] = {
    {"newgame", "newgame.bmp", 98, 448},  {"info", "helpbutton.bmp", 98, 509},
    {"menu", "backbutton.bmp", 6, 448},   {"exit", "exitbutton.bmp", 6, 509},
    {"up", "uparrow.bmp", 641, 333},      {"down", "downarrow.bmp", 641, 461},
};

struct NamedFile {
  const char* name;
  const char* file;
};

constexpr NamedFile kNamedImages[] = {
    {"timerstart", "TimerStart.bmp"},
    {"timerdrop", "TimeDrop.bmp"},
    {"timerunit", "TimeUnit.bmp"},
};

constexpr NamedFile kSoundEffects[] = {
    {"thunder", "sounds\\thunder.wav"}, {"scream1", "sounds\\scream1.wav"}, {"ghost", "sounds\\ghost.wav"},
    {"organ", "sounds\\pipeorgan.wav"}, {"beat", "sounds\\heartbeat.wav"},  {"laugh", "sounds\\laugh.wav"},
    {"click", "sounds\\click.wav"},     {"slide", "sounds\\slide.wav"},
};

Sprite* StripSprite(const char* file, int32_t count) {
  auto* sprite = new Sprite();
  sprite->LoadStrip(file, count, 0);
  return sprite;
}

Sprite* GridSprite(const char* file, int32_t width, int32_t height) {
  auto* sprite = new Sprite();
  sprite->LoadGrid(file, width, height);
  return sprite;
}

void DeleteSprite(Sprite*& sprite) {
  delete sprite;
  sprite = nullptr;
}

}  // namespace

GameScreen::GameScreen()
    : scoreFont(nullptr),
      roundCompleteFont(nullptr),
      tileSet(nullptr),
      gameOverAnimation(nullptr),
      arrows(nullptr),
      selectionMarker(nullptr),
      missingFile(nullptr) {
  SetName("GloomGrid");
  backgroundImage = nullptr;
}

// Other globals may already be gone here: only what the screen owns is freed.
GameScreen::~GameScreen() { DeleteSprites(); }

void GameScreen::DeleteSprites() {
  DeleteSprite(scoreFont);
  DeleteSprite(roundCompleteFont);
  DeleteSprite(tileSet);
  DeleteSprite(gameOverAnimation);
  DeleteSprite(arrows);
  DeleteSprite(selectionMarker);
}

void GameScreen::Activate(LPDIRECTDRAW newDirectDraw, LPDIRECTDRAWSURFACE surface) {
  Screen::Activate(newDirectDraw, surface);
  missingFile = nullptr;
  backgroundImage = LoadImage(kBackgroundFile);
  backdropImage = LoadImage(kBackgroundFile);
  if (backgroundImage == nullptr || backdropImage == nullptr) {
    // Nothing can be painted or restored without it; start-up reports it.
    missingFile = kBackgroundFile;
    return;
  }
  SetComposerBackground(backgroundImage->surface);
  SetComposerBackdrop(backdropImage->surface);
  sceneComposer.RestoreAll();

  for (const ButtonPlace& place : kButtons) {
    auto* button = new Button(place.x, place.y);
    button->LoadStates(place.file, 3, 0);
    button->SetName(place.name);
    AddButton(button);
  }
  scoreFont = StripSprite("Score&LevelFont.bmp", 10);
  roundCompleteFont = StripSprite("RoundCompleteFont.bmp", 10);
  selectionMarker = new Sprite();
  selectionMarker->AddFrameFromFile("SelectState.bmp");
  tileSet = GridSprite("tileset.bmp", 86, 97);
  gameOverAnimation = GridSprite("gameoveranim.bmp", 296, 43);
  arrows = StripSprite("arrows.bmp", 4);
  for (const NamedFile& named : kNamedImages) {
    if (ScreenImage* image = LoadImage(named.file)) image->SetName(named.name);
  }
  for (const NamedFile& effect : kSoundEffects) soundRegistry.Add(effect.file, effect.name);

  tileGame.Start();
}

void GameScreen::Deactivate() {
  soundRegistry.FreeAll();
  // The composer must not keep pointing at surfaces released below.
  if (backgroundImage != nullptr && sceneComposer.GetBackground() == backgroundImage->surface)
    sceneComposer.SetBackground(nullptr);
  if (backdropImage != nullptr && sceneComposer.GetBackdrop() == backdropImage->surface)
    sceneComposer.SetBackdrop(nullptr);
  Screen::Deactivate();
  backgroundImage = nullptr;
  backdropImage = nullptr;
  DeleteSprites();
  spriteList.DestroyAll();
}

int GameScreen::HandleMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return Screen::HandleMessage(hWnd, msg, wParam, lParam);
}

int GameScreen::Frame(int flag) {
  if (tileGame.Frame() == FrameQuit) return FrameQuit;
  return Present() == 0 ? FrameQuit : FrameContinue;
}
