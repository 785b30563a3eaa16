// Pixel loops for 16-bit blits. The keyed copy is the one the game leans on
// (every sprite, button, tile and restored rectangle goes through it), so it
// selects without branches, many pixels a step with the widest registers the
// processor has: a keyed picture's transparent pixels come in runs of every
// length, and a per-pixel branch would mispredict at each run's edge.
#include "blit_kernels.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace host::blit {
namespace {

const uint16_t* RowOf(SourcePixels pixels, int y) {
  return reinterpret_cast<const uint16_t*>(reinterpret_cast<const uint8_t*>(pixels.first) +
                                           static_cast<ptrdiff_t>(pixels.pitchBytes) * y);
}

uint16_t* RowOf(DestinationPixels pixels, int y) {
  return reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(pixels.first) +
                                     static_cast<ptrdiff_t>(pixels.pitchBytes) * y);
}

// One unsigned comparison decides "low <= p <= high": p - low wraps round to a
// large value below low.
inline bool IsKeyed(uint16_t pixel, uint16_t low, uint16_t span) {
  return static_cast<uint16_t>(pixel - low) <= span;
}

void CopyKeyedRow(const uint16_t* src, uint16_t* dst, int width, uint16_t low, uint16_t span) {
  int x = 0;
#if defined(__SSE2__)
  // SSE2 has no unsigned 16-bit compare: p - low <= span exactly when the
  // saturating difference (p - low) - span is zero.
  const __m128i lowVector = _mm_set1_epi16(static_cast<short>(low));
  const __m128i spanVector = _mm_set1_epi16(static_cast<short>(span));
  const __m128i zero = _mm_setzero_si128();
  auto blendEight = [&](int at) {
    const __m128i source = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + at));
    const __m128i destination = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + at));
    const __m128i offset = _mm_sub_epi16(source, lowVector);
    const __m128i keyed = _mm_cmpeq_epi16(_mm_subs_epu16(offset, spanVector), zero);
    const __m128i result = _mm_or_si128(_mm_and_si128(keyed, destination), _mm_andnot_si128(keyed, source));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + at), result);
  };
  for (; x + 8 <= width; x += 8) blendEight(x);
  // The last few pixels: one more group ending at the row's end. Blending a
  // pixel twice gives the same result, as the source does not overlap.
  if (x < width && width >= 8) {
    blendEight(width - 8);
    return;
  }
#endif
  for (; x < width; ++x) {
    const uint16_t pixel = src[x];
    dst[x] = IsKeyed(pixel, low, span) ? dst[x] : pixel;
  }
}

using KeyedRowCopy = void (*)(const uint16_t* src, uint16_t* dst, int width, uint16_t low, uint16_t span);

#if defined(__x86_64__) && defined(__GNUC__)
// Where the processor has them, wider registers: sixteen pixels a step with
// AVX2, and with AVX-512 a store that writes only the opaque pixels of
// thirty-two, so the destination is not even read.
__attribute__((target("avx2"))) inline void BlendSixteen(const uint16_t* src, uint16_t* dst, __m256i lowVector,
                                                          __m256i spanVector) {
  const __m256i source = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src));
  const __m256i destination = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst));
  const __m256i keyed = _mm256_cmpeq_epi16(_mm256_subs_epu16(_mm256_sub_epi16(source, lowVector), spanVector),
                                           _mm256_setzero_si256());
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst), _mm256_blendv_epi8(source, destination, keyed));
}

__attribute__((target("avx2"))) void CopyKeyedRowAvx2(const uint16_t* src, uint16_t* dst, int width, uint16_t low,
                                                      uint16_t span) {
  if (width < 16) {
    CopyKeyedRow(src, dst, width, low, span);
    return;
  }
  const __m256i lowVector = _mm256_set1_epi16(static_cast<short>(low));
  const __m256i spanVector = _mm256_set1_epi16(static_cast<short>(span));
  int x = 0;
  for (; x + 16 <= width; x += 16) BlendSixteen(src + x, dst + x, lowVector, spanVector);
  if (x < width) BlendSixteen(src + width - 16, dst + width - 16, lowVector, spanVector);
}

