#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

#include "bmp_helpers.h"
#include "display_helpers.h"
#include "platform/zq.h"
#include "platform/zq_pixel_format.h"

namespace {

using testbmp::BmpLayout;
using testbmp::Rgb;

class LoadBitmap : public testzq::LibraryTest {
 protected:
  void SetUp() override {
    testzq::LibraryTest::SetUp();
    ASSERT_TRUE(folder_.ok());
    ASSERT_TRUE(StartDisplay(false));
  }

  LPDIRECTDRAWSURFACE Load(const std::string& path) {
    std::vector<char> writable(path.begin(), path.end());
    writable.push_back('\0');
    return ZQLoadBitmap(writable.data(), 16);
  }

  testbmp::TempFolder folder_;
};

// A 24-bit picture, one pixel per colour, odd width so rows are padded.
BmpLayout OneRowOf(const std::vector<Rgb>& colours) {
  BmpLayout layout;
  layout.width = static_cast<int32_t>(colours.size());
  layout.height = 1;
  for (const Rgb& colour : colours) layout.pixels.insert(layout.pixels.end(), {colour.b, colour.g, colour.r});
  while (layout.pixels.size() % 4 != 0) layout.pixels.push_back(0);
  return layout;
}

// The display is 5-6-5 here; colours are cut, never rounded.
TEST_F(LoadBitmap, ColoursAreCutToTheDisplayFormatSoPureBlueIsTheKey31) {
  const std::vector<Rgb> colours = {{0, 0, 255}, {255, 255, 255}, {255, 0, 0}, {0, 255, 0},
                                    {200, 100, 50}, {7, 3, 7}, {8, 4, 8}};
  const uint16_t expected[] = {31, 0xFFFF, 0xF800, 0x07E0, (25 << 11) | (25 << 5) | 6, 0, (1 << 11) | (1 << 5) | 1};
  const std::string path = folder_.File("row.bmp");
  ASSERT_TRUE(testbmp::WriteFileBytes(path, testbmp::BuildBmp(OneRowOf(colours))));

  LPDIRECTDRAWSURFACE surface = Load(path);
  ASSERT_NE(surface, nullptr);
  int width = 0, height = 0;
  ASSERT_TRUE(testzq::SurfaceSize(surface, &width, &height));
  EXPECT_EQ(width, 7);
  EXPECT_EQ(height, 1);
  for (int x = 0; x < 7; ++x)
    EXPECT_EQ(testzq::PixelAt(surface, x, 0), expected[x]) << "colour " << colours[x] << " at x = " << x;
  EXPECT_EQ(surface->Release(), 0u) << "the caller holds the only reference";
}

// Rows land pitch bytes apart, which on the host is wider than the row.
TEST_F(LoadBitmap, EveryRowLandsInItsPlaceWhateverThePitch) {
  BmpLayout layout;
  layout.width = 13;
  layout.height = -9;
  for (int y = 0; y < 9; ++y) {
    for (int x = 0; x < 13; ++x) layout.pixels.insert(layout.pixels.end(), {0, uint8_t(y * 4), uint8_t(x * 8)});  // B, G, R
    while (layout.pixels.size() % 4 != 0) layout.pixels.push_back(0);
  }
  const std::string path = folder_.File("gradient.bmp");
  ASSERT_TRUE(testbmp::WriteFileBytes(path, testbmp::BuildBmp(layout)));

  LPDIRECTDRAWSURFACE surface = Load(path);
  ASSERT_NE(surface, nullptr);
  const std::vector<uint16_t> pixels = testzq::AllPixels(surface);
  ASSERT_EQ(pixels.size(), 13u * 9);
  int wrong = 0;
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 13; ++x)
      if (pixels[y * 13 + x] != ((x << 11) | (y << 5)) && ++wrong <= 5)
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << pixels[y * 13 + x] << ", expected "
                      << ((x << 11) | (y << 5));
  surface->Release();
}

TEST_F(LoadBitmap, PictureMadeByImageMagickKeepsPureBlueAsTheKey) {
  if (!testbmp::ConvertAvailable()) GTEST_SKIP() << "ImageMagick's convert is not installed";
  const std::string path = folder_.File("blue.bmp");
  ASSERT_TRUE(testbmp::RunConvert("-size 9x4 xc:blue -fill white -draw 'point 2,1' " + path));

  LPDIRECTDRAWSURFACE surface = Load(path);
  ASSERT_NE(surface, nullptr);
  const std::vector<uint16_t> pixels = testzq::AllPixels(surface);
  ASSERT_EQ(pixels.size(), 9u * 4);
  for (size_t i = 0; i < pixels.size(); ++i) {
    const uint16_t expected = i == 1 * 9 + 2 ? 0xFFFF : 31;
    EXPECT_EQ(pixels[i], expected) << "pixel (" << i % 9 << ", " << i / 9 << ")";
  }
  surface->Release();
}

