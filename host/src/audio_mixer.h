// The software mixer behind DirectSound: each secondary buffer is a voice with
// its own cursor over sample memory that duplicates share; the mixer resamples
// every playing voice to the device rate, adds them up with clipping, moves the
// cursors and signals the notifications they pass. One lock guards every voice
// and the voice list; DirectSound calls take it for each call, the mixer for
// each block. Events are signalled with it held (the kernel's event lock is
// always taken after it, never before).
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "dsound.h"

namespace host {

struct Voice {
  std::shared_ptr<std::vector<uint8_t>> data;  // the sample memory, shared with duplicates
  DWORD size = 0;                              // bytes, a whole number of blocks
  WORD channels = 1;
  WORD bitsPerSample = 16;
  WORD blockAlign = 2;
  DWORD formatRate = 22050;  // the format's rate, what DSBFREQUENCY_ORIGINAL restores
  DWORD frequency = 22050;   // the rate it plays at
  LONG volume = 0;           // hundredths of a decibel
  LONG pan = 0;
  int32_t leftGain = 65536;  // 16.16 fixed point, from volume and pan
  int32_t rightGain = 65536;
  bool playing = false;
  bool looping = false;
  uint64_t position = 0;  // play cursor in frames, 32.32 fixed point
  std::vector<DSBPOSITIONNOTIFY> notifications;

  DWORD Frames() const { return size / blockAlign; }
  DWORD PlayCursor() const { return static_cast<DWORD>(position >> 32) * blockAlign; }
  void SetCursor(DWORD byteOffset) { position = static_cast<uint64_t>(byteOffset / blockAlign) << 32; }
  // Recomputes the gains from volume and pan: a positive pan lowers only the
  // left channel by pan/100 dB, a negative one only the right.
  void UpdateGains();
  // Stops the voice and signals its DSBPN_OFFSETSTOP events.
  void StopAndNotify();
};

// The lock of every voice and of the voice list.
std::mutex& AudioMutex();

// With AudioMutex held: the mixer starts or stops looking at a voice.
void AddVoice(Voice* voice);
void RemoveVoice(Voice* voice);

// With AudioMutex held: mixes `frames` frames of every playing voice into
// `out` (frames * 2 samples, left then right; may be null).
void MixLocked(int frames, int16_t* out);

// The device, shared by every DirectSound object: the first open starts SDL's
// audio, the last close ends it. False when no device can be had.
bool OpenAudioDevice();
void CloseAudioDevice();

// Virtual and manual time: the host clock now reads `nowMs`; mix the frames
// of the time that has passed. Called by the timer without its own lock held.
void AudioClockAdvanced(uint64_t nowMs);

}  // namespace host
