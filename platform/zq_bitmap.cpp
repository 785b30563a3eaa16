// BMP files onto surfaces. The file is read whole with the C library, decoded
// to 8-bit colours, and each colour is cut to the display format's bits (never
// rounded): pure blue must become exactly the blue mask, since that value is
// the game's transparent colour key.
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/bmp_decoder.h"
#include "platform/zq.h"
#include "platform/zq_errors.h"

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

int CountBits(uint32_t mask) {
  int count = 0;
  for (; mask != 0; mask &= mask - 1) ++count;
  return count;
}

// Places an 8-bit colour channel into its field of a pixel, keeping only as
// many of its top bits as the field holds.
struct ChannelField {
  int shift = 0;
  int bits = 0;

  explicit ChannelField(uint32_t mask) : bits(CountBits(mask)) {
    if (mask == 0) return;
    while (((mask >> shift) & 1) == 0) ++shift;
  }

  uint32_t Place(uint8_t value) const {
    if (bits == 0) return 0;
    uint32_t cut = value;
    cut = bits <= 8 ? cut >> (8 - bits) : cut << (bits - 8);
    return cut << shift;
  }
};

bool CopyPicture(LPDIRECTDRAWSURFACE surface, const bmp::Picture& picture) {
  DDSURFACEDESC format = {};
  format.dwSize = sizeof format;
  if (FAILED(surface->GetSurfaceDesc(&format))) return false;
  const DDPIXELFORMAT& pixelFormat = format.ddpfPixelFormat;
  const int bytesPerPixel = static_cast<int>(pixelFormat.dwRGBBitCount / 8);
  if (bytesPerPixel != 2 && bytesPerPixel != 4) return false;
  const ChannelField red(pixelFormat.dwRBitMask), green(pixelFormat.dwGBitMask), blue(pixelFormat.dwBBitMask);

  DDSURFACEDESC lock = {};
  lock.dwSize = sizeof lock;
  if (FAILED(surface->Lock(NULL, &lock, DDLOCK_WAIT, NULL))) return false;
  for (int y = 0; y < picture.height; ++y) {
    const uint8_t* src = picture.rgb.data() + static_cast<size_t>(y) * picture.width * 3;
    uint8_t* dst = static_cast<uint8_t*>(lock.lpSurface) + static_cast<ptrdiff_t>(y) * lock.lPitch;
    for (int x = 0; x < picture.width; ++x, src += 3) {
      const uint32_t pixel = red.Place(src[0]) | green.Place(src[1]) | blue.Place(src[2]);
      if (bytesPerPixel == 2) {
        const uint16_t narrow = static_cast<uint16_t>(pixel);
        memcpy(dst + x * 2, &narrow, sizeof narrow);
      } else {
        memcpy(dst + x * 4, &pixel, sizeof pixel);
      }
    }
  }
  surface->Unlock(lock.lpSurface);
  return true;
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

void ZQGetRGBABits(DDPIXELFORMAT* format, int* redBits, int* greenBits, int* blueBits, int* alphaBits) {
  const DDPIXELFORMAT none = {};
  const DDPIXELFORMAT& source = format != nullptr ? *format : none;
  if (redBits != nullptr) *redBits = CountBits(source.dwRBitMask);
  if (greenBits != nullptr) *greenBits = CountBits(source.dwGBitMask);
  if (blueBits != nullptr) *blueBits = CountBits(source.dwBBitMask);
  if (alphaBits != nullptr) *alphaBits = CountBits(source.dwRGBAlphaBitMask);
}
