#include "screens/screen.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/zq.h"
#include "screens/button.h"
#include "screens/control_panel.h"
#include "screens/mouse_cursor.h"
#include "screens/scene_composer.h"
#include "screens/screen_image.h"
#include "core/globals.h"

Screen::Screen()
    : name{},
      directDraw(nullptr),
      drawSurface(nullptr),
      panel(new ControlPanel),
      images(new PtrArray),
      backgroundImage(nullptr),
      backdropImage(nullptr),
      owner(nullptr) {}

Screen::~Screen() { Screen::Deactivate(); }

void Screen::Create() {
  if (!images) images = new PtrArray;
  if (!panel) panel = new ControlPanel;
}

void Screen::Activate(LPDIRECTDRAW newDirectDraw, LPDIRECTDRAWSURFACE surface) {
  directDraw = newDirectDraw;
  drawSurface = surface;
  Create();
}

void Screen::Deactivate() {
  delete panel;
  panel = nullptr;
  FreeImages();
}

int Screen::HandleMessage(HWND, UINT, WPARAM, LPARAM) { return 1; }

int Screen::Frame(int) { return 1; }

void Screen::SetName(const char* newName) { std::snprintf(name, sizeof(name), "%s", newName ? newName : ""); }

const char* Screen::GetName() { return name; }

ScreenImage* Screen::LoadImage(const char* file) {
  auto* image = new ScreenImage(file);
  if (!image->surface) {
    delete image;
    return nullptr;
  }
  if (!images) images = new PtrArray;
  images->Append(image);
  return image;
}

void Screen::FreeImages() {
  if (!images) return;
  for (int32_t i = 0; i < images->Count(); ++i) delete images->At<ScreenImage>(i);
  delete images;
  images = nullptr;
}

void Screen::RemoveImage(ScreenImage* image) {
  if (images) images->Remove(image);
}

void Screen::SetComposerBackground(LPDIRECTDRAWSURFACE surface) { sceneComposer.SetBackground(surface); }

void Screen::SetComposerBackdrop(LPDIRECTDRAWSURFACE surface) { sceneComposer.SetBackdrop(surface); }

int Screen::LoadImageSet(const char* path) {
  for (int number = 1;; ++number) {
    char key[32];
    std::snprintf(key, sizeof(key), "image%02d", number);
    char section[256];
    GetPrivateProfileStringA("images", key, "none", section, sizeof(section), path);
    if (std::strcmp(section, "none") == 0) return 0;

    char file[256];
    GetPrivateProfileStringA(section, "file", "none", file, sizeof(file), path);
    if (std::strcmp(file, "none") == 0) std::snprintf(file, sizeof(file), "%.251s.bmp", section);
    auto* image = new ScreenImage(file);
    if (!images) images = new PtrArray;
    images->Append(image);  // listed even when its bitmap is missing: it then draws nothing
    image->SetName(section);

    char value[256];
    GetPrivateProfileStringA(section, "x", "", value, sizeof(value), path);
    image->x = std::atoi(value);
    GetPrivateProfileStringA(section, "y", "", value, sizeof(value), path);
    image->y = std::atoi(value);
  }
}

ScreenImage* Screen::FindImage(const char* imageName) {
  if (!images || !imageName) return nullptr;
  for (int32_t i = 0; i < images->Count(); ++i) {
    ScreenImage* image = images->At<ScreenImage>(i);
    if (std::strcmp(image->name, imageName) == 0) return image;
  }
  return nullptr;
}

int Screen::DrawImage(LPDIRECTDRAWSURFACE target, const char* imageName, int x, int y) {
  ScreenImage* image = FindImage(imageName);
  if (!image) return 0;
  image->Draw(target, x, y);
  return 1;
}

int Screen::DrawImageAtHome(LPDIRECTDRAWSURFACE target, const char* imageName) {
  ScreenImage* image = FindImage(imageName);
  if (!image) return 0;
  image->Draw(target, image->x, image->y);
  return 1;
}

int Screen::Present() {
  if (owner) return owner->Present();
  mouseCursor.Draw(backSurface);
  int flipped = ZQFlip();
  mouseCursor.Erase(backSurface);
  sceneComposer.SwitchBuffer();
  sceneComposer.UpdateBackSurface(backSurface);
  return flipped;
}

void Screen::SetOwner(Screen* newOwner) { owner = newOwner; }

void Screen::AddButton(Button* button) {
  if (!button) return;
  if (!panel) {
    // The caller has handed the button over; with no panel to keep it, it goes.
    delete button;
    return;
  }
  button->SetOrigin(panel->GetOriginX(), panel->GetOriginY());
  panel->Add(button);
}
