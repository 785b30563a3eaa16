// ZQLoadBitmap on the host's 5-6-5 display, and the conversion to the 5-5-5 and 32-bit layouts it never has.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/zq.h"
#include "platform/zq_pixel_format.h"
#include "support/bmp_file.h"
#include "support/display.h"
#include "support/scratch_folder.h"

namespace {

using namespace testing_support;

class LoadBitmap : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    ASSERT_TRUE(folder_.ok());
    ASSERT_TRUE(StartDisplay(false));
  }
  static LPDIRECTDRAWSURFACE Load(std::string path) { return ZQLoadBitmap(path.data(), 16); }

  ScratchFolder folder_{ScratchFolder::kMakeWorkingDirectory};
};

// Colours are cut, never rounded: (7, 3, 7) is black and pure blue is 31, the game's transparent key. Below
// the first row every pixel differs, and an odd width makes the pitch wider than a row.
TEST_F(LoadBitmap, ColoursAreCutAndEveryPixelLandsInItsPlace) {
  const Rgb colours[] = {{0, 0, 255}, {255, 255, 255}, {200, 100, 50}, {7, 3, 7}, {8, 4, 8}};
  const uint16_t cut[] = {31, 0xFFFF, (25 << 11) | (25 << 5) | 6, 0, (1 << 11) | (1 << 5) | 1};
  ASSERT_TRUE(WriteBmp24("picture.bmp", 13, 9, [&](int x, int y) {
    return y == 0 && x < 5 ? colours[x] : Rgb{uint8_t(x * 8 + 7), uint8_t(y * 4 + 3), 0};
  }));
  LPDIRECTDRAWSURFACE surface = Load("picture.bmp");
  ASSERT_NE(surface, nullptr);
  std::vector<uint16_t> expected;
  for (int i = 0, x = 0, y = 0; i < 13 * 9; ++i, x = i % 13, y = i / 13)
    expected.push_back(y == 0 && x < 5 ? cut[x] : (x << 11) | (y << 5));
  EXPECT_EQ(AllPixels(surface), expected);
  EXPECT_EQ(surface->Release(), 0u) << "the caller holds the only reference";
}

TEST_F(LoadBitmap, WindowsNamesLoadAndMissingOrMalformedFilesOrNoDisplayGiveNull) {
  ASSERT_EQ(mkdir("title", 0700), 0);
  ASSERT_TRUE(WriteBmp24("title/HowToPlay.bmp", 1, 1, [](int, int) { return kBmpBlue; }));
  LPDIRECTDRAWSURFACE surface = Load("title\\HowToPlay.bmp");
  ASSERT_NE(surface, nullptr) << "the game names its pictures the Windows way, relative to its folder";
  surface->Release();
  EXPECT_EQ(Load("missing.bmp"), nullptr);
  ASSERT_TRUE(WriteFileBytes("text.bmp", {'B', 'M', 'l', 'o'}));
  EXPECT_EQ(Load("text.bmp"), nullptr);
  ZQFreeDirectX();
  EXPECT_EQ(Load("title\\HowToPlay.bmp"), nullptr) << "no display";
}

TEST(PixelFormat, ConversionTo555And32BitsCutsEachChannel) {
  bmp::Picture picture{3, 1, {0, 0, 255, 255, 255, 255, 200, 100, 50}};
  DDPIXELFORMAT format{sizeof(DDPIXELFORMAT), DDPF_RGB, 0, {16}, {0x7C00}, {0x03E0}, {0x001F}, {0}};
  int red = 0, green = 0, blue = 0, alpha = -1;
  ZQGetRGBABits(&format, &red, &green, &blue, &alpha);
  EXPECT_EQ((std::vector<int>{red, green, blue, alpha}), (std::vector<int>{5, 5, 5, 0}));
  uint16_t narrow[4] = {0xAAAA, 0xAAAA, 0xAAAA, 0xAAAA};
  ASSERT_TRUE(ConvertPicture(picture, format, narrow, sizeof narrow));
  EXPECT_EQ(std::vector<uint16_t>(narrow, narrow + 4),
            (std::vector<uint16_t>{31, 0x7FFF, 25 << 10 | 12 << 5 | 6, 0xAAAA}))
      << "cut channels, and nothing written past the picture";
  format = DDPIXELFORMAT{sizeof(DDPIXELFORMAT), DDPF_RGB, 0, {32}, {0xFF0000}, {0xFF00}, {0xFF}, {0}};
  uint32_t wide[3] = {};
  ASSERT_TRUE(ConvertPicture(picture, format, wide, sizeof wide));
  EXPECT_EQ(wide[2], 0xC86432u);
}

}  // namespace
