#include "button_test_helpers.h"

#include <ftw.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "host/control.h"
#include "platform/zq.h"
#include "shell/globals.h"

namespace button_test {
namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

// Runs f with the surface's first pixel and its pitch in 16-bit units.
template <typename F>
void WithPixels(LPDIRECTDRAWSURFACE surface, F f) {
  DDSURFACEDESC desc = {};
  desc.dwSize = sizeof desc;
  if (surface == nullptr || FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) return;
  f(static_cast<uint16_t*>(desc.lpSurface), desc.lPitch / 2);
  surface->Unlock(nullptr);
}

}  // namespace

bool BringUpDisplay() {
  static const bool up = [] {
    host::settings().headless = true;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.lpszClassName = "ButtonTest";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "ButtonTest", "", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr,
                                  nullptr, nullptr);
    return window != nullptr && ZQInitDirectX(window, 800, 600) != 0;
  }();
  if (up) ZQGetDDInfo(nullptr, &backSurface);
  return up;
}

LPDIRECTDRAWSURFACE SolidSurface(int width, int height, uint16_t pixel) {
  DDSURFACEDESC desc = {};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
  desc.dwWidth = static_cast<DWORD>(width);
  desc.dwHeight = static_cast<DWORD>(height);
  LPDIRECTDRAWSURFACE surface = nullptr;
  if (ZQGetLPDD() == nullptr || FAILED(ZQGetLPDD()->CreateSurface(&desc, &surface, nullptr))) return nullptr;
  Fill(surface, pixel);
  return surface;
}

void Fill(LPDIRECTDRAWSURFACE surface, uint16_t pixel) {
  DDBLTFX effects = {};
  effects.dwSize = sizeof effects;
  effects.dwFillColor = pixel;
  surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &effects);
}

uint16_t PixelAt(LPDIRECTDRAWSURFACE surface, int x, int y) {
  uint16_t value = 0xDEAD;
  WithPixels(surface, [&](uint16_t* pixels, int pitch) { value = pixels[pitch * y + x]; });
  return value;
}

void SetPixel(LPDIRECTDRAWSURFACE surface, int x, int y, uint16_t pixel) {
  WithPixels(surface, [&](uint16_t* pixels, int pitch) { pixels[pitch * y + x] = pixel; });
}

TempFolder::TempFolder() : path_("/tmp/gloom_button_XXXXXX") {
  if (mkdtemp(path_.data()) == nullptr) std::abort();
}

TempFolder::~TempFolder() {
  nftw(path_.c_str(), [](const char* path, const struct stat*, int, struct FTW*) { return std::remove(path); }, 8,
       FTW_DEPTH | FTW_PHYS);
}

bool WriteBmp24(const std::string& path, int width, int height, const std::function<Rgb(int, int)>& colourAt) {
  const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
  std::vector<uint8_t> bytes;
  auto put = [&](uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
  };
  put('B' | 'M' << 8, 2);
  put(54 + rowBytes * height, 4);
  put(0, 4);
  put(54, 4);  // pixels follow the two headers
  put(40, 4);
  put(width, 4);
  put(height, 4);  // positive: bottom-up
  put(1, 2);
  put(24, 2);
  for (int i = 0; i < 6; ++i) put(0, 4);  // uncompressed; sizes and palette left to the reader
  for (int y = height - 1; y >= 0; --y) {
    const size_t rowStart = bytes.size();
    for (int x = 0; x < width; ++x) {
      const Rgb colour = colourAt(x, y);
      bytes.insert(bytes.end(), {colour.b, colour.g, colour.r});
    }
    bytes.resize(rowStart + rowBytes, 0);
  }
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace button_test
