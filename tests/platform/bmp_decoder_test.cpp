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

Rgb PixelAt(const bmp::Picture& picture, int x, int y) {
  const uint8_t* p = picture.rgb.data() + (static_cast<size_t>(y) * picture.width + x) * 3;
  return Rgb{p[0], p[1], p[2]};
}

// Every pixel, each channel within `tolerance`; names the first few that differ.
testing::AssertionResult PixelsMatch(const bmp::Picture& picture, int width, int height,
                                     const std::vector<Rgb>& expected, int tolerance = 0) {
  if (picture.width != width || picture.height != height || picture.rgb.size() != expected.size() * 3)
    return testing::AssertionFailure() << "size " << picture.width << "x" << picture.height << ", expected "
                                       << width << "x" << height;
  int mismatches = 0;
  testing::AssertionResult result = testing::AssertionFailure();
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Rgb actual = PixelAt(picture, x, y), wanted = expected[static_cast<size_t>(y) * width + x];
      if (std::abs(actual.r - wanted.r) > tolerance || std::abs(actual.g - wanted.g) > tolerance ||
          std::abs(actual.b - wanted.b) > tolerance) {
        if (++mismatches <= 5) result << "\n  pixel (" << x << ", " << y << "): " << actual << ", expected " << wanted;
      }
    }
  }
  if (mismatches == 0) return testing::AssertionSuccess();
  return result << "\n  " << mismatches << " pixel(s) differ";
}

BmpLayout Layout(int width, int height, int bitCount, uint32_t compression, std::vector<uint8_t> pixels) {
  BmpLayout layout;
  layout.width = width;
  layout.height = height;
  layout.bitCount = static_cast<uint16_t>(bitCount);
  layout.compression = compression;
  layout.pixels = std::move(pixels);
  if (bitCount <= 8) {
    for (int i = 0; i < 16; ++i) layout.palette.push_back(Rgb{uint8_t(10 * i), uint8_t(100 + i), uint8_t(200 - i)});
    layout.colorsUsed = 16;
  }
  return layout;
}

std::vector<Rgb> FromIndexes(const std::vector<int>& indexes) {
  std::vector<Rgb> pixels;
  for (int i : indexes) pixels.push_back(Rgb{uint8_t(10 * i), uint8_t(100 + i), uint8_t(200 - i)});
  return pixels;
}

// ---------------------------------------------------------------------------
// What ImageMagick cannot write: top-down rows, plain 16 bits, RLE escapes, RLE4

TEST(BmpDecoderHandMade, TopDownSixteenBitsWithoutMasksIs555AndIgnoresTheTopBit) {
  const BmpLayout layout = Layout(2, -2, 16, 0, {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x80, 0x10, 0x42});
  bmp::Picture picture;
  ASSERT_TRUE(Decode(BuildBmp(layout), &picture));
  // 16 of 31 is 131.6 of 255.
  EXPECT_TRUE(PixelsMatch(picture, 2, 2, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {132, 132, 132}}));
}

// The loader cuts colours back to the display's bits, so every 5- and 6-bit
// value must survive the trip through 8 bits unchanged.
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
    const Rgb pixel = PixelAt(picture, i, 0);
    EXPECT_EQ((pixel.r >> 3) * 10000 + (pixel.g >> 2) * 100 + (pixel.b >> 3), (i & 31) * 10000 + i * 100 + 31 - (i & 31))
        << "pixel " << i << " decoded to " << pixel;
  }
}

TEST(BmpDecoderHandMade, Rle8RunsLiteralsEndOfLineAndMove) {
  const BmpLayout layout = Layout(4, 3, 8, 1,
                                  {3, 1,              // bottom row: three 1s
                                   0, 0,              // next row
                                   0, 3, 2, 3, 4, 0,  // literal 2, 3, 4 and its padding byte
                                   0, 0,              // top row
                                   0, 2, 2, 0,        // move two to the right
                                   2, 5,              // two 5s
                                   0, 1});
  bmp::Picture picture;
  ASSERT_TRUE(Decode(BuildBmp(layout), &picture));
  EXPECT_TRUE(PixelsMatch(picture, 4, 3, FromIndexes({0, 0, 5, 5, 2, 3, 4, 0, 1, 1, 1, 0})));
}

