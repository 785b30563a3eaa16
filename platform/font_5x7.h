// The library's one text font: 5 x 7 pixel glyphs for printable ASCII, drawn in
// cells 6 pixels wide and 8 high so that neighbouring characters never touch.
#pragma once

#include <cstdint>

namespace font5x7 {

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;
constexpr int kCellWidth = 6;
constexpr int kCellHeight = 8;

// The glyph's five columns, left to right; bit 0 of each is the top row. Null
// for characters outside ' ' to '~', which take a cell but show nothing.
const uint8_t* GlyphColumns(char character);

}  // namespace font5x7
