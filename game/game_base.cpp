#include "game/game_base.h"

#include <cstdio>

GameBase::GameBase() : score(0), best(0), playerIndex(0), playerBest{} {}

int32_t GameBase::LoadPlayerBest() {
  FILE* in = std::fopen(kPlayerBestFile, "rb");
  int32_t read[kPlayerBestSlots] = {};
  size_t count = 0;
  if (in != nullptr) {
    count = std::fread(read, sizeof(int32_t), kPlayerBestSlots, in);
    std::fclose(in);
  }
  // A short file would leave some players with a best they never made.
  if (count != static_cast<size_t>(kPlayerBestSlots)) {
    best = 0;
    return 0;
  }
  for (int32_t i = 0; i < kPlayerBestSlots; ++i) playerBest[i] = read[i];
  best = playerBest[PlayerSlot()];
  return best;
}

int32_t GameBase::SavePlayerBest() {
  playerBest[PlayerSlot()] = best;
  FILE* out = std::fopen(kPlayerBestFile, "wb");
  if (out == nullptr) return 0;
  size_t written = std::fwrite(playerBest, sizeof(int32_t), kPlayerBestSlots, out);
  int closed = std::fclose(out);
  return written == static_cast<size_t>(kPlayerBestSlots) && closed == 0 ? 1 : 0;
}
