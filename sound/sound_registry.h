// The game's named sound effects over the sound engine: brings the engine up,
// loads each effect under an ID of its own (10, 11, ... in order of
// registration) and plays effects by name. Main thread only.
//
// One global, zero-initialised: no constructor or destructor of its own.
#pragma once

#include <windows.h>

#include <cstdint>

class PtrArray;
class SNDSample;

struct SoundEntry {
  int32_t id;
  char name[32];
};

class SoundRegistry {
 public:
  // Creates the entry list, then brings the engine up; the engine's result.
  int Init(HWND window, int32_t sampleCount);
  // Loads `file` under the next ID and records it as `name`; null (and nothing
  // recorded) when the file cannot be loaded.
  SoundEntry* Add(const char* file, const char* name);
  // The first entry registered under exactly this name, or null.
  SoundEntry* Find(const char* name);
  // Volume and pan in engine units, 0 to 65535 (pan 0 is full right). The
  // sample played, or null when the name is unknown or nothing played.
  SNDSample* PlayByName(const char* name, uint32_t volume, uint32_t pan);
  // Frees every effect, stops the music and clears the engine's samples; IDs
  // start at 10 again.
  void FreeAll();
  // FreeAll and the list itself, then the engine's exit; safe without Init.
  void Shutdown();
  void EnableMusic(int32_t enable);
  void EnableSFX(int32_t enable);
  // The name PlayByName was last asked for, known or not, and how many times
  // it has been asked (tests of the game, which runs without a sound device).
  static const char* LastRequestForTest();
  static int32_t RequestCountForTest();

  PtrArray* entries;
};

extern SoundRegistry soundRegistry;
