// A small generic game: state, score, the player's bests and a few numbered
// properties, each reached through its own virtual setter and getter so that a
// game derived from it can watch or replace any of them. The table keeps its
// slot order.
#pragma once

#include <cstdint>

#include "shell/player_profiles.h"

// Slots of the per-player best-score record (the profiles hold only the first 8).
constexpr int32_t kPlayerBestSlots = 10;

class GameBase {
 public:
  GameBase();
  // Only the derived game is ever destroyed, as itself.
  ~GameBase() = default;
  GameBase(const GameBase&) = delete;
  GameBase& operator=(const GameBase&) = delete;

  virtual void Start() {}
  virtual void Shutdown() {}
  virtual void Hook1() {}
  virtual void Hook2() {}
  // The current player's best from "players.dat"; 0 (and `best` 0) when the
  // file cannot be read whole.
  virtual int32_t LoadPlayerBest();
  // Stores `best` as the current player's and writes the ten bests to
  // "players.dat" (never "hiscore.dat", which holds the hall of fame). 1 when
  // written.
  virtual int32_t SavePlayerBest();
  virtual int32_t Frame() { return -1; }
  virtual int32_t GetState() { return state; }
  virtual void SetState(int32_t value) { state = value; }
  virtual void SetScore(int32_t value) { score = value; }
  virtual int32_t GetScore() { return score; }
  virtual void SetBest(int32_t value) { best = value; }
  virtual void SetProperty2(int32_t value) { property2 = value; }
  virtual int32_t GetProperty2() { return property2; }
  virtual void SetProperty3(int32_t value) { property3 = value; }
  virtual int32_t GetProperty3() { return property3; }
  virtual void SetProperty4(int32_t value) { property4 = value; }
  virtual int32_t GetProperty4() { return property4; }
  virtual void SetTimeAllowance(int32_t seconds) { timeAllowance = seconds; }
  virtual int32_t GetTimeAllowance() { return timeAllowance; }
  virtual void SetProperty1(int32_t value) { property1 = value; }
  virtual int32_t GetProperty1() { return property1; }
  virtual void SetPlayerIndex(int32_t value) { playerIndex = value; }
  virtual int32_t GetPlayerIndex() { return playerIndex; }

  // The player slot every lookup uses: playerIndex, or 0 when the options file
  // named a slot the profiles do not have.
  int32_t PlayerSlot() const { return playerIndex >= 0 && playerIndex < kPlayerCount ? playerIndex : 0; }

  int32_t state;  // set by Start, not here
  int32_t score;
  int32_t best;
  int32_t playerIndex;
  int32_t playerBest[kPlayerBestSlots];
  int32_t property1;
  int32_t property2;
  int32_t property3;
  int32_t timeAllowance;
  int32_t property4;
};

// Where SavePlayerBest keeps the bests.
constexpr char kPlayerBestFile[] = "players.dat";
