// The pictures: sizes and frame layouts the game cuts them into, the colour
// key rules of a 16-bit display, and the solved pictures themselves.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>

#include "game/level_layouts.h"
#include "generated_assets.hpp"

namespace gg::test {
namespace {

struct Expected {
  std::string name;
  int width, height;
};

// Where the size is fixed by the screen layout or by how the game cuts the file.
std::vector<Expected> fixedSizes() {
  std::vector<Expected> e = {
      {"background.bmp", 800, 600},    {"newgame.bmp", 264, 57},         {"helpbutton.bmp", 264, 57},
      {"backbutton.bmp", 264, 57},     {"exitbutton.bmp", 264, 57},      {"RoundCompleteFont.bmp", 320, 40},
      {"tryagain.bmp", 196, 152},      {"roundcomplete.bmp", 308, 340},  {"congrats.bmp", 384, 376},
      {"hallfamepop.bmp", 136, 226},   {"SelectState.bmp", 80, 80},      {"arrows.bmp", 320, 80},
  };
  for (int n = 1; n <= 13; ++n) {
    e.push_back({"level" + std::to_string(n) + "small.bmp", 152, 152});
    e.push_back({"levelname" + std::to_string(n) + ".bmp", 189, 78});
  }
  return e;
}

std::vector<std::string> allBitmaps() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(generatedOnce().game))
    if (entry.path().extension() == ".bmp")
      names.push_back(std::filesystem::relative(entry.path(), generatedOnce().game).string());
  return names;
}

Bitmap load(const std::string& name) { return readBmp(generatedOnce().game / name); }

TEST(AssetPictures, EveryFileHasTheSizeTheScreenLayoutNeeds) {
  for (const Expected& e : fixedSizes()) {
    const Bitmap b = load(e.name);
    EXPECT_EQ(b.width, e.width) << e.name;
    EXPECT_EQ(b.height, e.height) << e.name;
  }
  EXPECT_TRUE(std::filesystem::exists(generatedOnce().game / "title" / "HowToPlay.bmp"));
  EXPECT_EQ(allBitmaps().size(), fixedSizes().size() + 9);  // and no stray files
}

TEST(AssetPictures, FilesAreCutIntoTheFramesTheGameExpects) {
  const Bitmap tiles = load("tileset.bmp");
  EXPECT_EQ(tiles.width % 86, 0);
  EXPECT_EQ(tiles.height % 97, 0);
  EXPECT_GE((tiles.width / 86) * (tiles.height / 97), 121);

  const Bitmap anim = load("gameoveranim.bmp");
  EXPECT_EQ(anim.width % 296, 0);
  EXPECT_EQ(anim.height % 43, 0);
  EXPECT_GE((anim.width / 296) * (anim.height / 43), 35);

  // Digits are cut by width / 10 and drawn on a 20-pixel pitch at most.
  const Bitmap digits = load("Score&LevelFont.bmp");
  EXPECT_EQ(digits.width % 10, 0);
  EXPECT_LE(digits.width / 10, 20);
  EXPECT_LE(digits.height, 32);
}

TEST(AssetPictures, LevelButtonsLeaveRoomForTheLevelNumber) {
  // The number is restored over y 377..422 and drawn from y = 390.
  const Bitmap up = load("uparrow.bmp"), down = load("downarrow.bmp");
  for (const Bitmap* b : {&up, &down}) {
    EXPECT_EQ(b->width % 3, 0);
    EXPECT_LE(b->width / 3, 80);  // between x = 641 and the timer column at 722
  }
  EXPECT_LE(333 + up.height, 377);
  EXPECT_LE(461 + down.height, 600);
  const Bitmap digits = load("Score&LevelFont.bmp");
  EXPECT_LE(390 + digits.height, 461);
}

