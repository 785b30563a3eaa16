#pragma once
#include <filesystem>

namespace gg {
// Every BMP of the game folder plus the review sheets.
void generatePictures(const std::filesystem::path& game, const std::filesystem::path& review);
// Every WAV of the game folder.
void generateSounds(const std::filesystem::path& game);
// The desktop icons (hicolor/<n>x<n>/apps/gloomgrid.png) and the window's icon.bmp.
void generateIcons(const std::filesystem::path& iconDir);
}  // namespace gg
