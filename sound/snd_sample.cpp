// One sample slot: its DirectSound buffer, loading, playing, pausing, the
// controls, duplicates and chains.
//
// Flags are changed with atomic read-modify-writes: the notification thread
// plays a chained successor (clearing its held bit) and clears the armed bit of
// the finished sample while the game thread may be looking at the same slots.
#include "sound/zq_sound.h"

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(SNDSample) == 19 * 4, "nineteen 32-bit words on Windows");
static_assert(sizeof(_SNDEvent) == 8 && sizeof(_ChunkHeader) == 8);
#endif

namespace {

std::atomic_ref<DWORD> Flags(SNDSample* sample) { return std::atomic_ref<DWORD>(sample->m_dwFlags); }

DWORD PlayFlags(DWORD sampleFlags) { return (sampleFlags & kSampleLooping) != 0 ? DSBPLAY_LOOPING : 0; }

}  // namespace

int SNDSample::AllocDSBuffer(DWORD bytes) {
  if (ZQSound::g_lpDSound == nullptr) return 0;
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = static_cast<WORD>(m_dwChannels);
  format.nSamplesPerSec = m_dwSampleRate;
  format.wBitsPerSample = static_cast<WORD>(m_dwBitsPerSample);
  format.nBlockAlign = static_cast<WORD>(m_dwChannels * m_dwBitsPerSample / 8);
  format.nAvgBytesPerSec = m_dwSampleRate * format.nBlockAlign;
  format.cbSize = 0;
  // No volume, pan or frequency control flags: see SetVolume.
  DSBUFFERDESC desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DSBCAPS_STATIC | DSBCAPS_CTRLPOSITIONNOTIFY;
  desc.dwBufferBytes = bytes != 0 ? bytes : m_dwDataSize;
  desc.lpwfxFormat = &format;
  IDirectSoundBuffer* buffer = nullptr;
  if (FAILED(ZQSound::g_lpDSound->CreateSoundBuffer(&desc, &buffer, nullptr)) || buffer == nullptr) return 0;
  m_lpBuffer = buffer;
  return 1;
}

int SNDSample::LoadSample(const char* name, DWORD id) {
  HANDLE file = OpenSoundFile(name);
  if (file == INVALID_HANDLE_VALUE) return 0;
  int loaded = 0;
  if (AllocDSBuffer(0)) {
    void* region = nullptr;
    void* wrapped = nullptr;
    DWORD regionBytes = 0, wrappedBytes = 0;
    if (SUCCEEDED(m_lpBuffer->Lock(0, m_dwDataSize, &region, &regionBytes, &wrapped, &wrappedBytes, 0))) {
      DWORD read = 0;
      loaded = regionBytes == m_dwDataSize && ReadFile(file, region, regionBytes, &read, nullptr) &&
               read == m_dwDataSize;
      if (id != 0xFFFFFFFFu) m_dwID = id;
      // Nothing reads the length; kept for the interface.
      const uint64_t bitsTimesMs = static_cast<uint64_t>(m_dwDataSize) * m_dwBitsPerSample * 1000;
      m_dwLength = static_cast<DWORD>(bitsTimesMs / (static_cast<uint64_t>(m_dwSampleRate) * 8));
      m_lpBuffer->Unlock(region, regionBytes, wrapped, wrappedBytes);
    }
    // A buffer whose sound could not be read is not kept.
    if (!loaded) {
      m_lpBuffer->Release();
      m_lpBuffer = nullptr;
    }
  }
  ZQSound::g_pCloseFile(file);
  return loaded;
}

int SNDSample::PlaySample(LONG volume, LONG pan) {
  if (std::atomic_ref<int>(zqSound.m_nSFXEnabled).load() == 0) {
    Flags(this).fetch_and(~kSampleHeld);
    return 1;
  }
  if (m_lpBuffer == nullptr) return 0;
  SetPan(pan);
  SetVolume(volume);
  if (m_pNext != nullptr) {
    // No free entry or no notification interface: this one plays, the chain does not go on.
    _SNDEvent* event = ZQSound::AllocSoundEvent();
    IDirectSoundNotify* notify = nullptr;
    if (event != nullptr &&
        SUCCEEDED(m_lpBuffer->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&notify)))) {
      m_NotifyPos.dwOffset = DSBPN_OFFSETSTOP;
      m_NotifyPos.hEventNotify = event->hEvent;
      Flags(this).fetch_or(kSampleNotifyArmed);
      std::atomic_ref<SNDSample*>(event->pSample).store(this);
      notify->SetNotificationPositions(1, &m_NotifyPos);
      notify->Release();
    } else if (event != nullptr) {
      ZQSound::FreeSoundEvent(event);
    }
  }
  const DWORD flags = Flags(this).fetch_and(~kSampleHeld);
  return SUCCEEDED(m_lpBuffer->Play(0, 0, PlayFlags(flags))) ? 1 : 0;
}