TEST(AssetPictures, TimerPiecesStayInsideTheTimerColumn) {
  const Bitmap start = load("TimerStart.bmp"), drop = load("TimeDrop.bmp"), unit = load("TimeUnit.bmp");
  EXPECT_LE(722 + start.width, 766);
  EXPECT_LE(269 + start.height, 310);
  EXPECT_LE(729 + drop.width, 766);
  EXPECT_LE(734 + unit.width, 766);
  EXPECT_LE(unit.height, 2) << "units stack 2 pixels apart";
  // The last drop (104 seconds used) must stay inside the restored strip below.
  EXPECT_LE(306 + 2 * 104 + drop.height, 510 + 54);
}

TEST(AssetPictures, NoOpaquePixelTurnsIntoTheKeyOnA16BitDisplay) {
  for (const std::string& name : allBitmaps()) {
    const Bitmap b = load(name);
    int bad = 0;
    for (const Pixel& p : b.pixels)
      if (!p.isKey() && p.as565() == 31) ++bad;
    EXPECT_EQ(bad, 0) << name << " has pixels that would vanish as transparent";
  }
}

TEST(AssetPictures, ShapesMeetTheKeyWithoutBlueFringes) {
  for (const std::string& name : allBitmaps()) {
    const Bitmap b = load(name);
    int fringe = 0;
    for (int y = 0; y < b.height; ++y) {
      for (int x = 0; x < b.width; ++x) {
        const Pixel& p = b.at(x, y);
        if (p.isKey()) continue;
        const bool besideKey = (x > 0 && b.at(x - 1, y).isKey()) || (x + 1 < b.width && b.at(x + 1, y).isKey()) ||
                               (y > 0 && b.at(x, y - 1).isKey()) || (y + 1 < b.height && b.at(x, y + 1).isKey());
        // A pixel blended with pure blue is strongly blue and little else.
        if (besideKey && p.b > 150 && p.b > p.r + 90 && p.b > p.g + 90) ++fringe;
      }
    }
    EXPECT_EQ(fringe, 0) << name;
  }
}

TEST(AssetPictures, PicturesDrawnWholeHaveNoTransparentHoles) {
  std::vector<std::string> opaque = {"background.bmp"};
  for (int n = 1; n <= 13; ++n) opaque.push_back("level" + std::to_string(n) + "small.bmp");
  for (const std::string& name : opaque) {
    const Bitmap b = load(name);
    for (const Pixel& p : b.pixels) ASSERT_FALSE(p.isKey()) << name;
  }
}

struct Colour {
  double r = 0, g = 0, b = 0;
};

Colour faceAverage(const Bitmap& tiles, int tile, int x0, int y0, int w, int h) {
  const int columns = tiles.width / 86;
  const int fx = ((tile - 1) % columns) * 86, fy = ((tile - 1) / columns) * 97;
  Colour c;
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x) {
      const Pixel& p = tiles.at(fx + x, fy + y);
      c.r += p.r, c.g += p.g, c.b += p.b;
    }
  const double n = static_cast<double>(w) * h;
  return {c.r / n, c.g / n, c.b / n};
}

TEST(AssetTiles, EachTileIsAnOpaqueFaceWithItsThicknessBesideTheKey) {
  const Bitmap tiles = load("tileset.bmp");
  const int columns = tiles.width / 86;
  for (int tile = 1; tile <= 121; ++tile) {
    const int fx = ((tile - 1) % columns) * 86, fy = ((tile - 1) / columns) * 97;
    int holes = 0;
    for (int y = 0; y < 80; ++y)
      for (int x = 0; x < 80; ++x) holes += tiles.at(fx + x, fy + y).isKey();
    EXPECT_EQ(holes, 0) << "tile " << tile << " face";
    // Beyond the block's slanted sides the frame is transparent.
    EXPECT_TRUE(tiles.at(fx + 85, fy + 0).isKey()) << "tile " << tile;
    EXPECT_TRUE(tiles.at(fx + 0, fy + 96).isKey()) << "tile " << tile;
    // ...and the sides themselves are there.
    EXPECT_FALSE(tiles.at(fx + 83, fy + 40).isKey()) << "tile " << tile;
    EXPECT_FALSE(tiles.at(fx + 40, fy + 88).isKey()) << "tile " << tile;
  }
}

