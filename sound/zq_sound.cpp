// The engine: DirectSound and the primary buffer, the pool of sample slots in
// one block of global memory, finding a playable slot (duplicating a sound that
// is already playing), releasing slots, and the notification thread that starts
// the next sample of a chain.
#include "sound/zq_sound.h"

ZQSound zqSound;

IDirectSound* ZQSound::g_lpDSound;
IDirectSoundBuffer* ZQSound::g_lpSoundBuffer;
DSCAPS ZQSound::g_DSCaps;
HGLOBAL ZQSound::g_MemHandle;
int ZQSound::g_nMaxSampleCount;
int ZQSound::g_nMaxEventCount;
HANDLE* ZQSound::g_CallBackHandles;
_SNDEvent* ZQSound::g_EventList;
SNDSample* ZQSound::g_SampleList;
SNDSample* ZQSound::g_pEndSample;
SNDSample* ZQSound::g_pLastSample;
HANDLE ZQSound::g_CallBackThread;
std::atomic<int> ZQSound::g_nCallBackThreadActive;
SNDOpenFileFunc ZQSound::g_pOpenFile = ZQSound::DefaultOpenFile;
SNDCloseFileFunc ZQSound::g_pCloseFile = ZQSound::DefaultCloseFile;

namespace {

// The most handles one wait takes.
constexpr int kMaxEvents = MAXIMUM_WAIT_OBJECTS;

// Marks an event entry claimed by AllocSoundEvent before its sample is stored:
// the game thread and the notification thread both take entries, and each
// entry must go to one of them only.
SNDSample claimedEntry;

std::atomic_ref<DWORD> Flags(SNDSample* sample) { return std::atomic_ref<DWORD>(sample->m_dwFlags); }
std::atomic_ref<SNDSample*> EntrySample(_SNDEvent* event) { return std::atomic_ref<SNDSample*>(event->pSample); }

// The high-water mark is also lowered by the music's fill thread when it tears
// its stream down.
std::atomic_ref<SNDSample*> LastSample() { return std::atomic_ref<SNDSample*>(ZQSound::g_pLastSample); }

// Takes back the event entry of a sample that waits for its stop, so that
// stopping it to release it does not start its successor.
void DisarmChain(SNDSample* sample) {
  if ((Flags(sample).load() & kSampleNotifyArmed) == 0 || ZQSound::g_EventList == nullptr) return;
  for (int i = 1; i < ZQSound::g_nMaxEventCount; ++i) {
    SNDSample* expected = sample;
    EntrySample(&ZQSound::g_EventList[i]).compare_exchange_strong(expected, nullptr);
  }
  Flags(sample).fetch_and(~kSampleNotifyArmed);
}

// Stops a slot's buffer if it plays and releases it.
void ReleaseBuffer(SNDSample* sample) {
  DisarmChain(sample);
  DWORD status = 0;
  if (SUCCEEDED(sample->m_lpBuffer->GetStatus(&status)) && (status & DSBSTATUS_PLAYING) != 0) {
    sample->m_lpBuffer->Stop();
  }
  sample->m_lpBuffer->Release();
  sample->m_lpBuffer = nullptr;
}

int Idle(SNDSample* sample) { return (Flags(sample).load() & kSampleHeld) == 0 && !sample->SamplePlaying(); }

}  // namespace

ZQSound::ZQSound() {}

ZQSound::ZQSound(HWND hwnd, int samples) { Init(hwnd, samples); }

int ZQSound::Init(HWND hwnd, int samples) {
  g_FillThread = nullptr;
  m_nSFXEnabled = 1;
  m_nMusicEnabled = 1;
  m_nMusicVolume = 0x8000;
  if (samples < 0) return 0;
  g_nMaxSampleCount = samples;
  if (!AllocSampleBuffers()) return 0;
  if (FAILED(DirectSoundCreate(nullptr, &g_lpDSound, nullptr))) {
    g_lpDSound = nullptr;
    free_sample_buffers();
    return 0;
  }
  if (FAILED(g_lpDSound->SetCooperativeLevel(hwnd, DSSCL_EXCLUSIVE))) {
    g_lpDSound->Release();
    g_lpDSound = nullptr;
    free_sample_buffers();
    return 0;
  }
  g_DSCaps = DSCAPS{};
  g_DSCaps.dwSize = sizeof g_DSCaps;
  if (SUCCEEDED(g_lpDSound->GetCaps(&g_DSCaps))) debug_dsound_caps(&g_DSCaps);
  if (!CreateMainBuffer()) {
    free_sample_buffers();
    return 0;
  }
  SetFileOpenFunc(nullptr);
  SetFileCloseFunc(nullptr);
  setup_callback();
  return 1;
}