int SNDSample::StopSample() {
  if (m_lpBuffer == nullptr) return 0;
  return SUCCEEDED(m_lpBuffer->Stop()) ? 1 : 0;
}

int SNDSample::PauseSample() {
  if (m_lpBuffer == nullptr) return 0;
  DWORD play = 0, write = 0;
  if (FAILED(m_lpBuffer->Stop()) || FAILED(m_lpBuffer->GetCurrentPosition(&play, &write))) return 0;
  m_dwPausePos = play;
  Flags(this).fetch_or(kSamplePaused);
  return 1;
}

int SNDSample::UnPauseSample() {
  if (m_lpBuffer == nullptr || (Flags(this).load() & kSamplePaused) == 0) return 0;
  if (FAILED(m_lpBuffer->SetCurrentPosition(m_dwPausePos))) return 0;
  const DWORD flags = Flags(this).fetch_and(~kSamplePaused);
  return SUCCEEDED(m_lpBuffer->Play(0, 0, PlayFlags(flags))) ? 1 : 0;
}

LONG SNDSample::GetSampleStatus() {
  DWORD status = 0;
  if (m_lpBuffer == nullptr || FAILED(m_lpBuffer->GetStatus(&status))) return E_INVALIDARG;
  return static_cast<LONG>(status);
}

int SNDSample::SamplePlaying() {
  const LONG status = GetSampleStatus();
  if (status == E_INVALIDARG) return 0;
  return (status & DSBSTATUS_PLAYING) != 0 ? 1 : 0;
}

// Kept on purpose: the buffers have no control flags, so DirectSound refuses
// these (DSERR_CONTROLUNAVAIL) and every sample plays at full level in the
// centre. The game asks for pan 0, full right, for every effect; a buffer that
// took it would put all of them on one speaker. The value is stored all the same.
int SNDSample::SetVolume(int volume) {
  if (m_lpBuffer == nullptr) return 0;
  m_nVolume = volume;
  return SUCCEEDED(m_lpBuffer->SetVolume(ZQSound::MapVolume(volume))) ? 1 : 0;
}

int SNDSample::SetPan(int pan) {
  if (m_lpBuffer == nullptr) return 0;
  m_nPan = pan;
  return SUCCEEDED(m_lpBuffer->SetPan(ZQSound::MapPan(pan))) ? 1 : 0;
}

int SNDSample::SetPitch(int frequency) {
  if (m_lpBuffer == nullptr) return 0;
  m_nPitch = frequency;
  return SUCCEEDED(m_lpBuffer->SetFrequency(static_cast<DWORD>(frequency))) ? 1 : 0;
}

SNDSample* SNDSample::DupeSample() {
  if (m_lpBuffer == nullptr || ZQSound::g_lpDSound == nullptr) return nullptr;
  SNDSample* copy = ZQSound::AllocSample();
  if (copy == nullptr) return nullptr;
  IDirectSoundBuffer* buffer = nullptr;
  if (FAILED(ZQSound::g_lpDSound->DuplicateSoundBuffer(m_lpBuffer, &buffer)) || buffer == nullptr) {
    ZQSound::ClearSample(copy);  // the slot goes back rather than stay in use without a buffer
    return nullptr;
  }
  copy->m_lpBuffer = buffer;
  copy->m_dwID = m_dwID;
  copy->m_dwDataSize = m_dwDataSize;
  copy->m_dwSampleRate = m_dwSampleRate;
  copy->m_dwBitsPerSample = m_dwBitsPerSample;
  copy->m_dwChannels = m_dwChannels;
  copy->m_pNext = nullptr;
  // The looping bit stays behind: a duplicate plays once even when its source loops.
  if ((Flags(this).load() & kSampleLooping) != 0) {
    copy->m_dwLoopStart = m_dwLoopStart;
    copy->m_dwLoopEnd = m_dwLoopEnd;
  }
  Flags(copy).fetch_or(kSampleDuplicate);
  return copy;
}

SNDSample* SNDSample::ChainSample(SNDSample* head, SNDSample* tail) {
  if (tail == nullptr) return nullptr;
  if (head == nullptr) return tail;
  SNDSample* last = head;
  while (last->m_pNext != nullptr) last = last->m_pNext;
  last->m_pNext = tail;
  return head;
}

void SNDSample::Reset() {
  Flags(this).store(0);
  m_dwID = 0;
  m_dwDataSize = 0;
  m_dwSampleRate = 0;
  m_dwBitsPerSample = 0;
  m_dwChannels = 0;
  m_dwLength = 0;
  m_dwPausePos = 0;
  m_nVolume = 0;
  m_nPan = 0;
  m_nPitch = 0;
  m_dwLoopStart = 0;
  m_dwLoopEnd = 0;
  m_dwLoopCount = 0;
  m_dwReserved = 0;
  m_lpBuffer = nullptr;
  m_pNext = nullptr;  // m_NotifyPos keeps its two words
}
