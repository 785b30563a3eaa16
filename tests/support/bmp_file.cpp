#include "support/bmp_file.h"

#include <utility>
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
  // File header, then the 40-byte info header: positive height (bottom row first), one plane, 24 bits, no
  // compression, 72 dots per inch.
  for (auto [value, size] : {std::pair<uint32_t, int>{'B' | 'M' << 8, 2}, {14 + 40 + pixelBytes, 4}, {0, 4},
                             {14 + 40, 4}, {40, 4}, {uint32_t(width), 4}, {uint32_t(height), 4}, {1, 2}, {24, 2},
                             {0, 4}, {pixelBytes, 4}, {2835, 4}, {2835, 4}, {0, 4}, {0, 4}})
    put(value, size);
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
