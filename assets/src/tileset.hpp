#pragma once
// Cuts the painted level scenes into the tile set, and builds the pictures
// derived from the scenes: thumbnails and the solved boards for review.
#include <vector>

#include "raster.hpp"

namespace gg {

inline constexpr int kFrameWidth = 86;   // 80 face + 6 right thickness
inline constexpr int kFrameHeight = 97;  // 80 face + 17 bottom thickness
inline constexpr int kSheetColumns = 11;

struct TileArt {
  std::vector<Image> scenes;  // 13 solved pictures, 400 x 400, not yet dithered
  std::vector<Image> frames;  // 121 tile frames, dithered, keyed outside the block
};

// Paints every scene and cuts it up. Warns on stderr where a scene drew into
// a plain cell or where repeated tiles of a level differ.
TileArt buildTileArt();
Image tileSheet(const std::vector<Image>& frames);
Image thumbnail(const Image& scene);  // 152 x 152, dithered
// Draws a level's solved board onto a screen-sized picture the way the game
// does: visiting order and the clipped draws at the board's edges.
void drawSolvedBoard(Image& screen, const std::vector<Image>& frames, int level);

}  // namespace gg