__attribute__((target("avx512f,avx512bw"))) void CopyKeyedRowAvx512(const uint16_t* src, uint16_t* dst, int width,
                                                                   uint16_t low, uint16_t span) {
  const __m512i lowVector = _mm512_set1_epi16(static_cast<short>(low));
  const __m512i spanVector = _mm512_set1_epi16(static_cast<short>(span));
  int x = 0;
  for (; x + 32 <= width; x += 32) {
    const __m512i source = _mm512_loadu_si512(src + x);
    const __mmask32 opaque = _mm512_cmpgt_epu16_mask(_mm512_sub_epi16(source, lowVector), spanVector);
    _mm512_mask_storeu_epi16(dst + x, opaque, source);
  }
  if (x < width) {
    // Masked-off lanes are neither read nor written.
    const __mmask32 tail = (__mmask32{1} << (width - x)) - 1;
    const __m512i source = _mm512_maskz_loadu_epi16(tail, src + x);
    const __mmask32 opaque = _mm512_mask_cmpgt_epu16_mask(tail, _mm512_sub_epi16(source, lowVector), spanVector);
    _mm512_mask_storeu_epi16(dst + x, opaque, source);
  }
}

const KeyedRowCopy kRowCopies[] = {CopyKeyedRow, CopyKeyedRowAvx2, CopyKeyedRowAvx512};

VectorLevel BestLevel() {
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx512bw")) return VectorLevel::Avx512;
  if (__builtin_cpu_supports("avx2")) return VectorLevel::Avx2;
  return VectorLevel::Sse2;
}
#else
const KeyedRowCopy kRowCopies[] = {CopyKeyedRow};

VectorLevel BestLevel() { return VectorLevel::Sse2; }
#endif

const VectorLevel bestLevel = BestLevel();
KeyedRowCopy keyedRowCopy = kRowCopies[static_cast<int>(bestLevel)];

}  // namespace

VectorLevel BestVectorLevel() { return bestLevel; }

void UseVectorLevel(VectorLevel level) {
  keyedRowCopy = kRowCopies[static_cast<int>(std::min(level, bestLevel))];
}

void CopyOpaque(SourcePixels src, DestinationPixels dst, int width, int height) {
  const size_t rowBytes = static_cast<size_t>(width) * sizeof(uint16_t);
  if (src.pitchBytes == dst.pitchBytes && static_cast<size_t>(src.pitchBytes) == rowBytes) {
    std::memcpy(dst.first, src.first, rowBytes * static_cast<size_t>(height));
    return;
  }
  for (int y = 0; y < height; ++y) std::memcpy(RowOf(dst, y), RowOf(src, y), rowBytes);
}

bool CopyOpaqueChangedRows(SourcePixels src, DestinationPixels dst, int width, int height) {
  const size_t rowBytes = static_cast<size_t>(width) * sizeof(uint16_t);
  bool changed = false;
  for (int y = 0; y < height; ++y) {
    if (std::memcmp(RowOf(dst, y), RowOf(src, y), rowBytes) == 0) continue;
    std::memcpy(RowOf(dst, y), RowOf(src, y), rowBytes);
    changed = true;
  }
  return changed;
}

bool Differ(SourcePixels a, SourcePixels b, int width, int height) {
  const size_t rowBytes = static_cast<size_t>(width) * sizeof(uint16_t);
  for (int y = 0; y < height; ++y)
    if (std::memcmp(RowOf(a, y), RowOf(b, y), rowBytes) != 0) return true;
  return false;
}

void CopyKeyed(SourcePixels src, DestinationPixels dst, int width, int height, KeyRange key) {
  if (key.low > key.high) {
    CopyOpaque(src, dst, width, height);
    return;
  }
  const uint16_t span = static_cast<uint16_t>(key.high - key.low);
  for (int y = 0; y < height; ++y) keyedRowCopy(RowOf(src, y), RowOf(dst, y), width, key.low, span);
}

void Fill(DestinationPixels dst, int width, int height, uint16_t value) {
  for (int y = 0; y < height; ++y) std::fill_n(RowOf(dst, y), width, value);
}

void CopyStretched(SourcePixels src, DestinationPixels dst, std::span<const int32_t> srcColumns,
                   std::span<const int32_t> srcRows, const KeyRange* key) {
  const bool keyed = key != nullptr && key->low <= key->high;
  const uint16_t low = keyed ? key->low : 0;
  const uint16_t span = keyed ? static_cast<uint16_t>(key->high - key->low) : 0;
  for (size_t y = 0; y < srcRows.size(); ++y) {
    const uint16_t* sourceRow = RowOf(src, srcRows[y]);
    uint16_t* destinationRow = RowOf(dst, static_cast<int>(y));
    for (size_t x = 0; x < srcColumns.size(); ++x) {
      const uint16_t pixel = sourceRow[srcColumns[x]];
      if (!keyed || !IsKeyed(pixel, low, span)) destinationRow[x] = pixel;
    }
  }
}

}  // namespace host::blit
