#include "platform/bmp_decoder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "bmp_helpers.h"

using testbmp::BmpLayout;
using testbmp::BuildBmp;
using testbmp::Rgb;

namespace {

const Rgb kBlack{0, 0, 0}, kWhite{255, 255, 255}, kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255};

bool Decode(const std::vector<uint8_t>& bytes, bmp::Picture* picture) {
  return bmp::Decode(bytes.data(), bytes.size(), picture);
}

Rgb PixelAt(const bmp::Picture& picture, int x, int y) {
  const uint8_t* p = picture.rgb.data() + (static_cast<size_t>(y) * picture.width + x) * 3;
  return Rgb{p[0], p[1], p[2]};
}

// Compares every pixel, each channel within `tolerance`, and names the first few
// pixels that differ.
testing::AssertionResult PixelsMatch(const bmp::Picture& picture, int width, int height,
                                     const std::vector<Rgb>& expected, int tolerance = 0) {
  if (picture.width != width || picture.height != height)
    return testing::AssertionFailure() << "size " << picture.width << "x" << picture.height << ", expected "
                                       << width << "x" << height;
  if (picture.rgb.size() != static_cast<size_t>(width) * height * 3)
    return testing::AssertionFailure() << "pixel buffer of " << picture.rgb.size() << " bytes";
  int mismatches = 0;
  testing::AssertionResult result = testing::AssertionFailure();
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Rgb actual = PixelAt(picture, x, y);
      const Rgb& wanted = expected[static_cast<size_t>(y) * width + x];
      if (std::abs(actual.r - wanted.r) > tolerance || std::abs(actual.g - wanted.g) > tolerance ||
          std::abs(actual.b - wanted.b) > tolerance) {
        if (mismatches < 5) result << "\n  pixel (" << x << ", " << y << "): " << actual << ", expected " << wanted;
        ++mismatches;
      }
    }
  }
  if (mismatches == 0) return testing::AssertionSuccess();
  return result << "\n  " << mismatches << " pixel(s) differ";
}

// 3 x 2 picture: red, green, blue over white, black, (10, 20, 30).
const std::vector<Rgb> kSixPixels = {kRed, kGreen, kBlue, kWhite, kBlack, {10, 20, 30}};
const std::vector<uint8_t> kTopRowBgr = {0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0};
const std::vector<uint8_t> kBottomRowBgr = {255, 255, 255, 0, 0, 0, 30, 20, 10, 0, 0, 0};

std::vector<uint8_t> Join(std::vector<uint8_t> first, const std::vector<uint8_t>& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

BmpLayout TwentyFourBitBottomUp() {
  BmpLayout layout;
  layout.width = 3;
  layout.height = 2;
  layout.pixels = Join(kBottomRowBgr, kTopRowBgr);
  return layout;
}

// ---------------------------------------------------------------------------
// Row order and the header variants

TEST(BmpDecoderRows, BottomUpAndTopDownGiveTheSamePicture) {
  bmp::Picture picture;
  ASSERT_TRUE(Decode(BuildBmp(TwentyFourBitBottomUp()), &picture));
  EXPECT_TRUE(PixelsMatch(picture, 3, 2, kSixPixels)) << "bottom-up";

  BmpLayout topDown = TwentyFourBitBottomUp();
  topDown.height = -2;
  topDown.pixels = Join(kTopRowBgr, kBottomRowBgr);
  ASSERT_TRUE(Decode(BuildBmp(topDown), &picture));
  EXPECT_TRUE(PixelsMatch(picture, 3, 2, kSixPixels)) << "top-down";
}

TEST(BmpDecoderRows, LastRowMayLackItsPadding) {
  std::vector<uint8_t> bytes = BuildBmp(TwentyFourBitBottomUp());
  bytes.resize(bytes.size() - 3);
  bmp::Picture picture;
  ASSERT_TRUE(Decode(bytes, &picture));
  EXPECT_TRUE(PixelsMatch(picture, 3, 2, kSixPixels));
}

TEST(BmpDecoderHeaders, V4AndV5HeadersReadLikeTheInfoHeader) {
  for (uint32_t headerSize : {52u, 56u, 108u, 124u}) {
    BmpLayout layout = TwentyFourBitBottomUp();
    layout.headerSize = headerSize;
    bmp::Picture picture;
    ASSERT_TRUE(Decode(BuildBmp(layout), &picture)) << "header of " << headerSize << " bytes";
    EXPECT_TRUE(PixelsMatch(picture, 3, 2, kSixPixels)) << "header of " << headerSize << " bytes";
  }
}

TEST(BmpDecoderHeaders, CoreHeaderHasThreeBytePaletteEntries) {
  BmpLayout layout;
  layout.headerSize = 12;
  layout.width = 3;
  layout.height = 1;
  layout.bitCount = 8;
  for (int i = 0; i < 256; ++i) layout.palette.push_back(Rgb{uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)});
  layout.pixels = {0, 7, 255, 0};
  bmp::Picture picture;
  ASSERT_TRUE(Decode(BuildBmp(layout), &picture));
  EXPECT_TRUE(PixelsMatch(picture, 3, 1, {{0, 255, 0}, {7, 248, 3}, {255, 0, 127}}));
}

