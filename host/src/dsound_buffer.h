// DirectSound buffer objects: the primary buffer and secondary buffers over a
// mixer voice. One object answers as IDirectSoundBuffer and, for buffers made
// with DSBCAPS_CTRLPOSITIONNOTIFY, as IDirectSoundNotify, with one reference
// count for both, as Windows does.
#pragma once

#include <atomic>
#include <memory>

#include "audio_mixer.h"
#include "dsound.h"

namespace host {

class SoundBuffer final : public IDirectSoundBuffer, public IDirectSoundNotify {
 public:
  // `level` is the owning DirectSound object's cooperative level.
  SoundBuffer(DWORD flags, std::shared_ptr<std::atomic<DWORD>> level);
  ~SoundBuffer();

  // A duplicate: same sample memory, format and controls; stopped at 0.
  static SoundBuffer* DuplicateOf(const SoundBuffer& original);

  // Secondary buffers: sets the format and zeroed sample memory of `bytes`
  // bytes, rounded up to whole blocks.
  void Allocate(const WAVEFORMATEX& format, DWORD bytes);
  bool IsPrimary() const { return flags_ & DSBCAPS_PRIMARYBUFFER; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE GetCaps(LPDSBCAPS caps) override;
  HRESULT STDMETHODCALLTYPE GetCurrentPosition(LPDWORD currentPlayCursor, LPDWORD currentWriteCursor) override;
  HRESULT STDMETHODCALLTYPE GetFormat(LPWAVEFORMATEX format, DWORD sizeAllocated, LPDWORD sizeWritten) override;
  HRESULT STDMETHODCALLTYPE GetVolume(LPLONG volume) override;
  HRESULT STDMETHODCALLTYPE GetPan(LPLONG pan) override;
  HRESULT STDMETHODCALLTYPE GetFrequency(LPDWORD frequency) override;
  HRESULT STDMETHODCALLTYPE GetStatus(LPDWORD status) override;
  HRESULT STDMETHODCALLTYPE Lock(DWORD offset, DWORD bytes, LPVOID* audioPtr1, LPDWORD audioBytes1, LPVOID* audioPtr2,
                                 LPDWORD audioBytes2, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE Play(DWORD reserved1, DWORD priority, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE SetCurrentPosition(DWORD newPosition) override;
  HRESULT STDMETHODCALLTYPE SetFormat(LPCWAVEFORMATEX format) override;
  HRESULT STDMETHODCALLTYPE SetVolume(LONG volume) override;
  HRESULT STDMETHODCALLTYPE SetPan(LONG pan) override;
  HRESULT STDMETHODCALLTYPE SetFrequency(DWORD frequency) override;
  HRESULT STDMETHODCALLTYPE Stop() override;
  HRESULT STDMETHODCALLTYPE Unlock(LPVOID audioPtr1, DWORD audioBytes1, LPVOID audioPtr2, DWORD audioBytes2) override;
  HRESULT STDMETHODCALLTYPE Restore() override;

  HRESULT STDMETHODCALLTYPE SetNotificationPositions(DWORD positionNotifies,
                                                     LPCDSBPOSITIONNOTIFY positionNotify) override;

 private:
  explicit SoundBuffer(const SoundBuffer& original);
  // With AudioMutex() held: where the caller may write without racing the mixer.
  DWORD WriteCursorLocked() const;

  std::atomic<ULONG> references_{1};
  const DWORD flags_;
  std::shared_ptr<std::atomic<DWORD>> level_;
  Voice voice_;               // guarded by AudioMutex()
  WAVEFORMATEX primaryFormat_{};  // the primary's recorded format, guarded likewise
};

// Checks a PCM format a buffer can play: 1 or 2 channels, 8 or 16 bits, a rate
// DirectSound accepts and a consistent block alignment.
bool IsPlayableFormat(const WAVEFORMATEX* format);

}  // namespace host
