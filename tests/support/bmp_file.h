// 24-bit BMP files written byte by byte, the way a paint program saves them, for tests that hand pictures to the
// game's loaders.
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

namespace testing_support {

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb& other) const = default;
};
std::ostream& operator<<(std::ostream& out, const Rgb& colour);

constexpr Rgb kBmpRed = {255, 0, 0};
constexpr Rgb kBmpGreen = {0, 255, 0};
constexpr Rgb kBmpBlue = {0, 0, 255};
constexpr Rgb kBmpWhite = {255, 255, 255};

// The display pixel (5-6-5) a loaded bitmap gives for the colour: each channel cut, never rounded.
inline uint16_t Pixel565(Rgb colour) {
  return static_cast<uint16_t>((colour.r >> 3) << 11 | (colour.g >> 2) << 5 | colour.b >> 3);
}

// An uncompressed bottom-up 24-bit BMP with the 40-byte header, whose pixel (x, y) is colourAt(x, y). False when the
// file cannot be written.
bool WriteBmp24(const std::string& path, int width, int height, const std::function<Rgb(int x, int y)>& colourAt);

}  // namespace testing_support
