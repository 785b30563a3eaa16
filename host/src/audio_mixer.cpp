// The software mixer and the SDL audio device.
//
// DirectSound on Windows mixes every playing secondary buffer into the primary
// buffer in software unless the card does it: each buffer is read at its own
// rate from its own cursor, scaled by its volume and pan, and added with
// clipping. The play cursor is where the mixer reads; a notification fires once
// the cursor has moved past its offset, a one-shot buffer that reaches its end
// stops by itself with the cursor back at 0 and signals DSBPN_OFFSETSTOP.
// We resample with linear interpolation; a looping buffer interpolates across
// its end into its start, so a loop has no seam. Output is 16-bit stereo at
// kAudioDeviceRate; SDL converts to whatever the hardware wants.
// FIXME: the primary buffer's format and volume do not shape the output.
#include "audio_mixer.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "host/audio_control.h"
#include "host/control.h"

namespace host {
namespace {

std::mutex audioMutex;
std::vector<Voice*> voices;  // guarded by audioMutex
std::vector<int32_t> accumulator;

// The device; touched only by DirectSound's create and release and by the clock.
std::mutex deviceMutex;
int deviceUsers = 0;
SDL_AudioDeviceID device = 0;
bool deviceFollowsClock = false;  // virtual or manual time: the clock mixes and queues
bool deviceRecords = false;       // SDL's disk driver: keep every frame, play out the queue at close
uint64_t clockBaseMs = 0;         // host time when the clock began to mix
uint64_t clockFramesMixed = 0;

int32_t GainFromCentibels(LONG centibels) {
  if (centibels <= DSBVOLUME_MIN) return 0;
  return static_cast<int32_t>(std::lround(65536.0 * std::pow(10.0, centibels / 2000.0)));
}

template <int kBits>
inline int32_t ReadSample(const uint8_t* at) {
  if constexpr (kBits == 8) {
    return (static_cast<int32_t>(*at) - 128) << 8;  // 8-bit samples are unsigned, silence 0x80
  } else {
    int16_t value;
    std::memcpy(&value, at, 2);
    return value;
  }
}

// Adds `frames` frames of one voice to the accumulator; returns how many source
// frames the cursor moved over and whether a one-shot voice reached its end.
template <int kBits, int kChannels>
uint64_t MixVoice(Voice& voice, int32_t* out, int frames, bool& ended) {
  const uint8_t* data = voice.data->data();
  const uint64_t total = voice.Frames();
  const uint64_t step = (static_cast<uint64_t>(voice.frequency) << 32) / kAudioDeviceRate;
  const uint64_t start = voice.position >> 32;
  constexpr int kBytes = kBits / 8 * kChannels;
  constexpr int kRightOffset = kChannels == 2 ? kBits / 8 : 0;
  uint64_t position = voice.position;
  uint64_t wraps = 0;
  for (int n = 0; n < frames; ++n) {
    const uint64_t index = position >> 32;
    const int32_t fraction = static_cast<int32_t>((position >> 16) & 0xFFFF);
    const uint64_t next = index + 1 < total ? index + 1 : (voice.looping ? 0 : index);
    const uint8_t* a = data + index * kBytes;
    const uint8_t* b = data + next * kBytes;
    int32_t left = ReadSample<kBits>(a), right = ReadSample<kBits>(a + kRightOffset);
    // In 64 bits: a step of more than half the range times a fraction near 1
    // does not fit 32 (a full swing would wrap into a click).
    left += static_cast<int32_t>((int64_t{ReadSample<kBits>(b)} - left) * fraction >> 16);
    right += static_cast<int32_t>((int64_t{ReadSample<kBits>(b + kRightOffset)} - right) * fraction >> 16);
    out[2 * n] += static_cast<int32_t>((static_cast<int64_t>(left) * voice.leftGain) >> 16);
    out[2 * n + 1] += static_cast<int32_t>((static_cast<int64_t>(right) * voice.rightGain) >> 16);
    position += step;
    if ((position >> 32) >= total) {
      if (!voice.looping) {
        ended = true;
        voice.position = 0;
        return total - start;
      }
      position -= total << 32;
      ++wraps;
    }
  }
  voice.position = position;
  return wraps * total + (position >> 32) - start;
}

uint64_t MixAnyVoice(Voice& voice, int32_t* out, int frames, bool& ended) {
  const bool stereo = voice.channels == 2;
  if (voice.bitsPerSample == 8)
    return stereo ? MixVoice<8, 2>(voice, out, frames, ended) : MixVoice<8, 1>(voice, out, frames, ended);
  return stereo ? MixVoice<16, 2>(voice, out, frames, ended) : MixVoice<16, 1>(voice, out, frames, ended);
}

// Signals every position the cursor moved over, from frame `start` on by
// `moved` frames (wrapping at the end).
void NotifyPassed(const Voice& voice, uint64_t start, uint64_t moved) {
  const uint64_t total = voice.Frames();
  for (const DSBPOSITIONNOTIFY& notify : voice.notifications) {
    if (notify.dwOffset == DSBPN_OFFSETSTOP) continue;
    const uint64_t frame = notify.dwOffset / voice.blockAlign;
    const uint64_t distance = (frame + total - start) % total;
    if (distance < moved) SetEvent(notify.hEventNotify);
  }
}

// With deviceMutex held and the last user gone. A recording plays out what the
// clock queued (at the device's pace) before the file is closed.
void ShutDownDevice() {
  while (deviceRecords && SDL_GetQueuedAudioSize(device) > 0) SDL_Delay(10);
  SDL_CloseAudioDevice(device);  // waits for a running callback
  device = 0;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SDLCALL DeviceCallback(void*, Uint8* stream, int length) {
  std::lock_guard<std::mutex> lock(audioMutex);
  MixLocked(length / 4, reinterpret_cast<int16_t*>(stream));
}

}  // namespace

void Voice::UpdateGains() {
  leftGain = GainFromCentibels(volume - std::max<LONG>(pan, 0));
  rightGain = GainFromCentibels(volume + std::min<LONG>(pan, 0));
}

void Voice::StopAndNotify() {
  playing = false;
  looping = false;
  for (const DSBPOSITIONNOTIFY& notify : notifications)
    if (notify.dwOffset == DSBPN_OFFSETSTOP) SetEvent(notify.hEventNotify);
}

std::mutex& AudioMutex() { return audioMutex; }

void AddVoice(Voice* voice) { voices.push_back(voice); }

void RemoveVoice(Voice* voice) { voices.erase(std::remove(voices.begin(), voices.end(), voice), voices.end()); }

void MixLocked(int frames, int16_t* out) {
  accumulator.assign(static_cast<size_t>(frames) * 2, 0);
  for (Voice* voice : voices) {
    if (!voice->playing || voice->Frames() == 0) continue;
    const uint64_t start = voice->position >> 32;
    bool ended = false;
    const uint64_t moved = MixAnyVoice(*voice, accumulator.data(), frames, ended);
    NotifyPassed(*voice, start, moved);
    if (ended) voice->StopAndNotify();
  }
  if (!out) return;
  for (size_t i = 0; i < accumulator.size(); ++i)
    out[i] = static_cast<int16_t>(std::clamp<int32_t>(accumulator[i], -32768, 32767));
}

bool OpenAudioDevice() {
  std::lock_guard<std::mutex> lock(deviceMutex);
  if (deviceUsers > 0) {
    ++deviceUsers;
    return true;
  }
  // Headless runs (the tests) make no sound unless a driver is named, e.g. SDL's disk driver.
  if (settings().headless && std::getenv("SDL_AUDIODRIVER") == nullptr) SDL_SetHint(SDL_HINT_AUDIODRIVER, "dummy");
  if (audioSettings().noDevice || SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  deviceFollowsClock = settings().timeMode != TimeMode::Real;
  SDL_AudioSpec want{}, have{};
  want.freq = kAudioDeviceRate;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = 1024;
  want.callback = deviceFollowsClock ? nullptr : DeviceCallback;  // the clock queues instead
  device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (device == 0) {
    Trace("audio device: %s", SDL_GetError());
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  const char* driver = SDL_GetCurrentAudioDriver();
  deviceRecords = deviceFollowsClock && driver && std::strcmp(driver, "disk") == 0;
  clockBaseMs = HostMilliseconds();
  clockFramesMixed = 0;
  SDL_PauseAudioDevice(device, 0);
  deviceUsers = 1;
  return true;
}

void CloseAudioDevice() {
  std::lock_guard<std::mutex> lock(deviceMutex);
  if (deviceUsers == 0 || --deviceUsers > 0) return;
  ShutDownDevice();
}

void AudioClockAdvanced(uint64_t nowMs) {
  std::lock_guard<std::mutex> deviceLock(deviceMutex);
  if (deviceUsers == 0 || !deviceFollowsClock) return;
  if (nowMs < clockBaseMs) {  // the clock was reset under us (tests)
    clockBaseMs = nowMs;
    clockFramesMixed = 0;
  }
  const uint64_t due = (nowMs - clockBaseMs) * kAudioDeviceRate / 1000;
  std::vector<int16_t> block;
  while (clockFramesMixed < due) {
    const int frames = static_cast<int>(std::min<uint64_t>(due - clockFramesMixed, 1024));
    block.resize(static_cast<size_t>(frames) * 2);
    {
      std::lock_guard<std::mutex> lock(audioMutex);
      MixLocked(frames, block.data());
    }
    clockFramesMixed += static_cast<uint64_t>(frames);
    // Virtual time may run faster than the device plays; past a second of
    // backlog the sound is dropped rather than hoarded, unless it is being
    // recorded to a file.
    if (deviceRecords || SDL_GetQueuedAudioSize(device) < static_cast<Uint32>(kAudioDeviceRate * 4))
      SDL_QueueAudio(device, block.data(), static_cast<Uint32>(block.size() * sizeof(int16_t)));
  }
}

AudioSettings& audioSettings() {
  static AudioSettings instance = [] {
    AudioSettings s;
    const char* value = std::getenv("GLOOMGRID_HOST_AUDIO");
    s.noDevice = value && std::strcmp(value, "none") == 0;
    return s;
  }();
  return instance;
}

void PumpAudio(int frames, int16_t* out) {
  std::lock_guard<std::mutex> lock(audioMutex);
  MixLocked(frames, out);
}

void ResetAudio() {
  {
    std::lock_guard<std::mutex> lock(audioMutex);
    for (Voice* voice : voices) voice->playing = false;
  }
  std::lock_guard<std::mutex> lock(deviceMutex);
  if (deviceUsers == 0) return;
  deviceUsers = 0;
  ShutDownDevice();
}

}  // namespace host
