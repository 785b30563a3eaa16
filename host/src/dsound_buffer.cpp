// IDirectSoundBuffer and IDirectSoundNotify.
//
// Windows behaviour reproduced (see dsound.h): refused controls without their
// DSBCAPS_CTRL flag, Lock regions that wrap, cursors kept by Stop, status bits,
// notifications only on DSBCAPS_CTRLPOSITIONNOTIFY buffers and only changed
// while stopped (DSERR_INVALIDCALL while playing). The primary buffer plays
// only looping (DSERR_INVALIDPARAM otherwise), takes a new format only at
// DSSCL_PRIORITY or above and cannot be locked (DSERR_PRIOLEVELNEEDED).
#include "dsound_buffer.h"

#include <algorithm>
#include <cstring>

namespace host {
namespace {

using Guard = std::lock_guard<std::mutex>;

// The write cursor runs this far ahead of the play cursor while playing: the
// part the mixer may already have taken.
constexpr DWORD kWriteAheadMs = 10;

}  // namespace

bool IsPlayableFormat(const WAVEFORMATEX* format) {
  return format && format->wFormatTag == WAVE_FORMAT_PCM && (format->nChannels == 1 || format->nChannels == 2) &&
         (format->wBitsPerSample == 8 || format->wBitsPerSample == 16) &&
         format->nSamplesPerSec >= DSBFREQUENCY_MIN && format->nSamplesPerSec <= DSBFREQUENCY_MAX &&
         format->nBlockAlign == format->nChannels * format->wBitsPerSample / 8;
}

SoundBuffer::SoundBuffer(DWORD flags, std::shared_ptr<std::atomic<DWORD>> level)
    : flags_(flags), level_(std::move(level)) {
  voice_.data = std::make_shared<std::vector<uint8_t>>();
  primaryFormat_ = {WAVE_FORMAT_PCM, 2, 22050, 22050 * 4, 4, 16, 0};  // what a fresh device reports
  if (!IsPrimary()) {
    Guard lock(AudioMutex());
    AddVoice(&voice_);
  }
}

SoundBuffer* SoundBuffer::DuplicateOf(const SoundBuffer& original) { return new SoundBuffer(original); }

SoundBuffer::SoundBuffer(const SoundBuffer& original) : flags_(original.flags_), level_(original.level_) {
  Guard lock(AudioMutex());
  voice_.data = original.voice_.data;
  voice_.size = original.voice_.size;
  voice_.channels = original.voice_.channels;
  voice_.bitsPerSample = original.voice_.bitsPerSample;
  voice_.blockAlign = original.voice_.blockAlign;
  voice_.formatRate = original.voice_.formatRate;
  voice_.frequency = original.voice_.frequency;
  voice_.volume = original.voice_.volume;
  voice_.pan = original.voice_.pan;
  voice_.UpdateGains();
  AddVoice(&voice_);
}

SoundBuffer::~SoundBuffer() {
  if (IsPrimary()) return;
  Guard lock(AudioMutex());
  RemoveVoice(&voice_);
}

void SoundBuffer::Allocate(const WAVEFORMATEX& format, DWORD bytes) {
  Guard lock(AudioMutex());
  voice_.channels = format.nChannels;
  voice_.bitsPerSample = format.wBitsPerSample;
  voice_.blockAlign = format.nBlockAlign;
  voice_.formatRate = voice_.frequency = format.nSamplesPerSec;
  voice_.size = (bytes + format.nBlockAlign - 1) / format.nBlockAlign * format.nBlockAlign;
  voice_.data->assign(voice_.size, 0);
}

HRESULT SoundBuffer::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_INVALIDARG;
  *object = nullptr;
  if (IsEqualIID(riid, IID_IDirectSoundBuffer)) {
    *object = static_cast<IDirectSoundBuffer*>(this);
  } else if (IsEqualIID(riid, IID_IDirectSoundNotify) && (flags_ & DSBCAPS_CTRLPOSITIONNOTIFY)) {
    *object = static_cast<IDirectSoundNotify*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return DS_OK;
}

ULONG SoundBuffer::AddRef() { return ++references_; }

ULONG SoundBuffer::Release() {
  ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT SoundBuffer::GetCaps(LPDSBCAPS caps) {
  if (!caps || caps->dwSize != sizeof(DSBCAPS)) return DSERR_INVALIDPARAM;
  Guard lock(AudioMutex());
  caps->dwFlags = flags_ | DSBCAPS_LOCSOFTWARE;
  caps->dwBufferBytes = voice_.size;
  caps->dwUnlockTransferRate = 0;
  caps->dwPlayCpuOverhead = 0;
  return DS_OK;
}

HRESULT SoundBuffer::GetCurrentPosition(LPDWORD currentPlayCursor, LPDWORD currentWriteCursor) {
  Guard lock(AudioMutex());
  if (IsPrimary() || voice_.size == 0) {
    if (currentPlayCursor) *currentPlayCursor = 0;
    if (currentWriteCursor) *currentWriteCursor = 0;
    return DS_OK;
  }
  if (currentPlayCursor) *currentPlayCursor = voice_.PlayCursor();
  if (currentWriteCursor) *currentWriteCursor = WriteCursorLocked();
  return DS_OK;
}

DWORD SoundBuffer::WriteCursorLocked() const {
  const DWORD play = voice_.PlayCursor();
  if (!voice_.playing) return play;
  const DWORD ahead = std::min(voice_.frequency * kWriteAheadMs / 1000 * voice_.blockAlign, voice_.size - voice_.blockAlign);
  return (play + ahead) % voice_.size;
}

HRESULT SoundBuffer::GetFormat(LPWAVEFORMATEX format, DWORD sizeAllocated, LPDWORD sizeWritten) {
  if (!format && !sizeWritten) return DSERR_INVALIDPARAM;
  if (format && sizeAllocated < sizeof(WAVEFORMATEX)) return DSERR_INVALIDPARAM;
  if (sizeWritten) *sizeWritten = sizeof(WAVEFORMATEX);
  if (!format) return DS_OK;
  Guard lock(AudioMutex());
  if (IsPrimary()) {
    *format = primaryFormat_;
  } else {
    *format = {WAVE_FORMAT_PCM,
               voice_.channels,
               voice_.formatRate,
               voice_.formatRate * voice_.blockAlign,
               voice_.blockAlign,
               voice_.bitsPerSample,
               0};
  }
  return DS_OK;
}

HRESULT SoundBuffer::GetVolume(LPLONG volume) {
  if (!volume) return DSERR_INVALIDPARAM;
  if (!(flags_ & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
  Guard lock(AudioMutex());
  *volume = voice_.volume;
  return DS_OK;
}

HRESULT SoundBuffer::GetPan(LPLONG pan) {
  if (!pan) return DSERR_INVALIDPARAM;
  if (!(flags_ & DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
  Guard lock(AudioMutex());
  *pan = voice_.pan;
  return DS_OK;
}

HRESULT SoundBuffer::GetFrequency(LPDWORD frequency) {
  if (!frequency) return DSERR_INVALIDPARAM;
  if (!(flags_ & DSBCAPS_CTRLFREQUENCY) || IsPrimary()) return DSERR_CONTROLUNAVAIL;
  Guard lock(AudioMutex());
  *frequency = voice_.frequency;
  return DS_OK;
}

HRESULT SoundBuffer::GetStatus(LPDWORD status) {
  if (!status) return DSERR_INVALIDPARAM;
  Guard lock(AudioMutex());
  *status = (voice_.playing ? DSBSTATUS_PLAYING : 0) | (voice_.looping ? DSBSTATUS_LOOPING : 0);
  return DS_OK;
}

HRESULT SoundBuffer::Lock(DWORD offset, DWORD bytes, LPVOID* audioPtr1, LPDWORD audioBytes1, LPVOID* audioPtr2,
                          LPDWORD audioBytes2, DWORD flags) {
  if (!audioPtr1 || !audioBytes1) return DSERR_INVALIDPARAM;
  if (IsPrimary()) return DSERR_PRIOLEVELNEEDED;
  Guard lock(AudioMutex());
  const DWORD size = voice_.size;
  if (flags & DSBLOCK_FROMWRITECURSOR) offset = WriteCursorLocked();
  if (flags & DSBLOCK_ENTIREBUFFER) bytes = size;
  if (offset >= size || bytes == 0 || bytes > size) return DSERR_INVALIDPARAM;
  uint8_t* memory = voice_.data->data();
  const DWORD first = std::min(bytes, size - offset);
  *audioPtr1 = memory + offset;
  *audioBytes1 = first;
  if (audioPtr2) *audioPtr2 = first < bytes ? memory : nullptr;
  if (audioBytes2) *audioBytes2 = first < bytes && audioPtr2 ? bytes - first : 0;
  return DS_OK;
}

HRESULT SoundBuffer::Play(DWORD reserved1, DWORD priority, DWORD flags) {
  if (reserved1 != 0) return DSERR_INVALIDPARAM;
  if (priority != 0) return DSERR_INVALIDCALL;  // only deferred-voice buffers take a priority
  if (IsPrimary() && !(flags & DSBPLAY_LOOPING)) return DSERR_INVALIDPARAM;
  Guard lock(AudioMutex());
  voice_.playing = true;
  voice_.looping = (flags & DSBPLAY_LOOPING) != 0;
  return DS_OK;
}

HRESULT SoundBuffer::SetCurrentPosition(DWORD newPosition) {
  if (IsPrimary()) return DSERR_INVALIDCALL;
  Guard lock(AudioMutex());
  if (newPosition >= voice_.size) return DSERR_INVALIDPARAM;
  voice_.SetCursor(newPosition);
  return DS_OK;
}

HRESULT SoundBuffer::SetFormat(LPCWAVEFORMATEX format) {
  if (!IsPrimary()) return DSERR_INVALIDCALL;
  if (!format) return DSERR_INVALIDPARAM;
  if (level_->load() < DSSCL_PRIORITY) return DSERR_PRIOLEVELNEEDED;
  if (!IsPlayableFormat(format)) return DSERR_BADFORMAT;
  Guard lock(AudioMutex());
  primaryFormat_ = *format;
  primaryFormat_.nAvgBytesPerSec = format->nSamplesPerSec * format->nBlockAlign;
  primaryFormat_.cbSize = 0;
  return DS_OK;
}

HRESULT SoundBuffer::SetVolume(LONG volume) {
  if (!(flags_ & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
  if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
  Guard lock(AudioMutex());
  voice_.volume = volume;
  voice_.UpdateGains();
  return DS_OK;
}

HRESULT SoundBuffer::SetPan(LONG pan) {
  if (!(flags_ & DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
  if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
  Guard lock(AudioMutex());
  voice_.pan = pan;
  voice_.UpdateGains();
  return DS_OK;
}

HRESULT SoundBuffer::SetFrequency(DWORD frequency) {
  if (!(flags_ & DSBCAPS_CTRLFREQUENCY) || IsPrimary()) return DSERR_CONTROLUNAVAIL;
  if (frequency != DSBFREQUENCY_ORIGINAL && (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX))
    return DSERR_INVALIDPARAM;
  Guard lock(AudioMutex());
  voice_.frequency = frequency == DSBFREQUENCY_ORIGINAL ? voice_.formatRate : frequency;
  return DS_OK;
}

HRESULT SoundBuffer::Stop() {
  Guard lock(AudioMutex());
  if (voice_.playing) voice_.StopAndNotify();
  return DS_OK;
}

HRESULT SoundBuffer::Unlock(LPVOID audioPtr1, DWORD audioBytes1, LPVOID audioPtr2, DWORD audioBytes2) {
  if (IsPrimary()) return DSERR_INVALIDCALL;
  // Taking the lock orders the caller's writes before the mixer's next read.
  Guard lock(AudioMutex());
  const uint8_t* begin = voice_.data->data();
  const uint8_t* end = begin + voice_.size;
  auto inside = [&](LPVOID pointer, DWORD bytes) {
    const uint8_t* at = static_cast<const uint8_t*>(pointer);
    return at >= begin && at <= end && bytes <= static_cast<DWORD>(end - at);
  };
  if (!audioPtr1 || !inside(audioPtr1, audioBytes1)) return DSERR_INVALIDPARAM;
  if (audioPtr2 && !inside(audioPtr2, audioBytes2)) return DSERR_INVALIDPARAM;
  return DS_OK;
}

HRESULT SoundBuffer::Restore() { return DS_OK; }

HRESULT SoundBuffer::SetNotificationPositions(DWORD positionNotifies, LPCDSBPOSITIONNOTIFY positionNotify) {
  if (positionNotifies > 0 && !positionNotify) return DSERR_INVALIDPARAM;
  Guard lock(AudioMutex());
  if (voice_.playing) return DSERR_INVALIDCALL;
  for (DWORD i = 0; i < positionNotifies; ++i)
    if (positionNotify[i].dwOffset != DSBPN_OFFSETSTOP && positionNotify[i].dwOffset >= voice_.size)
      return DSERR_INVALIDPARAM;
  voice_.notifications.assign(positionNotify, positionNotify + positionNotifies);
  return DS_OK;
}

}  // namespace host
