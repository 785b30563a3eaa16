#include "support/display.h"

#include <algorithm>
#include <cstdio>

#include "host/control.h"
#include "platform/zq.h"
#include "screens/mouse_cursor.h"
#include "screens/scene_composer.h"
#include "core/game_clock.h"
#include "core/globals.h"

namespace testing_support {
namespace {

// Holds a lock for as long as it lives; rows honour the pitch.
struct Locked {
  explicit Locked(LPDIRECTDRAWSURFACE surface) : surface(surface) {
    desc.dwSize = sizeof desc;
    ok = surface != nullptr && SUCCEEDED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
  }
  ~Locked() {
    if (ok) surface->Unlock(nullptr);
  }
  uint16_t* Row(int y) const {
    return reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(desc.lpSurface) + desc.lPitch * y);
  }
  int Width() const { return static_cast<int>(desc.dwWidth); }
  int Height() const { return static_cast<int>(desc.dwHeight); }
  bool Holds(int x, int y) const { return x >= 0 && y >= 0 && x < Width() && y < Height(); }

  LPDIRECTDRAWSURFACE surface;
  DDSURFACEDESC desc = {};
  bool ok = false;
};

// The library up on `window`, with the game's globals pointing at its surfaces.
bool StartDisplayOn(HWND window, bool fullScreen, int width, int height) {
  if (!(fullScreen ? ZQInitDirectX(window, 800, 600, 16) : ZQInitDirectX(window, width, height))) return false;
  ZQGetDDInfo(&primarySurface, &backSurface);
  return backSurface != nullptr;
}

void ForgetComposerState() {
  sceneComposer.SetBackground(nullptr);  // drops the one-shot requests too
  sceneComposer.SetBackdrop(nullptr);
}

// Paints the part of the rectangle inside the surface, each pixel as colourAt says.
template <typename ColourAt>
void Paint(LPDIRECTDRAWSURFACE surface, int x, int y, int width, int height, ColourAt colourAt) {
  Locked lock(surface);
  ASSERT_TRUE(lock.ok) << "lock for painting";
  for (int row = std::max(y, 0); row < std::min(y + height, lock.Height()); ++row)
    for (int column = std::max(x, 0); column < std::min(x + width, lock.Width()); ++column)
      lock.Row(row)[column] = colourAt(column, row);
}

}  // namespace

HWND OpenTestWindow(bool fullScreen) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.lpszClassName = "GloomGridTestWindow";
  RegisterClassA(&windowClass);  // refused when already there, which is as good
  return CreateWindowExA(0, windowClass.lpszClassName, "test", fullScreen ? WS_VISIBLE : WS_VISIBLE | WS_SYSMENU,
                         fullScreen ? 0 : 100, fullScreen ? 0 : 50, fullScreen ? GetSystemMetrics(SM_CXSCREEN) : 800,
                         fullScreen ? GetSystemMetrics(SM_CYSCREEN) : 600, nullptr, nullptr, nullptr, nullptr);
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

void DisplayTest::SetUp() {
  host::ResetForTest();
  host::settings() = host::Settings{};
  host::settings().headless = true;
  host::settings().timeMode = host::TimeMode::Manual;
  ResetGameClockForTest();
  ForgetComposerState();
}

void DisplayTest::TearDown() {
  ForgetComposerState();
  for (LPDIRECTDRAWSURFACE surface : made_) surface->Release();
  made_.clear();
  StopGameClock();
  ZQFreeDirectInput();
  ZQFreeDirectX();
  if (window_ != nullptr) DestroyWindow(window_);
  window_ = nullptr;
  backSurface = primarySurface = nullptr;
  ResetGameClockForTest();
  host::ResetForTest();
}

bool DisplayTest::StartDisplay(bool fullScreen) {
  window_ = OpenTestWindow(fullScreen);
  RECT client = {};
  if (window_ == nullptr || !GetClientRect(window_, &client)) return false;
  clientWidth_ = client.right;
  clientHeight_ = client.bottom;
  return StartDisplayOn(window_, fullScreen, clientWidth_, clientHeight_);
}

void DisplayTest::StartClock() {
  SetTickPoll([] { mouseCursor.Poll(); });
  ASSERT_EQ(StartGameClock(), 0) << "the host's manual timer should start";
}

void DisplayTest::Tick(int periods) { host::StepTimer(periods); }

LPDIRECTDRAWSURFACE DisplayTest::MakeSurface(int width, int height, uint16_t fill) {
  LPDIRECTDRAWSURFACE surface = CreateKeyedSurface(width, height, fill);
  if (surface != nullptr) made_.push_back(surface);
  return surface;
}

