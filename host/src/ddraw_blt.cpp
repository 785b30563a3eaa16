// IDirectDrawSurface::Blt: colour fills, copies with or without the source's
// colour key, and stretches.
//
// Windows behaviour reproduced: rectangles are right- and bottom-exclusive and a
// null rectangle means the whole surface. Without a clipper nothing is clipped:
// an empty, inverted, negative or partly outside rectangle is DDERR_INVALIDRECT
// and nothing is drawn. With a clipper on the destination, the destination
// rectangle is cut to the clipper window's client area (the source rectangle is
// cut in proportion) and must only be non-empty; the source rectangle must
// always lie inside the source. DDBLT_COLORFILL ignores the source and fills
// with the low 16 bits of dwFillColor, a raw pixel of the destination's format.
// DDBLT_KEYSRC without a source key is DDERR_INVALIDPARAMS. Different sizes
// stretch (nearest neighbour). A blit within one surface behaves as if the source
// were read completely before anything is written. DDBLT_WAIT changes nothing
// for a software blitter.
// FIXME: no blits between different pixel formats (DDERR_INVALIDPIXELFORMAT);
// other flags (raster operations, destination keys, effects) are
// DDERR_UNSUPPORTED.
#include <algorithm>
#include <vector>

#include "ddraw_surface.h"

namespace host {
namespace {

bool IsEmptyOrInverted(const RECT& rect) { return rect.left >= rect.right || rect.top >= rect.bottom; }

bool Contains(const RECT& outer, const RECT& inner) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

RECT Intersection(const RECT& a, const RECT& b) {
  return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
}

enum class Placement { Invalid, Hidden, Visible };

// Which part of the destination rectangle a blit draws.
Placement PlaceDestination(const RECT& destination, const RECT& bounds, const RECT& clipRegion, bool clipped,
                           RECT* visible) {
  if (IsEmptyOrInverted(destination)) return Placement::Invalid;
  if (!clipped) {
    if (!Contains(bounds, destination)) return Placement::Invalid;
    *visible = destination;
    return Placement::Visible;
  }
  *visible = Intersection(destination, clipRegion);
  return IsEmptyOrInverted(*visible) ? Placement::Hidden : Placement::Visible;
}

blit::SourcePixels Offset(blit::SourcePixels pixels, int x, int y) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(pixels.first) + static_cast<ptrdiff_t>(pixels.pitchBytes) * y;
  return {reinterpret_cast<const uint16_t*>(bytes) + x, pixels.pitchBytes};
}

// Nearest neighbour: destination step i of `visibleCount`, starting `skipped`
// steps into a destination run of `destinationLength`, reads source step
// floor((skipped + i) * sourceLength / destinationLength).
std::vector<int32_t> StretchSteps(int skipped, int visibleCount, int sourceLength, int destinationLength) {
  std::vector<int32_t> steps(static_cast<size_t>(visibleCount));
  for (int i = 0; i < visibleCount; ++i)
    steps[static_cast<size_t>(i)] =
        static_cast<int32_t>(static_cast<int64_t>(skipped + i) * sourceLength / destinationLength);
  return steps;
}

}  // namespace

HRESULT STDMETHODCALLTYPE DirectDrawSurface::Blt(LPRECT destRect, LPDIRECTDRAWSURFACE srcSurface, LPRECT srcRect,
                                                 DWORD flags, LPDDBLTFX bltFx) {
  if ((flags & ~DWORD{DDBLT_COLORFILL | DDBLT_KEYSRC | DDBLT_WAIT}) != 0) return DDERR_UNSUPPORTED;
  if (IsBusy()) return DDERR_SURFACEBUSY;
  const RECT destination = destRect != nullptr ? *destRect : Bounds();
  RECT clipRegion{};
  if (!ClipRegion(&clipRegion)) return DDERR_NOCLIPLIST;
  RECT visible{};
  const Placement placement = PlaceDestination(destination, Bounds(), clipRegion, clipper_ != nullptr, &visible);

  if ((flags & DDBLT_COLORFILL) != 0) {
    if (bltFx == nullptr || (bltFx->dwSize != sizeof(DDBLTFX) && bltFx->dwSize != kWindowsBltFxSize))
      return DDERR_INVALIDPARAMS;
    if (placement == Placement::Invalid) return DDERR_INVALIDRECT;
    if (placement == Placement::Hidden) return DD_OK;
    return ColorFill(visible, static_cast<uint16_t>(bltFx->dwFillColor));
  }

  auto* source = static_cast<DirectDrawSurface*>(srcSurface);
  if (source == nullptr) return DDERR_INVALIDPARAMS;
  const bool keyed = (flags & DDBLT_KEYSRC) != 0;
  if (keyed && !source->hasSourceKey_) return DDERR_INVALIDPARAMS;
  if (source != this && source->IsBusy()) return DDERR_SURFACEBUSY;
  if (source->layout_ != layout_) return DDERR_INVALIDPIXELFORMAT;
  const RECT sourceRect = srcRect != nullptr ? *srcRect : source->Bounds();
  if (IsEmptyOrInverted(sourceRect) || !Contains(source->Bounds(), sourceRect)) return DDERR_INVALIDRECT;
  if (placement == Placement::Invalid) return DDERR_INVALIDRECT;
  if (placement == Placement::Hidden) return DD_OK;
  return Copy(destination, visible, *source, sourceRect, keyed);
}

