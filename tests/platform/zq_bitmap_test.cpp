#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

#include "bmp_helpers.h"
#include "platform/zq.h"
#include "platform/zq_pixel_format.h"
#include "support/bmp_file.h"
#include "support/display.h"
#include "support/scratch_folder.h"

namespace {

using namespace testing_support;
using testbmp::BmpLayout;

class LoadBitmap : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    ASSERT_TRUE(folder_.ok());
    ASSERT_TRUE(StartDisplay(false));
  }

  LPDIRECTDRAWSURFACE Load(const std::string& path) {
    std::vector<char> writable(path.begin(), path.end());
    writable.push_back('\0');
    return ZQLoadBitmap(writable.data(), 16);
  }

  std::string Write(const std::string& name, const BmpLayout& layout) {
    EXPECT_TRUE(WriteFileBytes(folder_.File(name), testbmp::BuildBmp(layout)));
    return folder_.File(name);
  }

  ScratchFolder folder_;
};

// A 24-bit picture of width x height pixels, colour(x, y) each, top row first.
template <typename Colour>
BmpLayout Picture24(int width, int height, Colour colour) {
  BmpLayout layout;
  layout.width = width;
  layout.height = -height;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Rgb c = colour(x, y);
      layout.pixels.insert(layout.pixels.end(), {c.b, c.g, c.r});
    }
    while (layout.pixels.size() % 4 != 0) layout.pixels.push_back(0);
  }
  return layout;
}

// The host's display is 5-6-5. Colours are cut, never rounded: (7, 3, 7) is
// black, and pure blue is 31, the game's transparent key.
TEST_F(LoadBitmap, ColoursAreCutToTheDisplayFormat) {
  const std::vector<Rgb> colours = {{0, 0, 255}, {255, 255, 255}, {200, 100, 50}, {7, 3, 7}, {8, 4, 8}};
  const uint16_t expected[] = {31, 0xFFFF, (25 << 11) | (25 << 5) | 6, 0, (1 << 11) | (1 << 5) | 1};
  LPDIRECTDRAWSURFACE surface = Load(Write("row.bmp", Picture24(5, 1, [&](int x, int) { return colours[x]; })));
  ASSERT_NE(surface, nullptr);
  for (int x = 0; x < 5; ++x)
    EXPECT_EQ(PixelAt(surface, x, 0), expected[x]) << "colour " << colours[x];
  EXPECT_EQ(surface->Release(), 0u) << "the caller holds the only reference";
}

// Rows land pitch bytes apart, which on the host is wider than the row.
TEST_F(LoadBitmap, EveryPixelLandsInItsPlaceWhateverThePitch) {
  auto colour = [](int x, int y) { return Rgb{uint8_t(x * 8), uint8_t(y * 4), 0}; };
  LPDIRECTDRAWSURFACE surface = Load(Write("gradient.bmp", Picture24(13, 9, colour)));
  ASSERT_NE(surface, nullptr);
  const std::vector<uint16_t> pixels = AllPixels(surface);
  ASSERT_EQ(pixels.size(), 13u * 9) << "surface size";
  int wrong = 0;
  for (int i = 0; i < 13 * 9; ++i) {
    const int expected = ((i % 13) << 11) | ((i / 13) << 5);
    if (pixels[i] != expected && ++wrong <= 5)
      ADD_FAILURE() << "pixel (" << i % 13 << ", " << i / 13 << ") is " << pixels[i] << ", expected " << expected;
  }
  surface->Release();
}

TEST_F(LoadBitmap, PureBlueFromImageMagickIsTheKey) {
  if (!testbmp::ConvertAvailable()) GTEST_SKIP() << "ImageMagick's convert is not installed";
  const std::string path = folder_.File("blue.bmp");
  ASSERT_TRUE(testbmp::RunConvert("-size 9x4 xc:blue -fill white -draw 'point 2,1' " + path));
  LPDIRECTDRAWSURFACE surface = Load(path);
  ASSERT_NE(surface, nullptr);
  const std::vector<uint16_t> pixels = AllPixels(surface);
  ASSERT_EQ(pixels.size(), 9u * 4);
  for (size_t i = 0; i < pixels.size(); ++i)
    EXPECT_EQ(pixels[i], i == 1 * 9 + 2 ? 0xFFFF : 31) << "pixel (" << i % 9 << ", " << i / 9 << ")";
  surface->Release();
}

// The game names its pictures the Windows way, relative to its folder.
TEST_F(LoadBitmap, WindowsStylePathRelativeToTheCurrentFolder) {
  ASSERT_EQ(mkdir(folder_.File("title").c_str(), 0700), 0);
  Write("title/HowToPlay.bmp", Picture24(1, 1, [](int, int) { return Rgb{0, 0, 255}; }));
  char previous[4096];
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(chdir(folder_.File("").c_str()), 0);
  LPDIRECTDRAWSURFACE surface = Load("title\\HowToPlay.bmp");
  ASSERT_EQ(chdir(previous), 0);
  ASSERT_NE(surface, nullptr);
  surface->Release();
}

TEST_F(LoadBitmap, MissingOrMalformedFilesOrNoDisplayGiveNull) {
  EXPECT_EQ(Load(folder_.File("missing.bmp")), nullptr);
  ASSERT_TRUE(WriteFileBytes(folder_.File("text.bmp"), {'B', 'M', 'l', 'o'}));
  EXPECT_EQ(Load(folder_.File("text.bmp")), nullptr);
  const std::string good = Write("good.bmp", Picture24(2, 2, [](int, int) { return Rgb{1, 2, 3}; }));
  ZQFreeDirectX();
  EXPECT_EQ(Load(good), nullptr) << "no display";
}

// A 5-5-5 display exists on real Windows but never on the host: convert directly.
TEST(PixelFormat, ConversionTo555And32BitsCutsEachChannel) {
  bmp::Picture picture;
  picture.width = 3;
  picture.height = 1;
  picture.rgb = {0, 0, 255, 255, 255, 255, 200, 100, 50};
  DDPIXELFORMAT format = {};
  format.dwSize = sizeof format;
  format.dwFlags = DDPF_RGB;
  format.dwRGBBitCount = 16;
  format.dwRBitMask = 0x7C00;
  format.dwGBitMask = 0x03E0;
  format.dwBBitMask = 0x001F;
  int red = 0, green = 0, blue = 0, alpha = -1;
  ZQGetRGBABits(&format, &red, &green, &blue, &alpha);
  EXPECT_EQ(red * 1000 + green * 100 + blue * 10 + alpha, 5550) << "bits of red, green, blue, alpha";

  uint16_t narrow[4] = {0xAAAA, 0xAAAA, 0xAAAA, 0xAAAA};
  ASSERT_TRUE(ConvertPicture(picture, format, narrow, sizeof narrow));
  EXPECT_EQ(narrow[0], 31);
  EXPECT_EQ(narrow[1], 0x7FFF);
  EXPECT_EQ(narrow[2], (25 << 10) | (12 << 5) | 6);
  EXPECT_EQ(narrow[3], 0xAAAA) << "nothing written past the picture";

  format.dwRGBBitCount = 32;
  format.dwRBitMask = 0xFF0000;
  format.dwGBitMask = 0xFF00;
  format.dwBBitMask = 0xFF;
  uint32_t wide[3] = {};
  ASSERT_TRUE(ConvertPicture(picture, format, wide, sizeof wide));
  EXPECT_EQ(wide[2], 0xC86432u);
}

}  // namespace
