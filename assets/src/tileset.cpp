#include "tileset.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "canvas.hpp"
#include "levels.hpp"

namespace gg {

namespace {
constexpr double kDepthX = 6, kDepthY = 17;

Rgb scaled(Rgb c, double f, Rgb tint, double tintAmount) {
  auto ch = [&](int v, int t) {
    const double x = v * f * (1 - tintAmount) + t * tintAmount;
    return static_cast<uint8_t>(std::clamp(std::lround(x), 0L, 255L));
  };
  return {ch(c.r, tint.r), ch(c.g, tint.g), ch(c.b, tint.b)};
}

// The visible thickness is the face pushed back along (6, 17): the right
// side takes its colours from the face's last column, the bottom side from
// its last row, both darkened so the block reads as solid.
Image makeFrame(const Image& face) {
  Image frame(kFrameWidth, kFrameHeight, {}, true);
  frame.paste(face, 0, 0);
  // A hairline bevel, so neighbouring tiles of one colour still read as blocks.
  for (int i = 0; i < 80; ++i) {
    frame.at(i, 0) = scaled(face.at(i, 0), 0.88, {255, 255, 255}, 0.1);
    frame.at(0, i) = scaled(face.at(0, i), 0.88, {255, 255, 255}, 0.1);
    frame.at(i, 79) = scaled(face.at(i, 79), 0.78, {0, 0, 0}, 0);
    frame.at(79, i) = scaled(face.at(79, i), 0.78, {0, 0, 0}, 0);
  }
  const Rgb wood = {40, 26, 30};
  for (int py = 0; py < kFrameHeight; ++py) {
    for (int px = 0; px < kFrameWidth; ++px) {
      if (px < 80 && py < 80) continue;
      const double cx = px + 0.5, cy = py + 0.5;
      const double sRight = (cx - 80) / kDepthX;  // depth where the ray meets x = 80
      const double vRight = cy - kDepthY * sRight;
      const bool onRight = sRight >= 0 && sRight <= 1 && vRight >= 0 && vRight < 80;
      const double sBottom = (cy - 80) / kDepthY;
      const double uBottom = cx - kDepthX * sBottom;
      const bool onBottom = sBottom >= 0 && sBottom <= 1 && uBottom >= 0 && uBottom < 80;
      if (!onRight && !onBottom) continue;
      // Where both sides could show, the edge line from (80,80) to (86,97) decides.
      const bool useBottom = onBottom && (!onRight || (cy - 80) * kDepthX > (cx - 80) * kDepthY);
      Rgb c;
      if (useBottom) {
        const Rgb edge = face.at(static_cast<int>(uBottom), 79);
        c = scaled(edge, 0.5 - 0.18 * sBottom, wood, 0.3);
        if (py == 80) c = scaled(edge, 0.75, wood, 0.1);
      } else {
        const Rgb edge = face.at(79, std::clamp(static_cast<int>(vRight), 0, 79));
        c = scaled(edge, 0.68 - 0.12 * sRight, wood, 0.25);
      }
      frame.at(px, py) = c;
      frame.setTransparent(px, py, false);
    }
  }
  // A dark line where the block's outer edges meet the board.
  for (int py = 0; py < kFrameHeight; ++py) {
    for (int px = 0; px < kFrameWidth; ++px) {
      if (frame.transparent(px, py) || (px < 80 && py < 80)) continue;
      const bool edge = py == kFrameHeight - 1 || px == kFrameWidth - 1 ||
                        (py + 1 < kFrameHeight && frame.transparent(px, py + 1)) ||
                        (px + 1 < kFrameWidth && frame.transparent(px + 1, py));
      if (edge) frame.at(px, py) = scaled(frame.at(px, py), 0.55, {0, 0, 0}, 0);
    }
  }
  ditherTo565(frame);
  return frame;
}

int difference(const Image& a, const Image& b) {
  long total = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const Rgb p = a.at(x, y), q = b.at(x, y);
      total += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b);
    }
  return static_cast<int>(total / (a.width() * a.height()));
}

