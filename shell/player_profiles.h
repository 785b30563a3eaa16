// The current player and the player records of the options file
// "..\options.ini", read through the Windows profile functions and never
// written. Reads do nothing until SetFile names the file; a missing file or
// key gives the defaults. Main thread only.
//
// One global, zero-initialised before the entry point.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int32_t kPlayerCount = 8;
// Name, address, e-mail and send flag joined by ':' (63 + 1 + 63 + 1 + 63 + 1
// + 1 characters and the terminator).
constexpr size_t kPlayerTextSize = 194;

struct PlayerRecord {
  char name[64];
  char address[64];
  char email[64];
  char send[2];
};

class PlayerProfiles {
 public:
  // Takes a non-null path; a path too long to keep empties `path`, so that
  // reads give the defaults rather than another file's values.
  void SetFile(const char* newPath);
  // "setup"/"playerid" (default 0) into currentPlayer, which is returned. A
  // value outside 0 to 7 falls back to player 0.
  int32_t ReadPlayerId();
  // Reads section "Player<index + 1>" into players[index]; nothing for an
  // index outside 0 to 7.
  void ReadPlayer(int32_t index);
  // Rereads the player, then writes "name:address:email:send" into the
  // caller's buffer of bufferSize bytes, cut to fit and always terminated. An
  // index outside 0 to 7 formats player 0.
  void FormatPlayer(int32_t index, char* buffer, size_t bufferSize);

  int32_t currentPlayer;
  PlayerRecord players[kPlayerCount];
  char path[260];
};

extern PlayerProfiles playerProfiles;
