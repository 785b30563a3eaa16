// Copies that may hang over the edges of the destination: sprites sliding in
// from outside the screen, the cursor at the border, the scene composer's
// restored rectangles. DirectDraw refuses a rectangle that leaves its surface,
// so the copy is cut to the destination first. Main thread only.
#pragma once

#include <windows.h>
#include <ddraw.h>

// Flags value standing for DDBLT_KEYSRC | DDBLT_WAIT: a copy that leaves out the
// source's colour key, which is what nearly every caller wants.
const DWORD kBlitKeyedWait = 0xFFFFFFFF;

// Copies the w x h rectangle at (sx, sy) of src to (dx, dy) of dst, clipped to
// dst's edges (the source is trusted to hold the rectangle). flags are Blt flags,
// or -1 (kBlitKeyedWait). Returns Blt's result: DDERR_INVALIDRECT, and nothing
// drawn, when the rectangle lies wholly outside dst.
HRESULT BlitClipped(LPDIRECTDRAWSURFACE src, int sx, int sy, int w, int h, LPDIRECTDRAWSURFACE dst, int dx, int dy,
                    DWORD flags);

// BlitClipped of the whole of src to (x, y) of dst.
HRESULT BlitWholeClipped(LPDIRECTDRAWSURFACE src, LPDIRECTDRAWSURFACE dst, int x, int y, DWORD flags);
