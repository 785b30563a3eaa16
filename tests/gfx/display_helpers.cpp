#include "display_helpers.h"

#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/control.h"
#include "platform/zq.h"

namespace gfx_test {
namespace {

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) { return remove(path); }

}  // namespace

LPDIRECTDRAW BringUpDisplay() {
  static LPDIRECTDRAW directDraw = [] {
    host::settings().headless = true;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = TestWindowProc;
    windowClass.lpszClassName = "GfxTest";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "GfxTest", "gfx test", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr,
                                  nullptr, nullptr);
    if (window == nullptr || !ZQInitDirectX(window, 800, 600)) return LPDIRECTDRAW(nullptr);
    return ZQGetLPDD();
  }();
  return directDraw;
}

LPDIRECTDRAWSURFACE MakeSurface(int width, int height, Layout layout) {
  LPDIRECTDRAW directDraw = BringUpDisplay();
  if (directDraw == nullptr) return nullptr;
  DDSURFACEDESC desc = {};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
  desc.dwWidth = static_cast<DWORD>(width);
  desc.dwHeight = static_cast<DWORD>(height);
  desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
  desc.ddpfPixelFormat.dwFlags = DDPF_RGB;
  desc.ddpfPixelFormat.dwRGBBitCount = 16;
  bool is565 = layout == Layout::Rgb565;
  desc.ddpfPixelFormat.dwRBitMask = is565 ? 0xF800 : 0x7C00;
  desc.ddpfPixelFormat.dwGBitMask = is565 ? 0x07E0 : 0x03E0;
  desc.ddpfPixelFormat.dwBBitMask = 0x001F;
  LPDIRECTDRAWSURFACE surface = nullptr;
  if (FAILED(directDraw->CreateSurface(&desc, &surface, nullptr))) return nullptr;
  return surface;
}

uint16_t ReadPixel(LPDIRECTDRAWSURFACE surface, int x, int y) {
  DDSURFACEDESC desc = {};
  desc.dwSize = sizeof desc;
  if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) return 0xDEAD;
  const auto* row = static_cast<const uint8_t*>(desc.lpSurface) + desc.lPitch * y;
  uint16_t value = reinterpret_cast<const uint16_t*>(row)[x];
  surface->Unlock(nullptr);
  return value;
}

void WritePixel(LPDIRECTDRAWSURFACE surface, int x, int y, uint16_t value) {
  DDSURFACEDESC desc = {};
  desc.dwSize = sizeof desc;
  if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) return;
  auto* row = static_cast<uint8_t*>(desc.lpSurface) + desc.lPitch * y;
  reinterpret_cast<uint16_t*>(row)[x] = value;
  surface->Unlock(nullptr);
}

void PaintCoordinates(LPDIRECTDRAWSURFACE surface) {
  DDSURFACEDESC desc = {};
  desc.dwSize = sizeof desc;
  if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) return;
  for (DWORD y = 0; y < desc.dwHeight; ++y) {
    auto* row = reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(desc.lpSurface) + desc.lPitch * y);
    for (DWORD x = 0; x < desc.dwWidth; ++x) row[x] = CoordinateValue(static_cast<int>(x), static_cast<int>(y));
  }
  surface->Unlock(nullptr);
}

ScratchDirectory::ScratchDirectory() {
  const char* tmp = std::getenv("TMPDIR");
  path_ = std::string(tmp && *tmp ? tmp : "/tmp") + "/gloom_gfx_XXXXXX";
  if (mkdtemp(path_.data()) == nullptr) std::abort();
  char here[4096];
  if (getcwd(here, sizeof here) == nullptr || chdir(path_.c_str()) != 0) std::abort();
  previous_ = here;
}

ScratchDirectory::~ScratchDirectory() {
  if (chdir(previous_.c_str()) != 0) std::abort();
  nftw(path_.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
}

bool FileExists(const char* path) {
  struct stat info;
  return stat(path, &info) == 0;
}

std::string ReadFile(const char* path) {
  std::string content;
  FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return "(missing)";
  char chunk[512];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) content.append(chunk, got);
  std::fclose(file);
  return content;
}

}  // namespace gfx_test