int ZQSound::CreateMainBuffer() {
  DSBUFFERDESC desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
  if (FAILED(g_lpDSound->CreateSoundBuffer(&desc, &g_lpSoundBuffer, nullptr)) || g_lpSoundBuffer == nullptr) {
    g_lpSoundBuffer = nullptr;
    return 0;
  }
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = (g_DSCaps.dwFlags & DSCAPS_PRIMARYSTEREO) != 0 ? 2 : 1;
  format.nSamplesPerSec = 22050;
  format.wBitsPerSample = (g_DSCaps.dwFlags & DSCAPS_PRIMARY16BIT) != 0 ? 16 : 8;
  format.nBlockAlign = static_cast<WORD>(format.nChannels * format.wBitsPerSample / 8);
  format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
  g_lpSoundBuffer->SetFormat(&format);  // a refused format leaves the device's own
  // The mixer runs all the time, so that starting a sample has no start-up delay.
  if (FAILED(g_lpSoundBuffer->Play(0, 0, DSBPLAY_LOOPING))) {
    g_lpSoundBuffer->Release();
    g_lpSoundBuffer = nullptr;
    return 0;
  }
  return 1;
}

void ZQSound::debug_dsound_caps(DSCAPS*) {}

void ZQSound::Exit() {
  StopStream();
  close_callback();
  for (SNDSample* sample = g_SampleList; sample != nullptr && sample < LastSample().load(); ++sample) {
    if ((Flags(sample).load() & kSampleInUse) != 0) FreeSample(sample);
  }
  free_sample_buffers();
  if (g_lpSoundBuffer != nullptr) {
    g_lpSoundBuffer->Stop();
    g_lpSoundBuffer->Release();
    g_lpSoundBuffer = nullptr;
  }
  if (g_lpDSound != nullptr) {
    g_lpDSound->Release();
    g_lpDSound = nullptr;
  }
}

int ZQSound::AllocSampleBuffers() {
  free_sample_buffers();
  if (!alloc_sample_buffers(g_nMaxSampleCount)) return 0;
  LastSample().store(g_SampleList);
  g_pEndSample = g_SampleList + g_nMaxSampleCount;
  return 1;
}

int ZQSound::alloc_sample_buffers(int samples) {
  const int events = samples + 1 < kMaxEvents ? samples + 1 : kMaxEvents;
  const SIZE_T bytes = events * sizeof(HANDLE) + events * sizeof(_SNDEvent) + samples * sizeof(SNDSample);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
  if (block == nullptr) return 0;
  auto* start = static_cast<uint8_t*>(GlobalLock(block));
  if (start == nullptr) {
    GlobalFree(block);
    return 0;
  }
  g_MemHandle = block;
  g_nMaxEventCount = events;
  g_CallBackHandles = reinterpret_cast<HANDLE*>(start);
  g_EventList = reinterpret_cast<_SNDEvent*>(start + events * sizeof(HANDLE));
  g_SampleList = reinterpret_cast<SNDSample*>(start + events * (sizeof(HANDLE) + sizeof(_SNDEvent)));
  return 1;
}

int ZQSound::free_sample_buffers() {
  if (g_MemHandle != nullptr) {
    GlobalUnlock(g_MemHandle);
    if (GlobalFree(g_MemHandle) != nullptr) return 0;
  }
  g_MemHandle = nullptr;
  g_CallBackHandles = nullptr;
  g_EventList = nullptr;
  g_SampleList = nullptr;
  g_pEndSample = nullptr;
  LastSample().store(nullptr);
  g_nMaxEventCount = 0;
  return 1;
}

