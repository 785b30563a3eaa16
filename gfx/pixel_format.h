// Colours and single pixels on the display's 15- or 16-bit surfaces.
//
// Drawing code never hard-codes a pixel layout: the display may run 5-6-5 or
// 5-5-5, so colours are built from 8-bit red, green and blue through the
// surface's own pixel format. Main thread only (they lock or query surfaces).
#pragma once

#include <windows.h>
#include <ddraw.h>

// The surface's pixel value for 8-bit r, g, b (0-255), in the low 16 bits:
// each channel keeps its top bits, e.g. (r >> 3) << 11 | (g >> 2) << 5 | b >> 3
// on 5-6-5. Pure blue is 31 on both 16-bit layouts.
WORD ColorFromRGB(LPDIRECTDRAWSURFACE surface, int r, int g, int b);

// Makes ColorFromRGB(surface, r, g, b) the surface's source colour key (low and
// high value alike). Returns SetColorKey's result.
HRESULT SetColorKeyRGB(LPDIRECTDRAWSURFACE surface, int r, int g, int b);

// The raw pixel at (x, y), zero-extended: a byte on 8-bit surfaces, a 16-bit
// word otherwise. 0 when (x, y) lies outside the surface or it cannot be locked.
DWORD GetPixelValue(LPDIRECTDRAWSURFACE surface, int x, int y);
