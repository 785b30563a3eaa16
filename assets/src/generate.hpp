#pragma once
#include <filesystem>

namespace gg {
// Every BMP of the game folder plus the review sheets.
void generatePictures(const std::filesystem::path& game, const std::filesystem::path& review);
// Every WAV of the game folder.
void generateSounds(const std::filesystem::path& game);
}  // namespace gg
