#include "platform/bmp_decoder.h"

namespace bmp {
namespace {

constexpr uint32_t kCompressionNone = 0;
constexpr uint32_t kCompressionRle8 = 1;
constexpr uint32_t kCompressionRle4 = 2;
constexpr uint32_t kCompressionBitFields = 3;
constexpr uint32_t kCompressionAlphaBitFields = 6;

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;

uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

// One colour channel of a 16- or 32-bit pixel, scaled to 0..255 so that the
// channel's largest value becomes 255 (a 5-bit 31 must still be 31 after the
// loader cuts it back to 5 bits).
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  uint32_t largest = 0;

  explicit Channel(uint32_t channelMask) : mask(channelMask) {
    if (mask == 0) return;
    while (((mask >> shift) & 1) == 0) ++shift;
    largest = mask >> shift;
  }

  uint8_t Extract(uint32_t pixel) const {
    if (largest == 0) return 0;
    const uint64_t value = (pixel & mask) >> shift;
    return static_cast<uint8_t>((value * 255 + largest / 2) / largest);
  }
};

struct Header {
  int32_t width = 0;
  int32_t height = 0;  // always positive here; see topDown
  bool topDown = false;
  uint16_t bitCount = 0;
  uint32_t compression = kCompressionNone;
  uint32_t masks[3] = {0, 0, 0};  // red, green, blue for 16 and 32 bits
  size_t paletteStart = 0;
  size_t paletteEntrySize = 4;
  uint32_t colorsUsed = 0;
  size_t pixelOffset = 0;
};

bool IsInfoHeaderSize(uint32_t size) { return size == 40 || size == 52 || size == 56 || size == 108 || size == 124; }

bool ReadHeader(const uint8_t* data, size_t size, Header* header) {
  if (size < kFileHeaderSize + 4 || data[0] != 'B' || data[1] != 'M') return false;
  header->pixelOffset = ReadU32(data + 10);
  const uint32_t headerSize = ReadU32(data + kFileHeaderSize);
  const uint8_t* info = data + kFileHeaderSize;

  if (headerSize == kCoreHeaderSize) {
    if (size < kFileHeaderSize + kCoreHeaderSize) return false;
    header->width = ReadU16(info + 4);
    header->height = ReadU16(info + 6);
    header->bitCount = ReadU16(info + 10);
    header->paletteStart = kFileHeaderSize + kCoreHeaderSize;
    header->paletteEntrySize = 3;
  } else if (IsInfoHeaderSize(headerSize)) {
    if (size < kFileHeaderSize + headerSize) return false;
    header->width = static_cast<int32_t>(ReadU32(info + 4));
    int32_t height = static_cast<int32_t>(ReadU32(info + 8));
    header->bitCount = ReadU16(info + 14);
    header->compression = ReadU32(info + 16);
    header->colorsUsed = ReadU32(info + 32);
    header->paletteStart = kFileHeaderSize + headerSize;
    if (height == INT32_MIN) return false;
    if (height < 0) {
      header->topDown = true;
      height = -height;
    }
    header->height = height;

    if (header->compression == kCompressionBitFields || header->compression == kCompressionAlphaBitFields) {
      // Newer headers carry the masks inside; after a 40-byte header they follow
      // it, and the palette (if any) comes after them.
      if (headerSize == 40) {
        const size_t maskBytes = header->compression == kCompressionAlphaBitFields ? 16 : 12;
        if (size < header->paletteStart + maskBytes) return false;
        header->paletteStart += maskBytes;
      }
      for (int i = 0; i < 3; ++i) header->masks[i] = ReadU32(info + 40 + 4 * i);
    }
  } else {
    return false;
  }

  if (header->width <= 0 || header->height <= 0) return false;
  if (header->width > kMaxSide || header->height > kMaxSide) return false;
  if (static_cast<int64_t>(header->width) * header->height > kMaxPixels) return false;
  if (header->pixelOffset >= size) return false;
  return true;
}

bool HasMasks(uint32_t compression) {
  return compression == kCompressionBitFields || compression == kCompressionAlphaBitFields;
}

// Only the combinations Windows itself accepts; RLE pictures are never top-down.
bool IsSupportedFormat(const Header& header) {
  switch (header.bitCount) {
    case 1:
      return header.compression == kCompressionNone;
    case 4:
      return header.compression == kCompressionNone || (header.compression == kCompressionRle4 && !header.topDown);
    case 8:
      return header.compression == kCompressionNone || (header.compression == kCompressionRle8 && !header.topDown);
    case 16:
    case 32:
      return header.compression == kCompressionNone || HasMasks(header.compression);
    case 24:
      return header.compression == kCompressionNone;
    default:
      return false;
  }
}

// Up to 256 entries; entries the file does not define stay black, so any index
// byte can be looked up without a check.
struct Palette {
  uint8_t rgb[256][3] = {};
};

bool ReadPalette(const uint8_t* data, size_t size, const Header& header, Palette* palette) {
  const uint32_t largestCount = 1u << header.bitCount;
  uint32_t count = header.colorsUsed == 0 ? largestCount : header.colorsUsed;
  if (count > largestCount) count = largestCount;
  const uint64_t end = header.paletteStart + static_cast<uint64_t>(count) * header.paletteEntrySize;
  if (end > size) return false;
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* entry = data + header.paletteStart + i * header.paletteEntrySize;
    palette->rgb[i][0] = entry[2];
    palette->rgb[i][1] = entry[1];
    palette->rgb[i][2] = entry[0];
  }
  return true;
}

