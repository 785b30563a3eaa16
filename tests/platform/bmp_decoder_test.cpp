// The BMP decoder: hand-made files of what ImageMagick cannot write, malformed files, and every variant
// ImageMagick does write.
#include "platform/bmp_decoder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "bmp_helpers.h"
#include "support/bmp_file.h"
#include "support/scratch_folder.h"

using testbmp::BmpLayout;
using testbmp::BuildBmp;
using testing_support::Rgb;

namespace {

bool Decode(const std::vector<uint8_t>& bytes, bmp::Picture* picture) {
  return bmp::Decode(bytes.data(), bytes.size(), picture);
}

// Every pixel, each channel within `tolerance`; names the first few that differ.
testing::AssertionResult PixelsMatch(const bmp::Picture& picture, int width, int height,
                                     const std::vector<Rgb>& expected, int tolerance = 0) {
  if (picture.width != width || picture.height != height || picture.rgb.size() != expected.size() * 3)
    return testing::AssertionFailure() << "size " << picture.width << "x" << picture.height << ", expected "
                                       << width << "x" << height;
  auto far = [tolerance](int a, int b) { return std::abs(a - b) > tolerance; };
  testing::AssertionResult result = testing::AssertionFailure();
  int mismatches = 0;
  for (size_t i = 0; i < expected.size(); ++i) {
    const Rgb actual{picture.rgb[3 * i], picture.rgb[3 * i + 1], picture.rgb[3 * i + 2]}, wanted = expected[i];
    if ((far(actual.r, wanted.r) || far(actual.g, wanted.g) || far(actual.b, wanted.b)) && ++mismatches <= 5)
      result << "\n  pixel (" << i % width << ", " << i / width << "): " << actual << ", expected " << wanted;
  }
  if (mismatches == 0) return testing::AssertionSuccess();
  return result << "\n  " << mismatches << " pixel(s) differ";
}

Rgb PaletteEntry(int i) { return Rgb{uint8_t(10 * i), uint8_t(100 + i), uint8_t(200 - i)}; }

// A hand-made file; 1 to 8 bits get a 16-colour palette of PaletteEntry.
BmpLayout Layout(int width, int height, int bitCount, uint32_t compression, std::vector<uint8_t> pixels) {
  BmpLayout layout{40, width, height, static_cast<uint16_t>(bitCount), compression, 0, {}, {}, std::move(pixels)};
  for (int i = 0; bitCount <= 8 && i < 16; ++i) layout.palette.push_back(PaletteEntry(i));
  layout.colorsUsed = static_cast<uint32_t>(layout.palette.size());
  return layout;
}

std::vector<Rgb> FromIndexes(const std::vector<int>& indexes) {
  std::vector<Rgb> pixels;
  for (int i : indexes) pixels.push_back(PaletteEntry(i));
  return pixels;
}

// What ImageMagick cannot write: top-down rows, plain 16 bits, RLE escapes, RLE4.
TEST(BmpDecoderHandMade, DecodesToTheExpectedPixels) {
  const struct {
    const char* name;
    BmpLayout layout;
    std::vector<Rgb> expected;
  } cases[] = {
      // 16 of 31 is 131.6 of 255.
      {"top-down 16 bits without masks: 5-5-5, top bit ignored",
       Layout(2, -2, 16, 0, {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x80, 0x10, 0x42}),
       {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {132, 132, 132}}},
      // Three 1s; end of line; literal 2 3 4 and its pad; end of line; move two right; two 5s; end.
      {"RLE8 runs, literals, end of line and move",
       Layout(4, 3, 8, 1, {3, 1, 0, 0, 0, 3, 2, 3, 4, 0, 0, 0, 0, 2, 2, 0, 2, 5, 0, 1}),
       FromIndexes({0, 0, 5, 5, 2, 3, 4, 0, 1, 1, 1, 0})},
      // 1 2 1 2 1; end of line; literal 3 4 5 6 7 in three bytes and a pad; end.
      {"RLE4 alternating nibbles and an odd literal",
       Layout(5, 2, 4, 2, {5, 0x12, 0, 0, 0, 5, 0x34, 0x56, 0x70, 0x99, 0, 1}),
       FromIndexes({3, 4, 5, 6, 7, 1, 2, 1, 2, 1})},
      {"RLE runs, literals and moves leaving the row are clipped, not wrapped",
       Layout(2, 2, 8, 1, {255, 7, 0, 3, 1, 2, 3, 0, 0, 2, 200, 0, 4, 6, 0, 1}), FromIndexes({0, 0, 7, 7})},
  };
  for (const auto& c : cases) {
    bmp::Picture picture;
    EXPECT_TRUE(Decode(BuildBmp(c.layout), &picture)) << c.name;
    EXPECT_TRUE(PixelsMatch(picture, c.layout.width, std::abs(c.layout.height), c.expected)) << c.name;
  }
}

// The loader cuts colours back to the display's bits, so every 5- and 6-bit value must survive the trip
// through 8 bits unchanged.
TEST(BmpDecoderHandMade, BitField565ValuesSurviveTruncationBackTo565) {
  BmpLayout layout = Layout(64, 1, 16, 3, {});
  layout.masks = {0xF800, 0x07E0, 0x001F};
  for (uint32_t i = 0; i < 64; ++i) {
    const uint32_t value = ((i & 31) << 11) | (i << 5) | (31 - (i & 31));
    layout.pixels.insert(layout.pixels.end(), {uint8_t(value & 0xFF), uint8_t(value >> 8)});
  }
  bmp::Picture picture;
  ASSERT_TRUE(Decode(BuildBmp(layout), &picture));
  for (int i = 0; i < 64; ++i) {
    const Rgb pixel{picture.rgb[3 * i], picture.rgb[3 * i + 1], picture.rgb[3 * i + 2]};
    EXPECT_EQ((std::vector<int>{pixel.r >> 3, pixel.g >> 2, pixel.b >> 3}),
              (std::vector<int>{i & 31, i, 31 - (i & 31)}))
        << "pixel " << i << " decoded to " << pixel;
  }
}

// Malformed files: refused, and never a read or write out of bounds (the sanitizer build checks the latter).
TEST(BmpDecoderMalformed, RleDataMayEndBetweenCommandsButNotInsideOne) {
  bmp::Picture picture;
  EXPECT_TRUE(Decode(BuildBmp(Layout(2, 1, 8, 1, {2, 6})), &picture)) << "no end-of-picture mark";
  EXPECT_FALSE(Decode(BuildBmp(Layout(2, 1, 8, 1, {2, 6, 1})), &picture)) << "run cut after its count";
  EXPECT_FALSE(Decode(BuildBmp(Layout(2, 1, 8, 1, {0, 2, 1})), &picture)) << "move cut short";
  EXPECT_FALSE(Decode(BuildBmp(Layout(200, 1, 8, 1, {0, 200, 1, 2, 3})), &picture)) << "literal of 200, 3 bytes";
  EXPECT_FALSE(Decode(BuildBmp(Layout(200, 1, 4, 2, {0, 9, 0x11, 0x11})), &picture)) << "RLE4 literal of 9";
  EXPECT_TRUE(picture.rgb.empty()) << "a refused file leaves no picture behind";
}

TEST(BmpDecoderMalformed, EveryTruncationIsSafeAndCutPixelsAreRefused) {
  // Both pictures' rows end in three bytes of padding, which may be missing.
  for (const BmpLayout& layout :
       {Layout(3, 2, 24, 0, std::vector<uint8_t>(24, 9)), Layout(5, -3, 8, 0, std::vector<uint8_t>(24, 3))}) {
    const std::vector<uint8_t> whole = BuildBmp(layout);
    for (size_t length = 0; length + 3 < whole.size(); ++length) {
      bmp::Picture picture;
      EXPECT_FALSE(Decode(std::vector<uint8_t>(whole.begin(), whole.begin() + length), &picture))
          << layout.bitCount << "-bit file cut to " << length << " of " << whole.size() << " bytes";
    }
  }
  const std::vector<uint8_t> rle = BuildBmp(Layout(4, 3, 8, 1, {3, 1, 0, 0, 0, 3, 2, 3, 4, 0, 0, 2, 2, 0, 0, 1}));
  for (size_t length = 0; length <= testbmp::Field(rle, 10); ++length) {
    bmp::Picture picture;
    EXPECT_FALSE(Decode(std::vector<uint8_t>(rle.begin(), rle.begin() + length), &picture))
        << "RLE file cut to " << length << " bytes, inside its headers";
  }
}

TEST(BmpDecoderMalformed, AbsurdSizesAreRefusedBeforeAllocating) {
  const struct {
    int32_t width, height;
    const char* what;
  } sizes[] = {{0, 1, "zero width"}, {1, 0, "zero height"}, {-4, 1, "negative width"},
               {bmp::kMaxSide + 1, 1, "too wide"}, {1, bmp::kMaxSide + 1, "too tall"},
               {10000, 10000, "too many pixels"}, {1, INT32_MIN, "height of INT32_MIN"}};
  for (const auto& size : sizes) {
    bmp::Picture picture;
    EXPECT_FALSE(Decode(BuildBmp(Layout(size.width, size.height, 8, 1, {0, 1})), &picture)) << size.what;
  }
}

TEST(BmpDecoderMalformed, RandomlyDamagedFilesAreHandledSafely) {
  BmpLayout sixteen = Layout(3, 2, 16, 3, std::vector<uint8_t>(16, 0x5A));
  sixteen.masks = {0xF800, 0x07E0, 0x001F};
  const std::vector<std::vector<uint8_t>> originals = {
      BuildBmp(Layout(3, 2, 24, 0, std::vector<uint8_t>(24, 9))), BuildBmp(sixteen),
      BuildBmp(Layout(4, 3, 8, 1, {3, 1, 0, 0, 0, 3, 2, 3, 4, 0, 0, 0, 0, 2, 2, 0, 2, 5, 0, 1})),
      BuildBmp(Layout(5, 2, 4, 2, {5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 2, 0x67, 0, 1}))};
  for (unsigned seed = 1; seed <= 3000; ++seed) {
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes = originals[seed % originals.size()];
    for (int i = 1 + random() % 4; i > 0; --i) bytes[random() % bytes.size()] = static_cast<uint8_t>(random());
    if (random() % 4 == 0) bytes.resize(random() % bytes.size());
    bmp::Picture picture;
    const bool decoded = Decode(bytes, &picture);
    ASSERT_EQ(picture.rgb.size(), decoded ? static_cast<size_t>(picture.width) * picture.height * 3 : 0)
        << "seed " << seed;
  }
}

// Files written by ImageMagick, 7 x 5 so that rows need padding at every depth. Header size, bits and
// compression are checked first: a file of another variant would prove nothing.
TEST(BmpDecoderFromImageMagick, EveryVariantDecodesToTheSourcePixels) {
  if (!testbmp::ConvertAvailable()) GTEST_SKIP() << "ImageMagick's convert is not installed";
  // Up to eight colours whose channels are 0 or 255 (exact at every depth), or 35 different ones.
  auto pure = [](int colours) {
    const Rgb palette[] = {{0, 0, 0},   {255, 255, 255}, {255, 0, 0},   {0, 255, 0},
                           {0, 0, 255}, {255, 255, 0},   {0, 255, 255}, {255, 0, 255}};
    std::vector<Rgb> pixels;
    for (int i = 0; i < 35; ++i) pixels.push_back(palette[(i % 7 * 3 + i / 7 * 5) % colours]);
    return pixels;
  };
  std::vector<Rgb> many;
  for (int i = 0; i < 35; ++i) {
    const int x = i % 7, y = i / 7;
    many.push_back(Rgb{uint8_t(x * 37 + y * 11), uint8_t(x * 13 + y * 71), uint8_t(x * 91 + y * 29)});
  }
  const struct {
    const char* options;  // before the output file's name
    std::vector<Rgb> source;
    uint32_t headerSize, bitCount, compression;
    int tolerance;  // 16-bit files lose low bits, rounded convert's own way
  } variants[] = {
      {"-type palette -compress none BMP3:", pure(2), 40, 1, 0, 0},
      {"-type palette -compress none BMP3:", pure(8), 40, 4, 0, 0},
      {"-type palette -compress none BMP3:", many, 40, 8, 0, 0},
      {"-type palette BMP3:", many, 40, 8, 1, 0},  // RLE8
      {"BMP3:", many, 40, 24, 0, 0},
      {"BMP2:", many, 12, 24, 0, 0},
      {"-type palette BMP2:", many, 12, 8, 0, 0},
      {"", many, 124, 24, 0, 0},
      {"-alpha on ", many, 124, 32, 3, 0},
      {"-define bmp:subtype=RGB565 ", pure(8), 124, 16, 3, 0},
      {"-define bmp:subtype=RGB565 ", many, 124, 16, 3, 9},
      {"-define bmp:subtype=RGB555 ", pure(8), 124, 16, 3, 0},
      {"-define bmp:subtype=RGB555 ", many, 124, 16, 3, 9},
  };
  testing_support::ScratchFolder folder;
  const std::string source = folder.File("source.ppm"), output = folder.File("out.bmp");
  for (const auto& variant : variants) {
    SCOPED_TRACE(::testing::Message() << "convert " << variant.options << "out.bmp, " << variant.bitCount << " bits");
    std::vector<uint8_t> ppm = {'P', '6', ' ', '7', ' ', '5', ' ', '2', '5', '5', '\n'};
    for (const Rgb& pixel : variant.source) ppm.insert(ppm.end(), {pixel.r, pixel.g, pixel.b});
    ASSERT_TRUE(testing_support::WriteFileBytes(source, ppm));
    ASSERT_TRUE(testbmp::RunConvert(source + " " + variant.options + output));
    const std::vector<uint8_t> bytes = testing_support::ReadFileBytes(output);
    const uint32_t headerSize = testbmp::Field(bytes, 14);
    EXPECT_EQ(headerSize, variant.headerSize);
    EXPECT_EQ(testbmp::Field(bytes, headerSize == 12 ? 24 : 28, 2), variant.bitCount);
    if (headerSize != 12) {
      EXPECT_EQ(testbmp::Field(bytes, 30), variant.compression) << "compression";
    }
    bmp::Picture picture;
    EXPECT_TRUE(Decode(bytes, &picture));
    EXPECT_TRUE(PixelsMatch(picture, 7, 5, variant.source, variant.tolerance));
  }
}

}  // namespace
