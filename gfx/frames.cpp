#include "gfx/frames.h"

#include "gfx/pixel_format.h"
#include "gfx/surface_utils.h"
#include "platform/zq.h"

int SliceIntoFrames(LPDIRECTDRAWSURFACE source, PtrArray* frames, int frameWidth, int frameHeight, int* columns) {
  // A frame of no size would divide by zero below; no picture cuts that way.
  if (frameWidth <= 0 || frameHeight <= 0) {
    if (columns != NULL) *columns = 0;
    return 0;
  }
  int sourceWidth = 0, sourceHeight = 0;
  GetSurfaceSize(source, &sourceWidth, &sourceHeight);
  const int columnCount = sourceWidth / frameWidth;
  const int rowCount = sourceHeight / frameHeight;
  if (columns != NULL) *columns = columnCount;

  const int count = columnCount * rowCount;
  for (int i = 0; i < count; ++i) {
    LPDIRECTDRAWSURFACE frame = CreateOffscreenSurface(frameWidth, frameHeight);
    if (frame == NULL) return 0;
    SetColorKeyRGB(frame, 0, 0, 255);
    frames->Append(frame);
    const int row = i / columnCount;
    const int column = i % columnCount;
    RECT cut = {column * frameWidth, row * frameHeight, column * frameWidth + frameWidth,
                row * frameHeight + frameHeight};
    frame->Blt(NULL, source, &cut, DDBLT_WAIT, NULL);
  }
  return 1;
}

int LoadFrames(const char* path, PtrArray* frames, int frameWidth, int frameHeight, int* columns) {
  // The library's loader takes a char* but only reads the name.
  LPDIRECTDRAWSURFACE picture = ZQLoadBitmap(const_cast<char*>(path), 16);
  if (picture == NULL) return 0;
  const int result = SliceIntoFrames(picture, frames, frameWidth, frameHeight, columns);
  picture->Release();
  return result;
}