// ---------------------------------------------------------------------------
// Palette depths

TEST(BmpDecoderPalette, OneBitReadsMostSignificantBitFirstAcrossBytes) {
  const Rgb dark{1, 2, 3}, light{200, 100, 50};
  BmpLayout layout;
  layout.width = 10;
  layout.height = 1;
  layout.bitCount = 1;
  layout.palette = {dark, light};
  layout.pixels = {0b10110000, 0b01000000, 0, 0};
  bmp::Picture picture;
  ASSERT_TRUE(Decode(BuildBmp(layout), &picture));
  EXPECT_TRUE(PixelsMatch(picture, 10, 1, {light, dark, light, light, dark, dark, dark, dark, dark, light}));
}

TEST(BmpDecoderPalette, FourBitHighNibbleFirstAndIndexesBeyondThePaletteAreBlack) {
  BmpLayout layout;
  layout.width = 3;
  layout.height = -2;
  layout.bitCount = 4;
  layout.colorsUsed = 3;
  layout.palette = {kRed, kGreen, kBlue};
  layout.pixels = {0x01, 0x20, 0, 0, 0x25, 0xF0, 0, 0};
  bmp::Picture picture;
  ASSERT_TRUE(Decode(BuildBmp(layout), &picture));
  EXPECT_TRUE(PixelsMatch(picture, 3, 2, {kRed, kGreen, kBlue, kBlue, kBlack, kBlack}));
}

TEST(BmpDecoderPalette, UsedColourCountAboveTheDepthIsCapped) {
  BmpLayout layout;
  layout.width = 2;
  layout.height = 1;
  layout.bitCount = 1;
  layout.colorsUsed = 1000;
  layout.palette = {kWhite, kBlue};
  layout.pixels = {0b01000000, 0, 0, 0};
  bmp::Picture picture;
  ASSERT_TRUE(Decode(BuildBmp(layout), &picture));
  EXPECT_TRUE(PixelsMatch(picture, 2, 1, {kWhite, kBlue}));
}

// ---------------------------------------------------------------------------
// 16 and 32 bits

TEST(BmpDecoderHighColour, SixteenBitsWithoutMasksIs555AndIgnoresTheTopBit) {
  BmpLayout layout;
  layout.width = 2;
  layout.height = -2;
  layout.bitCount = 16;
  layout.pixels = {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x80, 0x10, 0x42};
  bmp::Picture picture;
  ASSERT_TRUE(Decode(BuildBmp(layout), &picture));
  // 16 of 31 is 131.6 of 255.
  EXPECT_TRUE(PixelsMatch(picture, 2, 2, {kRed, kGreen, kBlue, {132, 132, 132}}));
}

