// Text on the back surface with the built-in 5 x 7 font: white strokes over
// whatever is already there. The game only prints its frame rate, a few
// characters a frame, so plain pixel writes under a lock are plenty.
#include <cstring>

#include "platform/font_5x7.h"
#include "platform/zq.h"

namespace {

// The brightest pixel the surface's format can hold.
uint32_t WhitePixel(const DDPIXELFORMAT& format) {
  return format.dwRBitMask | format.dwGBitMask | format.dwBBitMask;
}

void PutPixel(uint8_t* row, int x, int bytesPerPixel, uint32_t pixel) {
  if (bytesPerPixel == 2) {
    const uint16_t narrow = static_cast<uint16_t>(pixel);
    memcpy(row + x * 2, &narrow, sizeof narrow);
  } else {
    memcpy(row + x * 4, &pixel, sizeof pixel);
  }
}

}  // namespace

int ZQInitFont(HWND window) { return 1; }

void ZQFreeFont() {}

int ZQPrintString(char* text, int x, int y) {
  LPDIRECTDRAWSURFACE back = nullptr;
  ZQGetDDInfo(nullptr, &back);
  if (back == nullptr || text == nullptr) return 0;

  DDSURFACEDESC desc = {};
  desc.dwSize = sizeof desc;
  HRESULT result = back->Lock(NULL, &desc, DDLOCK_WAIT, NULL);
  if (result == DDERR_SURFACELOST && SUCCEEDED(back->Restore())) result = back->Lock(NULL, &desc, DDLOCK_WAIT, NULL);
  if (FAILED(result)) return 0;

  const int bytesPerPixel = static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount / 8);
  if (bytesPerPixel != 2 && bytesPerPixel != 4) {
    back->Unlock(desc.lpSurface);
    return 0;
  }
  const int width = static_cast<int>(desc.dwWidth);
  const int height = static_cast<int>(desc.dwHeight);
  const uint32_t white = WhitePixel(desc.ddpfPixelFormat);
  uint8_t* pixels = static_cast<uint8_t*>(desc.lpSurface);

  // Text wholly above or below the surface draws nothing (and keeps y + row
  // from overflowing below).
  const bool rowsVisible = y < height && y > -font5x7::kGlyphHeight;
  int cellLeft = x;
  for (const char* character = text; rowsVisible && *character != '\0' && cellLeft < width; ++character) {
    const uint8_t* columns = font5x7::GlyphColumns(*character);
    for (int column = 0; columns != nullptr && column < font5x7::kGlyphWidth; ++column) {
      const int px = cellLeft + column;
      if (px < 0 || px >= width) continue;
      for (int row = 0; row < font5x7::kGlyphHeight; ++row) {
        const int py = y + row;
        if (((columns[column] >> row) & 1) == 0 || py < 0 || py >= height) continue;
        PutPixel(pixels + static_cast<ptrdiff_t>(py) * desc.lPitch, px, bytesPerPixel, white);
      }
    }
    cellLeft += font5x7::kCellWidth;
  }
  back->Unlock(desc.lpSurface);
  return 1;
}
