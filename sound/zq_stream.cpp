// The music stream of the sound engine: one WAV file played from disk through
// a ring of eight quarter-second segments. A fill thread refills each segment
// once it has been played; at the end of the data it wraps to the start
// (looping) or pads with silence, lets every filled segment play out, stops the
// ring and tears the stream down, then may hand over to a next-stream function.
//
// Threads: the game thread calls the public members; the fill thread runs
// FillStream. The record is published under streamLock before the ring plays
// and torn down under it, so a member that reaches the stream's slot or buffer
// never meets them half released. Every end of a stream goes through the fill
// thread: the game thread asks (stopAsked) and wakes it, then joins it.
#include <windows.h>
#include <dsound.h>

#include <algorithm>
#include <atomic>
#include <cstdint>

#include "sound/stream_fill.h"
#include "sound/zq_sound.h"

_SNDStream ZQSound::g_StreamInfo;
HANDLE ZQSound::g_NotifyEvents[9];
HANDLE ZQSound::g_FillThread;
DWORD ZQSound::g_FillThreadID;

namespace {

constexpr DWORD kSegments = 8;
constexpr DWORD kStopEvent = 8;
constexpr DWORD kNoId = 0xFFFFFFFF;
// How long a stop waits for the fill thread to end; it normally takes one
// wake-up. Real time: a wedged thread must not hold the program's exit.
constexpr DWORD kJoinLimitMs = 5000;
// A next-stream function that was already running when a stop came may start
// one more stream; each round of a stop ends one.
constexpr int kStopRounds = 4;

struct StreamLock {
  StreamLock() { InitializeCriticalSection(&section); }
  CRITICAL_SECTION section;
};

CRITICAL_SECTION* Lock() {
  static StreamLock lock;
  return &lock.section;
}

class Locked {
 public:
  Locked() { EnterCriticalSection(Lock()); }
  ~Locked() { LeaveCriticalSection(Lock()); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;
};

// The fill thread's own bookkeeping for the stream it serves; reset by each load.
std::atomic<DWORD> nextRefill{0};    // the next segment to refill once played
std::atomic<int> endSegment{-1};     // one-shot: the segment holding the data's end, once written
std::atomic<bool> stopAsked{false};  // the game thread wants the stream ended
std::atomic<uint32_t> wakeupsHandled{0};

// Which fill thread this is (the token given at its start), 0 on other
// threads: a thread must not wait for itself to end.
thread_local uintptr_t myFillToken = 0;
std::atomic<uintptr_t> lastFillToken{0};
uintptr_t fillThreadToken = 0;  // the token of g_FillThread; with it under the lock

_SNDStream& Stream() { return ZQSound::g_StreamInfo; }

bool Looping() { return (Stream().dwFlags.load() & kStreamLoop) != 0; }

// Writes the stream's next `bytes` bytes at `offset` of the ring; once a
// one-shot's end is written, remembers the segment that holds it.
void FillRing(SNDSample* slot, DWORD offset, DWORD bytes) {
  void* region = nullptr;
  void* second = nullptr;
  DWORD regionBytes = 0, secondBytes = 0;
  if (FAILED(slot->m_lpBuffer->Lock(offset, bytes, &region, &regionBytes, &second, &secondBytes, 0))) return;
  if (region && regionBytes > 0) {
    const bool loop = Looping();
    const DWORD data = FillStreamBytes(Stream(), slot->m_dwDataSize, StreamSilence(slot->m_dwBitsPerSample), loop,
                                       static_cast<uint8_t*>(region), regionBytes);
    if (!loop && Stream().dwBytesLeft == 0 && endSegment.load() < 0) {
      const DWORD last = offset + (data > 0 ? data - 1 : 0);
      endSegment.store(static_cast<int>(last / Stream().dwSegmentSize));
    }
  }
  slot->m_lpBuffer->Unlock(region, regionBytes, second, secondBytes);
}

// The whole ring from the start of the data.
void PrefillRing(SNDSample* slot) {
  endSegment.store(-1);
  nextRefill.store(0);
  Stream().dwBytesLeft = slot->m_dwDataSize;
  if (SetFilePointer(Stream().hFile, static_cast<LONG>(Stream().dwDataStart), nullptr, FILE_BEGIN) !=
      Stream().dwDataStart)
    Stream().dwBytesLeft = 0;
  FillRing(slot, 0, Stream().dwBufferSize);
}

// Refills, in order, every segment the play cursor has left behind since the
// last refill (one, unless this thread fell behind). Returns false when the
// segment holding a one-shot's end has been played: the stream is over.
bool RefillPlayedSegments(SNDSample* slot, DWORD event) {
  const DWORD segment = Stream().dwSegmentSize;
  DWORD play = 0, write = 0;
  DWORD playing = event;
  if (SUCCEEDED(slot->m_lpBuffer->GetCurrentPosition(&play, &write)) && play / segment < kSegments)
    playing = play / segment;
  for (DWORD done = nextRefill.load(); done != playing; done = (done + 1) % kSegments) {
    if (endSegment.load() == static_cast<int>(done)) return false;
    FillRing(slot, done * segment, segment);
    nextRefill.store((done + 1) % kSegments);
  }
  return true;
}

void CloseStreamFile(HANDLE file) {
  if (file == nullptr || file == INVALID_HANDLE_VALUE) return;
  if (ZQSound::g_pCloseFile) ZQSound::g_pCloseFile(file);
  else CloseHandle(file);
}

// Releases everything a stream holds, loaded or half loaded. With the lock held.
void ReleaseStream(SNDSample* slot) {
  _SNDStream& stream = Stream();
  for (DWORD i = 0; i <= kStopEvent; ++i) {
    if (ZQSound::g_NotifyEvents[i]) CloseHandle(ZQSound::g_NotifyEvents[i]);
    ZQSound::g_NotifyEvents[i] = nullptr;
    stream.NotifyPositions[i] = DSBPOSITIONNOTIFY{};
  }
  if (stream.lpNotify) stream.lpNotify->Release();
  stream.lpNotify = nullptr;
  if (slot) {
    if (slot->m_lpBuffer) {
      slot->m_lpBuffer->Stop();
      slot->m_lpBuffer->Release();
      slot->m_lpBuffer = nullptr;
    }
    ZQSound::ClearSample(slot);
  }
  stream.pStreamSample.store(nullptr);
  // The stream's file came through the open hook, so it goes back through the
  // close hook.
  CloseStreamFile(stream.hFile);
  stream.hFile = nullptr;
  // Loaded, playing, loop, paused and primed go; the fill thread clears its own bit.
  stream.dwFlags.fetch_and(kStreamThreadRunning);
  stream.dwDataStart = stream.dwBytesLeft = stream.dwBufferSize = stream.dwSegmentSize = 0;
}

// Waits for a fill thread to end and closes its handle. A fill thread cannot
// wait for itself: it only lets go of its handle, and ends right after.
void JoinFillThread(HANDLE thread, uintptr_t token) {
  if (thread == nullptr) return;
  if (token != myFillToken) WaitForSingleObject(thread, kJoinLimitMs);
  CloseHandle(thread);
}

// Ends the stream, loaded or playing, and the fill thread, and returns when
// neither is left. No next-stream function runs for a stream ended here.
void EndStream() {
  for (int round = 0; round < kStopRounds; ++round) {
    HANDLE thread = nullptr;
    uintptr_t token = 0;
    {
      Locked locked;
      SNDSample* slot = Stream().pStreamSample.load();
      if (slot) {
        stopAsked.store(true);
        if (slot->m_lpBuffer) slot->m_lpBuffer->Stop();
        // The ring's own stop notification does not come when the ring was
        // already stopped (paused, or at its end); waking the thread here means
        // no stop can be lost.
        SetEvent(ZQSound::g_NotifyEvents[kStopEvent]);
      }
      thread = ZQSound::g_FillThread;
      token = fillThreadToken;
      ZQSound::g_FillThread = nullptr;
      ZQSound::g_FillThreadID = 0;
      fillThreadToken = 0;
      if (!slot && !thread) return;
    }
    // No TerminateThread (the Linux host has none): the fill thread ends itself
    // once woken, and we wait for it here.
    JoinFillThread(thread, token);
  }
}

// One wake-up of the fill thread. Returns false when the stream is to be torn
// down: asked to stop, played to its end, or its events are gone.
bool HandleWakeup(DWORD result, bool* playedOut) {
  if (result == WAIT_OBJECT_0 + kStopEvent) {
    // A stopped ring is a pause unless a stop was asked for.
    return !stopAsked.load();
  }
  if (result >= WAIT_OBJECT_0 + kStopEvent) return false;
  SNDSample* slot = Stream().pStreamSample.load();
  if (!slot || !slot->m_lpBuffer) return true;
  Stream().dwFlags.fetch_or(kStreamPrimed);
  if (RefillPlayedSegments(slot, result - WAIT_OBJECT_0)) return true;
  slot->m_lpBuffer->Stop();
  *playedOut = true;
  return false;
}

}  // namespace

uint32_t StreamWakeupsHandledForTest() { return wakeupsHandled.load(); }

unsigned long WINAPI ZQSound::FillStream(void* token) {
  myFillToken = reinterpret_cast<uintptr_t>(token);
  bool playedOut = false;
  for (;;) {
    const DWORD result = WaitForMultipleObjects(kStopEvent + 1, g_NotifyEvents, FALSE, INFINITE);
    if (!HandleWakeup(result, &playedOut)) break;
    wakeupsHandled.fetch_add(1);
  }
  DWORD id = 0;
  bool handOver = false;
  {
    Locked locked;
    SNDSample* slot = g_StreamInfo.pStreamSample.load();
    id = slot ? slot->m_dwID : 0;
    handOver = slot && playedOut && !stopAsked.load();
    CleanupStream();
  }
  // Our own bit goes before the next stream can set its own.
  g_StreamInfo.dwFlags.fetch_and(~kStreamThreadRunning);
  SNDStreamNextFunc next = g_StreamInfo.pNextStreamFunc.load();
  if (handOver && next) next(id);
  wakeupsHandled.fetch_add(1);  // the last one: counted once all of it is done
  return 0;
}

int ZQSound::CleanupStream() {
  Locked locked;
  SNDSample* slot = g_StreamInfo.pStreamSample.load();
  if (slot) ReleaseStream(slot);
  return 1;
}

int ZQSound::LoadStream(const char* name, DWORD id) {
  if (!m_nMusicEnabled) return 0;
  // One stream at a time: the one before ends first, thread and all.
  EndStream();

  SNDSample* slot = AllocSample();
  if (!slot) return 0;
  _SNDStream& stream = g_StreamInfo;
  stream.hFile = slot->OpenSoundFile(name);
  if (stream.hFile == INVALID_HANDLE_VALUE) {
    stream.hFile = nullptr;
    ClearSample(slot);
    return 0;
  }
  if (id != kNoId) slot->m_dwID = id;

  Locked locked;
  auto fail = [&] {
    ReleaseStream(slot);
    return 0;
  };
  stream.dwDataStart = SetFilePointer(stream.hFile, 0, nullptr, FILE_CURRENT);
  // The header's data size is only a claim: the stream reads what the file holds.
  slot->m_dwDataSize = std::min(slot->m_dwDataSize, StreamBytesInFile(stream.hFile, stream.dwDataStart));
  const DWORD segment = StreamSegmentSize(slot->m_dwSampleRate, slot->m_dwBitsPerSample, slot->m_dwChannels);
  if (stream.dwDataStart == INVALID_SET_FILE_POINTER || slot->m_dwDataSize == 0 || segment == 0) return fail();
  if ((slot->m_dwFlags & kSampleLooping) &&
      (slot->m_dwLoopEnd <= slot->m_dwLoopStart || slot->m_dwLoopEnd - slot->m_dwLoopStart < segment))
    return fail();
  stream.dwSegmentSize = segment;
  stream.dwBufferSize = segment * kSegments;

  if (!slot->AllocDSBuffer(stream.dwBufferSize)) return fail();
  if (FAILED(slot->m_lpBuffer->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&stream.lpNotify))))
    return fail();
  for (DWORD i = 0; i <= kStopEvent; ++i) {
    g_NotifyEvents[i] = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!g_NotifyEvents[i]) return fail();
    stream.NotifyPositions[i] = {i == kStopEvent ? DSBPN_OFFSETSTOP : i * segment, g_NotifyEvents[i]};
  }
  if (FAILED(stream.lpNotify->SetNotificationPositions(kStopEvent + 1, stream.NotifyPositions))) return fail();

  // Published under the lock, which the other members take before they look:
  // they see the stream whole or not at all.
  stream.dwFlags.store(kStreamLoaded | kStreamThreadRunning);
  stream.pStreamSample.store(slot);
  stopAsked.store(false);
  init_stream_buffer();  // before the thread, which has nothing to do until the ring plays
  const uintptr_t token = lastFillToken.fetch_add(1) + 1;
  g_FillThread = CreateThread(nullptr, 0, FillStream, reinterpret_cast<void*>(token), 0, &g_FillThreadID);
  if (!g_FillThread) {
    g_FillThreadID = 0;
    stream.dwFlags.store(0);
    return fail();
  }
  SetThreadPriority(g_FillThread, THREAD_PRIORITY_LOWEST);
  fillThreadToken = token;
  return 1;
}

