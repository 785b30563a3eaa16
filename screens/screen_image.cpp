#include "screens/screen_image.h"

#include <cstdio>

#include "gfx/surface_utils.h"
#include "platform/zq.h"

ScreenImage::ScreenImage() : name{}, x(0), y(0), width(0), height(0), surface(nullptr) {}

ScreenImage::ScreenImage(const char* file) : ScreenImage() { Load(file); }

ScreenImage::~ScreenImage() { Destroy(); }

LPDIRECTDRAWSURFACE ScreenImage::Load(const char* file) {
  if (!file) return nullptr;
  LPDIRECTDRAWSURFACE loaded = ZQLoadBitmap(const_cast<char*>(file), 16);
  if (!loaded) return nullptr;
  Destroy();
  surface = loaded;
  SetColorKeyRGB(surface, 0, 0, 255);
  SetName(file);
  int w = 0, h = 0;
  GetSurfaceSize(surface, &w, &h);
  width = w;
  height = h;
  return surface;
}

void ScreenImage::SetName(const char* newName) { std::snprintf(name, sizeof(name), "%s", newName ? newName : ""); }

HRESULT ScreenImage::Draw(LPDIRECTDRAWSURFACE target, int32_t drawX, int32_t drawY) {
  // No target (the game's background when "background.bmp" is missing, or the
  // back surface after shutdown): nothing to draw on.
  if (!surface || !target) return 0;
  return BlitWholeClipped(surface, target, drawX, drawY, -1);
}

void ScreenImage::Destroy() {
  if (surface) surface->Release();
  surface = nullptr;
  width = 0;
  height = 0;
}