HRESULT DirectDrawSurface::ColorFill(const RECT& visible, uint16_t pixel) {
  blit::Fill(DestinationAt(visible.left, visible.top), visible.right - visible.left, visible.bottom - visible.top,
             pixel);
  PresentIfVisible();
  return DD_OK;
}

HRESULT DirectDrawSurface::Copy(const RECT& destination, const RECT& visible, DirectDrawSurface& source,
                                const RECT& sourceRect, bool keyed) {
  const int sourceWidth = sourceRect.right - sourceRect.left;
  const int sourceHeight = sourceRect.bottom - sourceRect.top;
  blit::SourcePixels sourceCorner = source.SourceAt(sourceRect.left, sourceRect.top);

  // Within one surface the areas may overlap: read the source before writing.
  std::vector<uint16_t> aside;
  if (&source == this && !IsEmptyOrInverted(Intersection(sourceRect, visible))) {
    aside.resize(static_cast<size_t>(sourceWidth) * static_cast<size_t>(sourceHeight));
    const blit::DestinationPixels copy{aside.data(), static_cast<int32_t>(sourceWidth * sizeof(uint16_t))};
    blit::CopyOpaque(sourceCorner, copy, sourceWidth, sourceHeight);
    sourceCorner = {aside.data(), copy.pitchBytes};
  }

  // Without DDCKEY_COLORSPACE a key is one colour, its low value; the high one is not used.
  const DWORD keyTop = source.sourceKeyIsRange_ ? source.sourceKey_.dwColorSpaceHighValue
                                                : source.sourceKey_.dwColorSpaceLowValue;
  const blit::KeyRange key{static_cast<uint16_t>(source.sourceKey_.dwColorSpaceLowValue),
                           static_cast<uint16_t>(keyTop)};
  const int visibleWidth = visible.right - visible.left;
  const int visibleHeight = visible.bottom - visible.top;
  const int skippedX = visible.left - destination.left;
  const int skippedY = visible.top - destination.top;
  const int destinationWidth = destination.right - destination.left;
  const int destinationHeight = destination.bottom - destination.top;
  const blit::DestinationPixels target = DestinationAt(visible.left, visible.top);

  bool changed = true;
  if (destinationWidth == sourceWidth && destinationHeight == sourceHeight) {
    const blit::SourcePixels from = Offset(sourceCorner, skippedX, skippedY);
    if (keyed)
      blit::CopyKeyed(from, target, visibleWidth, visibleHeight, key);
    else if (IsVisible())  // a windowed flip: the picture on screen, most often copied over unchanged
      changed = blit::CopyOpaqueChangedRows(from, target, visibleWidth, visibleHeight);
    else
      blit::CopyOpaque(from, target, visibleWidth, visibleHeight);
  } else {
    const std::vector<int32_t> columns = StretchSteps(skippedX, visibleWidth, sourceWidth, destinationWidth);
    const std::vector<int32_t> rows = StretchSteps(skippedY, visibleHeight, sourceHeight, destinationHeight);
    blit::CopyStretched(sourceCorner, target, columns, rows, keyed ? &key : nullptr);
  }
  PresentIfVisible(changed);
  return DD_OK;
}

}  // namespace host
