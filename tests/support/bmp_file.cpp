#include "support/bmp_file.h"

#include <vector>

#include "support/scratch_folder.h"

namespace testing_support {

std::ostream& operator<<(std::ostream& out, const Rgb& colour) {
  return out << "(" << int(colour.r) << ", " << int(colour.g) << ", " << int(colour.b) << ")";
}

bool WriteBmp24(const std::string& path, int width, int height, const std::function<Rgb(int x, int y)>& colourAt) {
  // Rows are padded to whole 32-bit words.
  const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
  const uint32_t pixelBytes = rowBytes * static_cast<uint32_t>(height);
  std::vector<uint8_t> bytes;
  auto put = [&bytes](uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
  };
  put('B' | 'M' << 8, 2);
  put(14 + 40 + pixelBytes, 4);
  put(0, 4);
  put(14 + 40, 4);  // pixels follow the two headers
  put(40, 4);
  put(static_cast<uint32_t>(width), 4);
  put(static_cast<uint32_t>(height), 4);  // positive: bottom row first
  put(1, 2);
  put(24, 2);
  put(0, 4);  // no compression
  put(pixelBytes, 4);
  put(2835, 4);  // 72 dots per inch, as paint programs write
  put(2835, 4);
  put(0, 4);
  put(0, 4);
  for (int y = height - 1; y >= 0; --y) {
    const size_t rowStart = bytes.size();
    for (int x = 0; x < width; ++x) {
      const Rgb colour = colourAt(x, y);
      bytes.insert(bytes.end(), {colour.b, colour.g, colour.r});
    }
    bytes.resize(rowStart + rowBytes, 0);
  }
  return WriteFileBytes(path, bytes);
}

}  // namespace testing_support