TEST(BmpDecoderHandMade, Rle4AlternatesNibblesAndPadsOddLiterals) {
  const BmpLayout layout = Layout(5, 2, 4, 2,
                                  {5, 0x12,                       // 1 2 1 2 1
                                   0, 0,                          //
                                   0, 5, 0x34, 0x56, 0x70, 0x99,  // literal 3 4 5 6 7: three bytes and a pad
                                   0, 1});
  bmp::Picture picture;
  ASSERT_TRUE(Decode(BuildBmp(layout), &picture));
  EXPECT_TRUE(PixelsMatch(picture, 5, 2, FromIndexes({3, 4, 5, 6, 7, 1, 2, 1, 2, 1})));
}

TEST(BmpDecoderHandMade, RleRunsLeavingTheRowAreClippedNotWrapped) {
  const BmpLayout layout = Layout(2, 2, 8, 1, {255, 7, 0, 3, 1, 2, 3, 0, 0, 2, 200, 0, 4, 6, 0, 1});
  bmp::Picture picture;
  ASSERT_TRUE(Decode(BuildBmp(layout), &picture));
  EXPECT_TRUE(PixelsMatch(picture, 2, 2, FromIndexes({0, 0, 7, 7})));
}

// ---------------------------------------------------------------------------
// Malformed files: refused, and never a read or write out of bounds (the
// sanitizer build checks the latter)

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
  const BmpLayout uncompressed[] = {Layout(3, 2, 24, 0, std::vector<uint8_t>(24, 9)),
                                    Layout(5, -3, 8, 0, std::vector<uint8_t>(24, 3))};
  for (const BmpLayout& layout : uncompressed) {
    const std::vector<uint8_t> whole = BuildBmp(layout);
    // Both pictures' rows end in three bytes of padding, which may be missing.
    for (size_t length = 0; length + 3 < whole.size(); ++length) {
      bmp::Picture picture;
      EXPECT_FALSE(Decode(std::vector<uint8_t>(whole.begin(), whole.begin() + length), &picture))
          << layout.bitCount << "-bit file cut to " << length << " of " << whole.size() << " bytes";
    }
  }
  const std::vector<uint8_t> rle = BuildBmp(Layout(4, 3, 8, 1, {3, 1, 0, 0, 0, 3, 2, 3, 4, 0, 0, 2, 2, 0, 0, 1}));
  for (size_t length = 0; length <= testbmp::FieldU32(rle, 10); ++length) {
    bmp::Picture picture;
    EXPECT_FALSE(Decode(std::vector<uint8_t>(rle.begin(), rle.begin() + length), &picture))
        << "RLE file cut to " << length << " bytes, inside its headers";
  }
}

TEST(BmpDecoderMalformed, AbsurdSizesAreRefusedBeforeAllocating) {
  struct Case {
    int32_t width, height;
    const char* what;
  };
  for (const Case& size : {Case{0, 1, "zero width"}, Case{1, 0, "zero height"}, Case{-4, 1, "negative width"},
                           Case{bmp::kMaxSide + 1, 1, "too wide"}, Case{1, bmp::kMaxSide + 1, "too tall"},
                           Case{10000, 10000, "too many pixels"}, Case{1, INT32_MIN, "height of INT32_MIN"}}) {
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
    const int changes = 1 + random() % 4;
    for (int i = 0; i < changes; ++i) bytes[random() % bytes.size()] = static_cast<uint8_t>(random());
    if (random() % 4 == 0) bytes.resize(random() % bytes.size());
    bmp::Picture picture;
    const bool decoded = Decode(bytes, &picture);
    ASSERT_EQ(picture.rgb.size(), decoded ? static_cast<size_t>(picture.width) * picture.height * 3 : 0)
        << "seed " << seed;
  }
}

// ---------------------------------------------------------------------------
// Files written by ImageMagick

constexpr int kToolWidth = 7;  // odd, so rows need padding at every depth
constexpr int kToolHeight = 5;

// Up to eight colours whose channels are 0 or 255: exact at every depth.
std::vector<Rgb> PureColourPicture(int colours) {
  const Rgb palette[] = {{0, 0, 0},     {255, 255, 255}, {255, 0, 0},   {0, 255, 0},
                         {0, 0, 255},   {255, 255, 0},   {0, 255, 255}, {255, 0, 255}};
  std::vector<Rgb> pixels;
  for (int y = 0; y < kToolHeight; ++y)
    for (int x = 0; x < kToolWidth; ++x) pixels.push_back(palette[(x * 3 + y * 5) % colours]);
  return pixels;
}

