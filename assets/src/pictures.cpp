#include <string>

#include "generate.hpp"
#include "levels.hpp"
#include "raster.hpp"
#include "tileset.hpp"

namespace gg {

void generatePictures(const std::filesystem::path& game, const std::filesystem::path& review) {
  const TileArt art = buildTileArt();
  writeBmp(tileSheet(art.frames), game / "tileset.bmp");
  for (int level = 1; level <= kLevels; ++level) {
    writeBmp(thumbnail(art.scenes[level - 1]), game / ("level" + std::to_string(level) + "small.bmp"));
  }
  // Temporary review: solved boards on a plain screen.
  Image sheet(4 * 420, 4 * 420, {40, 40, 40});
  for (int level = 1; level <= kLevels; ++level) {
    Image screen(800, 600, {30, 20, 40});
    drawSolvedBoard(screen, art.frames, level);
    sheet.paste(screen.crop(190, 80, 416, 416), ((level - 1) % 4) * 420, ((level - 1) / 4) * 420);
  }
  writePng(sheet, review / "levels.png");
}

void generateSounds(const std::filesystem::path&) {}

}  // namespace gg
