// Sprites on a real display: frames from surfaces, strips and grids; what each draw paints and files.
#include <gtest/gtest.h>

#include "composer_helpers.h"
#include "screens/scene_composer.h"
#include "screens/sprite.h"
#include "support/bmp_file.h"
#include "support/display.h"
#include "support/scratch_folder.h"

namespace {

using namespace testing_support;
using composer_test::PendingRequests;

class SpriteTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    ASSERT_TRUE(StartDisplay(false));
    target_ = MakeSurface(100, 80, kBlack);
    ASSERT_NE(target_, nullptr);
  }
  // "frame count: width x height rangeStart..rangeEnd"
  static std::string Shape(const Sprite& s) {
    return std::to_string(s.FrameCount()) + ": " + std::to_string(s.width) + "x" + std::to_string(s.height) + " " +
           std::to_string(s.rangeStart) + ".." + std::to_string(s.rangeEnd);
  }
  LPDIRECTDRAWSURFACE target_ = nullptr;
  ScratchFolder folder_;
};

// Pure blue is transparent and the latest frame gives the size; a null or missing frame is not added, and a
// missing file is reported by name. A deleted sprite gives back its frames.
TEST_F(SpriteTest, AddFrameKeysOnBlueTakesTheLatestSizeAndReleasesItsFrames) {
  auto* sprite = new Sprite;
  LPDIRECTDRAWSURFACE first = CreateKeyedSurface(12, 8, kRed);
  PaintRect(first, 0, 0, 1, 1, kBlue);
  first->AddRef();
  sprite->AddFrame(first);
  sprite->AddFrame(nullptr);
  sprite->Draw(target_);
  sprite->AddFrame(CreateKeyedSurface(6, 4, kGreen));
  testing::internal::CaptureStderr();
  sprite->AddFrameFromFile(folder_.File("missing.bmp").c_str());
  const std::string shown = testing::internal::GetCapturedStderr();
  EXPECT_NE(shown.find("ERROR: can't find file!: " + folder_.File("missing.bmp")), std::string::npos) << shown;
  EXPECT_EQ(Shape(*sprite) + ", " + std::to_string(CountPixels(target_, kRed)), "2: 6x4 0..2, 95");
  delete sprite;
  EXPECT_EQ(first->Release(), 0u);
}

// Frame k of a strip or grid coloured (25k, 100, 50).
Rgb FrameColour(int frame) { return Rgb{static_cast<uint8_t>(frame * 25), 100, 50}; }

// A strip keeps its whole size (on purpose) but draws one frame; a grid goes row by row and leaves the rest
// out; bad counts and missing files change nothing.
TEST_F(SpriteTest, StripsAndGridsAreCutIntoFramesBadInputChangesNothing) {
  const std::string wide = folder_.File("wide.bmp"), grid = folder_.File("grid.bmp");
  ASSERT_TRUE(WriteBmp24(wide, 100, 20, [](int x, int) { return FrameColour(x / 10); }));
  ASSERT_TRUE(WriteBmp24(grid, 35, 24, [](int x, int y) { return FrameColour(y / 10 * 3 + x / 10); }));
  Sprite strip, cut, untouched;
  strip.LoadStrip(wide.c_str(), 10, 0);
  strip.SetFrameIndex(3);
  strip.Draw(target_);
  EXPECT_EQ(Shape(strip) + " / " + PendingRequests(sceneComposer), "10: 100x20 0..10 / 0,0 100x20 1001");
  EXPECT_EQ(CountPixels(target_, Pixel565(FrameColour(3))), 200) << "one frame drawn";
  EXPECT_EQ(cut.LoadGrid(grid.c_str(), 10, 10), 6) << "3 columns, 2 rows";
  EXPECT_EQ(RegionMismatch(cut.FrameSurface(4), 0, 0, 10, 10, Pixel565(FrameColour(4))), "") << "row by row";
  untouched.LoadStrip(folder_.File("missing.bmp").c_str(), 4, 0);
  untouched.LoadStrip(wide.c_str(), 0, 0);
  EXPECT_EQ(Shape(untouched), "0: 0x0 -1..-1");
}

// Positions are truncated toward zero; Draw files the sprite's rectangle, DrawRegion the region's wherever
// the sprite is; without such a frame nothing is drawn or filed; over the edges only the part inside shows.
TEST_F(SpriteTest, DrawAndDrawRegionFileTheirRectangleAndPaintOnlyAnExistingFrame) {
  const struct {
    float x, y;
    int frame;
    bool region;  // DrawRegion of the frame's 8 x 3 part at (5, 1) onto (30, 40), instead of Draw
    const char* filed;
    int painted;
  } cases[] = {
      {5.99f, 7.2f, 0, false, "5,7 21x5 1001", 105},   {-0.5f, -0.9f, 0, false, "0,0 21x5 1001", 105},
      {10.0f, 20.0f, 1, false, "", 0},                 {60.0f, 60.0f, 0, true, "30,40 8x3 1001", 24},
      {60.0f, 60.0f, -1, true, "", 0},                {-3.0f, 75.0f, 0, false, "-3,75 21x5 1001", 18 * 5},
  };
  Sprite sprite;
  LPDIRECTDRAWSURFACE frame = CreateKeyedSurface(21, 5, kBlack);
  PaintCoordinates(frame);
  sprite.AddFrame(frame);
  for (const auto& c : cases) {
    sceneComposer.SetBackground(nullptr);  // drops what earlier draws filed
    Fill(target_, kBlack);
    sprite.x = c.x;
    sprite.y = c.y;
    sprite.SetFrameIndex(c.frame);
    if (c.region) sprite.DrawRegion(5, 1, 8, 3, target_, 30, 40);
    else sprite.Draw(target_);
    EXPECT_EQ(PendingRequests(sceneComposer) + " / " + std::to_string(100 * 80 - CountPixels(target_, kBlack)),
              c.filed + std::string(" / ") + std::to_string(c.painted))
        << "at (" << c.x << ", " << c.y << ") frame " << c.frame << ": filed / pixels painted";
  }
}

}  // namespace