TEST(AssetTiles, ThePlainTilesAreEvenAndEasyToTellApart) {
  const Bitmap tiles = load("tileset.bmp");
  const Colour dark = faceAverage(tiles, 1, 10, 10, 60, 60), sky = faceAverage(tiles, 2, 10, 10, 60, 60);
  const double distance = std::abs(dark.r - sky.r) + std::abs(dark.g - sky.g) + std::abs(dark.b - sky.b);
  EXPECT_GT(distance, 90);
  for (int tile : {1, 2}) {
    const Colour centre = faceAverage(tiles, tile, 30, 30, 20, 20);
    const Colour corner = faceAverage(tiles, tile, 4, 4, 20, 20);
    EXPECT_LT(std::abs(centre.b - corner.b) + std::abs(centre.g - corner.g), 4) << "tile " << tile;
  }
}

TEST(AssetTiles, ThumbnailsShowTheSolvedBoards) {
  const Bitmap tiles = load("tileset.bmp");
  for (int level = 1; level <= 13; ++level) {
    const Bitmap thumb = load("level" + std::to_string(level) + "small.bmp");
    // Compare 5 x 5 averages: each cell of the board against its part of the thumbnail.
    double total = 0;
    for (int cell = 0; cell < 25; ++cell) {
      const Colour board = faceAverage(tiles, LevelLayouts[level - 1][cell], 0, 0, 80, 80);
      const int x0 = (cell % 5) * 152 / 5 + 3, y0 = (cell / 5) * 152 / 5 + 3, side = 152 / 5 - 6;
      Colour small;
      for (int y = y0; y < y0 + side; ++y)
        for (int x = x0; x < x0 + side; ++x) {
          const Pixel& p = thumb.at(x, y);
          small.r += p.r, small.g += p.g, small.b += p.b;
        }
      const double n = side * side;
      total += std::abs(board.r - small.r / n) + std::abs(board.g - small.g / n) + std::abs(board.b - small.b / n);
    }
    EXPECT_LT(total / 25, 40) << "thumbnail of level " << level << " does not match its board";
  }
}

TEST(AssetTiles, RepeatedTileNumbersAreSharedFrames) {
  // The tile set holds each number once; every level uses only frames 1..121.
  std::map<int, int> uses;
  for (const auto& row : LevelLayouts)
    for (int t : row) ++uses[t];
  EXPECT_EQ(uses.size(), 121u);
  EXPECT_EQ(uses.begin()->first, 1);
  EXPECT_EQ(uses.rbegin()->first, 121);
}

TEST(AssetTools, ImageMagickDecodesEveryPicture) {
  for (const std::string& name : allBitmaps()) {
    int status = 0;
    const std::string size =
        run("identify -format '%w %h' '" + (generatedOnce().game / name).string() + "' 2>&1", &status);
    ASSERT_EQ(status, 0) << name << ": " << size;
    const Bitmap b = load(name);
    EXPECT_EQ(size, std::to_string(b.width) + " " + std::to_string(b.height)) << name;
  }
}

TEST(AssetRun, GenerationIsQuickAndWritesTheReviewSheets) {
  const Generated& g = generatedOnce();
  EXPECT_LT(g.seconds, 15.0) << "generation should take a few seconds";
  for (const char* sheet : {"levels.png", "screens.png"}) {
    EXPECT_GT(std::filesystem::file_size(g.review / sheet), 10000u) << sheet;
  }
}

TEST(AssetRun, TwoRunsWriteIdenticalBytes) {
  const Generated& first = generatedOnce();
  const Generated second = generateInto(first.game.parent_path().parent_path().parent_path() / "second");
  int files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(first.game)) {
    if (!entry.is_regular_file()) continue;
    const auto rel = std::filesystem::relative(entry.path(), first.game);
    EXPECT_EQ(readBytes(entry.path()), readBytes(second.game / rel)) << rel;
    ++files;
  }
  EXPECT_EQ(files, 47 + 9);  // pictures and sounds
}

}  // namespace
}  // namespace gg::test
