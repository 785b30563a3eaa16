// Shared by the BMP decoder and bitmap loader tests: BMP files built byte by
// byte, with headers, palettes and RLE data exactly as given (top-down rows,
// odd header sizes, damaged data), and ImageMagick's convert for files made by
// a real tool.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/bmp_file.h"

namespace testbmp {

// A binary PPM of the given pixels (row by row, top first) for convert to read.
bool WritePpm(const std::string& path, int width, int height, const std::vector<testing_support::Rgb>& pixels);
bool ConvertAvailable();
// Runs "convert <arguments>"; true when it exits with 0.
bool RunConvert(const std::string& arguments);

// Everything a hand-made BMP file needs. Sizes and offsets are filled in by
// BuildBmp; `pixels` is stored exactly as given (padding included).
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

// Little-endian field of a file's bytes (for checking what a tool wrote).
uint32_t FieldU32(const std::vector<uint8_t>& bytes, size_t offset);
uint16_t FieldU16(const std::vector<uint8_t>& bytes, size_t offset);

}  // namespace testbmp
