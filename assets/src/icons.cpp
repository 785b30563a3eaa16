// The game's icon: a ghost rising from a board of sliding tiles with one empty
// pocket, on a dark plate with a gold rim. Drawn in a 256-unit square and
// rendered at each size, so the small ones stay sharp.
#include <cstdint>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "canvas.hpp"
#include "generate.hpp"
#include "scene_kit.hpp"

namespace gg {
namespace {

using kit::Pt;

void drawIcon(cairo_t* cr, int size) {
  cairo_scale(cr, size / 256.0, size / 256.0);
  auto plate = [](cairo_t* c) { roundedRect(c, 8, 8, 240, 240, 40); };
  kit::fillLinear(cr, plate, {0, 8}, palette::kPurple, {0, 248}, palette::kNight);
  plate(cr);
  setColour(cr, palette::kGold);
  cairo_set_line_width(cr, 10);
  cairo_stroke(cr);

  // Three by three tiles, the last cell an empty pocket.
  for (int cell = 0; cell < 8; ++cell) {
    const double x = 38 + (cell % 3) * 62, y = 38 + (cell / 3) * 62;
    auto tile = [x, y](cairo_t* c) { roundedRect(c, x, y, 56, 56, 8); };
    kit::fillLinear(cr, tile, {x, y}, palette::kSky, {x + 56, y + 56}, shade(palette::kSky, 0.45));
  }

  auto ghost = [](cairo_t* c) {
    cairo_arc(c, 128, 104, 50, kit::kPi, 0);
    cairo_line_to(c, 178, 196);
    for (int wave = 0; wave < 4; ++wave) {
      const double right = 178 - wave * 25;
      cairo_curve_to(c, right - 6, 180, right - 19, 180, right - 25, 200 - (wave % 2) * 6);
    }
    cairo_close_path(c);
  };
  kit::halo(cr, {128, 130}, 110, rgb(224, 236, 255, 0.45));
  kit::fillLinear(cr, ghost, {0, 54}, palette::kGhost, {0, 200}, rgb(170, 190, 230));
  setColour(cr, palette::kInk);
  kit::ellipse(cr, {108, 104}, 11, 16);
  cairo_fill(cr);
  kit::ellipse(cr, {148, 104}, 11, 16);
  cairo_fill(cr);
  kit::ellipse(cr, {128, 146}, 9, 12);
  cairo_fill(cr);
}

void put(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A 32-bit BMP with an alpha channel (BITMAPV4HEADER, bit fields), the kind
// SDL loads as a window icon. Cairo's pixels are premultiplied; BMP's are not.
void writeIconBmp(cairo_surface_t* surface, const std::filesystem::path& path) {
  cairo_surface_flush(surface);
  const int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const uint8_t* data = cairo_image_surface_get_data(surface);
  const uint32_t headerBytes = 14 + 108, dataBytes = static_cast<uint32_t>(w) * h * 4;
  std::vector<uint8_t> out{'B', 'M'};
  put(out, headerBytes + dataBytes, 4);
  put(out, 0, 4);
  put(out, headerBytes, 4);
  put(out, 108, 4);
  put(out, w, 4);
  put(out, h, 4);  // positive: rows stored bottom-up
  put(out, 1, 2);
  put(out, 32, 2);
  put(out, 3, 4);  // BI_BITFIELDS
  put(out, dataBytes, 4);
  for (uint32_t v : {2835u, 2835u, 0u, 0u, 0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u, 0x73524742u})
    put(out, v, 4);  // resolution, palette, masks (red, green, blue, alpha), sRGB
  out.resize(headerBytes, 0);  // colour end points and gamma: unused with sRGB
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) {
      uint32_t argb = 0;
      std::memcpy(&argb, data + y * stride + x * 4, 4);
      const uint32_t a = argb >> 24;
      auto straight = [a](uint32_t c) { return a == 0 ? 0u : (c * 255 + a / 2) / a; };
      put(out, straight(argb & 0xFF) | straight((argb >> 8) & 0xFF) << 8 | straight((argb >> 16) & 0xFF) << 16 | a << 24, 4);
    }
  }
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
  if (!file) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

void generateIcons(const std::filesystem::path& iconDir) {
  for (int size : {16, 32, 48, 64, 128, 256}) {
    const std::string name = std::to_string(size) + "x" + std::to_string(size);
    const std::filesystem::path folder = iconDir / "hicolor" / name / "apps";
    std::filesystem::create_directories(folder);
    Canvas canvas(size, size);
    drawIcon(canvas.cr(), size);
    const std::string png = (folder / "gloomgrid.png").string();
    if (cairo_surface_write_to_png(canvas.surface(), png.c_str()) != CAIRO_STATUS_SUCCESS)
      throw std::runtime_error("cannot write " + png);
    if (size == 64) writeIconBmp(canvas.surface(), iconDir / "icon.bmp");
  }
}

}  // namespace gg
