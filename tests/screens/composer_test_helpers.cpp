#include "composer_test_helpers.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "host/control.h"
#include "platform/zq.h"
#include "screens/scene_composer.h"
#include "shell/game_clock.h"
#include "shell/globals.h"

namespace composer_test {
namespace {

constexpr char kWindowClass[] = "ComposerTestWindow";

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

  LPDIRECTDRAWSURFACE surface;
  DDSURFACEDESC desc = {};
  bool ok = false;
};

void ForgetComposerState() {
  sceneComposer.SetBackground(nullptr);
  sceneComposer.SetBackdrop(nullptr);
}

}  // namespace

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
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = TestWindowProc;
  windowClass.lpszClassName = kWindowClass;
  RegisterClassA(&windowClass);
  window_ = fullScreen ? CreateWindowExA(0, kWindowClass, "composer test", WS_VISIBLE, 0, 0,
                                         GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                                         nullptr, nullptr, nullptr)
                       : CreateWindowExA(0, kWindowClass, "composer test", WS_VISIBLE | WS_SYSMENU, 100, 50, 800,
                                         600, nullptr, nullptr, nullptr, nullptr);
  if (window_ == nullptr) return false;
  const int started = fullScreen ? ZQInitDirectX(window_, 800, 600, 16) : ZQInitDirectX(window_, 800, 600);
  if (!started) return false;
  ZQGetDDInfo(&primarySurface, &backSurface);
  return backSurface != nullptr;
}

void DisplayTest::StartClock() { ASSERT_EQ(StartGameClock(), 0) << "the host's manual timer should start"; }

void DisplayTest::Tick(int periods) { host::StepTimer(periods); }

LPDIRECTDRAWSURFACE DisplayTest::MakeSurface(int width, int height, uint16_t fill) {
  LPDIRECTDRAWSURFACE surface = CreateTestSurface(width, height, fill);
  if (surface != nullptr) made_.push_back(surface);
  return surface;
}

LPDIRECTDRAWSURFACE CreateTestSurface(int width, int height, uint16_t fill) {
  LPDIRECTDRAW directDraw = ZQGetLPDD();
  if (directDraw == nullptr) return nullptr;
  DDSURFACEDESC desc = {};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
  desc.dwWidth = static_cast<DWORD>(width);
  desc.dwHeight = static_cast<DWORD>(height);
  LPDIRECTDRAWSURFACE surface = nullptr;
  if (FAILED(directDraw->CreateSurface(&desc, &surface, nullptr))) return nullptr;
  DDCOLORKEY key = {kSurfaceKey, kSurfaceKey};
  surface->SetColorKey(DDCKEY_SRCBLT, &key);
  PaintRect(surface, 0, 0, width, height, fill);
  return surface;
}

void PaintCoordinates(LPDIRECTDRAWSURFACE surface) {
  Locked lock(surface);
  ASSERT_TRUE(lock.ok) << "lock for painting";
  for (int row = 0; row < lock.Height(); ++row)
    for (int column = 0; column < lock.Width(); ++column) lock.Row(row)[column] = CoordinatePixel(column, row);
}

uint16_t PixelAt(LPDIRECTDRAWSURFACE surface, int x, int y) {
  Locked lock(surface);
  if (!lock.ok || x < 0 || y < 0 || x >= lock.Width() || y >= lock.Height()) {
    ADD_FAILURE() << "cannot read pixel (" << x << ", " << y << ")";
    return 0xDEAD;
  }
  return lock.Row(y)[x];
}

void PaintRect(LPDIRECTDRAWSURFACE surface, int x, int y, int width, int height, uint16_t pixel) {
  Locked lock(surface);
  ASSERT_TRUE(lock.ok) << "lock for painting";
  for (int row = std::max(y, 0); row < std::min(y + height, lock.Height()); ++row)
    for (int column = std::max(x, 0); column < std::min(x + width, lock.Width()); ++column)
      lock.Row(row)[column] = pixel;
}

std::string RegionMismatch(LPDIRECTDRAWSURFACE surface, int x, int y, int width, int height, uint16_t pixel) {
  Locked lock(surface);
  if (!lock.ok) return "surface cannot be locked";
  for (int row = y; row < y + height; ++row) {
    for (int column = x; column < x + width; ++column) {
      const uint16_t actual = lock.Row(row)[column];
      if (actual != pixel) {
        char text[96];
        std::snprintf(text, sizeof text, "pixel (%d, %d) is 0x%04X, expected 0x%04X", column, row, actual, pixel);
        return text;
      }
    }
  }
  return "";
}

int CountPixels(LPDIRECTDRAWSURFACE surface, uint16_t pixel) {
  Locked lock(surface);
  if (!lock.ok) return -1;
  int count = 0;
  for (int row = 0; row < lock.Height(); ++row)
    for (int column = 0; column < lock.Width(); ++column) count += lock.Row(row)[column] == pixel ? 1 : 0;
  return count;
}

std::string PendingRequests(const SceneComposer& composer) {
  std::string text;
  const PtrArray& list = composer.CurrentRequests();
  for (int32_t i = 0; i < list.Count(); ++i) {
    const RestoreRequest* request = list.At<RestoreRequest>(i);
    char entry[80];
    std::snprintf(entry, sizeof entry, "%s%d,%d %dx%d %X", text.empty() ? "" : "; ", request->x, request->y,
                  request->width, request->height, request->flags);
    text += entry;
  }
  return text;
}

ScratchFolder::ScratchFolder() {
  std::random_device seed;
  path_ = (std::filesystem::temp_directory_path() / ("gloom-composer-" + std::to_string(seed()))).string();
  std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

bool WriteBmp24(const std::string& path, int width, int height, const std::function<Rgb(int x, int y)>& colourAt) {
  const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
  const uint32_t pixelBytes = rowBytes * static_cast<uint32_t>(height);
  std::vector<uint8_t> file;
  auto put16 = [&file](uint32_t value) {
    file.push_back(static_cast<uint8_t>(value));
    file.push_back(static_cast<uint8_t>(value >> 8));
  };
  auto put32 = [&put16](uint32_t value) {
    put16(value & 0xFFFF);
    put16(value >> 16);
  };
  file.push_back('B');
  file.push_back('M');
  put32(14 + 40 + pixelBytes);
  put32(0);
  put32(14 + 40);
  put32(40);
  put32(static_cast<uint32_t>(width));
  put32(static_cast<uint32_t>(height));  // positive: bottom row first
  put16(1);
  put16(24);
  put32(0);  // no compression
  put32(pixelBytes);
  put32(2835);
  put32(2835);
  put32(0);
  put32(0);
  for (int y = height - 1; y >= 0; --y) {
    const size_t rowStart = file.size();
    for (int x = 0; x < width; ++x) {
      const Rgb colour = colourAt(x, y);
      file.push_back(colour.b);
      file.push_back(colour.g);
      file.push_back(colour.r);
    }
    file.resize(rowStart + rowBytes, 0);
  }
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  return static_cast<bool>(out);
}

}  // namespace composer_test
