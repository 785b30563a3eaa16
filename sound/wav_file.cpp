// Reading WAV files: the RIFF/WAVE header, the format, an optional sampler loop
// and the data chunk, through the engine's open and close hooks.
//
// Chunks follow one another with no alignment: a chunk of odd size is skipped
// by exactly its size, the way our own files are written (no pad byte).
// Every size the file states is checked against the file's real length before
// anything is allocated or read, so a lying header fails the load instead of
// making a buffer of whatever it claims.
#include <cstring>

#include "sound/zq_sound.h"

namespace {

constexpr DWORD FourCC(const char (&id)[5]) {
  return static_cast<DWORD>(static_cast<uint8_t>(id[0])) | static_cast<DWORD>(static_cast<uint8_t>(id[1])) << 8 |
         static_cast<DWORD>(static_cast<uint8_t>(id[2])) << 16 | static_cast<DWORD>(static_cast<uint8_t>(id[3])) << 24;
}

constexpr DWORD kRiff = FourCC("RIFF");
constexpr DWORD kWave = FourCC("WAVE");
constexpr DWORD kFormat = FourCC("fmt ");
constexpr DWORD kSampler = FourCC("smpl");
constexpr DWORD kData = FourCC("data");

constexpr DWORD kFormatBytesRead = 20;
constexpr DWORD kSamplerHeaderBytes = 36;
constexpr DWORD kSamplerLoopBytes = 24;

DWORD Word32(const uint8_t* bytes) {
  return static_cast<DWORD>(bytes[0]) | static_cast<DWORD>(bytes[1]) << 8 | static_cast<DWORD>(bytes[2]) << 16 |
         static_cast<DWORD>(bytes[3]) << 24;
}

DWORD Word16(const uint8_t* bytes) { return static_cast<DWORD>(bytes[0]) | static_cast<DWORD>(bytes[1]) << 8; }

// 1 when exactly `bytes` bytes were read.
int ReadExactly(HANDLE file, void* into, DWORD bytes) {
  DWORD read = 0;
  return ReadFile(file, into, bytes, &read, nullptr) && read == bytes ? 1 : 0;
}

// The file's length in *length, its position unchanged; 0 when it cannot be told.
int FileLength(HANDLE file, DWORD* length) {
  const DWORD here = SetFilePointer(file, 0, nullptr, FILE_CURRENT);
  if (here == INVALID_SET_FILE_POINTER) return 0;
  const DWORD end = SetFilePointer(file, 0, nullptr, FILE_END);
  if (SetFilePointer(file, static_cast<LONG>(here), nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return 0;
  if (end == INVALID_SET_FILE_POINTER) return 0;
  *length = end;
  return 1;
}

}  // namespace

HANDLE ZQSound::DefaultOpenFile(const char* name) {
  return CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

int ZQSound::DefaultCloseFile(HANDLE file) { return CloseHandle(file) ? 1 : 0; }

void ZQSound::SetFileOpenFunc(SNDOpenFileFunc open) { g_pOpenFile = open != nullptr ? open : DefaultOpenFile; }

void ZQSound::SetFileCloseFunc(SNDCloseFileFunc close) { g_pCloseFile = close != nullptr ? close : DefaultCloseFile; }

int SNDSample::FindRiffChunk(HANDLE file, LONG id, _ChunkHeader* header, DWORD start) {
  DWORD length = 0;
  if (!FileLength(file, &length) || start > length) return 0;
  if (SetFilePointer(file, static_cast<LONG>(start), nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return 0;
  DWORD position = start;
  for (;;) {
    uint8_t bytes[8];
    if (!ReadExactly(file, bytes, sizeof bytes)) return 0;
    header->ckID = Word32(bytes);
    header->ckSize = Word32(bytes + 4);
    position += sizeof bytes;
    // A chunk larger than what is left of the file: the header lies.
    if (header->ckSize > length - position) return 0;
    if (header->ckID == static_cast<DWORD>(id)) return 1;
    if (SetFilePointer(file, static_cast<LONG>(header->ckSize), nullptr, FILE_CURRENT) == INVALID_SET_FILE_POINTER) {
      return 0;
    }
    position += header->ckSize;
  }
}

int SNDSample::IsWavFile(HANDLE file) {
  uint8_t riff[12];
  if (!ReadExactly(file, riff, sizeof riff)) return 0;
  if (Word32(riff) != kRiff || Word32(riff + 8) != kWave) return 0;  // the RIFF size is not looked at
  const DWORD chunksStart = SetFilePointer(file, 0, nullptr, FILE_CURRENT);
  if (chunksStart == INVALID_SET_FILE_POINTER) return 0;

  // Twenty bytes are read even from the usual 16-byte format chunk.
  _ChunkHeader header;
  uint8_t format[kFormatBytesRead];
  if (!FindRiffChunk(file, static_cast<LONG>(kFormat), &header, chunksStart)) return 0;
  if (!ReadExactly(file, format, sizeof format) || Word16(format) != WAVE_FORMAT_PCM) return 0;
  const DWORD channels = Word16(format + 2), rate = Word32(format + 4), bits = Word16(format + 14);
  // Nothing could play such a format; refused before any buffer is asked for.
  if (channels == 0 || rate == 0 || (bits != 8 && bits != 16)) return 0;
  m_dwChannels = channels;
  m_dwSampleRate = rate;
  m_dwBitsPerSample = bits;
  std::atomic_ref<DWORD>(m_dwFlags).fetch_or(kSampleFormatRead);

  // The first loop of a sampler chunk, as byte offsets (sample frames times the
  // frame size); checked against the data once its size is known.
  int hasLoop = 0;
  uint64_t loopStart = 0, loopEnd = 0;
  DWORD loopCount = 0;
  if (FindRiffChunk(file, static_cast<LONG>(kSampler), &header, chunksStart)) {
    uint8_t sampler[kSamplerHeaderBytes];
    if (header.ckSize < sizeof sampler || !ReadExactly(file, sampler, sizeof sampler)) return 0;
    if (Word32(sampler + 28) != 0) {
      uint8_t loop[kSamplerLoopBytes];
      if (header.ckSize < sizeof sampler + sizeof loop || !ReadExactly(file, loop, sizeof loop)) return 0;
      const uint64_t frameBytes = channels * bits / 8;
      loopStart = Word32(loop + 8) * frameBytes;
      loopEnd = Word32(loop + 12) * frameBytes;
      loopCount = Word32(loop + 20);
      hasLoop = 1;
    }
  }

  if (!FindRiffChunk(file, static_cast<LONG>(kData), &header, chunksStart)) return 0;
  if (hasLoop) {
    if (loopStart > loopEnd || loopEnd > header.ckSize) return 0;
    m_dwLoopStart = static_cast<DWORD>(loopStart);
    m_dwLoopEnd = static_cast<DWORD>(loopEnd);
    m_dwLoopCount = loopCount;
    std::atomic_ref<DWORD>(m_dwFlags).fetch_or(kSampleLooping);
  }
  m_dwDataSize = header.ckSize;
  return 1;
}

HANDLE SNDSample::OpenSoundFile(const char* name) {
  if (name == nullptr) return INVALID_HANDLE_VALUE;
  HANDLE file = ZQSound::g_pOpenFile(name);
  if (file == INVALID_HANDLE_VALUE) return file;
  if (!IsWavFile(file)) {
    ZQSound::g_pCloseFile(file);
    return INVALID_HANDLE_VALUE;
  }
  return file;
}