// 35 different colours, one per pixel.
std::vector<Rgb> ManyColourPicture() {
  std::vector<Rgb> pixels;
  for (int y = 0; y < kToolHeight; ++y)
    for (int x = 0; x < kToolWidth; ++x)
      pixels.push_back(Rgb{uint8_t(x * 37 + y * 11), uint8_t(x * 13 + y * 71), uint8_t(x * 91 + y * 29)});
  return pixels;
}

struct ToolVariant {
  const char* name;
  std::vector<Rgb> source;
  const char* options;  // convert's options and output prefix before the file name
  uint32_t headerSize;
  uint16_t bitCount;
  uint32_t compression;
  int tolerance;  // 16-bit files lose low bits, rounded convert's own way
};

class BmpDecoderFromImageMagick : public testing::TestWithParam<ToolVariant> {};

TEST_P(BmpDecoderFromImageMagick, DecodesToTheSourcePixels) {
  if (!testbmp::ConvertAvailable()) GTEST_SKIP() << "ImageMagick's convert is not installed";
  const ToolVariant& variant = GetParam();
  testing_support::ScratchFolder folder;
  ASSERT_TRUE(folder.ok());
  const std::string source = folder.File("source.ppm"), output = folder.File("out.bmp");
  ASSERT_TRUE(testbmp::WritePpm(source, kToolWidth, kToolHeight, variant.source));
  ASSERT_TRUE(testbmp::RunConvert(source + " " + variant.options + output)) << variant.options;

  // The file must really be the variant meant, or the test proves nothing.
  const std::vector<uint8_t> bytes = testing_support::ReadFileBytes(output);
  const uint32_t headerSize = testbmp::FieldU32(bytes, 14);
  ASSERT_EQ(headerSize, variant.headerSize) << "header size written by convert " << variant.options;
  ASSERT_EQ(testbmp::FieldU16(bytes, headerSize == 12 ? 24 : 28), variant.bitCount) << "bits per pixel";
  if (headerSize != 12) {
    ASSERT_EQ(testbmp::FieldU32(bytes, 30), variant.compression) << "compression";
  }

  bmp::Picture picture;
  ASSERT_TRUE(Decode(bytes, &picture));
  EXPECT_TRUE(PixelsMatch(picture, kToolWidth, kToolHeight, variant.source, variant.tolerance));
}

INSTANTIATE_TEST_SUITE_P(
    Variants, BmpDecoderFromImageMagick,
    testing::Values(
        ToolVariant{"OneBitPalette", PureColourPicture(2), "-type palette -compress none BMP3:", 40, 1, 0, 0},
        ToolVariant{"FourBitPalette", PureColourPicture(8), "-type palette -compress none BMP3:", 40, 4, 0, 0},
        ToolVariant{"EightBitPalette", ManyColourPicture(), "-type palette -compress none BMP3:", 40, 8, 0, 0},
        ToolVariant{"EightBitRle8", ManyColourPicture(), "-type palette BMP3:", 40, 8, 1, 0},
        ToolVariant{"TwentyFourBitInfoHeader", ManyColourPicture(), "BMP3:", 40, 24, 0, 0},
        ToolVariant{"TwentyFourBitCoreHeader", ManyColourPicture(), "BMP2:", 12, 24, 0, 0},
        ToolVariant{"EightBitCoreHeader", ManyColourPicture(), "-type palette BMP2:", 12, 8, 0, 0},
        ToolVariant{"DefaultV5Header", ManyColourPicture(), "", 124, 24, 0, 0},
        ToolVariant{"ThirtyTwoBitWithAlpha", ManyColourPicture(), "-alpha on ", 124, 32, 3, 0},
        ToolVariant{"Rgb565Pure", PureColourPicture(8), "-define bmp:subtype=RGB565 ", 124, 16, 3, 0},
        ToolVariant{"Rgb565Many", ManyColourPicture(), "-define bmp:subtype=RGB565 ", 124, 16, 3, 9},
        ToolVariant{"Rgb555Pure", PureColourPicture(8), "-define bmp:subtype=RGB555 ", 124, 16, 3, 0},
        ToolVariant{"Rgb555Many", ManyColourPicture(), "-define bmp:subtype=RGB555 ", 124, 16, 3, 9}),
    [](const testing::TestParamInfo<ToolVariant>& info) { return std::string(info.param.name); });

}  // namespace