void ZQSound::init_stream_buffer() {
  SNDSample* slot = g_StreamInfo.pStreamSample.load();
  if (slot && slot->m_lpBuffer) PrefillRing(slot);
}

int ZQSound::PlayStream(int flags) {
  if (!m_nMusicEnabled) return 1;
  Locked locked;
  SNDSample* slot = g_StreamInfo.pStreamSample.load();
  const DWORD state = g_StreamInfo.dwFlags.load();
  if (!slot || !slot->m_lpBuffer || !(state & kStreamLoaded) || (state & kStreamPlaying)) return 1;
  // Only the loop bit is the caller's to give; the others are the stream's state.
  g_StreamInfo.dwFlags.fetch_or(static_cast<DWORD>(flags) & kStreamLoop);
  // The ring was filled as for a single play; a looping piece that ends inside
  // it continues with its start instead of the silence.
  if ((flags & kStreamLoop) && endSegment.load() >= 0) PrefillRing(slot);
  // From 0, not 1: the first byte of the piece is heard, and the first
  // notification (segment 0 starting) finds nothing played to refill.
  slot->m_lpBuffer->SetCurrentPosition(0);
  slot->m_lpBuffer->Play(0, 0, DSBPLAY_LOOPING);
  g_StreamInfo.dwFlags.fetch_or(kStreamPlaying);
  return 1;
}

