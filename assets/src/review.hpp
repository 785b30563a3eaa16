#pragma once
// Review sheets: the pictures put together the way the game shows them, for
// people to look at. Not part of the game folder.
#include <filesystem>
#include <vector>

#include "raster.hpp"

namespace gg {

struct ScreenArt {
  Image background, scoreFont, roundFont, marker, arrows, timerStart, timeDrop, timeUnit, gameOver;
  Image tryAgain, roundComplete, congrats, hallOfFame, howToPlay;
  std::vector<Image> buttons;  // newgame, help, menu, exit, up, down strips
};

void writeLevelReview(const std::filesystem::path& path, const Image& background, const std::vector<Image>& frames,
                      const std::vector<Image>& thumbs, const std::vector<Image>& names);
void writeScreenReview(const std::filesystem::path& path, const ScreenArt& ui, const std::vector<Image>& thumbs,
                       const std::vector<Image>& names, const std::vector<Image>& frames);

}  // namespace gg
