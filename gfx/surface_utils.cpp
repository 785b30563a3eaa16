#include "gfx/surface_utils.h"

#include <cstring>

#include "platform/zq.h"

LPDIRECTDRAWSURFACE CreateOffscreenSurface(int width, int height) {
  LPDIRECTDRAW directDraw = ZQGetLPDD();
  if (directDraw == NULL) return NULL;
  DDSURFACEDESC desc;
  std::memset(&desc, 0, sizeof desc);
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
  desc.dwWidth = static_cast<DWORD>(width);
  desc.dwHeight = static_cast<DWORD>(height);
  LPDIRECTDRAWSURFACE surface = NULL;
  if (FAILED(directDraw->CreateSurface(&desc, &surface, NULL)) || surface == NULL) return NULL;
  DDCOLORKEY black;
  black.dwColorSpaceLowValue = 0;
  black.dwColorSpaceHighValue = 0;
  surface->SetColorKey(DDCKEY_SRCBLT, &black);
  return surface;
}

HRESULT FillSurface(LPDIRECTDRAWSURFACE surface, DWORD pixelValue) {
  DDBLTFX effects;
  std::memset(&effects, 0, sizeof effects);
  effects.dwSize = sizeof effects;
  effects.dwFillColor = pixelValue & 0xFFFF;
  return surface->Blt(NULL, NULL, NULL, DDBLT_COLORFILL | DDBLT_WAIT, &effects);
}

void GetSurfaceSize(LPDIRECTDRAWSURFACE surface, int* width, int* height) {
  DDSURFACEDESC desc;
  std::memset(&desc, 0, sizeof desc);
  desc.dwSize = sizeof desc;
  surface->GetSurfaceDesc(&desc);
  *width = static_cast<int>(desc.dwWidth);
  *height = static_cast<int>(desc.dwHeight);
}

void* LockSurface(LPDIRECTDRAWSURFACE surface, LPDDSURFACEDESC lockedDesc) {
  DDSURFACEDESC desc;
  std::memset(&desc, 0, sizeof desc);
  desc.dwSize = sizeof desc;
  // A failed lock leaves lpSurface null, which is what the caller gets.
  surface->Lock(NULL, &desc, DDLOCK_WAIT, NULL);
  if (lockedDesc != NULL) *lockedDesc = desc;
  return desc.lpSurface;
}

void UnlockSurface(LPDIRECTDRAWSURFACE surface) { surface->Unlock(NULL); }

void CenterRect(LPDIRECTDRAWSURFACE surface, int x, int y, int w, int h, LPRECT centered) {
  int width = 0, height = 0;
  GetSurfaceSize(surface, &width, &height);
  centered->left = x + w / 2 - width / 2;
  centered->top = y + h / 2 - height / 2;
  centered->right = centered->left + width;
  centered->bottom = centered->top + height;
}
