// The pixel loops behind IDirectDrawSurface::Blt on 16-bit surfaces: opaque
// copy, copy with a source colour-key range, colour fill and nearest-neighbour
// stretch. They know nothing of surfaces, rectangles or clipping: Blt has checked
// every rectangle before it calls them, and the benchmark calls them directly.
//
// Windows behaviour reproduced: a source pixel p is transparent when
// low <= p <= high of the source's key (inclusive; low == high is a single key,
// low > high keys nothing).
// FIXME: 16 bits per pixel only; no destination keys, no raster operations.
#pragma once

#include <cstdint>
#include <span>

namespace host::blit {

// Pixels are addressed by their first pixel and the distance between rows in
// bytes, as a locked surface hands them out.
struct SourcePixels {
  const uint16_t* first;
  int32_t pitchBytes;
};

struct DestinationPixels {
  uint16_t* first;
  int32_t pitchBytes;
};

struct KeyRange {
  uint16_t low;
  uint16_t high;
};

// Source and destination must not overlap in any of these; Blt copies an
// overlapping source aside first.
void CopyOpaque(SourcePixels src, DestinationPixels dst, int width, int height);
// CopyOpaque that writes only the rows that differ; true when any did. For
// pictures on screen, copied over again mostly unchanged.
bool CopyOpaqueChangedRows(SourcePixels src, DestinationPixels dst, int width, int height);
// True when the two pictures differ anywhere.
bool Differ(SourcePixels a, SourcePixels b, int width, int height);
void CopyKeyed(SourcePixels src, DestinationPixels dst, int width, int height, KeyRange key);
void Fill(DestinationPixels dst, int width, int height, uint16_t value);

// The widest registers the keyed copy uses: chosen once for the processor at
// start; tests step down to compare the narrower ones with it.
enum class VectorLevel { Sse2, Avx2, Avx512 };
VectorLevel BestVectorLevel();
void UseVectorLevel(VectorLevel level);  // at most BestVectorLevel()

// Destination column x takes source column srcColumns[x] and destination row y
// takes source row srcRows[y]; the destination is srcColumns.size() by
// srcRows.size() pixels. With a key, keyed source pixels leave the destination.
void CopyStretched(SourcePixels src, DestinationPixels dst, std::span<const int32_t> srcColumns,
                   std::span<const int32_t> srcRows, const KeyRange* key);

}  // namespace host::blit
