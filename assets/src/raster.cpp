#include "raster.hpp"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace gg {

Image::Image(int width, int height, Rgb fill, bool transparent)
    : width_(width),
      height_(height),
      pixels_(static_cast<size_t>(width) * height, fill),
      keyed_(static_cast<size_t>(width) * height, transparent ? 1 : 0) {}

void Image::paste(const Image& src, int dx, int dy) {
  for (int y = 0; y < src.height(); ++y) {
    for (int x = 0; x < src.width(); ++x) {
      int tx = dx + x, ty = dy + y;
      if (tx < 0 || ty < 0 || tx >= width_ || ty >= height_) continue;
      at(tx, ty) = src.at(x, y);
      setTransparent(tx, ty, src.transparent(x, y));
    }
  }
}

void Image::overlay(const Image& src, int dx, int dy) {
  for (int y = 0; y < src.height(); ++y) {
    for (int x = 0; x < src.width(); ++x) {
      int tx = dx + x, ty = dy + y;
      if (tx < 0 || ty < 0 || tx >= width_ || ty >= height_) continue;
      if (src.transparent(x, y)) continue;
      at(tx, ty) = src.at(x, y);
      setTransparent(tx, ty, false);
    }
  }
}

Image Image::crop(int x0, int y0, int w, int h) const {
  Image out(w, h);
  out.paste(*this, -x0, -y0);
  return out;
}

Image imageFromSurface(cairo_surface_t* surface, bool keyed) {
  cairo_surface_flush(surface);
  const int w = cairo_image_surface_get_width(surface);
  const int h = cairo_image_surface_get_height(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  Image out(w, h);
  for (int y = 0; y < h; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (int x = 0; x < w; ++x) {
      const uint32_t p = row[x];
      const unsigned a = p >> 24, r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
      if (keyed) {
        if (a < 128) {
          out.setTransparent(x, y, true);
          continue;
        }
        auto un = [a](unsigned c) { return static_cast<uint8_t>(std::min(255u, (c * 255 + a / 2) / a)); };
        out.at(x, y) = {un(r), un(g), un(b)};
      } else {
        out.at(x, y) = {static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b)};
      }
    }
  }
  return out;
}

namespace {

// Copies the image into a new cairo surface of the given format, one 32-bit
// pixel at a time as `pixelOf` makes it.
template <typename PixelOf>
cairo_surface_t* surfaceOf(const Image& image, cairo_format_t format, PixelOf pixelOf) {
  cairo_surface_t* s = cairo_image_surface_create(format, image.width(), image.height());
  cairo_surface_flush(s);
  unsigned char* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  for (int y = 0; y < image.height(); ++y) {
    auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (int x = 0; x < image.width(); ++x) row[x] = pixelOf(x, y);
  }
  cairo_surface_mark_dirty(s);
  return s;
}

uint32_t opaque(Rgb c) { return 0xff000000u | (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b; }

}  // namespace

cairo_surface_t* surfaceFromImage(const Image& image, Rgb keyColour) {
  return surfaceOf(image, CAIRO_FORMAT_RGB24, [&](int x, int y) {
    return opaque(image.transparent(x, y) ? keyColour : image.at(x, y));
  });
}

cairo_surface_t* surfaceWithAlpha(const Image& image) {
  return surfaceOf(image, CAIRO_FORMAT_ARGB32, [&](int x, int y) {
    return image.transparent(x, y) ? 0u : opaque(image.at(x, y));
  });
}

uint16_t to565(Rgb c) {
  return static_cast<uint16_t>(((c.r >> 3) << 11) | ((c.g >> 2) << 5) | (c.b >> 3));
}

namespace {
// Classic recursive Bayer matrix, values 0..63.
constexpr int kBayer8[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
    {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
    {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21}};

int quantise(int value, int levels, double threshold) {
  const double step = 256.0 / levels;
  const int q = static_cast<int>(value / step + threshold);
  return std::min(q, levels - 1);
}
}  // namespace

void ditherTo565(Image& image) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.transparent(x, y)) continue;
      const double t = (kBayer8[y & 7][x & 7] + 0.5) / 64.0;
      Rgb& c = image.at(x, y);
      const int r5 = quantise(c.r, 32, t);
      int g6 = quantise(c.g, 64, t);
      const int b5 = quantise(c.b, 32, t);
      if (r5 == 0 && g6 == 0 && b5 == 31) g6 = 1;  // would vanish as the key
      c = {static_cast<uint8_t>((r5 << 3) | (r5 >> 2)), static_cast<uint8_t>((g6 << 2) | (g6 >> 4)),
           static_cast<uint8_t>((b5 << 3) | (b5 >> 2))};
    }
  }
}

namespace {
void put16(std::vector<uint8_t>& out, unsigned v) {
  out.push_back(v & 255);
  out.push_back((v >> 8) & 255);
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
  put16(out, v & 0xffff);
  put16(out, v >> 16);
}
}  // namespace

void writeBmp(const Image& image, const std::string& path) {
  const int w = image.width(), h = image.height();
  const uint32_t rowBytes = (static_cast<uint32_t>(w) * 3 + 3) & ~3u;
  const uint32_t dataBytes = rowBytes * h;
  std::vector<uint8_t> out;
  out.reserve(54 + dataBytes);
  out.push_back('B');
  out.push_back('M');
  put32(out, 54 + dataBytes);
  put32(out, 0);
  put32(out, 54);
  put32(out, 40);
  put32(out, w);
  put32(out, h);  // positive: rows stored bottom-up
  put16(out, 1);
  put16(out, 24);
  put32(out, 0);  // uncompressed
  put32(out, dataBytes);
  put32(out, 2835);
  put32(out, 2835);
  put32(out, 0);
  put32(out, 0);
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) {
      const Rgb c = image.transparent(x, y) ? Rgb{0, 0, 255} : image.at(x, y);
      out.push_back(c.b);
      out.push_back(c.g);
      out.push_back(c.r);
    }
    for (uint32_t pad = static_cast<uint32_t>(w) * 3; pad < rowBytes; ++pad) out.push_back(0);
  }
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) throw std::runtime_error("cannot write " + path);
  const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
  if (std::fclose(f) != 0 || !ok) throw std::runtime_error("failed writing " + path);
}

void writePng(const Image& image, const std::string& path) {
  cairo_surface_t* s = surfaceFromImage(image);
  const cairo_status_t st = cairo_surface_write_to_png(s, path.c_str());
  cairo_surface_destroy(s);
  if (st != CAIRO_STATUS_SUCCESS) throw std::runtime_error("cannot write " + path);
}

}  // namespace gg