bool SharedDisplay() {
  static const bool up = [] {
    host::settings().headless = true;
    HWND window = OpenTestWindow(false);
    return window != nullptr && StartDisplayOn(window, false, 800, 600);
  }();
  if (up) ZQGetDDInfo(nullptr, &backSurface);  // a test may have pointed the global elsewhere
  return up;
}

void SharedDisplayTest::SetUp() { ASSERT_TRUE(SharedDisplay()) << "no display for the tests"; }

LPDIRECTDRAWSURFACE CreateTestSurface(int width, int height, uint16_t fill, Layout layout) {
  LPDIRECTDRAW directDraw = ZQGetLPDD();
  const bool is565 = layout == Layout::Rgb565;
  DDSURFACEDESC desc = {};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
  desc.dwWidth = static_cast<DWORD>(width);
  desc.dwHeight = static_cast<DWORD>(height);
  desc.ddpfPixelFormat = {sizeof(DDPIXELFORMAT), DDPF_RGB, 0, {16}, {is565 ? 0xF800u : 0x7C00u},
                          {is565 ? 0x07E0u : 0x03E0u}, {0x001Fu}, {0}};
  LPDIRECTDRAWSURFACE surface = nullptr;
  if (directDraw == nullptr || FAILED(directDraw->CreateSurface(&desc, &surface, nullptr))) return nullptr;
  PaintRect(surface, 0, 0, width, height, fill);
  return surface;
}

LPDIRECTDRAWSURFACE CreateKeyedSurface(int width, int height, uint16_t fill) {
  LPDIRECTDRAWSURFACE surface = CreateTestSurface(width, height, fill);
  DDCOLORKEY key = {kSurfaceKey, kSurfaceKey};
  if (surface != nullptr) surface->SetColorKey(DDCKEY_SRCBLT, &key);
  return surface;
}

void PaintCoordinates(LPDIRECTDRAWSURFACE surface) { Paint(surface, 0, 0, 1 << 16, 1 << 16, CoordinatePixel); }

void PaintRect(LPDIRECTDRAWSURFACE surface, int x, int y, int width, int height, uint16_t pixel) {
  Paint(surface, x, y, width, height, [pixel](int, int) { return pixel; });
}

void SetPixel(LPDIRECTDRAWSURFACE surface, int x, int y, uint16_t pixel) { PaintRect(surface, x, y, 1, 1, pixel); }

uint16_t PixelAt(LPDIRECTDRAWSURFACE surface, int x, int y) {
  Locked lock(surface);
  if (lock.ok && lock.Holds(x, y)) return lock.Row(y)[x];
  ADD_FAILURE() << "cannot read pixel (" << x << ", " << y << ")";
  return 0xDEAD;
}

std::vector<uint16_t> AllPixels(LPDIRECTDRAWSURFACE surface) {
  std::vector<uint16_t> pixels;
  Locked lock(surface);
  EXPECT_TRUE(lock.ok) << "lock for reading";
  for (int row = 0; lock.ok && row < lock.Height(); ++row)
    pixels.insert(pixels.end(), lock.Row(row), lock.Row(row) + lock.Width());
  return pixels;
}

bool Fill(LPDIRECTDRAWSURFACE surface, uint16_t pixel) {
  DDBLTFX effects = {};
  effects.dwSize = sizeof effects;
  effects.dwFillColor = pixel;
  return surface != nullptr &&
         SUCCEEDED(surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &effects));
}

std::string RegionMismatch(LPDIRECTDRAWSURFACE surface, int x, int y, int width, int height, uint16_t pixel) {
  Locked lock(surface);
  if (!lock.ok) return "surface cannot be locked";
  for (int row = y; row < y + height; ++row) {
    for (int column = x; column < x + width; ++column) {
      const int actual = lock.Holds(column, row) ? lock.Row(row)[column] : -1;  // -1: outside the surface
      if (actual == pixel) continue;
      char text[96];
      std::snprintf(text, sizeof text, "pixel (%d, %d) is 0x%04X, expected 0x%04X", column, row, actual, pixel);
      return text;
    }
  }
  return "";
}

int CountPixels(LPDIRECTDRAWSURFACE surface, uint16_t pixel) {
  Locked lock(surface);
  int count = 0;
  for (int row = 0; lock.ok && row < lock.Height(); ++row)
    count += std::count(lock.Row(row), lock.Row(row) + lock.Width(), pixel);
  return lock.ok ? count : -1;
}

bool SurfaceSize(LPDIRECTDRAWSURFACE surface, int* width, int* height) {
  DDSURFACEDESC desc = {};
  desc.dwSize = sizeof desc;
  if (surface == nullptr || FAILED(surface->GetSurfaceDesc(&desc))) return false;
  *width = static_cast<int>(desc.dwWidth);
  *height = static_cast<int>(desc.dwHeight);
  return true;
}

}  // namespace testing_support
