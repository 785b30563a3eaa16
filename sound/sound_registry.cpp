// The sound engine comes later: until then the registry keeps its names and IDs
// exactly as it will with the engine, records an effect only when its file can
// be opened (where the engine would load it), and plays nothing.
#include "sound/sound_registry.h"

#include <cstdio>
#include <cstring>

#include "gfx/ptr_array.h"

SoundRegistry soundRegistry;

namespace {

// IDs below 10 are left to the engine's own use.
constexpr int32_t kFirstEffectId = 10;

int32_t musicEnabled = 1;
int32_t effectsEnabled = 1;

// What PlayByName was last asked for, and how often: the game's only
// observable sound until the engine plays it.
char lastRequest[32];
int32_t requestCount = 0;

// Stands in for the engine's load: 1 when the file is there to be read.
int32_t SampleFileReadable(const char* file) {
  if (file == nullptr) return 0;
  FILE* in = std::fopen(file, "rb");
  if (in == nullptr) return 0;
  std::fclose(in);
  return 1;
}

}  // namespace

int SoundRegistry::Init(HWND window, int32_t sampleCount) {
  if (entries == nullptr) entries = new PtrArray();
  // No engine yet to bring up: report it as not running.
  return 0;
}

SoundEntry* SoundRegistry::Add(const char* file, const char* name) {
  if (entries == nullptr || name == nullptr) return nullptr;
  int32_t id = entries->Count() + kFirstEffectId;
  if (!SampleFileReadable(file)) return nullptr;
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
  if (Find(name) == nullptr) return nullptr;
  // Found: the engine will play it here.
  return nullptr;
}

void SoundRegistry::FreeAll() {
  if (entries == nullptr) return;
  while (entries->Count() > 0) {
    SoundEntry* entry = entries->At<SoundEntry>(0);
    entries->Remove(entry);
    delete entry;
  }
}

void SoundRegistry::Shutdown() {
  if (entries != nullptr) {
    FreeAll();
    delete entries;
    entries = nullptr;
  }
}

void SoundRegistry::EnableMusic(int32_t enable) { musicEnabled = enable; }
void SoundRegistry::EnableSFX(int32_t enable) { effectsEnabled = enable; }

int32_t SoundRegistry::MusicEnabled() { return musicEnabled; }
int32_t SoundRegistry::SFXEnabled() { return effectsEnabled; }

const char* SoundRegistry::LastRequestForTest() { return lastRequest; }
int32_t SoundRegistry::RequestCountForTest() { return requestCount; }