// The loader cuts colours back to the display's bits, so every 5- or 6-bit value
// must survive the trip through 8 bits unchanged.
TEST(BmpDecoderHighColour, BitField565ValuesSurviveTruncationBackTo565) {
  for (uint32_t headerSize : {40u, 108u}) {
    BmpLayout layout;
    layout.headerSize = headerSize;
    layout.width = 64;
    layout.height = 1;
    layout.bitCount = 16;
    layout.compression = 3;
    layout.masks = {0xF800, 0x07E0, 0x001F};
    for (uint32_t i = 0; i < 64; ++i) {
      const uint32_t value = ((i & 31) << 11) | (i << 5) | (31 - (i & 31));
      layout.pixels.push_back(value & 0xFF);
      layout.pixels.push_back(value >> 8);
    }
    bmp::Picture picture;
    ASSERT_TRUE(Decode(BuildBmp(layout), &picture)) << "header of " << headerSize << " bytes";
    for (int i = 0; i < 64; ++i) {
      const Rgb pixel = PixelAt(picture, i, 0);
      EXPECT_EQ(pixel.r >> 3, i & 31) << "red of pixel " << i << ", header " << headerSize;
      EXPECT_EQ(pixel.g >> 2, i) << "green of pixel " << i << ", header " << headerSize;
      EXPECT_EQ(pixel.b >> 3, 31 - (i & 31)) << "blue of pixel " << i << ", header " << headerSize;
    }
    EXPECT_EQ(PixelAt(picture, 63, 0), (Rgb{255, 255, 0}));
  }
}

TEST(BmpDecoderHighColour, ThirtyTwoBitsPlainAndWithUnusualMasks) {
  BmpLayout plain;
  plain.width = 2;
  plain.height = 1;
  plain.bitCount = 32;
  plain.pixels = {30, 20, 10, 99, 255, 0, 0, 0};
  bmp::Picture picture;
  ASSERT_TRUE(Decode(BuildBmp(plain), &picture));
  EXPECT_TRUE(PixelsMatch(picture, 2, 1, {{10, 20, 30}, kBlue})) << "B, G, R, unused";

  BmpLayout rgbaOrder = plain;
  rgbaOrder.compression = 3;
  rgbaOrder.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};
  ASSERT_TRUE(Decode(BuildBmp(rgbaOrder), &picture));
  EXPECT_TRUE(PixelsMatch(picture, 2, 1, {{30, 20, 10}, kRed})) << "R, G, B, A masks";
}

// ---------------------------------------------------------------------------
// Run-length encoding

std::vector<Rgb> RamPalette() {
  std::vector<Rgb> palette;
  for (int i = 0; i < 16; ++i) palette.push_back(Rgb{uint8_t(10 * i), uint8_t(100 + i), uint8_t(200 - i)});
  return palette;
}

std::vector<Rgb> FromIndexes(const std::vector<int>& indexes) {
  const std::vector<Rgb> palette = RamPalette();
  std::vector<Rgb> pixels;
  for (int index : indexes) pixels.push_back(palette[index]);
  return pixels;
}

BmpLayout RleLayout(int width, int height, int bitCount, std::vector<uint8_t> data) {
  BmpLayout layout;
  layout.width = width;
  layout.height = height;
  layout.bitCount = static_cast<uint16_t>(bitCount);
  layout.compression = bitCount == 8 ? 1 : 2;
  layout.colorsUsed = 16;
  layout.palette = RamPalette();
  layout.pixels = std::move(data);
  return layout;
}

TEST(BmpDecoderRle, Rle8RunsLiteralsEndOfLineAndMove) {
  const BmpLayout layout = RleLayout(4, 3, 8,
                                     {3, 1,                    // bottom row: three 1s
                                      0, 0,                    // next row
                                      0, 3, 2, 3, 4, 0,        // literal 2, 3, 4 and its padding byte
                                      0, 0,                    // top row
                                      0, 2, 2, 0,              // move two to the right
                                      2, 5,                    // two 5s
                                      0, 1});
  bmp::Picture picture;
  ASSERT_TRUE(Decode(BuildBmp(layout), &picture));
  EXPECT_TRUE(PixelsMatch(picture, 4, 3, FromIndexes({0, 0, 5, 5, 2, 3, 4, 0, 1, 1, 1, 0})));
}