int ZQSound::setup_callback() {
  for (int i = 0; i < g_nMaxEventCount; ++i) {
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    g_EventList[i].hEvent = event;
    g_CallBackHandles[i] = event;
  }
  // Marked running before the thread exists, so that an Exit right after Init
  // still signals it and waits for it.
  g_nCallBackThreadActive.store(1);
  DWORD threadId = 0;
  g_CallBackThread = CreateThread(nullptr, 0, CallBack, nullptr, 0, &threadId);
  if (g_CallBackThread == nullptr) {
    g_nCallBackThreadActive.store(0);
    return 0;
  }
  return 1;
}

unsigned long WINAPI ZQSound::CallBack(void*) {
  unsigned long result = 0;
  for (;;) {
    const DWORD signalled =
        WaitForMultipleObjects(static_cast<DWORD>(g_nMaxEventCount), g_CallBackHandles, FALSE, INFINITE);
    if (signalled == WAIT_OBJECT_0) break;  // entry 0: the quit signal
    const DWORD index = signalled - WAIT_OBJECT_0;
    if (signalled == WAIT_FAILED || index >= static_cast<DWORD>(g_nMaxEventCount)) {
      result = 1;
      break;
    }
    _SNDEvent* event = &g_EventList[index];
    SNDSample* finished = EntrySample(event).load();
    if (finished == nullptr || finished == &claimedEntry) continue;
    if (!EntrySample(event).compare_exchange_strong(finished, nullptr)) continue;  // disarmed meanwhile
    if (finished->m_pNext != nullptr) finished->m_pNext->PlaySample(finished->m_nVolume, finished->m_nPan);
    Flags(finished).fetch_and(~kSampleNotifyArmed);
  }
  g_nCallBackThreadActive.store(0);
  return result;
}

void ZQSound::close_callback() {
  if (g_CallBackThread != nullptr) {
    // The thread cannot be ended from outside (the host has no TerminateThread):
    // it is asked through event 0 and ends itself.
    if (g_nCallBackThreadActive.load() != 0 && g_CallBackHandles != nullptr) SetEvent(g_CallBackHandles[0]);
    WaitForSingleObject(g_CallBackThread, INFINITE);
    CloseHandle(g_CallBackThread);
    g_CallBackThread = nullptr;
  }
  if (g_CallBackHandles == nullptr) return;
  for (int i = 0; i < g_nMaxEventCount; ++i) {
    if (g_CallBackHandles[i] == nullptr) continue;
    CloseHandle(g_CallBackHandles[i]);
    g_CallBackHandles[i] = nullptr;
    g_EventList[i].hEvent = nullptr;
    EntrySample(&g_EventList[i]).store(nullptr);
  }
}

_SNDEvent* ZQSound::AllocSoundEvent() {
  if (g_EventList == nullptr) return nullptr;
  for (int i = 1; i < g_nMaxEventCount; ++i) {  // entry 0 is never handed out
    SNDSample* expected = nullptr;
    if (EntrySample(&g_EventList[i]).compare_exchange_strong(expected, &claimedEntry)) return &g_EventList[i];
  }
  return nullptr;
}

void ZQSound::FreeSoundEvent(_SNDEvent* event) {
  if (event != nullptr) EntrySample(event).store(nullptr);
}

SNDSample* ZQSound::AllocSample() {
  for (SNDSample* sample = g_SampleList; sample != nullptr && sample < g_pEndSample; ++sample) {
    if ((Flags(sample).fetch_or(kSampleInUse) & kSampleInUse) != 0) continue;
    if (sample >= LastSample().load()) LastSample().store(sample + 1);
    return sample;
  }
  return nullptr;
}

void ZQSound::ClearSample(SNDSample* sample) {
  if (sample == nullptr) return;
  sample->Reset();
  SNDSample* highest = nullptr;
  for (SNDSample* slot = sample; slot < LastSample().load(); ++slot) {
    if ((Flags(slot).load() & kSampleInUse) != 0) highest = slot;
  }
  if (highest != nullptr) LastSample().store(highest + 1);
}

void ZQSound::ClearSampleList() {
  if (g_SampleList == nullptr) return;
  // The music's slot is left to the stream, which tears it down itself.
  SNDSample* stream = g_StreamInfo.pStreamSample.load();
  for (SNDSample* sample = g_SampleList; sample < g_pEndSample; ++sample) {
    if (sample == stream) continue;
    if ((Flags(sample).load() & kSampleInUse) != 0 && sample->m_lpBuffer != nullptr) ReleaseBuffer(sample);
    ClearSample(sample);
  }
  LastSample().store(stream != nullptr ? stream + 1 : g_SampleList);
  g_pEndSample = g_SampleList + g_nMaxSampleCount;
}

