#include "bmp_helpers.h"

#include <stdlib.h>

#include "support/scratch_folder.h"

namespace testbmp {

using testing_support::Rgb;

bool WritePpm(const std::string& path, int width, int height, const std::vector<Rgb>& pixels) {
  const std::string head = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
  std::vector<uint8_t> bytes(head.begin(), head.end());
  for (const Rgb& pixel : pixels) bytes.insert(bytes.end(), {pixel.r, pixel.g, pixel.b});
  return testing_support::WriteFileBytes(path, bytes);
}

bool ConvertAvailable() { return system("convert -version >/dev/null 2>&1") == 0; }

bool RunConvert(const std::string& arguments) {
  return system(("convert " + arguments + " >/dev/null 2>&1").c_str()) == 0;
}

namespace {
void PutU16(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
  bytes[offset] = value & 0xFF;
  bytes[offset + 1] = (value >> 8) & 0xFF;
}
void PutU32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = (value >> (8 * i)) & 0xFF;
}
}  // namespace

std::vector<uint8_t> BuildBmp(const BmpLayout& layout) {
  const bool core = layout.headerSize == 12;
  std::vector<uint8_t> bytes(14 + layout.headerSize, 0);
  bytes[0] = 'B';
  bytes[1] = 'M';
  PutU32(bytes, 14, layout.headerSize);
  if (core) {
    PutU16(bytes, 18, static_cast<uint16_t>(layout.width));
    PutU16(bytes, 20, static_cast<uint16_t>(layout.height));
    PutU16(bytes, 22, 1);
    PutU16(bytes, 24, layout.bitCount);
  } else {
    PutU32(bytes, 18, static_cast<uint32_t>(layout.width));
    PutU32(bytes, 22, static_cast<uint32_t>(layout.height));
    PutU16(bytes, 26, 1);
    PutU16(bytes, 28, layout.bitCount);
    PutU32(bytes, 30, layout.compression);
    PutU32(bytes, 34, static_cast<uint32_t>(layout.pixels.size()));
    PutU32(bytes, 46, layout.colorsUsed);
  }
  for (size_t i = 0; i < layout.masks.size(); ++i) {
    if (layout.headerSize == 40) {
      bytes.resize(bytes.size() + 4);
      PutU32(bytes, bytes.size() - 4, layout.masks[i]);
    } else if (40 + 4 * i + 4 <= layout.headerSize) {
      PutU32(bytes, 14 + 40 + 4 * i, layout.masks[i]);
    }
  }
  for (const Rgb& entry : layout.palette) {
    bytes.insert(bytes.end(), {entry.b, entry.g, entry.r});
    if (!core) bytes.push_back(0);
  }
  PutU32(bytes, 10, static_cast<uint32_t>(bytes.size()));
  bytes.insert(bytes.end(), layout.pixels.begin(), layout.pixels.end());
  PutU32(bytes, 2, static_cast<uint32_t>(bytes.size()));
  return bytes;
}

uint32_t FieldU32(const std::vector<uint8_t>& bytes, size_t offset) {
  if (offset + 4 > bytes.size()) return 0;
  return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 | static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

uint16_t FieldU16(const std::vector<uint8_t>& bytes, size_t offset) {
  if (offset + 2 > bytes.size()) return 0;
  return static_cast<uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

}  // namespace testbmp
