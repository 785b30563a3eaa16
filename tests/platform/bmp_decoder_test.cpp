// The BMP decoder: every variant, hand-made or written by ImageMagick, and malformed files.
#include "platform/bmp_decoder.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "support/bmp_file.h"
#include "support/scratch_folder.h"

namespace {

using testing_support::Rgb;
using Bytes = std::vector<uint8_t>;

Rgb PaletteEntry(int i) { return Rgb{uint8_t(10 * i), uint8_t(100 + i), uint8_t(200 - i)}; }

// A file with the 40-byte header and `pixels` stored as given (row padding included): 1 to 8 bits get a
// 16-colour palette of PaletteEntry, bit fields (compression 3) the 5-6-5 masks.
Bytes Build(int32_t width, int32_t height, int bitCount, uint32_t compression, const Bytes& pixels) {
  Bytes bytes;
  auto put = [&bytes](uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
  };
  const uint32_t extra = compression == 3 ? 12 : bitCount <= 8 ? 16 * 4 : 0;
  for (uint32_t value : {uint32_t{'B' | 'M' << 8}, 14 + 40 + extra + uint32_t(pixels.size()), 0u, 14 + 40 + extra, 40u,
                         uint32_t(width), uint32_t(height), 1u | bitCount << 16, compression, uint32_t(pixels.size()),
                         0u, 0u, bitCount <= 8 ? 16u : 0u, 0u})
    put(value, bytes.empty() ? 2 : 4);
  for (uint32_t mask : {0xF800, 0x07E0, 0x001F})
    if (compression == 3) put(mask, 4);
  for (int i = 0; bitCount <= 8 && i < 16; ++i)
    put(PaletteEntry(i).b | PaletteEntry(i).g << 8 | PaletteEntry(i).r << 16, 4);
  bytes.insert(bytes.end(), pixels.begin(), pixels.end());
  return bytes;
}

// "WxH" and the pixels, top row first; "refused" when the file is.
std::pair<std::string, std::vector<Rgb>> Decoded(const Bytes& bytes) {
  bmp::Picture picture;
  if (!bmp::Decode(bytes.data(), bytes.size(), &picture)) return {"refused", {}};
  std::vector<Rgb> pixels;
  for (size_t i = 0; i + 2 < picture.rgb.size(); i += 3)
    pixels.push_back({picture.rgb[i], picture.rgb[i + 1], picture.rgb[i + 2]});
  return {std::to_string(picture.width) + "x" + std::to_string(picture.height), pixels};
}

std::vector<Rgb> FromIndexes(const std::vector<int>& indexes) {
  std::vector<Rgb> pixels;
  for (int i : indexes) pixels.push_back(PaletteEntry(i));
  return pixels;
}

// Every variant as one table: hand-made files of what ImageMagick cannot write (top-down rows, plain 16 bits,
// RLE escapes, RLE4), and files ImageMagick writes, 7 x 5 so that rows need padding at every depth, in colours
// exact at every depth (channels 0 or 255) or 35 different ones.
TEST(BmpDecoder, EveryVariantDecodesToItsPixels) {
  std::vector<Rgb> pure2, pure8, many;
  const Rgb palette[] = {{0, 0, 0},   {255, 255, 255}, {255, 0, 0},   {0, 255, 0},
                         {0, 0, 255}, {255, 255, 0},   {0, 255, 255}, {255, 0, 255}};
  for (int i = 0, x = 0, y = 0; i < 35; ++i, x = i % 7, y = i / 7) {
    pure2.push_back(palette[(x * 3 + y * 5) % 2]);
    pure8.push_back(palette[(x * 3 + y * 5) % 8]);
    many.push_back(Rgb{uint8_t(x * 37 + y * 11), uint8_t(x * 13 + y * 71), uint8_t(x * 91 + y * 29)});
  }
  const struct {
    const char* name;  // what a hand-made file holds, or convert's options and the header it makes
    std::string size;
    Bytes file;  // empty: written by convert from `pixels`
    std::vector<Rgb> pixels;
  } variants[] = {
      // 16 of 31 is 131.6 of 255.
      {"top-down 16 bits without masks: 5-5-5, top bit ignored", "2x2",
       Build(2, -2, 16, 0, {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x80, 0x10, 0x42}),
       {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {132, 132, 132}}},
      // Three 1s; end of line; literal 2 3 4 and its pad; end of line; move two right; two 5s; end.
      {"RLE8 runs, literals, end of line and move", "4x3",
       Build(4, 3, 8, 1, {3, 1, 0, 0, 0, 3, 2, 3, 4, 0, 0, 0, 0, 2, 2, 0, 2, 5, 0, 1}),
       FromIndexes({0, 0, 5, 5, 2, 3, 4, 0, 1, 1, 1, 0})},
      // 1 2 1 2 1; end of line; literal 3 4 5 6 7 in three bytes and a pad; end.
      {"RLE4 alternating nibbles and an odd literal", "5x2",
       Build(5, 2, 4, 2, {5, 0x12, 0, 0, 0, 5, 0x34, 0x56, 0x70, 0x99, 0, 1}),
       FromIndexes({3, 4, 5, 6, 7, 1, 2, 1, 2, 1})},
      {"RLE runs, literals and moves leaving the row are clipped, not wrapped", "2x2",
       Build(2, 2, 8, 1, {255, 7, 0, 3, 1, 2, 3, 0, 0, 2, 200, 0, 4, 6, 0, 1}), FromIndexes({0, 0, 7, 7})},
      {"RLE8 without an end-of-picture mark", "2x1", Build(2, 1, 8, 1, {2, 6}), FromIndexes({6, 6})},
      {"-type palette -compress none BMP3: 1 bit", "7x5", {}, pure2},
      {"-type palette -compress none BMP3: 4 bits", "7x5", {}, pure8},
      {"-type palette -compress none BMP3: 8 bits", "7x5", {}, many},
      {"-type palette BMP3: RLE8", "7x5", {}, many},
      {"BMP3: 24 bits", "7x5", {}, many},
      {"BMP2: 12-byte header, 24 bits", "7x5", {}, many},
      {"-type palette BMP2: 12-byte header, 8 bits", "7x5", {}, many},
      {"BMP: 124-byte header, 24 bits", "7x5", {}, many},
      {"-alpha on BMP: 32-bit fields", "7x5", {}, many},
      {"-define bmp:subtype=RGB565 BMP: 16-bit fields", "7x5", {}, pure8},
      {"-define bmp:subtype=RGB555 BMP: 16-bit fields", "7x5", {}, pure8},
  };
  const bool convert = system("convert -version >/dev/null 2>&1") == 0;
  testing_support::ScratchFolder folder;
  const std::string source = folder.File("source.ppm"), output = folder.File("out.bmp");
  for (const auto& variant : variants) {
    Bytes bytes = variant.file;
    if (bytes.empty()) {
      if (!convert) continue;
      Bytes ppm = {'P', '6', ' ', '7', ' ', '5', ' ', '2', '5', '5', '\n'};
      for (const Rgb& pixel : variant.pixels) ppm.insert(ppm.end(), {pixel.r, pixel.g, pixel.b});
      ASSERT_TRUE(testing_support::WriteFileBytes(source, ppm));
      const std::string options(variant.name, std::strstr(variant.name, ": ") + 1);
      ASSERT_EQ(system(("convert " + source + " " + options + output + " >/dev/null 2>&1").c_str()), 0) << options;
      bytes = testing_support::ReadFileBytes(output);
    }
    EXPECT_EQ(Decoded(bytes), std::pair(variant.size, variant.pixels)) << variant.name;
  }
  if (!convert) GTEST_SKIP() << "ImageMagick's convert is not installed: only the hand-made files were decoded";
}

// Malformed files are refused, leaving no picture behind, and never read or write out of bounds (the sanitizer
// build checks the latter): broken RLE data, absurd sizes, files cut short or damaged at random.
TEST(BmpDecoderMalformed, RefusesBrokenRleDataAbsurdSizesAndCutOrDamagedFiles) {
  const struct {
    const char* what;
    Bytes file;
  } files[] = {
      {"run cut after its count", Build(2, 1, 8, 1, {2, 6, 1})},
      {"move cut short", Build(2, 1, 8, 1, {0, 2, 1})},
      {"literal of 200 in 3 bytes", Build(200, 1, 8, 1, {0, 200, 1, 2, 3})},
      {"RLE4 literal of 9 in 2 bytes", Build(200, 1, 4, 2, {0, 9, 0x11, 0x11})},
  };
  for (const auto& f : files) EXPECT_EQ(Decoded(f.file).first, "refused") << f.what;
  for (const auto& [w, h] : {std::pair{0, 1}, {-4, 1}, {bmp::kMaxSide + 1, 1}, {10000, 10000}, {1, INT32_MIN}})
    EXPECT_EQ(Decoded(Build(w, h, 8, 1, {0, 1})).first, "refused") << w << " x " << h;

  const std::vector<Bytes> pristine = {Build(3, 2, 24, 0, Bytes(24, 9)), Build(5, -3, 8, 0, Bytes(24, 3)),
                                       Build(4, 3, 8, 1, {3, 1, 0, 0, 0, 3, 2, 3, 4, 0, 0, 0, 0, 2, 2, 0, 2, 5, 0, 1}),
                                       Build(5, 2, 4, 2, {5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 2, 0x67, 0, 1}),
                                       Build(3, 2, 16, 3, Bytes(16, 0x5A))};
  // The two uncompressed pictures' rows end in three bytes of padding, which may be missing from the last row;
  // the RLE file is refused only when cut inside its headers.
  for (size_t file = 0; file < 3; ++file) {
    const size_t refused = file < 2 ? pristine[file].size() - 3 : 14 + 40 + 16 * 4 + 1;
    for (size_t length = 0; length < refused; ++length)
      EXPECT_EQ(Decoded(Bytes(pristine[file].begin(), pristine[file].begin() + length)).first, "refused")
          << "file " << file << " cut to " << length << " of " << pristine[file].size() << " bytes";
  }
  for (unsigned seed = 1; seed <= 3000; ++seed) {
    std::mt19937 random(seed);
    Bytes bytes = pristine[seed % pristine.size()];
    for (int i = 1 + random() % 4; i > 0; --i) bytes[random() % bytes.size()] = static_cast<uint8_t>(random());
    if (random() % 4 == 0) bytes.resize(random() % bytes.size());
    bmp::Picture picture;
    const bool decoded = bmp::Decode(bytes.data(), bytes.size(), &picture);
    ASSERT_EQ(picture.rgb.size(), decoded ? static_cast<size_t>(picture.width) * picture.height * 3 : 0)
        << "seed " << seed;
  }
}

}  // namespace
