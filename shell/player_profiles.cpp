#include "shell/player_profiles.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

PlayerProfiles playerProfiles;

namespace {

bool IsPlayer(int32_t index) { return index >= 0 && index < kPlayerCount; }

}  // namespace

void PlayerProfiles::SetFile(const char* newPath) {
  if (newPath == nullptr) return;
  const int length = std::snprintf(path, sizeof path, "%s", newPath);
  // A cut path would name another file.
  if (length < 0 || static_cast<size_t>(length) >= sizeof path) path[0] = '\0';
}

int32_t PlayerProfiles::ReadPlayerId() {
  currentPlayer = 0;
  if (path[0] == '\0') return currentPlayer;
  char text[32];
  GetPrivateProfileStringA("setup", "playerid", "0", text, sizeof text, path);
  // Only eight records exist: any other slot is player 0.
  const long id = std::strtol(text, nullptr, 10);
  if (id >= 0 && id < kPlayerCount) currentPlayer = static_cast<int32_t>(id);
  return currentPlayer;
}

void PlayerProfiles::ReadPlayer(int32_t index) {
  if (path[0] == '\0' || !IsPlayer(index)) return;
  char section[16];
  std::snprintf(section, sizeof section, "Player%d", static_cast<int>(index + 1));
  PlayerRecord& player = players[index];
  // The profile reads cut each value to its buffer and terminate it.
  GetPrivateProfileStringA(section, "name", section, player.name, sizeof player.name, path);
  GetPrivateProfileStringA(section, "address", "", player.address, sizeof player.address, path);
  GetPrivateProfileStringA(section, "email", "", player.email, sizeof player.email, path);
  GetPrivateProfileStringA(section, "send", "Y", player.send, sizeof player.send, path);
}

void PlayerProfiles::FormatPlayer(int32_t index, char* buffer, size_t bufferSize) {
  if (!IsPlayer(index)) index = 0;
  ReadPlayer(index);
  if (buffer == nullptr || bufferSize == 0) return;
  const PlayerRecord& player = players[index];
  std::snprintf(buffer, bufferSize, "%s:%s:%s:%s", player.name, player.address, player.email, player.send);
}