TEST_F(LoadBitmap, WindowsStylePathRelativeToTheCurrentFolder) {
  ASSERT_EQ(mkdir(folder_.File("title").c_str(), 0700), 0);
  ASSERT_TRUE(testbmp::WriteFileBytes(folder_.File("title/HowToPlay.bmp"), testbmp::BuildBmp(OneRowOf({{0, 0, 255}}))));
  char previous[4096];
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(chdir(folder_.File("").c_str()), 0);
  LPDIRECTDRAWSURFACE surface = Load("title\\HowToPlay.bmp");
  ASSERT_EQ(chdir(previous), 0);
  ASSERT_NE(surface, nullptr);
  EXPECT_EQ(testzq::PixelAt(surface, 0, 0), 31);
  surface->Release();
}

TEST_F(LoadBitmap, MissingOrMalformedFilesGiveNull) {
  EXPECT_EQ(Load(folder_.File("missing.bmp")), nullptr);
  EXPECT_EQ(ZQLoadBitmap(nullptr, 16), nullptr);

  std::vector<uint8_t> cut = testbmp::BuildBmp(OneRowOf({{1, 2, 3}, {4, 5, 6}}));
  cut.resize(cut.size() - 5);
  ASSERT_TRUE(testbmp::WriteFileBytes(folder_.File("cut.bmp"), cut));
  EXPECT_EQ(Load(folder_.File("cut.bmp")), nullptr);

  ASSERT_TRUE(testbmp::WriteFileBytes(folder_.File("text.bmp"), {'h', 'e', 'l', 'l', 'o'}));
  EXPECT_EQ(Load(folder_.File("text.bmp")), nullptr);
}

TEST_F(LoadBitmap, NothingLoadsWithoutADisplay) {
  const std::string path = folder_.File("one.bmp");
  ASSERT_TRUE(testbmp::WriteFileBytes(path, testbmp::BuildBmp(OneRowOf({{0, 0, 255}}))));
  ZQFreeDirectX();
  EXPECT_EQ(Load(path), nullptr);
}

// ---------------------------------------------------------------------------
// Pixel formats (also the 5-5-5 display, which the host never has)

DDPIXELFORMAT Format(DWORD bits, DWORD red, DWORD green, DWORD blue, DWORD alpha = 0) {
  DDPIXELFORMAT format = {};
  format.dwSize = sizeof format;
  format.dwFlags = DDPF_RGB;
  format.dwRGBBitCount = bits;
  format.dwRBitMask = red;
  format.dwGBitMask = green;
  format.dwBBitMask = blue;
  format.dwRGBAlphaBitMask = alpha;
  return format;
}

TEST(PixelFormat, ChannelBitCounts) {
  struct Case {
    DDPIXELFORMAT format;
    int red, green, blue, alpha;
  };
  for (const Case& c : {Case{Format(16, 0xF800, 0x07E0, 0x001F), 5, 6, 5, 0},
                        Case{Format(16, 0x7C00, 0x03E0, 0x001F), 5, 5, 5, 0},
                        Case{Format(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000), 8, 8, 8, 8}}) {
    DDPIXELFORMAT format = c.format;
    int red = -1, green = -1, blue = -1, alpha = -1;
    ZQGetRGBABits(&format, &red, &green, &blue, &alpha);
    EXPECT_EQ(red, c.red) << "red mask " << std::hex << format.dwRBitMask;
    EXPECT_EQ(green, c.green) << "green mask " << std::hex << format.dwGBitMask;
    EXPECT_EQ(blue, c.blue) << "blue mask " << std::hex << format.dwBBitMask;
    EXPECT_EQ(alpha, c.alpha) << "alpha mask " << std::hex << format.dwRGBAlphaBitMask;
  }
  int red = -1;
  ZQGetRGBABits(nullptr, &red, nullptr, nullptr, nullptr);
  EXPECT_EQ(red, 0) << "no format";
}

bmp::Picture PictureOf(const std::vector<Rgb>& colours) {
  bmp::Picture picture;
  picture.width = static_cast<int32_t>(colours.size());
  picture.height = 1;
  for (const Rgb& c : colours) picture.rgb.insert(picture.rgb.end(), {c.r, c.g, c.b});
  return picture;
}

TEST(PixelFormat, ConversionTo555And32BitsCutsEachChannel) {
  const bmp::Picture picture = PictureOf({{0, 0, 255}, {255, 255, 255}, {200, 100, 50}});
  uint16_t narrow[4] = {0xAAAA, 0xAAAA, 0xAAAA, 0xAAAA};
  ASSERT_TRUE(ConvertPicture(picture, Format(16, 0x7C00, 0x03E0, 0x001F), narrow, sizeof narrow));
  EXPECT_EQ(narrow[0], 31);
  EXPECT_EQ(narrow[1], 0x7FFF);
  EXPECT_EQ(narrow[2], (25 << 10) | (12 << 5) | 6);
  EXPECT_EQ(narrow[3], 0xAAAA) << "nothing written past the picture";

  uint32_t wide[3] = {};
  ASSERT_TRUE(ConvertPicture(picture, Format(32, 0xFF0000, 0xFF00, 0xFF), wide, sizeof wide));
  EXPECT_EQ(wide[0], 0xFFu);
  EXPECT_EQ(wide[2], 0xC86432u);

  uint8_t palettized[3] = {};
  EXPECT_FALSE(ConvertPicture(picture, Format(8, 0, 0, 0), palettized, sizeof palettized));
}

}  // namespace
