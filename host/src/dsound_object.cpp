// DirectSoundCreate and IDirectSound.
//
// Windows behaviour reproduced: DirectSoundCreate fails with DSERR_NODRIVER when
// there is no sound device, which the game takes as "play on in silence".
// CreateSoundBuffer checks the description's size, wants no format and no size
// for the primary buffer, and a PCM format (1-2 channels, 8 or 16 bits, 100 to
// 100000 Hz) and DSBSIZE_MIN to DSBSIZE_MAX bytes for a secondary one.
// DuplicateSoundBuffer refuses the primary (DSERR_INVALIDCALL). GetCaps wants
// dwSize = sizeof(DSCAPS) (96 bytes, the same on both systems). Compact needs
// DSSCL_PRIORITY or above (DSERR_PRIOLEVELNEEDED).
// FIXME: one device only; the window given to SetCooperativeLevel is not
// checked, and losing focus does not mute the game.
#include <atomic>
#include <cstddef>
#include <memory>

#include "audio_mixer.h"
#include "dsound_buffer.h"
#include "host/control.h"

extern "C" const GUID IID_IDirectSound = {0x279AFA83, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
extern "C" const GUID IID_IDirectSoundBuffer = {
    0x279AFA85, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
extern "C" const GUID IID_IDirectSoundNotify = {
    0xB0210783, 0x89CD, 0x11D0, {0xAF, 0x08, 0x00, 0xA0, 0xC9, 0x25, 0xCD, 0x16}};

namespace host {
namespace {

bool IsKnownDescriptionSize(DWORD size) {
  // Ours, the 32-bit Windows record (36 bytes) and the DirectX 6 record without
  // the 3D algorithm (20 bytes on Windows).
  return size == sizeof(DSBUFFERDESC) || size == 36 || size == offsetof(DSBUFFERDESC, guid3DAlgorithm) ||
         size == 20;
}

class DirectSound final : public IDirectSound {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_INVALIDARG;
    *object = nullptr;
    if (!IsEqualIID(riid, IID_IDirectSound)) return E_NOINTERFACE;
    AddRef();
    *object = static_cast<IDirectSound*>(this);
    return DS_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --references_;
    if (left == 0) {
      Trace("IDirectSound::Release");
      CloseAudioDevice();
      delete this;
    }
    return left;
  }

  HRESULT STDMETHODCALLTYPE CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer,
                                              LPUNKNOWN outer) override {
    if (!buffer) return DSERR_INVALIDPARAM;
    *buffer = nullptr;
    if (outer) return DSERR_NOAGGREGATION;
    if (!desc || !IsKnownDescriptionSize(desc->dwSize)) return DSERR_INVALIDPARAM;
    if (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) {
      if (desc->lpwfxFormat || desc->dwBufferBytes != 0 || (desc->dwFlags & DSBCAPS_CTRLPOSITIONNOTIFY))
        return DSERR_INVALIDPARAM;
      *buffer = new SoundBuffer(desc->dwFlags, level_);
      return DS_OK;
    }
    if (!desc->lpwfxFormat) return DSERR_INVALIDPARAM;
    if (!IsPlayableFormat(desc->lpwfxFormat)) return DSERR_BADFORMAT;
    if (desc->dwBufferBytes < DSBSIZE_MIN || desc->dwBufferBytes > DSBSIZE_MAX) return DSERR_INVALIDPARAM;
    auto* created = new SoundBuffer(desc->dwFlags, level_);
    created->Allocate(*desc->lpwfxFormat, desc->dwBufferBytes);
    *buffer = created;
    return DS_OK;
  }

  HRESULT STDMETHODCALLTYPE GetCaps(LPDSCAPS caps) override {
    if (!caps || caps->dwSize != sizeof(DSCAPS)) return DSERR_INVALIDPARAM;
    *caps = DSCAPS{};
    caps->dwSize = sizeof(DSCAPS);
    caps->dwFlags = DSCAPS_PRIMARYMONO | DSCAPS_PRIMARYSTEREO | DSCAPS_PRIMARY8BIT | DSCAPS_PRIMARY16BIT |
                    DSCAPS_CONTINUOUSRATE | DSCAPS_SECONDARYMONO | DSCAPS_SECONDARYSTEREO |
                    DSCAPS_SECONDARY8BIT | DSCAPS_SECONDARY16BIT;
    caps->dwMinSecondarySampleRate = DSBFREQUENCY_MIN;
    caps->dwMaxSecondarySampleRate = DSBFREQUENCY_MAX;
    caps->dwPrimaryBuffers = 1;
    return DS_OK;
  }

  HRESULT STDMETHODCALLTYPE DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original,
                                                 LPDIRECTSOUNDBUFFER* duplicate) override {
    if (!duplicate) return DSERR_INVALIDPARAM;
    *duplicate = nullptr;
    auto* source = dynamic_cast<SoundBuffer*>(original);
    if (!source) return DSERR_INVALIDPARAM;
    if (source->IsPrimary()) return DSERR_INVALIDCALL;
    *duplicate = SoundBuffer::DuplicateOf(*source);
    return DS_OK;
  }

  HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND, DWORD level) override {
    if (level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY) return DSERR_INVALIDPARAM;
    level_->store(level);
    return DS_OK;
  }

  HRESULT STDMETHODCALLTYPE Compact() override {
    return level_->load() >= DSSCL_PRIORITY ? DS_OK : DSERR_PRIOLEVELNEEDED;
  }

 private:
  std::atomic<ULONG> references_{1};
  std::shared_ptr<std::atomic<DWORD>> level_ = std::make_shared<std::atomic<DWORD>>(0);
};

}  // namespace
}  // namespace host

HRESULT WINAPI DirectSoundCreate(LPGUID, LPDIRECTSOUND* directSound, LPUNKNOWN outer) {
  if (!directSound) return DSERR_INVALIDPARAM;
  *directSound = nullptr;
  if (outer) return DSERR_NOAGGREGATION;
  if (!host::OpenAudioDevice()) {
    host::Trace("DirectSoundCreate: no audio device");
    return DSERR_NODRIVER;
  }
  host::Trace("DirectSoundCreate");
  *directSound = new host::DirectSound;
  return DS_OK;
}
