// The sound engine: DirectSound, a fixed pool of sample slots in one block of
// global memory, duplicates for overlapping plays, chained samples started by a
// notification thread, and one streamed music channel with fades.
//
// Threads: the game thread calls every public member; the notification thread
// (CallBack) starts chained samples; the fill thread (FillStream) refills and
// tears down the music stream. No lock: the words both sides touch are changed
// atomically (sample flags and event entries through std::atomic_ref, the stream
// record's flags and slot as atomics).
//
// Volume and pan are engine units 0..65535: volume 65535 is full level, 0
// silence; pan 0 is full right, 0x8000 the centre, 65535 full left.
//
// The records keep their fields in this order on every platform. On Windows an
// SNDSample is nineteen 32-bit words; where pointers and handles are 64 bits
// (the Linux host) the records holding them (SNDSample, _SNDEvent, _SNDStream)
// are larger. Nothing reads them from a file.
#pragma once

#include <windows.h>
#include <dsound.h>

#include <array>
#include <atomic>
#include <cstdint>

class SNDSample;
class ZQSound;

// Bits of SNDSample::m_dwFlags.
constexpr DWORD kSampleInUse = 0x0001;        // the slot is allocated
constexpr DWORD kSampleHeld = 0x0002;         // handed out by FindSample, not yet played
constexpr DWORD kSampleDuplicate = 0x0004;    // made by DupeSample, shares its sound data
constexpr DWORD kSampleLooping = 0x0008;      // the file had a smpl loop: every play loops
constexpr DWORD kSampleFormatRead = 0x0010;   // format read from the file
constexpr DWORD kSamplePaused = 0x0100;       // paused by PauseSample
constexpr DWORD kSampleNotifyArmed = 0x0400;  // a chained successor waits for this one to stop

// Bits of _SNDStream::dwFlags.
constexpr DWORD kStreamLoaded = 0x00000001;
constexpr DWORD kStreamPlaying = 0x00000002;
constexpr DWORD kStreamLoop = 0x00000004;
constexpr DWORD kStreamPaused = 0x00000008;
constexpr DWORD kStreamThreadRunning = 0x00000010;
constexpr DWORD kStreamPrimed = 0x80000000;  // the first segment notification after a load was seen

// Chunk header as stored in a RIFF file: id compared as one little-endian word.
struct _ChunkHeader {
  DWORD ckID;
  DWORD ckSize;
};

// Reports the stop of `pSample` through `hEvent`; pSample is null while free.
struct _SNDEvent {
  HANDLE hEvent;
  SNDSample* pSample;
};

typedef HANDLE (*SNDOpenFileFunc)(const char* name);   // -1 (INVALID_HANDLE_VALUE) on failure
typedef int (*SNDCloseFileFunc)(HANDLE file);
typedef void (*SNDStreamNextFunc)(DWORD finishedId);  // runs on the fill thread

// The one music stream.
struct _SNDStream {
  std::atomic<DWORD> dwFlags;  // kStream* bits
  HANDLE hFile;                // the open WAV file, at the next byte to read
  DWORD dwDataStart;           // file offset of the first data byte
  DWORD dwSegmentSize;         // bytes per segment
  DWORD dwBufferSize;          // bytes of the ring, 8 segments
  DWORD dwBytesLeft;           // data bytes not yet read in this pass
  std::atomic<SNDSample*> pStreamSample;  // slot with format, ID, volume and ring; null: no stream
  std::atomic<SNDStreamNextFunc> pNextStreamFunc;
  IDirectSoundNotify* lpNotify;
  DSBPOSITIONNOTIFY NotifyPositions[9];  // 0..7 segment starts, 8 the stop
};

// 16384 attenuations in hundredths of a decibel: entry i is
// 1000 * log2(i / 16384), truncated toward zero, limited below at -10000.
extern const std::array<int16_t, 16384> g_VolumeTable;

class SNDSample {
 public:
  // Opens through the engine's open hook and parses the header; the file then
  // stands at the first data byte. INVALID_HANDLE_VALUE on failure.
  HANDLE OpenSoundFile(const char* name);
  // Parses a RIFF/WAVE header from the file's current position: 1/0.
  int IsWavFile(HANDLE file);
  // Finds chunk `id` from absolute offset `start`; the file then stands at its payload.
  static int FindRiffChunk(HANDLE file, LONG id, _ChunkHeader* header, DWORD start);
  // Loads the whole file into a new static buffer; an id of 0xFFFFFFFF keeps m_dwID.
  int LoadSample(const char* name, DWORD id);
  // Creates the slot's secondary buffer of `bytes` (0: m_dwDataSize).
  int AllocDSBuffer(DWORD bytes);
  int PlaySample(LONG volume, LONG pan);
  int StopSample();
  int PauseSample();
  int UnPauseSample();
  LONG GetSampleStatus();  // DSBSTATUS bits, or E_INVALIDARG
  int SamplePlaying();
  // Store the value, then pass it to the buffer (which refuses it: see zq_sound.cpp).
  int SetVolume(int volume);
  int SetPan(int pan);
  int SetPitch(int frequency);
  // A new slot sharing this slot's sound data, or null.
  SNDSample* DupeSample();
  // Appends `tail` to the end of `head`'s chain; returns the chain's head.
  static SNDSample* ChainSample(SNDSample* head, SNDSample* tail);
  // Zeroes the slot except m_NotifyPos.
  void Reset();