uint8_t* PictureRow(Picture* picture, int32_t rowInFile, bool topDown) {
  const int32_t row = topDown ? rowInFile : picture->height - 1 - rowInFile;
  return picture->rgb.data() + static_cast<size_t>(row) * picture->width * 3;
}

void StoreRgb(uint8_t* pixel, const uint8_t* rgb) {
  pixel[0] = rgb[0];
  pixel[1] = rgb[1];
  pixel[2] = rgb[2];
}

bool DecodeUncompressed(const uint8_t* data, size_t size, const Header& header, const Palette& palette,
                        Picture* picture) {
  const uint64_t usedBytes = (static_cast<uint64_t>(header.width) * header.bitCount + 7) / 8;
  const uint64_t stride = ((static_cast<uint64_t>(header.width) * header.bitCount + 31) / 32) * 4;
  // The last row's padding may be missing; its pixels may not.
  const uint64_t end = header.pixelOffset + stride * (header.height - 1) + usedBytes;
  if (end > size) return false;

  uint32_t defaultMasks[3] = {0xFF0000, 0x00FF00, 0x0000FF};
  if (header.bitCount == 16) {
    defaultMasks[0] = 0x7C00;
    defaultMasks[1] = 0x03E0;
    defaultMasks[2] = 0x001F;
  }
  const uint32_t* masks = HasMasks(header.compression) ? header.masks : defaultMasks;
  const Channel red(masks[0]), green(masks[1]), blue(masks[2]);

  for (int32_t rowInFile = 0; rowInFile < header.height; ++rowInFile) {
    const uint8_t* src = data + header.pixelOffset + stride * rowInFile;
    uint8_t* dst = PictureRow(picture, rowInFile, header.topDown);
    for (int32_t x = 0; x < header.width; ++x, dst += 3) {
      switch (header.bitCount) {
        case 1:
          StoreRgb(dst, palette.rgb[(src[x >> 3] >> (7 - (x & 7))) & 1]);
          break;
        case 4:
          StoreRgb(dst, palette.rgb[(x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4)]);
          break;
        case 8:
          StoreRgb(dst, palette.rgb[src[x]]);
          break;
        case 24:
          dst[0] = src[3 * x + 2];
          dst[1] = src[3 * x + 1];
          dst[2] = src[3 * x];
          break;
        default: {
          const uint32_t pixel = header.bitCount == 16 ? ReadU16(src + 2 * x) : ReadU32(src + 4 * x);
          dst[0] = red.Extract(pixel);
          dst[1] = green.Extract(pixel);
          dst[2] = blue.Extract(pixel);
          break;
        }
      }
    }
  }
  return true;
}