Image plainFace(const Colour& c) {
  Canvas canvas(kCell, kCell);
  setColour(canvas.cr(), c);
  cairo_paint(canvas.cr());
  return canvas.toImage(false);
}
}  // namespace

TileArt buildTileArt() {
  TileArt art;
  std::vector<Image> faces(kTileCount);
  std::vector<int> source(kTileCount, 0);
  faces[kPlainDark - 1] = plainFace(palette::kNight);
  faces[kPlainSky - 1] = plainFace(palette::kSky);
  for (int level = 1; level <= kLevels; ++level) {
    Canvas canvas(kBoard, kBoard);
    paintScene(level, canvas.cr());
    Image scene = canvas.toImage(false);
    const Layout& cells = layout(level);
    for (int i = 0; i < 25; ++i) {
      const int tile = cells[i];
      Image face = scene.crop((i % 5) * kCell, (i / 5) * kCell, kCell, kCell);
      if (tile == kPlainDark || tile == kPlainSky) {
        if (difference(face, faces[tile - 1]) > 0)
          std::fprintf(stderr, "assetgen: level %d draws into plain cell %d\n", level, i);
        continue;
      }
      if (faces[tile - 1].width() == 0) {
        faces[tile - 1] = face;
        source[tile - 1] = level;
      } else if (const int d = difference(face, faces[tile - 1]); d > 2) {
        std::fprintf(stderr, "assetgen: tile %d in level %d cell %d differs from level %d's (%d)\n", tile, level, i,
                     source[tile - 1], d);
      }
    }
    // The scene as a player sees it solved: every cell from the canonical tile.
    for (int i = 0; i < 25; ++i) scene.paste(faces[cells[i] - 1], (i % 5) * kCell, (i / 5) * kCell);
    art.scenes.push_back(std::move(scene));
  }
  for (int t = 0; t < kTileCount; ++t) {
    if (faces[t].width() == 0) {
      std::fprintf(stderr, "assetgen: tile %d is in no level\n", t + 1);
      std::exit(1);
    }
    art.frames.push_back(makeFrame(faces[t]));
  }
  return art;
}

Image tileSheet(const std::vector<Image>& frames) {
  const int rows = (static_cast<int>(frames.size()) + kSheetColumns - 1) / kSheetColumns;
  Image sheet(kSheetColumns * kFrameWidth, rows * kFrameHeight, {}, true);
  for (size_t i = 0; i < frames.size(); ++i)
    sheet.paste(frames[i], static_cast<int>(i % kSheetColumns) * kFrameWidth,
                static_cast<int>(i / kSheetColumns) * kFrameHeight);
  return sheet;
}

Image thumbnail(const Image& scene) {
  cairo_surface_t* src = surfaceFromImage(scene);
  Canvas canvas(152, 152);
  cairo_t* cr = canvas.cr();
  cairo_scale(cr, 152.0 / scene.width(), 152.0 / scene.height());
  cairo_set_source_surface(cr, src, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BEST);
  cairo_paint(cr);
  cairo_surface_destroy(src);
  return canvas.finish(false);
}

void drawSolvedBoard(Image& screen, const std::vector<Image>& frames, int level) {
  const Layout& cells = layout(level);
  auto draw = [&](int cell) {
    const int x = (cell % 5) * kCell + 196, y = (cell / 5) * kCell + 86;
    const int row = cell / 5, col = cell % 5;
    int w = kFrameWidth, h = kFrameHeight;
    if (col == 4 || cell == 22) w = 80;
    if (row == 4 && cell != 22) w = 80, h = 80;
    screen.overlay(frames[cells[cell] - 1].crop(0, 0, w, h), x, y);
  };
  for (int cell = 0; cell < 25; ++cell) draw(cell);
}

}  // namespace gg