  DWORD m_dwFlags;  // kSample* bits; changed through std::atomic_ref
  DWORD m_dwID;
  DWORD m_dwDataSize;
  DWORD m_dwSampleRate;
  DWORD m_dwBitsPerSample;
  DWORD m_dwChannels;
  DWORD m_dwLength;  // milliseconds
  DWORD m_dwPausePos;
  LONG m_nVolume;
  LONG m_nPan;
  LONG m_nPitch;
  DWORD m_dwLoopStart;  // byte offsets into the data
  DWORD m_dwLoopEnd;
  DWORD m_dwLoopCount;
  DWORD m_dwReserved;
  IDirectSoundBuffer* m_lpBuffer;
  DSBPOSITIONNOTIFY m_NotifyPos;
  SNDSample* m_pNext;
};

class ZQSound {
 public:
  ZQSound();
  ZQSound(HWND hwnd, int samples);

  // --- Samples ---
  int Init(HWND hwnd, int samples);
  void Exit();
  int AllocSampleBuffers();
  int LoadSample(const char* name, DWORD id);
  SNDSample* FindSample(DWORD id);
  SNDSample* PlaySample(LONG id, LONG volume, LONG pan);
  int PlaySampleIDOnce(LONG id, LONG volume, LONG pan);
  void FreeSample(DWORD id);
  void FreeSample(SNDSample* sample);
  void FlushSamples();
  void EnableSFX(int enable);
  void EnableMusic(int enable);
  void MemCleanup();
  DWORD GetLIBVersion();
  const char* GetLIBDate();
  static IDirectSound* GetDSObject();
  static IDirectSoundBuffer* GetDSPrimaryBuffer();
  static SNDSample* AllocSample();
  static void ClearSample(SNDSample* sample);
  static void ClearSampleList();
  static _SNDEvent* AllocSoundEvent();
  static void FreeSoundEvent(_SNDEvent* event);
  static int MapVolume(int volume);
  static int MapPan(int pan);
  static void SetFileOpenFunc(SNDOpenFileFunc open);
  static void SetFileCloseFunc(SNDCloseFileFunc close);

  // --- Music stream ---
  int LoadStream(const char* name, DWORD id);
  int PlayStream(int flags);
  int StopStream();
  int PauseStream();
  static int CleanupStream();
  static _SNDStream* GetStreamInfoPtr();
  static void SetStreamVolume(int volume);
  static int GetStreamVolume();
  static DWORD GetStreamID();
  SNDStreamNextFunc SetStreamNextFunc(SNDStreamNextFunc next);
  SNDStreamNextFunc GetStreamNextFunc();
  static void ClearStreamNextStreamFunc();
  void FadeMusic(int from, int to, DWORD ms);
  void FadeMusicIn(DWORD ms);
  void FadeMusicOut(DWORD ms);

  int m_nMusicVolume;
  int m_nMusicEnabled;
  int m_nSFXEnabled;

  static IDirectSound* g_lpDSound;
  static IDirectSoundBuffer* g_lpSoundBuffer;
  static DSCAPS g_DSCaps;
  static HGLOBAL g_MemHandle;
  static int g_nMaxSampleCount;
  static int g_nMaxEventCount;
  static HANDLE* g_CallBackHandles;
  static _SNDEvent* g_EventList;
  static SNDSample* g_SampleList;
  static SNDSample* g_pEndSample;
  static SNDSample* g_pLastSample;
  static HANDLE g_CallBackThread;
  static std::atomic<int> g_nCallBackThreadActive;
  static SNDOpenFileFunc g_pOpenFile;
  static SNDCloseFileFunc g_pCloseFile;

  static _SNDStream g_StreamInfo;
  static HANDLE g_NotifyEvents[9];
  static HANDLE g_FillThread;
  static DWORD g_FillThreadID;

 protected:
  static HANDLE DefaultOpenFile(const char* name);
  static int DefaultCloseFile(HANDLE file);
  static unsigned long WINAPI CallBack(void* unused);
  static unsigned long WINAPI FillStream(void* unused);
  int CreateMainBuffer();
  int alloc_sample_buffers(int samples);
  int free_sample_buffers();
  int setup_callback();
  void close_callback();
  void debug_dsound_caps(DSCAPS* caps);
  void init_stream_buffer();
};

// The program's engine: constructed empty, brought up by the sound registry.
extern ZQSound zqSound;
