#include "display_helpers.h"

#include <cstring>
#include <vector>

#include "host/control.h"

namespace testzq {
namespace {

constexpr char kClassName[] = "GraphicsLibraryTest";

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

struct LockedSurface {
  explicit LockedSurface(LPDIRECTDRAWSURFACE surface) : surface_(surface) {
    desc.dwSize = sizeof desc;
    locked = surface != nullptr && SUCCEEDED(surface->Lock(NULL, &desc, DDLOCK_WAIT, NULL));
  }
  ~LockedSurface() {
    if (locked) surface_->Unlock(desc.lpSurface);
  }
  uint16_t* Row(int y) const { return reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch); }

  DDSURFACEDESC desc = {};
  bool locked = false;

 private:
  LPDIRECTDRAWSURFACE surface_;
};

}  // namespace

HWND OpenWindow(bool fullScreen) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = TestWindowProc;
  windowClass.lpszClassName = kClassName;
  RegisterClassA(&windowClass);
  if (fullScreen)
    return CreateWindowExA(0, kClassName, "test", WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                           GetSystemMetrics(SM_CYSCREEN), NULL, NULL, NULL, NULL);
  return CreateWindowExA(0, kClassName, "test", WS_VISIBLE | WS_SYSMENU, 100, 50, 800, 600, NULL, NULL, NULL, NULL);
}

void LibraryTest::SetUp() { host::ResetForTest(); }

void LibraryTest::TearDown() {
  ZQFreeDirectInput();
  ZQFreeDirectX();
  if (window_ != nullptr) DestroyWindow(window_);
  host::ResetForTest();
}

bool LibraryTest::StartDisplay(bool fullScreen) {
  window_ = OpenWindow(fullScreen);
  if (window_ == nullptr) return false;
  RECT client = {};
  GetClientRect(window_, &client);
  clientWidth_ = client.right;
  clientHeight_ = client.bottom;
  return fullScreen ? ZQInitDirectX(window_, 800, 600, 16) != 0
                    : ZQInitDirectX(window_, clientWidth_, clientHeight_) != 0;
}

LPDIRECTDRAWSURFACE BackSurface() {
  LPDIRECTDRAWSURFACE back = nullptr;
  ZQGetDDInfo(nullptr, &back);
  return back;
}

LPDIRECTDRAWSURFACE PrimarySurface() {
  LPDIRECTDRAWSURFACE primary = nullptr;
  ZQGetDDInfo(&primary, nullptr);
  return primary;
}

uint16_t PixelAt(LPDIRECTDRAWSURFACE surface, int x, int y) {
  LockedSurface lock(surface);
  EXPECT_TRUE(lock.locked) << "lock for reading (" << x << ", " << y << ")";
  if (!lock.locked) return 0;
  return lock.Row(y)[x];
}

std::vector<uint16_t> AllPixels(LPDIRECTDRAWSURFACE surface) {
  std::vector<uint16_t> pixels;
  LockedSurface lock(surface);
  EXPECT_TRUE(lock.locked) << "lock for reading";
  if (!lock.locked) return pixels;
  for (DWORD y = 0; y < lock.desc.dwHeight; ++y)
    pixels.insert(pixels.end(), lock.Row(y), lock.Row(y) + lock.desc.dwWidth);
  return pixels;
}

void SetPixel(LPDIRECTDRAWSURFACE surface, int x, int y, uint16_t pixel) {
  LockedSurface lock(surface);
  ASSERT_TRUE(lock.locked) << "lock for writing (" << x << ", " << y << ")";
  lock.Row(y)[x] = pixel;
}

bool Fill(LPDIRECTDRAWSURFACE surface, uint16_t pixel) {
  DDBLTFX effects = {};
  effects.dwSize = sizeof effects;
  effects.dwFillColor = pixel;
  return surface != nullptr && SUCCEEDED(surface->Blt(NULL, NULL, NULL, DDBLT_COLORFILL | DDBLT_WAIT, &effects));
}

bool SurfaceSize(LPDIRECTDRAWSURFACE surface, int* width, int* height) {
  DDSURFACEDESC desc = {};
  desc.dwSize = sizeof desc;
  if (surface == nullptr || FAILED(surface->GetSurfaceDesc(&desc))) return false;
  *width = static_cast<int>(desc.dwWidth);
  *height = static_cast<int>(desc.dwHeight);
  return true;
}

}  // namespace testzq
