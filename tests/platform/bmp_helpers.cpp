#include "bmp_helpers.h"

#include <stdlib.h>

namespace testbmp {

using testing_support::Rgb;

bool ConvertAvailable() { return system("convert -version >/dev/null 2>&1") == 0; }

bool RunConvert(const std::string& arguments) {
  return system(("convert " + arguments + " >/dev/null 2>&1").c_str()) == 0;
}

namespace {
void Put(std::vector<uint8_t>& bytes, size_t offset, uint32_t value, int size = 4) {
  for (int i = 0; i < size; ++i) bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}
}  // namespace

std::vector<uint8_t> BuildBmp(const BmpLayout& layout) {
  const bool core = layout.headerSize == 12;
  std::vector<uint8_t> bytes(14 + layout.headerSize, 0);
  Put(bytes, 0, 'B' | 'M' << 8, 2);
  Put(bytes, 14, layout.headerSize);
  if (core) {
    Put(bytes, 18, static_cast<uint16_t>(layout.width), 2);
    Put(bytes, 20, static_cast<uint16_t>(layout.height), 2);
    Put(bytes, 22, 1, 2);
    Put(bytes, 24, layout.bitCount, 2);
  } else {
    Put(bytes, 18, static_cast<uint32_t>(layout.width));
    Put(bytes, 22, static_cast<uint32_t>(layout.height));
    Put(bytes, 26, 1, 2);
    Put(bytes, 28, layout.bitCount, 2);
    Put(bytes, 30, layout.compression);
    Put(bytes, 34, static_cast<uint32_t>(layout.pixels.size()));
    Put(bytes, 46, layout.colorsUsed);
  }
  for (size_t i = 0; i < layout.masks.size(); ++i) {
    if (layout.headerSize == 40) {
      bytes.resize(bytes.size() + 4);
      Put(bytes, bytes.size() - 4, layout.masks[i]);
    } else if (40 + 4 * i + 4 <= layout.headerSize) {
      Put(bytes, 14 + 40 + 4 * i, layout.masks[i]);
    }
  }
  for (const Rgb& entry : layout.palette) {
    bytes.insert(bytes.end(), {entry.b, entry.g, entry.r});
    if (!core) bytes.push_back(0);
  }
  Put(bytes, 10, static_cast<uint32_t>(bytes.size()));
  bytes.insert(bytes.end(), layout.pixels.begin(), layout.pixels.end());
  Put(bytes, 2, static_cast<uint32_t>(bytes.size()));
  return bytes;
}

uint32_t Field(const std::vector<uint8_t>& bytes, size_t offset, int size) {
  if (offset + size > bytes.size()) return 0;
  uint32_t value = 0;
  for (int i = 0; i < size; ++i) value |= uint32_t{bytes[offset + i]} << (8 * i);
  return value;
}

}  // namespace testbmp
