// A stand-in that keeps the entry list without an engine behind it: effects are
// recorded and found by name, and playing one plays nothing. The registry
// proper loads and plays through the sound engine.
#include "sound/sound_registry.h"

#include <cstring>

#include "gfx/ptr_array.h"

SoundRegistry soundRegistry;

int SoundRegistry::Init(HWND, int32_t) {
  if (entries == nullptr) entries = new PtrArray;
  return 0;
}

SoundEntry* SoundRegistry::Add(const char*, const char* name) {
  if (entries == nullptr || name == nullptr) return nullptr;
  SoundEntry* entry = new SoundEntry{entries->Count() + 10, {}};
  std::strncpy(entry->name, name, sizeof(entry->name) - 1);
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

SNDSample* SoundRegistry::PlayByName(const char* name, uint32_t, uint32_t) {
  Find(name);
  return nullptr;
}

void SoundRegistry::FreeAll() {
  if (entries == nullptr) return;
  while (entries->Count() > 0) {
    SoundEntry* entry = entries->At<SoundEntry>(entries->Count() - 1);
    entries->Remove(entry);
    delete entry;
  }
}

void SoundRegistry::Shutdown() {
  if (entries == nullptr) return;
  FreeAll();
  delete entries;
  entries = nullptr;
}

void SoundRegistry::EnableMusic(int32_t) {}

void SoundRegistry::EnableSFX(int32_t) {}
