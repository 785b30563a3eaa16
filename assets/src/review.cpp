#include "review.hpp"

#include <string>

#include "levels.hpp"
#include "tileset.hpp"

namespace gg {

namespace {
constexpr Rgb kSheetGrey = {48, 48, 52};

// As the game's number drawing: right-aligned so the text ends at x.
void drawNumber(Image& screen, const Image& font, int x, int y, const std::string& text) {
  const int w = font.width() / 10;
  int left = x - w * static_cast<int>(text.size());
  for (char c : text) {
    if (c >= '0' && c <= '9') screen.overlay(font.crop((c - '0') * w, 0, w, font.height()), left, y);
    left += w;
  }
}

void drawTimer(Image& screen, const ScreenArt& ui, int used) {
  screen.overlay(ui.timerStart, 722, 269);
  if (used <= 104) {
    screen.overlay(ui.timeDrop, 729, 306 + 2 * used);
  } else {
    const int frames = ui.gameOver.height() / 43;
    const int f = std::min(used - 104, frames - 1);
    screen.overlay(ui.gameOver.crop(0, f * 43, 296, 43), 471, 515);
  }
  for (int i = 0; i < used && i <= 104; ++i) screen.overlay(ui.timeUnit, 734, 306 + 2 * i);
}

Image screenWith(const ScreenArt& ui, const Image& thumb, const Image& name, int level, int score, int best) {
  Image screen = ui.background;
  screen.overlay(thumb, 620, 80);
  screen.overlay(name, 4, 346);
  const int x[] = {98, 98, 6, 6, 641, 641}, y[] = {448, 509, 448, 509, 333, 461};
  for (size_t i = 0; i < ui.buttons.size(); ++i) {
    const Image& strip = ui.buttons[i];
    screen.overlay(strip.crop(0, 0, strip.width() / 3, strip.height()), x[i], y[i]);
  }
  drawNumber(screen, ui.scoreFont, 164, 98, std::to_string(best));
  drawNumber(screen, ui.scoreFont, 164, 178, std::to_string(score));
  drawNumber(screen, ui.scoreFont, level > 9 ? 680 : 670, 390, std::to_string(level));
  return screen;
}

void drawCell(Image& screen, const std::vector<Image>& frames, int tile, int cellX, int cellY, int w, int h) {
  screen.overlay(frames[tile - 1].crop(0, 0, w, h), cellX, cellY);
}

Image centred(const Image& screen, const Image& popup) {
  Image out = screen;
  out.overlay(popup, 400 - popup.width() / 2, 300 - popup.height() / 2);
  return out;
}
}  // namespace

void writeLevelReview(const std::filesystem::path& path, const Image& background, const std::vector<Image>& frames,
                      const std::vector<Image>& thumbs, const std::vector<Image>& names) {
  const int blockW = 430 + 200, blockH = 450;
  Image sheet(4 * blockW, 4 * blockH, kSheetGrey);
  for (int level = 1; level <= kLevels; ++level) {
    Image screen = background;
    drawSolvedBoard(screen, frames, level);
    const int bx = ((level - 1) % 4) * blockW + 4, by = ((level - 1) / 4) * blockH + 4;
    sheet.paste(screen.crop(184, 70, 428, 440), bx, by);
    Image side = background.crop(0, 330, 196, 100);
    side.overlay(names[level - 1], 4, 16);
    sheet.paste(side, bx + 432, by);
    sheet.paste(thumbs[level - 1], bx + 440, by + 120);
  }
  writePng(sheet, path.string());
}

void writeScreenReview(const std::filesystem::path& path, const ScreenArt& ui, const std::vector<Image>& thumbs,
                       const std::vector<Image>& names, const std::vector<Image>& frames) {
  Image sheet(1640, 3 * 620 + 330, kSheetGrey);
  // 1: level 3 in play, a tile selected with two arrows, a third of the time gone.
  {
    Image s = screenWith(ui, thumbs[2], names[2], 3, 37200, 512400);
    const Layout& cells = layout(3);
    for (int i = 0; i < 25; ++i) {
      if (i == 12 || i == 7) continue;
      const int t = cells[(i * 7) % 25];
      const int row = i / 5, col = i % 5;
      int w = 86, h = 97;
      if (col == 4 || i == 22) w = 80;
      if (row == 4 && i != 22) w = 80, h = 80;
      drawCell(s, frames, t, 196 + col * 80, 86 + row * 80, w, h);
    }
    drawCell(s, frames, cells[2], 356, 6, 80, 97);
    drawCell(s, frames, cells[7], 116, 246, 86, 80);
    s.overlay(ui.arrows.crop(2 * 80, 0, 80, 80), 196 + 2 * 80, 86 + 2 * 80);
    s.overlay(ui.arrows.crop(1 * 80, 0, 80, 80), 196 + 2 * 80, 86 + 1 * 80);
    s.overlay(ui.marker, 196 + 1 * 80, 86 + 1 * 80);
    drawTimer(s, ui, 46);
    sheet.paste(s, 0, 0);
  }
  // 2: time over on level 6: the strip's last frame, try again, hall of fame.
  {
    Image s = screenWith(ui, thumbs[5], names[5], 6, 210000, 512400);
    drawSolvedBoard(s, frames, 6);
    drawTimer(s, ui, 138);
    s.overlay(ui.tryAgain, 302, 224);
    s.overlay(ui.hallOfFame, 560, 40);
    sheet.paste(s, 820, 0);
  }
  // 3: round complete on level 12 with its numbers; 4: how to play.
  {
    Image s = screenWith(ui, thumbs[11], names[11], 12, 1310000, 1310000);
    drawSolvedBoard(s, frames, 12);
    Image popup = ui.roundComplete;
    drawNumber(popup, ui.roundFont, 154 + 16 * 2, 57, "12");
    drawNumber(popup, ui.roundFont, 154 + 16 * 9, 220, "105676800");
    s.overlay(popup, 246, 130);
    sheet.paste(s, 0, 620);
    Image h = screenWith(ui, thumbs[0], names[0], 1, 0, 0);
    drawSolvedBoard(h, frames, 1);
    sheet.paste(centred(h, ui.howToPlay), 820, 620);
  }
  // 5: congratulations; 6: the timer part way into the strip's frames.
  {
    Image s = screenWith(ui, thumbs[12], names[12], 13, 9990000, 9990000);
    drawSolvedBoard(s, frames, 13);
    s.overlay(ui.congrats, 208, 112);
    sheet.paste(s, 0, 1240);
    Image t = screenWith(ui, thumbs[9], names[9], 10, 0, 0);
    drawSolvedBoard(t, frames, 10);
    drawTimer(t, ui, 120);
    sheet.paste(t, 820, 1240);
  }
  // Every button in its three states, the fonts and strip frames.
  int x = 10, y = 1870;
  for (const Image& b : ui.buttons) {
    Image panel(b.width() + 8, b.height() + 8, {58, 34, 62});
    panel.overlay(b, 4, 4);
    sheet.paste(panel, x, y);
    x += panel.width() + 10;
  }
  y += 76;
  x = 10;
  for (const Image* img : {&ui.scoreFont, &ui.roundFont, &ui.marker, &ui.arrows, &ui.timerStart, &ui.timeDrop}) {
    Image panel(img->width() + 8, img->height() + 8, {58, 34, 62});
    panel.overlay(*img, 4, 4);
    sheet.paste(panel, x, y);
    x += panel.width() + 10;
  }
  y += 100;
  for (int i = 0; i < 15; ++i) {
    const int f = i * 34 / 14, col = i % 5, row = i / 5;
    Image panel(296, 43, kSheetGrey);
    panel.overlay(ui.gameOver.crop(0, f * 43, 296, 43), 0, 0);
    sheet.paste(panel, 10 + col * 306, y + row * 50);
  }
  writePng(sheet, path.string());
}

}  // namespace gg
