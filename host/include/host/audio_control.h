// Host-only controls of the sound device for tests and for the headless game;
// never called by the game code.
//
// The software mixer (host/src/audio_mixer.h) is driven by one of three clocks:
// in real time by SDL's audio thread; in virtual and manual time by the host
// clock itself, which mixes the frames of every period it lets pass (and queues
// them to the device, so SDL's disk driver records exactly what a machine with
// speakers would have played); or, by a test, through PumpAudio.
#pragma once

#include <cstdint>

namespace host {

struct AudioSettings {
  bool noDevice = false;  // GLOOMGRID_HOST_AUDIO=none: DirectSoundCreate fails with DSERR_NODRIVER
};

// The live settings, read once from the environment on first use. Tests may
// change them before calling DirectSoundCreate.
AudioSettings& audioSettings();

// Frames per second of the mixed output (16-bit stereo).
constexpr int kAudioDeviceRate = 44100;

// Mixes `frames` stereo frames now, on the calling thread: play cursors move,
// notifications fire, one-shot buffers end. `out` receives frames * 2 samples
// (left, right) or may be null. Use it in manual time, where nothing else mixes.
void PumpAudio(int frames, int16_t* out);

// Stops every buffer and closes the device: a clean host for the next test.
void ResetAudio();

}  // namespace host