int ZQSound::StopStream() {
  if (!m_nMusicEnabled) return 1;
  EndStream();
  return 1;
}

int ZQSound::PauseStream() {
  Locked locked;
  SNDSample* slot = g_StreamInfo.pStreamSample.load();
  const DWORD state = g_StreamInfo.dwFlags.load();
  if (!slot || !slot->m_lpBuffer || !(state & kStreamLoaded) || !(state & kStreamPlaying)) return 1;
  // The ring's stop notification that a pause causes is told apart from the
  // end of the stream by stopAsked, which only a stop sets.
  if (state & kStreamPaused) {
    g_StreamInfo.dwFlags.fetch_and(~kStreamPaused);
    slot->m_lpBuffer->SetCurrentPosition(slot->m_dwPausePos);
    slot->m_lpBuffer->Play(0, 0, DSBPLAY_LOOPING);
  } else {
    g_StreamInfo.dwFlags.fetch_or(kStreamPaused);
    DWORD play = 0, write = 0;
    if (SUCCEEDED(slot->m_lpBuffer->GetCurrentPosition(&play, &write))) slot->m_dwPausePos = play;
    slot->m_lpBuffer->Stop();
  }
  return 1;
}

_SNDStream* ZQSound::GetStreamInfoPtr() { return &g_StreamInfo; }

