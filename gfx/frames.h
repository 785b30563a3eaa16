// Cutting a picture into equal frames: the strips and grids that sprites,
// buttons and digit fonts are drawn from.
//
// Frames are new off-screen surfaces, keyed on pure blue, appended to the
// caller's frame array (a PtrArray of LPDIRECTDRAWSURFACE); the array's owner
// releases them. Main thread only.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include "gfx/ptr_array.h"

// Cuts the source into frameWidth x frameHeight frames, row by row, left to
// right; a rest narrower or lower than a frame at the right or bottom edge is
// left out. The number of columns goes to *columns when asked for. Returns 1,
// or 0 when a frame cannot be made (frames made before it stay in the array) or
// the frame size is not positive.
int SliceIntoFrames(LPDIRECTDRAWSURFACE source, PtrArray* frames, int frameWidth, int frameHeight,
                    int* columns = NULL);

// Loads the BMP at path (a Windows path) through the graphics library and
// slices it as above; the loaded picture itself is released either way.
// Returns 0 when the picture cannot be loaded, else SliceIntoFrames' result.
int LoadFrames(const char* path, PtrArray* frames, int frameWidth, int frameHeight, int* columns = NULL);