int ZQSound::LoadSample(const char* name, DWORD id) {
  if (FindSample(id) != nullptr) return 1;  // already loaded: the file is not read again
  SNDSample* sample = AllocSample();
  if (sample == nullptr) return 0;
  if (!sample->LoadSample(name, id)) {
    ClearSample(sample);
    return 0;
  }
  return 1;
}

SNDSample* ZQSound::FindSample(DWORD id) {
  SNDSample* taken = nullptr;
  SNDSample* source = nullptr;
  for (SNDSample* sample = g_SampleList; sample != nullptr && sample < LastSample().load(); ++sample) {
    const DWORD flags = Flags(sample).load();
    if ((flags & kSampleInUse) != 0 && sample->m_dwID == id) {
      if (Idle(sample)) {
        taken = sample;
        break;
      }
      if (source == nullptr && (flags & kSampleDuplicate) == 0) source = sample;
    } else if ((flags & kSampleDuplicate) != 0 && Idle(sample)) {
      FreeSample(sample);  // an idle duplicate of another sound, passed on the way
    }
  }
  if (taken == nullptr && source != nullptr) taken = source->DupeSample();
  if (taken != nullptr) Flags(taken).fetch_or(kSampleHeld);
  return taken;
}

SNDSample* ZQSound::PlaySample(LONG id, LONG volume, LONG pan) {
  SNDSample* sample = FindSample(static_cast<DWORD>(id));
  if (sample != nullptr) sample->PlaySample(volume, pan);
  return sample;
}

int ZQSound::PlaySampleIDOnce(LONG id, LONG volume, LONG pan) {
  if (std::atomic_ref<int>(m_nSFXEnabled).load() == 0) return 1;
  SNDSample* sample = FindSample(static_cast<DWORD>(id));
  if (sample == nullptr || sample->m_lpBuffer == nullptr || sample->SamplePlaying()) return 0;
  sample->SetPan(pan);
  sample->SetVolume(volume);
  const DWORD flags = Flags(sample).fetch_and(~kSampleHeld);
  return SUCCEEDED(sample->m_lpBuffer->Play(0, 0, (flags & kSampleLooping) != 0 ? DSBPLAY_LOOPING : 0)) ? 1 : 0;
}

void ZQSound::FreeSample(DWORD id) { FreeSample(FindSample(id)); }

void ZQSound::FreeSample(SNDSample* sample) {
  if (sample == nullptr || sample->m_lpBuffer == nullptr) return;
  ReleaseBuffer(sample);
  ClearSample(sample);
}

void ZQSound::FlushSamples() {
  for (SNDSample* sample = g_SampleList; sample != nullptr && sample < g_pEndSample; ++sample) {
    const DWORD flags = Flags(sample).load();
    if ((flags & kSampleInUse) != 0 && (flags & kSampleDuplicate) != 0 && Idle(sample)) FreeSample(sample);
  }
}

void ZQSound::EnableSFX(int enable) { std::atomic_ref<int>(m_nSFXEnabled).store(enable); }

void ZQSound::EnableMusic(int enable) {
  if (enable == 0) StopStream();
  m_nMusicEnabled = enable;
}

void ZQSound::MemCleanup() {
  if (g_lpDSound != nullptr) g_lpDSound->Compact();
}

DWORD ZQSound::GetLIBVersion() { return 1; }

const char* ZQSound::GetLIBDate() { return "Fri May  5 06:51:24 2000"; }

IDirectSound* ZQSound::GetDSObject() { return g_lpDSound; }

IDirectSoundBuffer* ZQSound::GetDSPrimaryBuffer() { return g_lpSoundBuffer; }

int ZQSound::MapVolume(int volume) {
  int index = volume >> 2;
  if (volume > 65535) index = 16383;
  if (volume < 0) index = 0;
  return g_VolumeTable[index];
}

int ZQSound::MapPan(int pan) {
  if (pan > 65535) return -10000;
  if (pan >= 0x8000) return g_VolumeTable[16383 - (((pan - 0x8000) >> 1) & 0x3FFF)];
  if (pan > 0) return -g_VolumeTable[(pan >> 1) & 0x3FFF];
  return 10000;
}
