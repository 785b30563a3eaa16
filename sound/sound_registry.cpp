// The game's named sound effects over the engine: each effect is loaded under
// the next ID from 10 (the entry count at registration plus 10) and played by
// name. Main thread only.
#include "sound/sound_registry.h"

#include <cstdio>
#include <cstring>

#include "gfx/ptr_array.h"
#include "sound/zq_sound.h"

SoundRegistry soundRegistry;

namespace {

constexpr int32_t kFirstEffectId = 10;

// What PlayByName was last asked for, and how often.
char lastRequest[32];
int32_t requestCount = 0;

}  // namespace

int SoundRegistry::Init(HWND window, int32_t sampleCount) {
  if (entries == nullptr) entries = new PtrArray();
  return zqSound.Init(window, sampleCount);
}

SoundEntry* SoundRegistry::Add(const char* file, const char* name) {
  // Before Init there is no list to record in, and nothing is loaded.
  if (entries == nullptr || name == nullptr) return nullptr;
  const int32_t id = entries->Count() + kFirstEffectId;
  if (!zqSound.LoadSample(file, static_cast<DWORD>(id))) return nullptr;
  SoundEntry* entry = new SoundEntry{};
  entry->id = id;
  std::snprintf(entry->name, sizeof(entry->name), "%s", name);
  entries->Append(entry);
  return entry;
}

SoundEntry* SoundRegistry::Find(const char* name) {
  if (entries == nullptr || name == nullptr) return nullptr;
  for (int32_t i = 0; i < entries->Count(); ++i) {
    SoundEntry* entry = entries->At<SoundEntry>(i);
    if (std::strcmp(entry->name, name) == 0) return entry;
  }
  return nullptr;
}

SNDSample* SoundRegistry::PlayByName(const char* name, uint32_t volume, uint32_t pan) {
  std::snprintf(lastRequest, sizeof(lastRequest), "%s", name ? name : "");
  ++requestCount;
  SoundEntry* entry = Find(name);
  if (entry == nullptr) return nullptr;
  return zqSound.PlaySample(entry->id, static_cast<LONG>(volume), static_cast<LONG>(pan));
}

void SoundRegistry::FreeAll() {
  if (entries != nullptr) {
    while (entries->Count() > 0) {
      SoundEntry* entry = entries->At<SoundEntry>(0);
      zqSound.FreeSample(static_cast<DWORD>(entry->id));
      entries->Remove(entry);
      delete entry;
    }
  }
  zqSound.StopStream();
  ZQSound::ClearSampleList();
}

void SoundRegistry::Shutdown() {
  if (entries != nullptr) {
    FreeAll();
    delete entries;
    entries = nullptr;
  }
  zqSound.Exit();
}

void SoundRegistry::EnableMusic(int32_t enable) { zqSound.EnableMusic(enable); }
void SoundRegistry::EnableSFX(int32_t enable) { zqSound.EnableSFX(enable); }

const char* SoundRegistry::LastRequestForTest() { return lastRequest; }
int32_t SoundRegistry::RequestCountForTest() { return requestCount; }