TEST(BmpDecoderRle, Rle4AlternatesNibblesInRunsAndLiterals) {
  const BmpLayout layout = RleLayout(5, 2, 4,
                                     {5, 0x12,           // 1 2 1 2 1
                                      0, 0,              //
                                      0, 3, 0x34, 0x50,  // literal 3 4 5, two bytes
                                      2, 0x67,           // 6 7
                                      0, 1});
  bmp::Picture picture;
  ASSERT_TRUE(Decode(BuildBmp(layout), &picture));
  EXPECT_TRUE(PixelsMatch(picture, 5, 2, FromIndexes({3, 4, 5, 6, 7, 1, 2, 1, 2, 1})));
}

TEST(BmpDecoderRle, Rle4OddLiteralIsPaddedToAWord) {
  const BmpLayout layout = RleLayout(6, 1, 4, {0, 5, 0x12, 0x34, 0x50, 0, 1, 0x99, 0, 1});
  bmp::Picture picture;
  ASSERT_TRUE(Decode(BuildBmp(layout), &picture));
  EXPECT_TRUE(PixelsMatch(picture, 6, 1, FromIndexes({1, 2, 3, 4, 5, 9})));
}

TEST(BmpDecoderRle, RunsLeavingTheRowAreClippedNotWrapped) {
  const BmpLayout layout = RleLayout(2, 2, 8, {255, 7, 0, 3, 1, 2, 3, 0, 0, 2, 200, 0, 4, 6, 0, 1});
  bmp::Picture picture;
  ASSERT_TRUE(Decode(BuildBmp(layout), &picture));
  EXPECT_TRUE(PixelsMatch(picture, 2, 2, FromIndexes({0, 0, 7, 7})));
}

TEST(BmpDecoderRle, MovingPastTheTopEndsThePicture) {
  const BmpLayout layout = RleLayout(2, 2, 8, {1, 3, 0, 2, 0, 9, 2, 4, 0, 1});
  bmp::Picture picture;
  ASSERT_TRUE(Decode(BuildBmp(layout), &picture));
  EXPECT_TRUE(PixelsMatch(picture, 2, 2, FromIndexes({0, 0, 3, 0})));
}

TEST(BmpDecoderRle, DataEndingBetweenCommandsIsAcceptedButNotInsideOne) {
  bmp::Picture picture;
  EXPECT_TRUE(Decode(BuildBmp(RleLayout(2, 1, 8, {2, 6})), &picture)) << "no end-of-picture mark";
  EXPECT_TRUE(PixelsMatch(picture, 2, 1, FromIndexes({6, 6})));

  EXPECT_FALSE(Decode(BuildBmp(RleLayout(2, 1, 8, {2, 6, 1})), &picture)) << "run cut after its count";
  EXPECT_FALSE(Decode(BuildBmp(RleLayout(2, 1, 8, {0, 2, 1})), &picture)) << "move cut short";
  EXPECT_FALSE(Decode(BuildBmp(RleLayout(200, 1, 8, {0, 200, 1, 2, 3})), &picture))
      << "literal of 200 with 3 bytes left";
  EXPECT_FALSE(Decode(BuildBmp(RleLayout(200, 1, 4, {0, 9, 0x11, 0x11})), &picture))
      << "RLE4 literal of 9 nibbles with 2 bytes left";
  EXPECT_TRUE(picture.rgb.empty()) << "a refused file leaves no picture behind";
}

TEST(BmpDecoderRle, RefusedWhereWindowsRefusesIt) {
  bmp::Picture picture;
  BmpLayout topDown = RleLayout(2, -1, 8, {2, 1, 0, 1});
  EXPECT_FALSE(Decode(BuildBmp(topDown), &picture)) << "top-down RLE";
  BmpLayout wrongDepth = RleLayout(2, 1, 8, {2, 1, 0, 1});
  wrongDepth.compression = 2;
  EXPECT_FALSE(Decode(BuildBmp(wrongDepth), &picture)) << "RLE4 on an 8-bit picture";
}

