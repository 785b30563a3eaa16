// Decodes the bytes of a BMP file into 8-bit red, green and blue. Pure: no files,
// no surfaces, so every malformed file can be thrown at it in tests.
//
// Read: the 12-byte core header and the 40-, 52-, 56-, 108- and 124-byte info
// headers; 1, 4 and 8 bits with a palette (uncompressed, RLE4 and RLE8); 16 bits
// (5-5-5, or bit fields such as 5-6-5); 24 bits; 32 bits (plain or bit fields);
// bottom-up and top-down rows. Alpha is ignored: pictures are opaque.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace bmp {

// Larger pictures are refused before anything is allocated; the game's biggest
// picture is far below this.
constexpr int32_t kMaxSide = 16384;
constexpr int64_t kMaxPixels = 16 * 1024 * 1024;

struct Picture {
  int32_t width = 0;
  int32_t height = 0;
  // Three bytes per pixel (red, green, blue), rows of width * 3 bytes, the top row
  // first, no padding.
  std::vector<uint8_t> rgb;
};

// False (and `picture` left empty) for anything malformed: a wrong signature,
// headers or palette cut short, pixel data outside the file, unsupported depth
// or compression, absurd sizes, or RLE data that runs out mid-command. RLE runs
// that leave the picture are clipped; pixels RLE skips over take palette entry 0.
bool Decode(const uint8_t* data, size_t size, Picture* picture);

}  // namespace bmp
