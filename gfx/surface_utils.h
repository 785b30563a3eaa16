// Making, filling, measuring and locking off-screen DirectDraw surfaces.
//
// Every drawing part of the game uses these on the main thread. Surfaces
// passed in stay the caller's; surfaces made here belong to the caller, who
// releases them. Including this header also brings in the rest of the graphics
// utilities (pixel formats, frames, clipped copies), so drawing code needs one
// include for the whole set.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include "gfx/blit_clipped.h"
#include "gfx/frames.h"
#include "gfx/pixel_format.h"

// A new width x height off-screen surface in the display's format, placed where
// DirectDraw likes, with black (0) as its source colour key; null on failure
// (no display yet, or DirectDraw refused).
LPDIRECTDRAWSURFACE CreateOffscreenSurface(int width, int height);

// Fills the whole surface with the low 16 bits of pixelValue, a raw pixel of the
// surface's format. Returns Blt's result.
HRESULT FillSurface(LPDIRECTDRAWSURFACE surface, DWORD pixelValue);

// The surface's size in pixels (0 x 0 if it cannot be described).
void GetSurfaceSize(LPDIRECTDRAWSURFACE surface, int* width, int* height);

// Locks the whole surface and returns its first pixel, or null on failure.
// Rows are lPitch bytes apart, which may be more than the width: pass a
// description to receive it. Pair every successful lock with UnlockSurface.
void* LockSurface(LPDIRECTDRAWSURFACE surface, LPDDSURFACEDESC lockedDesc = NULL);
void UnlockSurface(LPDIRECTDRAWSURFACE surface);

// The surface's size centred in the box (x, y, w, h); halves round toward zero,
// so odd leftovers go to the right and bottom.
void CenterRect(LPDIRECTDRAWSURFACE surface, int x, int y, int w, int h, LPRECT centered);