// ---------------------------------------------------------------------------
// Malformed files

TEST(BmpDecoderMalformed, NullEmptyAndWrongSignature) {
  bmp::Picture picture;
  EXPECT_FALSE(bmp::Decode(nullptr, 100, &picture));
  EXPECT_FALSE(Decode({}, &picture));
  std::vector<uint8_t> bytes = BuildBmp(TwentyFourBitBottomUp());
  bytes[1] = 'A';
  EXPECT_FALSE(Decode(bytes, &picture));
}

TEST(BmpDecoderMalformed, EveryTruncationOfAnUncompressedFileIsRefused) {
  BmpLayout palette;
  palette.width = 5;
  palette.height = 3;
  palette.bitCount = 8;
  palette.palette = RamPalette();
  palette.colorsUsed = 16;
  palette.pixels.assign(24, 3);
  for (const BmpLayout& layout : {TwentyFourBitBottomUp(), palette}) {
    const std::vector<uint8_t> whole = BuildBmp(layout);
    const size_t lastRowPadding = 3;  // both pictures' rows need three bytes of padding
    for (size_t length = 0; length + lastRowPadding < whole.size(); ++length) {
      const std::vector<uint8_t> cut(whole.begin(), whole.begin() + length);
      bmp::Picture picture;
      EXPECT_FALSE(Decode(cut, &picture)) << layout.bitCount << "-bit file cut to " << length << " of "
                                          << whole.size() << " bytes";
    }
  }
}

TEST(BmpDecoderMalformed, EveryTruncationOfAnRleFileIsSafe) {
  const std::vector<uint8_t> whole =
      BuildBmp(RleLayout(4, 3, 8, {3, 1, 0, 0, 0, 3, 2, 3, 4, 0, 0, 0, 0, 2, 2, 0, 2, 5, 0, 1}));
  const size_t pixelOffset = testbmp::FieldU32(whole, 10);
  for (size_t length = 0; length < whole.size(); ++length) {
    const std::vector<uint8_t> cut(whole.begin(), whole.begin() + length);
    bmp::Picture picture;
    const bool decoded = Decode(cut, &picture);
    if (length <= pixelOffset) {
      EXPECT_FALSE(decoded) << "cut to " << length << " bytes, inside the headers";
    }
    if (decoded) {
      EXPECT_EQ(picture.rgb.size(), 4u * 3 * 3) << "cut to " << length << " bytes";
    }
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
    BmpLayout layout = RleLayout(1, 1, 8, {0, 1});
    layout.width = size.width;
    layout.height = size.height;
    bmp::Picture picture;
    EXPECT_FALSE(Decode(BuildBmp(layout), &picture)) << size.what;
  }
}

TEST(BmpDecoderMalformed, UnsupportedFormatsAndOffsetsOutsideTheFile) {
  bmp::Picture picture;
  BmpLayout twoBit = TwentyFourBitBottomUp();
  twoBit.bitCount = 2;
  EXPECT_FALSE(Decode(BuildBmp(twoBit), &picture)) << "2 bits per pixel";

  BmpLayout jpeg = TwentyFourBitBottomUp();
  jpeg.compression = 4;
  EXPECT_FALSE(Decode(BuildBmp(jpeg), &picture)) << "JPEG inside BMP";

  BmpLayout os2 = TwentyFourBitBottomUp();
  os2.headerSize = 64;
  EXPECT_FALSE(Decode(BuildBmp(os2), &picture)) << "OS/2 2.x header";

  std::vector<uint8_t> bytes = BuildBmp(TwentyFourBitBottomUp());
  bytes[10] = 0xF0;
  bytes[11] = 0xFF;
  EXPECT_FALSE(Decode(bytes, &picture)) << "pixel offset beyond the end";
  bytes[10] = static_cast<uint8_t>(bytes.size() - 20);
  bytes[11] = 0;
  EXPECT_FALSE(Decode(bytes, &picture)) << "pixels would run past the end";

  BmpLayout shortPalette = RleLayout(2, 1, 8, {2, 1, 0, 1});
  shortPalette.colorsUsed = 256;
  EXPECT_FALSE(Decode(BuildBmp(shortPalette), &picture)) << "palette of 256 entries cut at 16 plus 4 bytes";

  BmpLayout missingMasks = TwentyFourBitBottomUp();
  missingMasks.bitCount = 16;
  missingMasks.compression = 3;
  missingMasks.pixels.resize(4);
  std::vector<uint8_t> noMasks = BuildBmp(missingMasks);
  EXPECT_FALSE(Decode(noMasks, &picture)) << "bit fields announced after a 40-byte header, file too short";
}

