// The picture loader: each input is a ".bmp" file loaded with ZQLoadBitmap on a
// headless 800 x 600 display, then used as the game uses its pictures: keyed
// on pure blue, cut into frames, and the frames drawn hanging over the edges of
// the back surface. A picture that loads must have a sane size, hold exactly
// the decoder's colours cut to the display's bits, and release cleanly.
#include <cstdlib>

#include "fuzz/fuzz_support.h"
#include "gfx/surface_utils.h"
#include "host/control.h"
#include "platform/bmp_decoder.h"
#include "platform/zq.h"

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

LPDIRECTDRAWSURFACE back = nullptr;

bool StartDisplay() {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  host::settings().headless = true;
  host::settings().timeMode = host::TimeMode::Manual;
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.lpszClassName = "GloomGridFuzz";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(0, windowClass.lpszClassName, "fuzz", WS_VISIBLE | WS_SYSMENU, 0, 0, 800, 600,
                                nullptr, nullptr, nullptr, nullptr);
  RECT client = {};
  if (window == nullptr || !GetClientRect(window, &client)) return false;
  if (!ZQInitDirectX(window, client.right, client.bottom)) return false;
  ZQGetDDInfo(nullptr, &back);
  return back != nullptr;
}

// The display is 5-6-5: each channel loses its low bits, never rounds.
bool PixelsAreTheDecodedColoursCut(LPDIRECTDRAWSURFACE surface, const uint8_t* data, size_t size) {
  bmp::Picture decoded;
  if (!bmp::Decode(data, size, &decoded)) return false;
  DDSURFACEDESC desc = {};
  const auto* pixels = static_cast<const uint8_t*>(LockSurface(surface, &desc));
  if (pixels == nullptr) return false;
  bool same = static_cast<int32_t>(desc.dwWidth) == decoded.width && static_cast<int32_t>(desc.dwHeight) == decoded.height;
  for (int32_t y = 0; same && y < decoded.height; ++y) {
    const auto* row = reinterpret_cast<const uint16_t*>(pixels + static_cast<size_t>(desc.lPitch) * y);
    for (int32_t x = 0; same && x < decoded.width; ++x) {
      const uint8_t* rgb = &decoded.rgb[(static_cast<size_t>(y) * decoded.width + x) * 3];
      same = row[x] == ((rgb[0] >> 3) << 11 | (rgb[1] >> 2) << 5 | rgb[2] >> 3);
    }
  }
  UnlockSurface(surface);
  return same;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::Check(StartDisplay(), "a headless display for the pictures");
  std::atexit(ZQFreeDirectX);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = fuzz::ScratchPath("picture.bmp");
  fuzz::Check(fuzz::WriteWholeFile(path, data, size), "the input written as a file");
  LPDIRECTDRAWSURFACE picture = ZQLoadBitmap(const_cast<char*>(path.c_str()), 16);
  if (picture == nullptr) return 0;

  int width = 0, height = 0;
  GetSurfaceSize(picture, &width, &height);
  fuzz::Check(width > 0 && height > 0 && width <= bmp::kMaxSide && height <= bmp::kMaxSide,
              "a loaded picture has a size within the decoder's limits");
  fuzz::Check(PixelsAreTheDecodedColoursCut(picture, data, size), "every pixel is its decoded colour, cut to 5-6-5");
  fuzz::Check(SUCCEEDED(SetColorKeyRGB(picture, 0, 0, 255)), "a loaded picture takes the blue key");

  // Frames of a third of the width and half the height, as strips and grids
  // are cut; drawn from above the top left to beyond the bottom right.
  PtrArray frames;
  int columns = 0;
  SliceIntoFrames(picture, &frames, width > 2 ? width / 3 : 1, height > 1 ? height / 2 : 1, &columns);
  for (int32_t i = 0; i < frames.Count(); ++i) {
    LPDIRECTDRAWSURFACE frame = frames.At<IDirectDrawSurface>(i);
    BlitWholeClipped(frame, back, -width / 2 + i * 97, -height / 2 + i * 61, kBlitKeyedWait);
    frame->Release();
  }
  BlitWholeClipped(picture, back, 800 - width / 2, 600 - height / 2, kBlitKeyedWait);
  fuzz::Check(picture->Release() == 0, "the loader's caller holds the only reference");
  return 0;
}
