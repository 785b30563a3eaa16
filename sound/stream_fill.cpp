// The music stream's arithmetic and reads; see stream_fill.h.
#include "sound/stream_fill.h"

#include <algorithm>
#include <cstring>

namespace {

// Eight quarter seconds make the ring; a buffer can hold no more than this.
constexpr uint64_t kSegmentsPerRing = 8;
constexpr uint64_t kLargestBuffer = DSBSIZE_MAX;

}  // namespace

DWORD StreamSegmentSize(DWORD samplesPerSecond, DWORD bitsPerSample, DWORD channels) {
  const uint64_t frameBits = uint64_t{bitsPerSample} * channels;
  if (frameBits == 0 || frameBits % 8 != 0) return 0;
  const uint64_t frame = frameBits / 8;
  // A quarter second as the byte rate's 2000/8000: 22050 Hz 16-bit stereo
  // gives 22050, which is not a whole frame, so 22052.
  uint64_t segment = uint64_t{samplesPerSecond} * frame * 2000 / 8000;
  if (segment % frame != 0) segment += frame - segment % frame;
  if (segment == 0 || segment * kSegmentsPerRing > kLargestBuffer) return 0;
  return static_cast<DWORD>(segment);
}

uint8_t StreamSilence(DWORD bitsPerSample) { return bitsPerSample == 8 ? 0x80 : 0x00; }

DWORD StreamBytesInFile(HANDLE file, DWORD dataStart) {
  const DWORD end = SetFilePointer(file, 0, nullptr, FILE_END);
  const DWORD back = SetFilePointer(file, static_cast<LONG>(dataStart), nullptr, FILE_BEGIN);
  if (end == INVALID_SET_FILE_POINTER || back != dataStart || end < dataStart) return 0;
  return end - dataStart;
}

DWORD FillStreamBytes(_SNDStream& stream, DWORD dataSize, uint8_t silence, bool loop, uint8_t* to, DWORD bytes) {
  DWORD done = 0;
  int emptyReads = 0;  // two in a row: a rewound file gives nothing, so stop trying
  while (done < bytes && emptyReads < 2) {
    if (stream.dwBytesLeft == 0) {
      if (!loop) break;
      if (SetFilePointer(stream.hFile, static_cast<LONG>(stream.dwDataStart), nullptr, FILE_BEGIN) !=
          stream.dwDataStart)
        break;
      stream.dwBytesLeft = dataSize;
    }
    const DWORD want = std::min(bytes - done, stream.dwBytesLeft);
    DWORD got = 0;
    if (!ReadFile(stream.hFile, to + done, want, &got, nullptr)) got = 0;
    got = std::min(got, want);
    if (got < want) stream.dwBytesLeft = 0;  // the file ends early: that is the end of the data
    else stream.dwBytesLeft -= got;
    emptyReads = got == 0 ? emptyReads + 1 : 0;
    done += got;
  }
  std::memset(to + done, silence, bytes - done);
  return done;
}
