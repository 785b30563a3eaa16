// BMP files onto surfaces. The file is read whole with the C library, decoded
// to 8-bit colours, and each colour is cut to the display format's bits (never
// rounded): pure blue must become exactly the blue mask, since that value is
// the game's transparent colour key.
#include <cstdio>
#include <vector>

#include "platform/bmp_decoder.h"
#include "platform/zq.h"
#include "platform/zq_errors.h"
#include "platform/zq_pixel_format.h"

namespace {

// Far above the largest picture the decoder accepts with its headers.
constexpr size_t kMaxFileBytes = 80u * 1024 * 1024;

bool ReadWholeFile(const char* path, std::vector<uint8_t>* bytes) {
  FILE* file = fopen(path, "rb");
  if (file == nullptr) return false;
  size_t used = 0;
  bool ok = true;
  for (;;) {
    if (bytes->size() - used < 65536) bytes->resize(bytes->size() + 65536 + bytes->size() / 2);
    const size_t got = fread(bytes->data() + used, 1, bytes->size() - used, file);
    used += got;
    if (got == 0) break;
    if (used > kMaxFileBytes) {
      ok = false;
      break;
    }
  }
  if (ferror(file)) ok = false;
  fclose(file);
  bytes->resize(used);
  return ok;
}

bool CopyPicture(LPDIRECTDRAWSURFACE surface, const bmp::Picture& picture) {
  DDSURFACEDESC format = {};
  format.dwSize = sizeof format;
  if (FAILED(surface->GetSurfaceDesc(&format))) return false;

  DDSURFACEDESC lock = {};
  lock.dwSize = sizeof lock;
  if (FAILED(surface->Lock(NULL, &lock, DDLOCK_WAIT, NULL))) return false;
  const bool converted = ConvertPicture(picture, format.ddpfPixelFormat, lock.lpSurface, lock.lPitch);
  surface->Unlock(lock.lpSurface);
  return converted;
}

}  // namespace

// The surface always takes the display's format, so bitsPerPixel (the depth the
// caller expects of it) changes nothing.
LPDIRECTDRAWSURFACE ZQLoadBitmap(char* path, int bitsPerPixel) {
  LPDIRECTDRAW directDraw = ZQGetLPDD();
  if (directDraw == nullptr || path == nullptr) return nullptr;

  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, &bytes)) {
    RecordLibraryError("cannot read %.200s", path);
    return nullptr;
  }
  bmp::Picture picture;
  if (!bmp::Decode(bytes.data(), bytes.size(), &picture)) {
    RecordLibraryError("%.200s is not a BMP file the library can read", path);
    return nullptr;
  }
  bytes = std::vector<uint8_t>();

  DDSURFACEDESC desc = {};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
  desc.dwWidth = static_cast<DWORD>(picture.width);
  desc.dwHeight = static_cast<DWORD>(picture.height);
  LPDIRECTDRAWSURFACE surface = nullptr;
  if (FAILED(directDraw->CreateSurface(&desc, &surface, NULL)) || surface == nullptr) return nullptr;
  if (!CopyPicture(surface, picture)) {
    surface->Release();
    return nullptr;
  }
  return surface;
}
