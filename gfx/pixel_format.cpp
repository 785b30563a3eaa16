#include "gfx/pixel_format.h"

#include <cstring>

#include "platform/zq.h"

WORD ColorFromRGB(LPDIRECTDRAWSURFACE surface, int r, int g, int b) {
  DDSURFACEDESC desc;
  std::memset(&desc, 0, sizeof desc);
  desc.dwSize = sizeof desc;
  surface->GetSurfaceDesc(&desc);
  int redBits = 0, greenBits = 0, blueBits = 0, alphaBits = 0;
  ZQGetRGBABits(&desc.ddpfPixelFormat, &redBits, &greenBits, &blueBits, &alphaBits);
  DWORD value = ((r >> (8 - redBits)) << (greenBits + blueBits)) + ((g >> (8 - greenBits)) << blueBits) +
                (b >> (8 - blueBits));
  return static_cast<WORD>(value & 0xFFFF);
}

HRESULT SetColorKeyRGB(LPDIRECTDRAWSURFACE surface, int r, int g, int b) {
  DDCOLORKEY key;
  key.dwColorSpaceLowValue = ColorFromRGB(surface, r, g, b);
  key.dwColorSpaceHighValue = key.dwColorSpaceLowValue;
  return surface->SetColorKey(DDCKEY_SRCBLT, &key);
}

DWORD GetPixelValue(LPDIRECTDRAWSURFACE surface, int x, int y) {
  DDSURFACEDESC desc;
  std::memset(&desc, 0, sizeof desc);
  desc.dwSize = sizeof desc;
  surface->GetSurfaceDesc(&desc);
  // Reading outside the surface would read someone else's memory; callers are
  // meant to stay inside, and a stray read costs nothing worse than black.
  if (x < 0 || y < 0 || static_cast<DWORD>(x) >= desc.dwWidth || static_cast<DWORD>(y) >= desc.dwHeight) return 0;

  DDSURFACEDESC locked;
  std::memset(&locked, 0, sizeof locked);
  locked.dwSize = sizeof locked;
  if (FAILED(surface->Lock(NULL, &locked, DDLOCK_WAIT, NULL)) || locked.lpSurface == NULL) return 0;
  DWORD value;
  if (desc.ddpfPixelFormat.dwRGBBitCount == 8)
    value = static_cast<const BYTE*>(locked.lpSurface)[locked.lPitch * y + x];
  else
    value = static_cast<const WORD*>(locked.lpSurface)[(locked.lPitch / 2) * y + x];
  surface->Unlock(NULL);
  return value;
}
