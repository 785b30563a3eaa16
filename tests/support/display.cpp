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

constexpr char kWindowClass[] = "GloomGridTestWindow";

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

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
  const int started = fullScreen ? ZQInitDirectX(window, 800, 600, 16) : ZQInitDirectX(window, width, height);
  if (!started) return false;
  ZQGetDDInfo(&primarySurface, &backSurface);
  return backSurface != nullptr;
}

void ForgetComposerState() {
  sceneComposer.SetBackground(nullptr);  // drops the one-shot requests too
  sceneComposer.SetBackdrop(nullptr);
}

}  // namespace

HWND OpenTestWindow(bool fullScreen) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = TestWindowProc;
  windowClass.lpszClassName = kWindowClass;
  RegisterClassA(&windowClass);  // refused when already there, which is as good
  if (fullScreen)
    return CreateWindowExA(0, kWindowClass, "test", WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                           GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, nullptr, nullptr);
  return CreateWindowExA(0, kWindowClass, "test", WS_VISIBLE | WS_SYSMENU, 100, 50, 800, 600, nullptr, nullptr,
                         nullptr, nullptr);
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
  backSurface = nullptr;
  primarySurface = nullptr;
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
  // A test may have pointed the global elsewhere.
  if (up) ZQGetDDInfo(nullptr, &backSurface);
  return up;
}

void SharedDisplayTest::SetUp() { ASSERT_TRUE(SharedDisplay()) << "no display for the tests"; }

LPDIRECTDRAWSURFACE CreateTestSurface(int width, int height, uint16_t fill, Layout layout) {
  LPDIRECTDRAW directDraw = ZQGetLPDD();
  if (directDraw == nullptr) return nullptr;
  DDSURFACEDESC desc = {};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
  desc.dwWidth = static_cast<DWORD>(width);
  desc.dwHeight = static_cast<DWORD>(height);
  const bool is565 = layout == Layout::Rgb565;
  desc.ddpfPixelFormat = {sizeof(DDPIXELFORMAT), DDPF_RGB, 0, {16}, {is565 ? 0xF800u : 0x7C00u},
                          {is565 ? 0x07E0u : 0x03E0u}, {0x001Fu}, {0}};
  LPDIRECTDRAWSURFACE surface = nullptr;
  if (FAILED(directDraw->CreateSurface(&desc, &surface, nullptr))) return nullptr;
  PaintRect(surface, 0, 0, width, height, fill);
  return surface;
}

LPDIRECTDRAWSURFACE CreateKeyedSurface(int width, int height, uint16_t fill) {
  LPDIRECTDRAWSURFACE surface = CreateTestSurface(width, height, fill);
  if (surface == nullptr) return nullptr;
  DDCOLORKEY key = {kSurfaceKey, kSurfaceKey};
  surface->SetColorKey(DDCKEY_SRCBLT, &key);
  return surface;
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

void PaintCoordinates(LPDIRECTDRAWSURFACE surface) { Paint(surface, 0, 0, 1 << 16, 1 << 16, CoordinatePixel); }

void PaintRect(LPDIRECTDRAWSURFACE surface, int x, int y, int width, int height, uint16_t pixel) {
  Paint(surface, x, y, width, height, [pixel](int, int) { return pixel; });
}

uint16_t PixelAt(LPDIRECTDRAWSURFACE surface, int x, int y) {
  Locked lock(surface);
  if (lock.ok && lock.Holds(x, y)) return lock.Row(y)[x];
  ADD_FAILURE() << "cannot read pixel (" << x << ", " << y << ")";
  return 0xDEAD;
}

void SetPixel(LPDIRECTDRAWSURFACE surface, int x, int y, uint16_t pixel) { PaintRect(surface, x, y, 1, 1, pixel); }

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
  return surface != nullptr && SUCCEEDED(surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &effects));
}

std::string RegionMismatch(LPDIRECTDRAWSURFACE surface, int x, int y, int width, int height, uint16_t pixel) {
  Locked lock(surface);
  if (!lock.ok) return "surface cannot be locked";
  char text[96] = "";
  for (int row = y; row < y + height && !*text; ++row) {
    for (int column = x; column < x + width && !*text; ++column) {
      const int actual = lock.Holds(column, row) ? lock.Row(row)[column] : -1;  // -1: outside the surface
      if (actual != pixel)
        std::snprintf(text, sizeof text, "pixel (%d, %d) is 0x%04X, expected 0x%04X", column, row, actual, pixel);
    }
  }
  return text;
}

int CountPixels(LPDIRECTDRAWSURFACE surface, uint16_t pixel) {
  Locked lock(surface);
  if (!lock.ok) return -1;
  int count = 0;
  for (int row = 0; row < lock.Height(); ++row) count += std::count(lock.Row(row), lock.Row(row) + lock.Width(), pixel);
  return count;
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
