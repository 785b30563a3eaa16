// A named picture on its own DirectDraw surface, with a home position and its
// size: loaded from a BMP file, keyed on pure blue, drawn clipped. Screens,
// popups, the game and the mouse cursor keep their pictures as these.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <cstdint>

class ScreenImage {
 public:
  ScreenImage();
  explicit ScreenImage(const char* file);
  ~ScreenImage();
  ScreenImage(const ScreenImage&) = delete;
  ScreenImage& operator=(const ScreenImage&) = delete;

  // Loads the file; on success the name becomes the file name and the size is
  // read. Returns the surface, or null (name and surface left as they were).
  LPDIRECTDRAWSURFACE Load(const char* file);
  void SetName(const char* newName);
  // Keyed and clipped to the target; 0 and nothing drawn without a surface or
  // without a target.
  HRESULT Draw(LPDIRECTDRAWSURFACE target, int32_t drawX, int32_t drawY);
  void Destroy();

  char name[256];
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
  LPDIRECTDRAWSURFACE surface;
};
