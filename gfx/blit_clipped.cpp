#include "gfx/blit_clipped.h"

#include "gfx/surface_utils.h"

namespace {

// One axis of the clip: the destination span [start, start + length) cut to
// [0, limit), and the source span moved along with it.
void ClipSpan(int sourceStart, int length, int start, int limit, LONG* sourceLow, LONG* sourceHigh, LONG* low,
              LONG* high) {
  if (start < 0) {
    *low = 0;
    *sourceLow = sourceStart - start;
  } else {
    *low = start;
    *sourceLow = sourceStart;
  }
  if (start + length > limit) {
    *high = limit;
    *sourceHigh = sourceStart + length - (start + length - limit);
  } else {
    *high = start + length;
    *sourceHigh = sourceStart + length;
  }
}

}  // namespace

HRESULT BlitClipped(LPDIRECTDRAWSURFACE src, int sx, int sy, int w, int h, LPDIRECTDRAWSURFACE dst, int dx, int dy,
                    DWORD flags) {
  int destinationWidth = 0, destinationHeight = 0;
  GetSurfaceSize(dst, &destinationWidth, &destinationHeight);
  RECT sourceRect, destinationRect;
  ClipSpan(sx, w, dx, destinationWidth, &sourceRect.left, &sourceRect.right, &destinationRect.left,
           &destinationRect.right);
  ClipSpan(sy, h, dy, destinationHeight, &sourceRect.top, &sourceRect.bottom, &destinationRect.top,
           &destinationRect.bottom);
  // Wholly outside, the rectangles come out empty or inverted and Blt refuses
  // them: nothing is drawn and its error goes back to the caller.
  if (flags == kBlitKeyedWait) flags = DDBLT_KEYSRC | DDBLT_WAIT;
  return dst->Blt(&destinationRect, src, &sourceRect, flags, NULL);
}

HRESULT BlitWholeClipped(LPDIRECTDRAWSURFACE src, LPDIRECTDRAWSURFACE dst, int x, int y, DWORD flags) {
  int width = 0, height = 0;
  GetSurfaceSize(src, &width, &height);
  return BlitClipped(src, 0, 0, width, height, dst, x, y, flags);
}
