// BMP files for the decoder and loader tests: built byte by byte exactly as given (top-down rows, odd header
// sizes, RLE data, damage), or made by ImageMagick's convert, a real tool.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/bmp_file.h"

namespace testbmp {

bool ConvertAvailable();
// Runs "convert <arguments>"; true when it exits with 0.
bool RunConvert(const std::string& arguments);

// A hand-made file. Sizes and offsets are filled in by BuildBmp; `pixels` are stored as given (padding included).
struct BmpLayout {
  uint32_t headerSize = 40;  // 12, 40, 108 or 124
  int32_t width = 0;
  int32_t height = 0;  // negative: top-down
  uint16_t bitCount = 24;
  uint32_t compression = 0;
  uint32_t colorsUsed = 0;
  std::vector<uint32_t> masks;                 // after a 40-byte header, inside the larger ones
  std::vector<testing_support::Rgb> palette;  // 4-byte entries, 3-byte with the core header
  std::vector<uint8_t> pixels;
};
std::vector<uint8_t> BuildBmp(const BmpLayout& layout);

// A little-endian field of `size` bytes (0 past the end), for checking what a tool wrote.
uint32_t Field(const std::vector<uint8_t>& bytes, size_t offset, int size = 4);

}  // namespace testbmp