void ZQSound::SetStreamVolume(int volume) {
  Locked locked;
  SNDSample* slot = g_StreamInfo.pStreamSample.load();
  if (slot && slot->m_lpBuffer && (g_StreamInfo.dwFlags.load() & kStreamLoaded)) slot->SetVolume(volume);
}

int ZQSound::GetStreamVolume() {
  Locked locked;
  SNDSample* slot = g_StreamInfo.pStreamSample.load();
  if (slot && slot->m_lpBuffer && (g_StreamInfo.dwFlags.load() & kStreamLoaded)) return slot->m_nVolume;
  return 0;
}

DWORD ZQSound::GetStreamID() {
  Locked locked;
  SNDSample* slot = g_StreamInfo.pStreamSample.load();
  return slot && (g_StreamInfo.dwFlags.load() & kStreamLoaded) ? slot->m_dwID : 0;
}

SNDStreamNextFunc ZQSound::SetStreamNextFunc(SNDStreamNextFunc next) {
  return g_StreamInfo.pNextStreamFunc.exchange(next);
}
SNDStreamNextFunc ZQSound::GetStreamNextFunc() { return g_StreamInfo.pNextStreamFunc.load(); }
void ZQSound::ClearStreamNextStreamFunc() { g_StreamInfo.pNextStreamFunc.store(nullptr); }

void ZQSound::FadeMusic(int from, int to, DWORD ms) {
  // The caller is busy for the whole fade, on purpose: the game fades only
  // at start-up, where nothing else waits.
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD now = GetTickCount();
    if (!(start + ms > now)) break;
    const int64_t step = static_cast<int64_t>(now - start) * (to - from) / static_cast<int64_t>(ms);
    SetStreamVolume(from + static_cast<int>(step));
  }
  SetStreamVolume(to);
}

void ZQSound::FadeMusicIn(DWORD ms) { FadeMusic(0, m_nMusicVolume, ms); }
void ZQSound::FadeMusicOut(DWORD ms) { FadeMusic(m_nMusicVolume, 0, ms); }