// Palette indexes of an RLE picture, bottom row first as the file stores them.
// Pixels placed outside the picture are dropped, so a run can never write past
// the buffer however long it claims to be.
class IndexCanvas {
 public:
  IndexCanvas(int32_t width, int32_t height)
      : width_(width), height_(height), indexes_(static_cast<size_t>(width) * height, 0) {}

  void Put(uint8_t index) {
    if (x_ < width_ && y_ < height_) indexes_[static_cast<size_t>(y_) * width_ + x_] = index;
    ++x_;
  }
  void EndLine() {
    x_ = 0;
    ++y_;
  }
  void Move(int dx, int dy) {
    x_ += dx;
    y_ += dy;
  }
  bool PastTop() const { return y_ >= height_; }
  uint8_t At(int32_t x, int32_t yFromBottom) const {
    return indexes_[static_cast<size_t>(yFromBottom) * width_ + x];
  }

 private:
  int64_t width_, height_;
  int64_t x_ = 0, y_ = 0;
  std::vector<uint8_t> indexes_;
};

// RLE8 and RLE4 share their escapes: 0,0 ends a line, 0,1 the picture, 0,2,dx,dy
// moves, 0,n copies n literal pixels padded to a 16-bit boundary; n,value repeats
// value (RLE4: its two nibbles in turn). Data that ends between commands counts
// as the end of the picture; a command cut short is an error.
bool DecodeRle(const uint8_t* data, size_t size, const Header& header, const Palette& palette, Picture* picture) {
  const bool fourBit = header.compression == kCompressionRle4;
  IndexCanvas canvas(header.width, header.height);
  size_t pos = header.pixelOffset;

  while (pos < size && !canvas.PastTop()) {
    if (size - pos < 2) return false;
    const uint8_t count = data[pos];
    const uint8_t value = data[pos + 1];
    pos += 2;
    if (count > 0) {
      for (int i = 0; i < count; ++i) {
        const uint8_t nibble = (i & 1) ? (value & 0x0F) : (value >> 4);
        canvas.Put(fourBit ? nibble : value);
      }
      continue;
    }
    if (value == 0) {
      canvas.EndLine();
    } else if (value == 1) {
      break;
    } else if (value == 2) {
      if (size - pos < 2) return false;
      canvas.Move(data[pos], data[pos + 1]);
      pos += 2;
    } else {
      const size_t literalBytes = fourBit ? (value + 1) / 2 : value;
      if (size - pos < literalBytes) return false;
      for (int i = 0; i < value; ++i) {
        const uint8_t byte = data[pos + (fourBit ? i / 2 : i)];
        canvas.Put(fourBit ? ((i & 1) ? (byte & 0x0F) : (byte >> 4)) : byte);
      }
      const size_t paddedBytes = (literalBytes + 1) & ~static_cast<size_t>(1);
      pos += paddedBytes <= size - pos ? paddedBytes : size - pos;
    }
  }

  for (int32_t yFromBottom = 0; yFromBottom < header.height; ++yFromBottom) {
    uint8_t* dst = PictureRow(picture, yFromBottom, false);
    for (int32_t x = 0; x < header.width; ++x, dst += 3) StoreRgb(dst, palette.rgb[canvas.At(x, yFromBottom)]);
  }
  return true;
}

}  // namespace

bool Decode(const uint8_t* data, size_t size, Picture* picture) {
  *picture = Picture();
  if (data == nullptr) return false;

  Header header;
  if (!ReadHeader(data, size, &header) || !IsSupportedFormat(header)) return false;

  Palette palette;
  if (header.bitCount <= 8 && !ReadPalette(data, size, header, &palette)) return false;

  picture->width = header.width;
  picture->height = header.height;
  picture->rgb.assign(static_cast<size_t>(header.width) * header.height * 3, 0);

  const bool rle = header.compression == kCompressionRle8 || header.compression == kCompressionRle4;
  const bool decoded = rle ? DecodeRle(data, size, header, palette, picture)
                           : DecodeUncompressed(data, size, header, palette, picture);
  if (!decoded) *picture = Picture();
  return decoded;
}

}  // namespace bmp
