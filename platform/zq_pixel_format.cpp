#include "platform/zq_pixel_format.h"

#include <cstring>

#include "platform/zq.h"

namespace {

int CountBits(uint32_t mask) {
  int count = 0;
  for (; mask != 0; mask &= mask - 1) ++count;
  return count;
}

// Places an 8-bit colour channel into its field of a pixel, keeping only as
// many of its top bits as the field holds. Cutting rather than rounding is
// what makes 255 land on the whole mask.
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

}  // namespace

bool ConvertPicture(const bmp::Picture& picture, const DDPIXELFORMAT& format, void* pixels, int32_t pitchBytes) {
  const int bytesPerPixel = static_cast<int>(format.dwRGBBitCount / 8);
  if (bytesPerPixel != 2 && bytesPerPixel != 4) return false;
  const ChannelField red(format.dwRBitMask), green(format.dwGBitMask), blue(format.dwBBitMask);

  for (int y = 0; y < picture.height; ++y) {
    const uint8_t* src = picture.rgb.data() + static_cast<size_t>(y) * picture.width * 3;
    uint8_t* dst = static_cast<uint8_t*>(pixels) + static_cast<ptrdiff_t>(y) * pitchBytes;
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
  return true;
}

void ZQGetRGBABits(DDPIXELFORMAT* format, int* redBits, int* greenBits, int* blueBits, int* alphaBits) {
  const DDPIXELFORMAT none = {};
  const DDPIXELFORMAT& source = format != nullptr ? *format : none;
  if (redBits != nullptr) *redBits = CountBits(source.dwRBitMask);
  if (greenBits != nullptr) *greenBits = CountBits(source.dwGBitMask);
  if (blueBits != nullptr) *blueBits = CountBits(source.dwBBitMask);
  if (alphaBits != nullptr) *alphaBits = CountBits(source.dwRGBAlphaBitMask);
}
