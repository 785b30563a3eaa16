// The display: the DirectDraw object, the primary surface and the back surface
// everything is drawn on, and the flip that shows it.
//
// Full-screen is a real two-buffer flip chain, so after a flip the back surface
// holds the frame before last; the game's restore bookkeeping counts on that.
// Windowed, the back surface is an off-screen surface copied to the window's
// client area through a clipper, so it keeps its picture across flips.
// Everything goes through DirectDraw calls alone, so the same code runs on
// Windows and on the Linux host.
#include <cstdio>

#include "platform/zq.h"
#include "platform/zq_errors.h"

namespace {

struct Display {
  LPDIRECTDRAW directDraw = nullptr;
  LPDIRECTDRAWSURFACE primary = nullptr;
  LPDIRECTDRAWSURFACE back = nullptr;
  LPDIRECTDRAWCLIPPER clipper = nullptr;
  bool fullScreen = false;
  int width = 0;
  int height = 0;
  RECT viewport = {0, 0, 0, 0};
  POINT windowOrigin = {0, 0};  // screen position of the picture, windowed
};

Display display;

template <typename Interface>
void ReleaseInterface(Interface*& object) {
  if (object != nullptr) object->Release();
  object = nullptr;
}

// Keeps the failed step and its code for ZQPrintError.
bool Succeeded(HRESULT result, const char* step) {
  if (SUCCEEDED(result)) return true;
  RecordLibraryError("%s failed (0x%08X)", step, static_cast<unsigned>(result));
  return false;
}

bool CreateDirectDraw(HWND window, DWORD cooperation) {
  if (!Succeeded(DirectDrawCreate(NULL, &display.directDraw, NULL), "DirectDrawCreate")) return false;
  return Succeeded(display.directDraw->SetCooperativeLevel(window, cooperation), "SetCooperativeLevel");
}

void SetWholeViewport(int width, int height) {
  display.width = width;
  display.height = height;
  display.viewport = RECT{0, 0, width, height};
}

bool CreateFlipChain(int width, int height, int bitsPerPixel) {
  if (!Succeeded(display.directDraw->SetDisplayMode(width, height, bitsPerPixel), "SetDisplayMode")) return false;

  DDSURFACEDESC desc = {};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
  desc.dwBackBufferCount = 1;
  if (!Succeeded(display.directDraw->CreateSurface(&desc, &display.primary, NULL), "CreateSurface (flip chain)"))
    return false;

  DDSCAPS backCaps = {DDSCAPS_BACKBUFFER};
  return Succeeded(display.primary->GetAttachedSurface(&backCaps, &display.back), "GetAttachedSurface");
}

bool CreateWindowedSurfaces(HWND window, int width, int height) {
  DDSURFACEDESC desc = {};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  if (!Succeeded(display.directDraw->CreateSurface(&desc, &display.primary, NULL), "CreateSurface (primary)"))
    return false;

  // The primary surface is the whole desktop: the clipper keeps our copies
  // inside the window and off whatever overlaps it.
  if (!Succeeded(display.directDraw->CreateClipper(0, &display.clipper, NULL), "CreateClipper")) return false;
  if (!Succeeded(display.clipper->SetHWnd(0, window), "SetHWnd")) return false;
  if (!Succeeded(display.primary->SetClipper(display.clipper), "SetClipper")) return false;

  desc = {};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
  desc.dwWidth = width;
  desc.dwHeight = height;
  if (!Succeeded(display.directDraw->CreateSurface(&desc, &display.back, NULL), "CreateSurface (back)")) return false;

  // Until the window moves, flips go to where its client area is now.
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  display.windowOrigin = origin;
  return true;
}

HRESULT PresentOnce() {
  if (display.fullScreen) return display.primary->Flip(NULL, DDFLIP_WAIT);
  RECT target = {display.windowOrigin.x, display.windowOrigin.y,
                 display.windowOrigin.x + (display.viewport.right - display.viewport.left),
                 display.windowOrigin.y + (display.viewport.bottom - display.viewport.top)};
  return display.primary->Blt(&target, display.back, &display.viewport, DDBLT_WAIT, NULL);
}

// After a mode switch or another program taking the screen, Windows drops the
// surfaces' memory; restoring the primary brings back its whole flip chain.
void RestoreSurfaces() {
  display.primary->Restore();
  if (!display.fullScreen) display.back->Restore();
}

}  // namespace

int ZQInitDirectX(HWND window, int width, int height, int bitsPerPixel) {
  ZQFreeDirectX();
  display.fullScreen = true;
  if (!CreateDirectDraw(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN) ||
      !CreateFlipChain(width, height, bitsPerPixel)) {
    ZQFreeDirectX();
    return 0;
  }
  SetWholeViewport(width, height);
  return 1;
}

int ZQInitDirectX(HWND window, int width, int height) {
  ZQFreeDirectX();
  display.fullScreen = false;
  if (width <= 0 || height <= 0) {
    RecordLibraryError("a windowed display of %d x %d pixels is impossible", width, height);
    return 0;
  }
  if (!CreateDirectDraw(window, DDSCL_NORMAL) || !CreateWindowedSurfaces(window, width, height)) {
    ZQFreeDirectX();
    return 0;
  }
  SetWholeViewport(width, height);
  return 1;
}

int ZQSetViewport(int x, int y, int width, int height) {
  if (display.back == nullptr) return 0;
  RECT clipped = {x < 0 ? 0 : x, y < 0 ? 0 : y, x + width, y + height};
  if (clipped.right > display.width) clipped.right = display.width;
  if (clipped.bottom > display.height) clipped.bottom = display.height;
  if (clipped.left >= clipped.right || clipped.top >= clipped.bottom) return 0;
  display.viewport = clipped;
  return 1;
}

LPDIRECTDRAW ZQGetLPDD() { return display.directDraw; }

void ZQGetDDInfo(LPDIRECTDRAWSURFACE* primary, LPDIRECTDRAWSURFACE* back) {
  if (primary != nullptr) *primary = display.primary;
  if (back != nullptr) *back = display.back;
}

int ZQFlip() {
  if (display.primary == nullptr || display.back == nullptr) return 0;
  HRESULT result = PresentOnce();
  if (result == DDERR_SURFACELOST) {
    RestoreSurfaces();
    result = PresentOnce();
  }
  return Succeeded(result, display.fullScreen ? "Flip" : "Blt to the window") ? 1 : 0;
}

void ZQSetWindowXY(int x, int y) { display.windowOrigin = POINT{x, y}; }

void ZQFreeDirectX() {
  // The back buffer of a flip chain is a counted reference to the attached
  // surface: it goes before the primary that owns the chain.
  ReleaseInterface(display.back);
  ReleaseInterface(display.clipper);
  ReleaseInterface(display.primary);
  if (display.directDraw != nullptr && display.fullScreen) display.directDraw->RestoreDisplayMode();
  ReleaseInterface(display.directDraw);
  display = Display();
}