// Random damage to valid files must never read or write outside the buffers (the
// sanitizer build checks this); decoding may succeed or fail.
TEST(BmpDecoderMalformed, RandomlyDamagedFilesAreHandledSafely) {
  BmpLayout sixteen = TwentyFourBitBottomUp();
  sixteen.bitCount = 16;
  sixteen.compression = 3;
  sixteen.masks = {0xF800, 0x07E0, 0x001F};
  const std::vector<std::vector<uint8_t>> originals = {
      BuildBmp(TwentyFourBitBottomUp()), BuildBmp(sixteen),
      BuildBmp(RleLayout(4, 3, 8, {3, 1, 0, 0, 0, 3, 2, 3, 4, 0, 0, 0, 0, 2, 2, 0, 2, 5, 0, 1})),
      BuildBmp(RleLayout(5, 2, 4, {5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 2, 0x67, 0, 1}))};
  for (unsigned seed = 1; seed <= 3000; ++seed) {
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes = originals[seed % originals.size()];
    const int changes = 1 + random() % 4;
    for (int i = 0; i < changes; ++i) bytes[random() % bytes.size()] = static_cast<uint8_t>(random());
    if (random() % 4 == 0) bytes.resize(random() % bytes.size());
    bmp::Picture picture;
    if (Decode(bytes, &picture)) {
      ASSERT_EQ(picture.rgb.size(), static_cast<size_t>(picture.width) * picture.height * 3) << "seed " << seed;
    } else {
      ASSERT_TRUE(picture.rgb.empty()) << "seed " << seed;
    }
  }
}

// ---------------------------------------------------------------------------
// Files written by ImageMagick

constexpr int kToolWidth = 7;  // odd, so rows need padding at every depth
constexpr int kToolHeight = 5;

// Eight colours whose channels are 0 or 255: exact at every depth.
std::vector<Rgb> PureColourPicture(int colours) {
  const Rgb palette[] = {kBlack, kWhite, kRed, kGreen, kBlue, {255, 255, 0}, {0, 255, 255}, {255, 0, 255}};
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
  int tolerance;  // 16-bit files lose low bits; convert rounds its own way
};

class BmpDecoderFromImageMagick : public testing::TestWithParam<ToolVariant> {};

TEST_P(BmpDecoderFromImageMagick, DecodesToTheSourcePixels) {
  if (!testbmp::ConvertAvailable()) GTEST_SKIP() << "ImageMagick's convert is not installed";
  const ToolVariant& variant = GetParam();
  testbmp::TempFolder folder;
  ASSERT_TRUE(folder.ok());
  const std::string source = folder.File("source.ppm"), output = folder.File("out.bmp");
  ASSERT_TRUE(testbmp::WritePpm(source, kToolWidth, kToolHeight, variant.source));
  ASSERT_TRUE(testbmp::RunConvert(source + " " + variant.options + output)) << variant.options;

  // The variant must really be the one meant, or the test proves nothing.
  const std::vector<uint8_t> bytes = testbmp::ReadFileBytes(output);
  const uint32_t headerSize = testbmp::FieldU32(bytes, 14);
  ASSERT_EQ(headerSize, variant.headerSize) << "header size written by convert " << variant.options;
  const size_t bitCountOffset = headerSize == 12 ? 24 : 28;
  ASSERT_EQ(testbmp::FieldU16(bytes, bitCountOffset), variant.bitCount) << "bits per pixel";
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
