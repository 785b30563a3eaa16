#include "canvas.hpp"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace gg {

Canvas::Canvas(int width, int height)
    : width_(width),
      height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_)) {}

Canvas::~Canvas() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

Image Canvas::toImage(bool keyed) const { return imageFromSurface(surface_, keyed); }

Image Canvas::finish(bool keyed) const {
  Image img = toImage(keyed);
  ditherTo565(img);
  return img;
}

namespace {
struct FontFile {
  const char* path;
  const char* package;
};

FontFile fileFor(Font font) {
  switch (font) {
    case Font::Title: return {"/usr/share/fonts/truetype/blankenburg/Blankenburg_UNZ1A.ttf", "fonts-blankenburg"};
    case Font::Serif: return {"/usr/share/fonts/opentype/ebgaramond/EBGaramond12-Regular.otf", "fonts-ebgaramond"};
    case Font::SerifBold: return {"/usr/share/fonts/opentype/ebgaramond/EBGaramond12-Bold.otf", "fonts-ebgaramond"};
    case Font::SerifItalic: return {"/usr/share/fonts/opentype/ebgaramond/EBGaramond12-Italic.otf", "fonts-ebgaramond"};
    case Font::Digits: return {"/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf", "fonts-dejavu-core"};
  }
  return {"", ""};
}

FT_Library library() {
  static FT_Library lib = [] {
    FT_Library l = nullptr;
    if (FT_Init_FreeType(&l) != 0) {
      std::fprintf(stderr, "assetgen: cannot start FreeType\n");
      std::exit(2);
    }
    return l;
  }();
  return lib;
}

cairo_font_face_t* faceFor(Font font) {
  static std::map<Font, cairo_font_face_t*> faces;
  auto it = faces.find(font);
  if (it != faces.end()) return it->second;
  const FontFile file = fileFor(font);
  FT_Face ft = nullptr;
  if (FT_New_Face(library(), file.path, 0, &ft) != 0) {
    std::fprintf(stderr, "assetgen: missing font %s (install the Debian package %s)\n", file.path,
                 file.package);
    std::exit(2);
  }
  cairo_font_face_t* face = cairo_ft_font_face_create_for_ft_face(ft, FT_LOAD_NO_HINTING);
  faces[font] = face;
  return face;
}
}  // namespace

void requireFonts() {
  for (Font f : {Font::Title, Font::Serif, Font::SerifBold, Font::SerifItalic, Font::Digits}) faceFor(f);
}

void useFont(cairo_t* cr, Font font, double size) {
  cairo_set_font_face(cr, faceFor(font));
  cairo_set_font_size(cr, size);
  cairo_font_options_t* opts = cairo_font_options_create();
  cairo_font_options_set_hint_style(opts, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(opts, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_antialias(opts, CAIRO_ANTIALIAS_GRAY);
  cairo_set_font_options(cr, opts);
  cairo_font_options_destroy(opts);
}

double textWidth(cairo_t* cr, Font font, double size, const std::string& text) {
  useFont(cr, font, size);
  cairo_text_extents_t ext;
  cairo_text_extents(cr, text.c_str(), &ext);
  return ext.x_advance;
}

void textPath(cairo_t* cr, Font font, double size, const std::string& text, double x, double y,
              Align align) {
  useFont(cr, font, size);
  cairo_text_extents_t ext;
  cairo_text_extents(cr, text.c_str(), &ext);
  double left = x;
  if (align == Align::Centre) left = x - ext.x_advance / 2;
  if (align == Align::Right) left = x - ext.x_advance;
  cairo_move_to(cr, left, y);
  cairo_text_path(cr, text.c_str());
}

void setColour(cairo_t* cr, Colour c) { cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a); }

Colour mix(Colour a, Colour b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Colour shade(Colour c, double f) {
  return {std::clamp(c.r * f, 0.0, 1.0), std::clamp(c.g * f, 0.0, 1.0), std::clamp(c.b * f, 0.0, 1.0), c.a};
}

void drawLettering(cairo_t* cr, Font font, double size, const std::string& text, double x,
                   double baseline, Align align, const LetterStyle& style) {
  cairo_save(cr);
  cairo_new_path(cr);
  textPath(cr, font, size, text, x, baseline, align);
  double x1, y1, x2, y2;
  cairo_path_extents(cr, &x1, &y1, &x2, &y2);
  if (style.glowRadius > 0) {
    // Layered strokes approximate a soft glow that still ends in opaque pixels.
    for (int i = 6; i >= 1; --i) {
      Colour g = style.glow;
      g.a = style.glow.a * (1.0 - i / 7.0) * 0.5;
      setColour(cr, g);
      cairo_set_line_width(cr, style.outlineWidth + style.glowRadius * i / 3.0);
      cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
      cairo_stroke_preserve(cr);
    }
  }
  setColour(cr, style.outline);
  cairo_set_line_width(cr, style.outlineWidth * 2);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke_preserve(cr);
  cairo_pattern_t* grad = cairo_pattern_create_linear(0, y1, 0, y2);
  cairo_pattern_add_color_stop_rgba(grad, 0, style.top.r, style.top.g, style.top.b, style.top.a);
  cairo_pattern_add_color_stop_rgba(grad, 1, style.bottom.r, style.bottom.g, style.bottom.b, style.bottom.a);
  cairo_set_source(cr, grad);
  cairo_fill(cr);
  cairo_pattern_destroy(grad);
  cairo_restore(cr);
}

void glow(cairo_t* cr, double x, double y, double radius, Colour c) {
  cairo_pattern_t* p = cairo_pattern_create_radial(x, y, 0, x, y, radius);
  cairo_pattern_add_color_stop_rgba(p, 0, c.r, c.g, c.b, c.a);
  cairo_pattern_add_color_stop_rgba(p, 0.4, c.r, c.g, c.b, c.a * 0.45);
  cairo_pattern_add_color_stop_rgba(p, 1, c.r, c.g, c.b, 0);
  cairo_set_source(cr, p);
  cairo_arc(cr, x, y, radius, 0, 6.283185307179586);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  const double pi = 3.141592653589793;
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -pi / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, pi / 2);
  cairo_arc(cr, x + r, y + h - r, r, pi / 2, pi);
  cairo_arc(cr, x + r, y + r, r, pi, 3 * pi / 2);
  cairo_close_path(cr);
}

void fillVertical(cairo_t* cr, double x, double y, double w, double h, Colour top, Colour bottom) {
  cairo_pattern_t* p = cairo_pattern_create_linear(0, y, 0, y + h);
  cairo_pattern_add_color_stop_rgba(p, 0, top.r, top.g, top.b, top.a);
  cairo_pattern_add_color_stop_rgba(p, 1, bottom.r, bottom.g, bottom.b, bottom.a);
  cairo_set_source(cr, p);
  cairo_rectangle(cr, x, y, w, h);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

}  // namespace gg
