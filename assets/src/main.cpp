// Writes every picture and sound of the game into the game folder, and the
// review sheets beside the build, and with ICON_DIR the icons there.
// Usage: gloomgrid_assetgen GAME_DIR REVIEW_DIR [ICON_DIR]
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "canvas.hpp"
#include "generate.hpp"

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: %s GAME_DIR REVIEW_DIR [ICON_DIR]\n", argv[0]);
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  try {
    gg::requireFonts();
    const std::filesystem::path game = argv[1], review = argv[2];
    std::filesystem::create_directories(game / "sounds");
    std::filesystem::create_directories(game / "title");
    std::filesystem::create_directories(review);
    gg::generatePictures(game, review);
    gg::generateSounds(game);
    if (argc == 4) gg::generateIcons(argv[3]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "assetgen: %s\n", e.what());
    return 1;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("assetgen: game files written in %.2f s\n", seconds);
  return 0;
}
